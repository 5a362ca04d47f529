// Collapse lanes cut within the cut of their source. A collapse lane made of the part of a
// swallowtail inside its source (the end of a horn) runs along the source where the horn ends: the
// cut of the source goes round it as a detour from a point they share, instead of a chain of its
// own with a separator and an entry move. The lane engine records such lanes with status 0, so
// that no chain takes them and no pass offsets them; the cutting stages list them and insert them
// into the path of their source.
#pragma once

#include "pocket_arrays/pokarr.hpp"

#include <memory>
#include <vector>

struct collapse_detour_room;

// The detour lanes of every lane: first[n] the first of lane n, next[d] the one after d (0 ends
// a list). Listed by the cutting stages from the engine's lanes; empty otherwise.
struct collapse_detours {
    std::vector<int> first, next;
    // The working room of collapse_detours_cut (the detour lanes read, the path's elements, the
    // path being made), kept from one path to the next so that it is made once per cut, not once
    // per path; freed by collapse_detours_clear.
    std::unique_ptr<collapse_detour_room> room;
    collapse_detours();
    ~collapse_detours();
};
extern collapse_detours collapse_detours_block;

// Whether lane n is a detour lane: a collapse lane with status 0 whose parent is a lane.
bool collapse_detour_lane(int n);

// Whether detour lanes are listed for lane n.
bool has_collapse_detours(int n);

// Lists the detour lanes of the engine's lanes (those below the first output lane); `clear`
// forgets them.
void collapse_detours_list();
void collapse_detours_clear();

// Inserts the detour lanes of `lane` into its planar cut path, a closed loop: each at the point of
// the path nearest to its vertices (the point they share, or the nearest), out along the detour
// lane the other way round from the path (so that the cut still encloses the path's region, less
// the detour's) and back. A detour whose longest run along the path is longer than the rest of it
// is not gone round whole (that would cut the run a second time): the cut goes out along the rest
// from where the run ends and back the same way. Status 0, or 11 when a lane cannot be read or an
// append fails.
void collapse_detours_cut(int lane, pokarr& path, int& status);
