// Hatching of a region: the straight move from P1 to P2 through two polygon sets, as one hatch
// line crosses a region. By its mode it writes the moves that go round the polygons met, returns
// that path as points, only tests whether the straight move would gouge, or returns the
// crossing points. The entry code, the ramp choice and the sliver test of the offset pieces call
// it through their seam (pocket_lanes/moves/region_hatch_seams.hpp, which also names the modes);
// temp_hatch takes the two sets from the polygon buffers.
#pragma once

#include "host/words.hpp"
#include "pocket_lanes/moves/point_output.hpp"
#include "pocket_lanes/moves/region_hatch_seams.hpp"

// Follows P1 to P2 (x, y, z doubles) through the first set (every mode) and the second set
// (modes 1 to 3, which also locate P1, P2 and the spans in it). Sets are packed polygons (a point
// count, then x, y single-precision pairs). count: the points or crossings written; gouge 1
// when the move might gouge; status 0, 1 (a gouge in strict mode), negative on a memory or
// motion failure. A full crossing table (more than 2,000 crossings, or a second set of more
// than 2,000 polygons) counts as a gouge in modes 1 to 5; mode 6 keeps its first 2,000. Reads
// pocket_work.tolerance, pocket_state (direction_sign, strict_gouge, current_z) and DSP8.
void hatch_region(int mode, const word* second, int second_count, const word* first, int first_count, const double* p1,
                  const double* p2, int& count, xy_output& output, int& gouge, int& status);
// hatch_region with polygon buffer 5 as the second set and the current buffer as the first.
void temp_hatch(int mode, const double* p1, const double* p2, int& count, xy_output& output, int& gouge, int& status);
// The surface check of NC functions 34 and 38 over the spans between the crossings (u of
// neighbouring pairs, hatch frame angle and line v): the tool narrowed by the tolerance t is
// probed along each span; gouge 1 when it touches. Status 0 or -1 (a failed contact).
void hatch_surface_check(const double* p1, float angle, float line_v, const float* spans, int span_count, float t,
                         int& gouge, int& status);

// The work of the hatching kept between calls: the copy of the second set and its counts.
struct hatch_work {
    int copy_handle = -1;  // host array of 4-byte items, -1 while not open
    int copy_capacity = 0;
};
extern hatch_work hatch_work_block;
// Closes the copy of the second set.
void hatch_work_close(int& status);
