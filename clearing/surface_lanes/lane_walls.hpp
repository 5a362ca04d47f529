// The pocket's walls as the lanes laid on the part surfaces keep them. The walls stand upright
// over the contours, so a lane keeps its contour's offset in the plane; but the tool pushed along
// the surface normal touches a flank that falls towards a wall with its tip moved down the flank,
// nearer the wall than the point it was pushed through. lane_on_srf holds the contours for one
// lane (lane_walls_scope); draw_lane_3d moves such a tip back, and the projection keeps every
// point that the chords beside the walls need.
#pragma once

#include "clearing/surface_lanes/lane_points.hpp"
#include "pocket_arrays/way_region.hpp"

#include <vector>

// The contours held while one lane is laid: the lane table's contours with the clearance their
// lanes keep (contour_region_fill), and the shift from the projection's coordinates (with or
// without the pocket frame's second origin) to the contours' (the main arrays' origin). Filled
// and emptied by lane_walls_scope; nothing held outside it.
struct lane_walls {
    way_region region;
    double shift[2] = {0.0, 0.0};
};
lane_walls& lane_walls_block();

// Holds the contours for the life of the scope when the pocket lies on the surfaces (dimension 3
// or 4) and the lane table holds contours, and gives back what was held before on every way out.
// origin: the projection adds the second origin (pocket_frame_block.origin_copy) to its points.
// Reads lane_table_block, pokmain_block.origin, pocket_state_block and pocket_work_block.
class lane_walls_scope {
public:
    explicit lane_walls_scope(int origin);
    ~lane_walls_scope();
    lane_walls_scope(const lane_walls_scope&) = delete;
    lane_walls_scope& operator=(const lane_walls_scope&) = delete;

private:
    lane_walls kept_;
};

// Whether the straight way from a to b (projection coordinates) keeps every held contour's
// clearance less slack and stays inside the pocket; true when nothing is held.
bool lane_walls_kept(const lane_pnt& a, const lane_pnt& b, float slack);

// A tip the push along the surface normal moved from the point it was pushed through towards the
// walls: moved back towards that point until it keeps at least the clearance and half the point's
// room beyond it (way_region_room); a place still within a clearance (the lane laid on the grid
// came that near, by up to half the clearance) moved straight away from the nearest wall out to
// it; the tool dropped there, tip and normal taking the drop's. The lanes beside a wall so keep
// their clearance and their order. Left as it is when nothing is held, the tip keeps that room,
// or the drop meets nothing. Reads the triangle model and linnet_params through the drop.
void lane_walls_keep(const lane_pnt& through, lane_pnt& tip, lane_pnt& normal);

// The refined string (points of the collected one, in its order) with the collected points put
// back between two neighbours whose chord does not keep the walls (lane_walls_kept with slack):
// the refinement leaves out points by how straight the string runs, not by what it passes.
std::vector<lane_pnt> lane_walls_restore(const std::vector<lane_pnt>& collected, const lane_pnt* refined, int count,
                                         float slack);
