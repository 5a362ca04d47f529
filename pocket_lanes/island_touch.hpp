// Island lanes that lie on each other without crossing: the lanes round two holes of a surface
// grid exactly two offsets apart meet along a stretch, where the merge of crossing lanes
// (ilscom) finds no crossing and each island would keep its lane, the tool running the stretch
// twice. ilscom merges such lanes as it merges crossing ones, with one lane pushed a little into
// the other along the stretch, so that they cross at its ends.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// Whether b runs within `reach` of a in plan over more than `least_length` of its length, counted
// from vertex to vertex (b's, and a's corners that lie on b's segments): lanes that only meet at
// a point, however shallow the angle between them there, do not lie on each other. Lanes of
// straight segments only: an array holding an arc answers false.
bool lanes_lie_on_each_other(const pokarr& a, const pokarr& b, double reach, double least_length);

// A copy of closed loop b in `out` (an initialised array of b's dimension) with the corners of a
// that lie within `reach` of b's segments added to it, and every point of it within `reach` of a
// moved by `push` in plan out of the region b encloses: where b touches a from outside, into a.
// Status 0, or the code of a failed append.
void lane_pushed_into(const pokarr& a, const pokarr& b, double reach, double push, pokarr& out, int& status);
