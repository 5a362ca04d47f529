// The host's selection list and the picking services around it: curves and solid edges pushed
// to the list (highlighted) and taken out again by position, a box dragged by the user, a point
// indicated or taken from an entity, the points of a point pattern, the pull-down menu, and the
// associativity table that lets a point follow the entity it was taken from.
#pragma once

// ---- the selection list --------------------------------------------------------------------------
// Positions count from 1 to sllen().
int sllen();
// Deletes positions first..last. Status 0; -1 for a range outside the list (nothing deleted).
void sldelr(int first, int last, int& status);
// Rejects the last pick: the last entry of the list is taken out again (its highlight removed).
// Status 0; -1 when the list is empty.
void slrjct(int& status);
// Pushes a curve with a point on it (display coordinates). Status 0; -5 when there is no such
// entity.
void slpsh3(int entity, const float* point, int& status);
// Pushes a solid edge by its unique id (kind 4, type 2 for an edge). Status 0; -1 for another
// kind.
void pickm_push(int kind, int unique_id, int type, int& status);

// ---- boxes, points, menus ------------------------------------------------------------------------
// Lets the user drag a box: two corner points. Status 0; -1 cancel, -2 back, -3 when the user
// chose nothing (the box stays as it was).
void draw_box(int& status);
// The last box dragged: xmin, ymin, xmax, ymax.
void get_box_coor(float* box);
// The host's pull-down menu: "@"-separated choices; answers as menuc.
void pdmpac(const char* text, int& choice);
// Lets the user indicate a point (mode: the host's point pick mode): status 0 with the point
// and the entity it was taken from (-1 for a free point), -1 cancel, -2 back (point untouched).
void ncs_get_point(int mode, float* point, int& entity, int& status);
// Points of a point pattern (class kPatternClass: the point count, then x, y, z reals a point)
// into points (room points, three floats each). Status 0 with the count; -1 for an entity that
// is no pattern; -2 when the room is too small (nothing written, count the points needed).
inline constexpr int kPatternClass = 6, kPatternType = 1;
void drppts(int pattern, int room, float* points, int& count, int& status);

// ---- associativity of picked entities ------------------------------------------------------------
// The entity's unique id and its generation number (what changed it last).
int ncs_obj_uid(int entity);
int ncs_get_generation_number(int entity);
// Records entity (its unique id and generation) under the entry type (17: points of a
// procedure). Status 0; -1 for an entity that does not exist.
void ncs_table_insert(int type, int entity, int unique_id, int generation, int& status);
// Forgets the entity under the entry type. Status 0; 1 when it was not recorded.
void ncs_table_delete(int type, int entity, int& status);
