// What a contour-data record holds (host/vantu_contours.hpp lists the kinds), shared by the
// record readers, the chaining, the solid loops and the registered contour table. Internal to
// the host: module code never includes this.
#pragma once

#include <vector>

namespace vantu {

enum class record_kind { none, chain, face, loop, set };

struct record_info {
    record_kind kind = record_kind::none;
    int length = 0;  // entries
    int id = 0;      // chain: its curve set; face: the face entity; loop: the loop id; set: g
};

// What begins at entry; kind none (length 0) when the entry begins no record. Reads only the
// entries the record itself announces.
record_info record_at(const int* entry);

// The curve sets of a planar face's loops, outer loop first; empty for an entity that is no
// planar face.
std::vector<int> face_loop_sets(int face);

// A curve set number not in use yet (curve sets belong to host/contours.cpp).
int unused_curve_set();
// Replaces curve k (1-based) of a set by the entity with its data (start parameter, end
// parameter, orientation value); false when the set or k does not exist.
bool put_curve(int set, int k, int entity, const double* data);

// Forgets curve set `set`; false when there is none.
bool remove_curve_set(int set);

// The curve set a loop of a solid explodes into and its present second identifier; false for
// an unknown loop (host/solid_loops.cpp).
bool solid_loop(int loop, int& set, int& second);

}  // namespace vantu
