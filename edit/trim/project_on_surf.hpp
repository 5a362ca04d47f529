// The projection of a trim range onto the reference surfaces (the trimming's PROJECT MOTIONS with
// PROJ.:BLK BELOW SRF., PROJ.:ALL BLK ON SRF. and CHECK MOTION BELOW SURF.): the trim action
// collects the range's polyline, and project_on_surf lays it onto the triangle model of cache
// slot 0 with the current tool and writes the new strings in the range's place, or only marks
// where the range gouges.
#pragma once

#include "toolpath/tp_blocks.hpp"

// The working diameter of the projection's connections: the current mill's diameter, 10.0 when
// it is 0 or the tool is no mill.
inline constexpr float kProjectionDefaultDiameter = 10.0f;

// Projects the range first .. last (block numbers of the current procedure; list marker 14 stands
// on its first block) whose polyline trim_words() holds (collected_points, collected_vectors,
// collected_count). surfaces: the number of reference surfaces (the connections' first list
// count). approach_flag non-zero, or the selection ALL PROCEDURE BLOCKS: the new path is entered
// by a retract and an approach, and the flag is cleared. The new strings are written after the
// range and only once they stand is the range deleted: on success they stand in its place and the
// list on the last of them. Reads trim_words() (projection_option, selection_method,
// ref_srf_offset, ref_srf_tol, del_z_up, end_reached), PRM9's tool, HEI8's clearance. Status 0;
// 1 when no string was made (nothing changed); negative from a refused array ("project_on_surf,
// DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE", nothing written), the touch query or the writing, the
// range then as it was and the list where it was.
void project_on_surf(int surfaces, int& approach_flag, int first, int last, int& status);

// A gouging point shown in red: a point entity at `point` ("CO" 2, "PE" 3) and a vertical line
// from it to `height` ("CO" 2, "PE" 1), both displayed; the selection is cleared first.
void mark_gouge_point(const point3& point, float height);
