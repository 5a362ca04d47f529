// The pocket's walls as the lanes laid on the part surfaces keep them (see the header).
#include "clearing/surface_lanes/lane_walls.hpp"

#include "clearing/surface_lanes/lane_on_srf.hpp"
#include "cutter/drop_front.hpp"
#include "pocket/lane_table.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "pocket_lanes/moves/link_region.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int kPlaneDimension = 2;
// The share of the way back to the point pushed through is halved this often: 1/4096 of a push
// that moves the tip at most a tool radius aside is far below the lane tolerance.
constexpr int kWallHalvings = 12;
// The share of its point's room from the walls that a tip may give up. Less than the whole, so
// that the lanes beside a wall, whose tips a steep flank moves aside by more than the lanes lie
// apart, keep their order and part of their distance instead of all meeting on the clearance.
constexpr double kRoomGivenUp = 0.5;

// A point may stand this share of the largest clearance within it and still be moved out to it.
constexpr double kOutShare = 0.5;
// Steps out of a clearance: a place beside two walls may need more than one.
constexpr int kOutSteps = 3;
// A place that is moved keeps this share of the lane tolerance beyond what it must keep: the
// chords between such places round a corner of a wall then keep its clearance too.
constexpr float kMovedMarginShare = 0.25f;

// The room of a point from the walls (way_region_room), measured within reach; nearest receives
// the wall's point that leaves the least room, in the walls' coordinates.
double room_of(const lane_pnt& p, double reach, double* nearest = nullptr)
{
    const lane_walls& walls = lane_walls_block();
    const double at[2] = {p[0] + walls.shift[0], p[1] + walls.shift[1]};
    return way_region_room(walls.region, at, reach, nearest);
}

lane_pnt between(const lane_pnt& a, const lane_pnt& b, float t) { return a + t * (b - a); }

// A place with less room than `least` (the lane it was laid from came that near a wall) moved
// straight away from the nearest wall until it has it, step by step while that gains room.
lane_pnt out_of_clearance(lane_pnt place, double least, double reach)
{
    const lane_walls& walls = lane_walls_block();
    for (int i = 0; i < kOutSteps; ++i) {
        double nearest[2] = {0.0, 0.0};
        const double room = room_of(place, reach, nearest);
        if (room >= least) break;
        const double dx = place[0] + walls.shift[0] - nearest[0], dy = place[1] + walls.shift[1] - nearest[1];
        const double away = std::hypot(dx, dy);
        if (!(away > 0.0)) break;
        lane_pnt moved = place;
        moved[0] += static_cast<float>((least - room) * dx / away);
        moved[1] += static_cast<float>((least - room) * dy / away);
        if (!(room_of(moved, reach) > room)) break;
        place = moved;
    }
    return place;
}

}  // namespace

lane_walls& lane_walls_block()
{
    static lane_walls held;
    return held;
}

lane_walls_scope::lane_walls_scope(int origin) : kept_(std::move(lane_walls_block()))
{
    lane_walls& walls = lane_walls_block();
    walls = lane_walls{};
    if (pocket_state_block.pocket_dimension == kPlaneDimension || lane_table_block.count < 1) return;
    int status = 0;
    contour_region_fill(walls.region, status);
    if (status != 0) {
        walls = lane_walls{};
        return;
    }
    for (int k = 0; k < 2; ++k)
        walls.shift[k] = pokmain_block.origin[k] - (origin != 0 ? pocket_frame_block.origin_copy[k] : 0.0);
}

lane_walls_scope::~lane_walls_scope() { lane_walls_block() = std::move(kept_); }

bool lane_walls_kept(const lane_pnt& a, const lane_pnt& b, float slack)
{
    const lane_walls& walls = lane_walls_block();
    if (walls.region.ends.empty()) return true;
    const double from[2] = {a[0] + walls.shift[0], a[1] + walls.shift[1]};
    const double to[2] = {b[0] + walls.shift[0], b[1] + walls.shift[1]};
    return way_in_region(walls.region, from, to, slack);
}

void lane_walls_keep(const lane_pnt& through, lane_pnt& tip, lane_pnt& normal)
{
    const lane_walls& walls = lane_walls_block();
    if (walls.region.ends.empty()) return;
    // The room is measured within twice the tip's move: a point with more keeps at least half of
    // it wherever the tip stands; and within the share of a clearance a place may be moved out.
    const double largest = *std::max_element(walls.region.clearances.begin(), walls.region.clearances.end());
    const double reach = 2.0 * lane_dist_xy(through, tip) + kOutShare * largest;
    const double least = std::max(0.0, (1.0 - kRoomGivenUp) * room_of(through, reach));
    if (room_of(tip, reach) >= least) return;
    const double moved_least = least + kMovedMarginShare * lane_tolerance();
    float kept = 0.0f, lost = 1.0f;
    for (int i = 0; i < kWallHalvings; ++i) {
        const float middle = 0.5f * (kept + lost);
        (room_of(between(through, tip, middle), reach) >= moved_least ? kept : lost) = middle;
    }
    const lane_pnt place = out_of_clearance(between(through, tip, kept), moved_least, reach);
    lane_pnt dropped{}, dropped_normal{};
    int status = 0;
    tool_drop_z_at_xy(place.data(), dropped.data(), dropped_normal.data(), status);
    if (status != 0) return;
    tip = dropped;
    normal = dropped_normal;
}

std::vector<lane_pnt> lane_walls_restore(const std::vector<lane_pnt>& collected, const lane_pnt* refined, int count,
                                         float slack)
{
    std::vector<lane_pnt> out;
    out.reserve(static_cast<std::size_t>(count));
    std::size_t at = 0;           // the collected index of the last refined point found
    bool previous_found = false;  // whether that was the point before this one
    for (int i = 0; i < count; ++i) {
        const lane_pnt& p = refined[i];
        std::size_t next = i > 0 ? at + 1 : 0;
        while (next < collected.size() && collected[next] != p) ++next;
        const bool found = next < collected.size();
        if (found && previous_found && !lane_walls_kept(out.back(), p, slack))
            out.insert(out.end(), collected.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                       collected.begin() + static_cast<std::ptrdiff_t>(next));
        out.push_back(p);
        // A point the refinement made is passed by: the search goes on from the last one found.
        if (found) at = next;
        previous_found = found;
    }
    return out;
}
