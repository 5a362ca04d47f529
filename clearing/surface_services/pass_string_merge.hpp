// The merge of a link's strings with a segment's strings in the surface pass loop: the link goes
// in front, joined where it meets the tool position and the segment's first point.
#pragma once

#include "pocket_lanes/moves/string_merge.hpp"

// MRGGST with the join at the tool, moving normals and per-point words with their points.
// Status as MRGGST's (nothing changed on -1).
void merge_pass_strings(point_string_set& strings, point_string_set& link, int& status);
