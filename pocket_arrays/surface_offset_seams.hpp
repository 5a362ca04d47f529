// The surface services of the geometry kernel: the offset of a loop lying on the part surface
// (dimensions 3 and 4), which the raw offset's dispatcher lane_offset_2d3d hands such loops to,
// and the projection of a lane onto the surface grid, which the surface-path distance of the
// nearest-point search drops its connection with. The surface lanes (clearing/) make them and
// fill this table when the module is loaded (pocket_arrays/seam_entry.hpp).
#pragma once

#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/seam_entry.hpp"

inline constexpr char kSurfaceOffsetSeamsName[] = "surface_offset_seams";

struct surface_offset_seams {
    using unfilled = unfilled_seam<kSurfaceOffsetSeamsName>;
    // Offsets the closed loop on the surface by the distance to the side (sign only) into the
    // output. Status 0 done, 1 no usable offset (output empty), 11 input refused or an array
    // failed, -3 stopped by the grid walk.
    void (*lane_offset_3d)(int side, double distance, const pokarr& input, pokarr& output, int& status) = unfilled{};
    // Lays the lane (dimension 3) onto the surface grid in place; mode, close (nonzero: the
    // result is closed onto its first point), spacing of the result's points (0: none).
    void (*lan_on_grid)(int mode, int close, pokarr& lane, double spacing, int& status) = unfilled{};
};

// The services the kernel calls; assign an entry to replace it.
surface_offset_seams& surface_offset_seam_table();
