// A caller module of our own that stands for a host surface function: a pocket whose lanes lie on
// the part's height-grid surface. It runs the real procedure driver for NC function 50 ("KQ47",
// 468 words). Define picks the contours, each a closed chain of line entities picked in order
// (the outer contour first, counter-clockwise, then the islands clockwise; an exit ends a
// contour, an exit on an empty contour ends the contours), then the height-grid surface. Execute
// loads the grid, sets the lane engine up as the pocket run for another caller does but in
// dimension 3 with the contours laid onto the grid and the grid's holes inside the pocket as
// islands, runs the engine and writes each live lane (the offsets and the lanes of narrow parts)
// as a point string (and fails when the engine answers that they leave part of the pocket
// uncut). The third answer to where the lanes go clears the region of the engine's single offset
// instead, by hatch passes over the part surface (surface_clearing.hpp) with the mill a second
// menu chooses; its part surface may be a mesh as well as a height grid. The fourth clears it by
// hatch passes over a parametric part surface picked in place of the grid (a plane, a sphere or a
// bicubic patch), each hatch segment laid onto that surface by the pass engine's string method 1.
// Test code only: never part of the module.
#include "clearing/surface_lanes/grid_projection.hpp"
#include "clearing/surface_lanes/grid_search.hpp"
#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "host/vantu.hpp"
#include "host/vantu_part_surfaces.hpp"
#include "host/vantu_surface_eval.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/unwind_guard.hpp"
#include "pocket/contour_box.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/pocket_driver_setup.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_work.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/engine_codes.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "pocket_lanes/pocket_computation.hpp"
#include "surfaces/part_surface_sources_least.hpp"
#include "surfaces/surface_grid.hpp"
#include "surfaces/surface_select_least.hpp"
#include "surfaces/tri_store_least.hpp"
#include "tests/modules/driver_caller.hpp"
#include "tests/modules/surface_clearing.hpp"
#include "toolpath/motion_writers.hpp"

#include <array>
#include <cmath>
#include <iterator>
#include <map>
#include <utility>
#include <vector>

namespace {

constexpr int kExecute = 1;
constexpr int kPicked = 0;
constexpr int kFailed = -1;
constexpr int kSurfaceDimension = 3;
// The surface function's own values: the step between lanes across the surface and the
// tolerance of the engine.
constexpr double kSideStep = 2.0;
constexpr float kTolerance = 0.01f;
constexpr int kDirectionSwitch = 0;
// The engine's offsets mode of a pocket cleared whole (pocket_state.offsets_mode): the direction
// switches of another caller ask for one offset per contour.
constexpr int kOffsetsUntilFull = 99;
// Every contour's offset: the first lane stands this far inside the outer contour and outside
// the islands.
constexpr float kContourOffset = 1.0f;
constexpr int kClosed = 1;
constexpr int kSurfaceMode = 1;      // every lane point brought onto the surface
constexpr int kVertical = 2;         // a point dropped vertically onto the triangle under it
constexpr int kGridCoordinates = 0;  // lane points on the surface, pocket points plus the shift
constexpr int kLaneString = 1;       // points only
constexpr int kShown = 1;
// The choices of where the lanes go (or hatch passes over the part surface instead), and the
// ball that lays them onto the part surface.
constexpr int kOnGrid = 1, kOnPartSurface = 2, kHatchPasses = 3, kMethodOnePasses = 4;
// The hatch lines of method 1 lie half the ball's diameter apart.
constexpr double kMethodOneStep = 1.0;
// The lane engine's offsets mode for a region to be hatched: its one offset of every contour.
constexpr int kOneOffsetSwitch = 1;
constexpr int kPlaneDimension = 2;
// lane_on_srf: the pocket frame's second origin on, refined, no raw lane.
constexpr int kWithOrigin = 1, kRefined = 1, kNoRaw = 0;

// What define picked for execute.
struct surface_pocket_picks {
    std::vector<std::vector<int>> contours;  // line entity ids, in order
    int grid = 0;                            // the height grid, or with kMethodOnePasses the parametric part surface
    int lanes = kOnGrid;
    int mill = 1;  // the mill of the hatch passes over the part surface, 1 .. 3 of kMillMenu
};

// Whether the entity is a parametric part surface (a plane, a sphere or a bicubic patch).
bool parametric_surface(int id)
{
    int entity_class = 0, type = 0, status = 0, closed = 0;
    eopen(id, entity_class, type, status);
    eclose(closed);
    return status == 0 && entity_class == kPartSurfaceClass &&
           (type == kPlaneSurfaceType || type == kSphereSurfaceType || type == kBicubicSurfaceType);
}
surface_pocket_picks picks;

const surface_clearing::clearing_mill& chosen_mill() { return surface_clearing::kMills[picks.mill - 1]; }

// Picks until an exit: the ids of the entities picked, in order.
std::vector<int> picked_until_exit(const char* prompt)
{
    std::vector<int> ids;
    prmptc(prompt);
    for (;;) {
        int choice = kPicked, entity = 0;
        pick(choice, entity);
        if (choice != kPicked) return ids;
        ids.push_back(entity);
    }
}

void define(int&, int&, int&, int& repeat, int&, int&, int&, int& end_run, int& status)
{
    status = 0;
    end_run = repeat == 1 ? 1 : 0;
    if (end_run != 0) return;
    picks = surface_pocket_picks{};
    for (std::vector<int> contour; !(contour = picked_until_exit("INDICATE CONTOUR LINES/EXIT")).empty();)
        picks.contours.push_back(contour);
    int choice = kPicked;
    prmptc("INDICATE HEIGHT GRID OR PART SURFACE");
    pick(choice, picks.grid);
    if (choice != kPicked || picks.contours.empty()) {
        status = kFailed;
        return;
    }
    prmptc("LAY THE LANES ON");
    menuc("THE GRID@THE PART SURFACE@HATCH PASSES OVER THE PART SURFACE@SURFACE CLEARING BY METHOD 1", picks.lanes);
    if (picks.lanes < kOnGrid || picks.lanes > kMethodOnePasses) status = kFailed;
    // Method 1 hatches a parametric surface; the other answers need the height grid.
    if ((picks.lanes == kMethodOnePasses) != parametric_surface(picks.grid)) {
        eroutc("surface_pocket, METHOD 1 GOES WITH A PARAMETRIC SURFACE, THE LANES WITH A HEIGHT GRID", 0);
        status = kFailed;
    }
    if (status != 0 || picks.lanes != kHatchPasses) return;
    prmptc("THE MILL OF THE PASSES");
    menuc(surface_clearing::kMillMenu, picks.mill);
    if (picks.mill < 1 || picks.mill > static_cast<int>(std::size(surface_clearing::kMills))) status = kFailed;
}

// The contour's corners at the grid's height (at their own height without a grid): the start of
// every line, the first again at the end.
bool contour_corners(const std::vector<int>& lines, bool on_grid, pokarr& contour)
{
    int status = 0;
    for (const int id : lines) {
        int entity_class = 0, type = 0;
        double line[6] = {};
        eopen(id, entity_class, type, status);
        if (status == 0 && entity_class == kCurveClass && type == kLineType)
            egetd(6, line, status);
        else if (status == 0)
            status = kFailed;
        int closed = 0;
        eclose(closed);
        if (status != 0) return false;
        int col = 0, row = 0;
        double moved = 0.0;
        if (on_grid) grid_find_cell(kVertical, line, col, row, moved, status);
        if (status != 0) return false;
        pokarr_add_pnt(line, contour, status);
        if (status != 0) return false;
    }
    const double first[3] = {contour.x[0], contour.y[0], contour.z[0]};
    pokarr_add_pnt(first, contour, status);
    return status == 0;
}

// ---- holes of the grid --------------------------------------------------------------------------

using node = std::pair<int, int>;  // column, row

bool node_has_surface(int col, int row)
{
    const surface_grid& g = surface_grid_block;
    return std::fabs(g.heights[static_cast<std::size_t>(row) * g.nx + col]) < kGridNoSurfaceHeight;
}

// The triangles without surface, counter-clockwise: every triangle of a cell with two or more
// corners without surface, and of a cell with one the triangle that holds that corner (the cell
// then takes the diagonal that leaves it alone in its triangle).
std::vector<std::array<node, 3>> holed_triangles()
{
    const surface_grid& g = surface_grid_block;
    std::vector<std::array<node, 3>> out;
    for (int r = 0; r + 1 < g.ny; ++r)
        for (int c = 0; c + 1 < g.nx; ++c) {
            const node corner[4] = {{c, r}, {c + 1, r}, {c + 1, r + 1}, {c, r + 1}};
            int missing = -1, without = 0;
            for (int k = 0; k < 4; ++k)
                if (!node_has_surface(corner[k].first, corner[k].second)) missing = k, ++without;
            if (without == 1 && (missing == 0 || missing == 2)) {
                out.push_back(missing == 0 ? std::array<node, 3>{corner[0], corner[1], corner[3]}
                                           : std::array<node, 3>{corner[1], corner[2], corner[3]});
            } else if (without == 1) {
                out.push_back(missing == 1 ? std::array<node, 3>{corner[0], corner[1], corner[2]}
                                           : std::array<node, 3>{corner[0], corner[2], corner[3]});
            } else if (without > 1) {
                out.push_back({corner[0], corner[1], corner[2]});
                out.push_back({corner[0], corner[2], corner[3]});
            }
        }
    return out;
}

// The outlines of the grid's holes, clockwise (as islands go): the edges of the holed triangles
// that no other holed triangle shares, chained.
std::vector<std::vector<node>> hole_outlines()
{
    std::map<std::pair<node, node>, bool> edges;  // directed edge, still to chain
    for (const auto& t : holed_triangles())
        for (int k = 0; k < 3; ++k) edges[{t[k], t[(k + 1) % 3]}] = true;
    std::multimap<node, node> next;  // the outline's edges reversed: clockwise
    for (const auto& [edge, unused] : edges)
        if (edges.count({edge.second, edge.first}) == 0) next.emplace(edge.second, edge.first);
    std::vector<std::vector<node>> outlines;
    while (!next.empty()) {
        std::vector<node> outline;
        auto at = next.begin();
        const node first = at->first;
        for (node n = first;;) {
            outline.push_back(n);
            const node to = at->second;
            next.erase(at);
            if (to == first || (at = next.find(to)) == next.end()) break;
            n = to;
        }
        outlines.push_back(outline);
    }
    return outlines;
}

bool inside(const std::vector<std::array<double, 2>>& polygon, double x, double y)
{
    bool in = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const auto &a = polygon[i], &b = polygon[j];
        if ((a[1] > y) != (b[1] > y) && x < a[0] + (y - a[1]) * (b[0] - a[0]) / (b[1] - a[1])) in = !in;
    }
    return in;
}

// The picked contours as polygons in XY.
bool drawn_contours(std::vector<std::vector<std::array<double, 2>>>& drawn)
{
    for (const std::vector<int>& lines : picks.contours) {
        pokarr_work work(kSurfaceDimension);
        if (!contour_corners(lines, false, work.a)) return false;
        auto& polygon = drawn.emplace_back();
        for (int i = 0; i + 1 < work.a.count; ++i) polygon.push_back({work.a.x[i], work.a.y[i]});
    }
    return true;
}

// The holes of the grid inside the pocket, as the surface function hands them to the engine:
// islands whose lanes go round them. A hole partly inside the pocket cannot be one: the run says
// so and fails. Holes outside the outer contour or inside an island are left alone.
bool hole_islands(std::vector<std::vector<node>>& islands)
{
    std::vector<std::vector<std::array<double, 2>>> drawn;
    if (!drawn_contours(drawn)) return false;
    const surface_grid& g = surface_grid_block;
    for (const std::vector<node>& outline : hole_outlines()) {
        int in_pocket = 0;
        for (const node& n : outline) {
            const double x = g.x0 + n.first * g.h, y = g.y0 + n.second * g.h;
            bool in = inside(drawn[0], x, y);
            for (std::size_t k = 1; k < drawn.size() && in; ++k) in = !inside(drawn[k], x, y);
            in_pocket += in ? 1 : 0;
        }
        if (in_pocket == static_cast<int>(outline.size())) {
            islands.push_back(outline);
        } else if (in_pocket > 0) {
            eroutc("surface_pocket, A HOLE OF THE GRID CROSSES A CONTOUR", 0);
            return false;
        }
    }
    return true;
}

// A contour's points laid onto the grid in world coordinates (in dimension 3; in the plane its
// corners are the contour), as 4-byte points.
bool laid_contour(pokarr& contour, int dimension, std::vector<float>& points, int& status)
{
    if (dimension == kSurfaceDimension)
        surface_grid_seam_table().lan_on_grid(kSurfaceMode, kClosed, contour, 0.0, status);
    if (status != 0) {
        eroutc("surface_pocket, UNABLE TO LAY A CONTOUR ONTO THE GRID", 0);
        return false;
    }
    for (int i = 0; i < contour.count; ++i) {
        points.insert(points.end(), {static_cast<float>(contour.x[i]), static_cast<float>(contour.y[i])});
        if (dimension == kSurfaceDimension) points.push_back(static_cast<float>(contour.z[i]));
    }
    return true;
}

// Lays every contour and hole island onto the grid, then loads them into the engine's contour
// tables; the first sets the pocket frame, whose origin becomes the grid's shift (the engine's
// points are relative to it).
bool load_contours(int dimension, const std::vector<std::vector<node>>& holes, int& status)
{
    for (double& shift : surface_grid_block.shift) shift = 0.0;
    std::vector<std::vector<float>> laid;
    for (const std::vector<int>& lines : picks.contours) {
        pokarr_work work(kSurfaceDimension);
        if (!contour_corners(lines, dimension == kSurfaceDimension, work.a)) {
            eroutc("surface_pocket, A CONTOUR IS NOT A CHAIN OF LINES ON THE GRID", 0);
            return false;
        }
        if (!laid_contour(work.a, dimension, laid.emplace_back(), status)) return false;
    }
    const surface_grid& g = surface_grid_block;
    for (const std::vector<node>& outline : holes) {
        pokarr_work work(kSurfaceDimension);
        for (std::size_t k = 0; k <= outline.size() && status == 0; ++k) {
            const node& n = outline[k % outline.size()];
            const double p[3] = {g.x0 + n.first * g.h, g.y0 + n.second * g.h,
                                 g.heights[static_cast<std::size_t>(n.second) * g.nx + n.first]};
            pokarr_add_pnt(p, work.a, status);
        }
        if (status != 0 || !laid_contour(work.a, dimension, laid.emplace_back(), status)) return false;
    }
    for (std::size_t k = 0; k < laid.size() && status == 0; ++k)
        contour_box(k == 0 ? 1 : 0, static_cast<int>(laid[k].size()) / dimension, laid[k].data(), status);
    for (int c = 0; c < 3; ++c) surface_grid_block.shift[c] = pocket_frame_block.origin[c];
    return status == 0;
}

// The engine's live lanes (after the contours, before the cut chains) as point strings.
void write_lanes(int contours, int& status)
{
    const lane_table& t = lane_table_block;
    const int last = pocket_box_block.first_output_lane > 0 ? pocket_box_block.first_output_lane - 1 : t.count;
    const double* origin = pocket_frame_block.origin;
    for (int i = contours + 1; i <= last && status == 0; ++i) {
        // Live lanes only, whatever made them (an offset, a narrow part's collapse, a leftover):
        // a lane of status 0 here was merged away (a branch that met an island).
        if (t.level[i] == kLevelSeparator || t.status[i] <= 0 || t.first[i + 1] <= t.first[i]) continue;
        pokarr_work work(kSurfaceDimension), laid(4);
        pokarr& lane = work.a;
        lane_to_pokarr(i, lane, status);
        const bool on_part = picks.lanes == kOnPartSurface;
        if (status == 0 && on_part) {
            lane_on_srf(kWithOrigin, kRefined, kNoRaw, i, lane, laid.a, laid.a, status);
        } else if (status == 0) {
            // The engine's lanes have their points on the surface, but a straight stretch of a
            // merged lane may cut across a fold; laid onto the grid, every move runs on the
            // surface, and the lane, cut free of its small loops, never crosses itself.
            surface_grid_seam_table().lan_on_grid(kGridCoordinates, kProjectClosedLane, lane, 0.0, status);
        }
        const pokarr& written = on_part ? laid.a : lane;
        for (int p = 0; p < written.count && status == 0; ++p) {
            const point3 point{static_cast<float>(written.x[p] + origin[0]),
                               static_cast<float>(written.y[p] + origin[1]),
                               static_cast<float>(written.z[p] + origin[2])};
            string_move(kLaneString, point, kDefaultDirection, status);
        }
        PCLSST(kShown);
    }
}

// The triangle model of the picked surface and the mill as the current cutter and as the tool
// values the lane projection reads.
void load_part_surface(const surface_clearing::clearing_mill& mill, int& status)
{
    tri_model_from_part(picks.grid, status);
    if (status != 0) return;
    linnet_params_block.cutter_type = mill.cutter_type;
    linnet_params_block.diameter = mill.diameter;
    linnet_params_block.corner_radius = mill.corner;
    grid_projection_values& values = surface_grid_block.projection;
    values.tool_diameter = mill.diameter;
    values.corner_radius = mill.corner;
    values.tool_third = 0.0f;
}

void execute(int& mode, int& status)
{
    status = 0;
    if (mode != kExecute) return;
    const bool method_one = picks.lanes == kMethodOnePasses;
    const bool hatching = picks.lanes == kHatchPasses || method_one;
    // Method 1 reads the procedure's first part surface: the one picked. The hatch passes go over
    // its triangles alone (a mesh or a height grid); the lanes walk the height grid.
    if (method_one)
        nc_surf_set_ids(kSurfacePart, 1, &picks.grid, status);
    else if (!hatching)
        surface_grid_from_part(picks.grid, status);
    const surface_clearing::clearing_mill& mill =
        picks.lanes == kHatchPasses ? chosen_mill() : surface_clearing::kMills[0];
    if (status == 0 && picks.lanes != kOnGrid && !method_one) load_part_surface(mill, status);
    if (status != 0) return;
    save_restore_pocket(1);
    give_back restore([] {
        save_restore_pocket(2);
        int released = 0;
        tri_model_release(released);
        pkdm_rel_all();
        POKREL(1, released);
    });
    std::vector<std::vector<node>> holes;
    if (!hatching && !hole_islands(holes)) {
        status = kFailed;
        return;
    }
    const int contours = static_cast<int>(picks.contours.size() + holes.size());
    const std::vector<float> offsets(static_cast<std::size_t>(contours), kContourOffset);
    init_pocket_globals(hatching ? kOneOffsetSwitch : kDirectionSwitch, 0, 0.0f, kTolerance, contours, offsets.data(),
                        status);
    if (status != 0) return;
    const int dimension = hatching ? kPlaneDimension : kSurfaceDimension;
    pocket_state_block.pocket_dimension = dimension;
    if (!hatching) pocket_state_block.offsets_mode = kOffsetsUntilFull;
    pocket_work_block.side_step = method_one ? kMethodOneStep : kSideStep;
    pocket_mode_word = 1;  // a caller of its own: no user messages of the pocket procedure
    if (!load_contours(dimension, holes, status)) {
        status = kFailed;
        return;
    }
    cmtpk1(0, status);
    // Lanes that leave part of the pocket uncut (the engine has said so) are written all the same,
    // and the execution fails.
    const bool uncovered = status == kEngineUncovered;
    if (status != 0 && !uncovered) {
        erou1c("surface_pocket, THE LANE ENGINE ANSWERS", status);
        status = kFailed;
        return;
    }
    status = 0;
    if (hatching)
        surface_clearing::clear_region(
            kTolerance, method_one ? surface_clearing::kLineStrings : surface_clearing::kTouchStrings, mill, status);
    else
        write_lanes(contours, status);
    if (uncovered && status == 0) status = kFailed;
}

}  // namespace

extern "C" int drelan_attach(int) { return 1; }

extern "C" void drelan() { driver_caller::run(define, execute); }
