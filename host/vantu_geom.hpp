// Geometry entities of the procedures in the host's entity store: their kind, the temporary
// replacement the host links to an entity while a procedure is redefined, the copy of one
// geometry into another, the recorded length, and the size and state of any entity. A geometry
// entity has class 9 and type 7; word 4 of its words holds its kind (10001 to 10013).
#pragma once

inline constexpr int kGeometryClass = 9, kGeometryType = 7;
inline constexpr int kGeometryKindWord = 4;

// The kind of geometry entity id. Status 0; -5 when there is no such entity; -1 when it is no
// geometry entity.
void get_geom_info(int id, int& kind, int& status);
// The host geometry type of entity id: the kind of a geometry entity. Status as get_geom_info.
void get_geom_type(int id, int& type, int& status);
// The temporary of entity id: mode 1 reads it (-1 when none), mode 2 links tmp (-1 or 0 clears
// the link). Status 0; -5 when id names no entity; -1 for another mode.
void get_set_idtmp(int mode, int id, int& tmp, int& status);
// Copies the words of entity from over those of entity to. Status 0; -5 when either is missing.
void cpy_geom(int from, int to, int& status);
// Records the length of geometry entity id. Status 0; -5 when there is no such entity.
void update_geom_length(int id, int length, int& status);
// The size of entity id in words. Status 0; -5 when there is no such entity.
void egsize(int id, int& size, int& status);
// 1 when entity id exists, else 0.
int entsta(int id);
