// The three data doubles the host keeps beside a curve entity (a line's 0, L, L; an arc's angle
// range and its step). The default tool symbol adjusts the step of small arcs through it.
#pragma once

// Mode 1 reads the three doubles of curve entity id, any other mode writes them. Status 0, or -1
// when the entity is missing or no curve.
void edata_double_access(int mode, int id, double (&values)[3], int& status);
