// The closing of the gap that a block deletion leaves in a tool path. The connection is the
// trimming's (edit/trim/reconnect_gap.hpp), which stands above the editor, so the block deletion
// reaches it through this table, which the editing folder fills when the module is loaded
// (edit/seam_fills.cpp; pocket_arrays/seam_entry.hpp). The sides of a gap are plain data that
// both read.
#pragma once

#include "pocket_arrays/seam_entry.hpp"
#include "toolpath/tp_blocks.hpp"

// The two sides of a gap: its end points, and for each end whether a motion lies beside it with
// the neighbouring path point that gives the path's direction there.
struct gap_ends {
    point3 from{}, to{};
    int start_found = 0, end_found = 0;
    point3 before{}, after{};
};

inline constexpr char kGapServicesName[] = "gap_services";

struct gap_services {
    using unfilled = unfilled_seam<kGapServicesName>;
    // gap_connect (edit/trim/reconnect_gap.hpp): clearance height, lift, the gap's sides, status.
    void (*gap_connect)(float& clear_z, float& del_z_up, const gap_ends& ends, int& status) = unfilled{};
    // gap_side_point (edit/trim/reconnect_gap.hpp): 1 when a motion lies beside the end (start 1
    // the from end, 0 the to end) and its neighbouring point was read, else 0.
    int (*gap_side_point)(int start, point3 point, point3& neighbour) = unfilled{};
};

// The services the block deletion calls; assign an entry to replace it.
gap_services& gap_service_table();
