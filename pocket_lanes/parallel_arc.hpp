// The centre of an arc entity whose plane is parallel to the current working plane (PRLLIF):
// the contour conversion of the lane engine asks it for each arc of a contour.
#pragma once

// 1 with the arc's centre (three floats, world coordinates) when the entity is an arc (class 1,
// type 2) whose axis, in world coordinates (through the coordinate system its "RP" names), is
// parallel to the axis of the current working plane (the host's model mapping); 0 otherwise.
// status 0; -1 with "PRLLIF - can not open entity" when the entity cannot be opened.
int PRLLIF(int entity, float* centre, int& status);
