// The spline moves of the entry code (see the header).
#include "pocket_lanes/moves/twirl_spline.hpp"

#include "cutter/tool_probe.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/twirl_words.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_lanes/moves/surface_grid_seams.hpp"
#include "surfaces/line_entity.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/milling_statement.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/updown_buffers.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kAboveClearanceMode = 1;
constexpr int kNoBuffering = 1;
constexpr int kFittedSplines = 1;
constexpr int kTwirlMode = 2, kLinkMode = 2;
// The entry moves link no pass of a clearing: pass number 0.
constexpr int kEntryPassNumber = 0;
constexpr int kPointRecord = 3;
constexpr int kCubicOrder = 4, kSegmentPoints = 3;
constexpr double kTwirlShare = 0.01, kLeastTwirlTolerance = 0.001;
// The twirl length of an approach: modes taking curve_approx_common's, the lead value's, and the
// shares of it tried one after another.
constexpr int kCommonLengthA = 2, kCommonLengthB = 3, kLeadLength = 1;
constexpr double kTries[] = {1.0, 0.75, 0.5, 0.25};
constexpr int kPointsOnly = 1;
constexpr int kCaller = 1;
// The debug display of the end directions: lines of this length in this colour.
constexpr double kDirectionShowLength = 3.0;
constexpr int kTwirlDebugColour = 6;
constexpr int kSetAttribute = 2, kShow = 1;

// A spline descriptor given back on every way out.
struct spline_records {
    int id = 0;
    int status = 0;
    explicit spline_records(int room) { dam_ini(kPointRecord, room, id, status); }
    ~spline_records()
    {
        int ended = 0;
        if (status == 0) dam_end(id, ended);
    }
    spline_records(const spline_records&) = delete;
    spline_records& operator=(const spline_records&) = delete;
};

// Writes the cubic chain of the descriptor as one NURBS move of order 4: clamped ends, each
// joint a triple knot.
void write_chain(int id, int& status)
{
    const int n = dam_nrc(id);
    const double* points = dam_records(id);
    if (points == nullptr || n < kCubicOrder || (n - 1) % kSegmentPoints != 0) {
        status = -1;
        return;
    }
    const int segments = (n - 1) / kSegmentPoints;
    std::vector<double> knots(static_cast<std::size_t>(n + kCubicOrder), 0.0);
    for (int i = 0; i < segments - 1; ++i)
        for (int k = 0; k < kSegmentPoints; ++k)
            knots[static_cast<std::size_t>(kCubicOrder + kSegmentPoints * i + k)] = i + 1.0;
    for (int k = 0; k < kCubicOrder; ++k) knots[static_cast<std::size_t>(n + k)] = segments;
    nurbs_move_entry(kCaller, kCubicOrder, n, knots.data(), points, status);
}

bool same_xy(const double* a, const double* b) { return eqptd(2, a, b) != 0; }

// The twirl spline of the link and its NURBS move; false when a step fails.
bool twirl_move(const pocket_link_words& link, double tolerance)
{
    return twirl_spline_move(link.from, link.to, distd(3, link.from.point, link.to.point), tolerance);
}

void show_end_directions(const twirl_state& t)
{
    twirl_direction_show(t.start, kDirectionShowLength, t.start_direction);
    twirl_direction_show(t.end, kDirectionShowLength, t.end_direction);
}

}  // namespace

bool twirl_spline_move(const link_point& from, const link_point& to, double length, double tolerance)
{
    spline_records spline(kTwirlControlPointsMost), chain(kTwirlControlPointsMost);
    if (spline.status != 0 || chain.status != 0) return false;
    int error = 0;
    get_twirl_spline(kTwirlMode, from.point, from.direction, to.point, to.direction, length, spline.id,
                     kTwirlControlPointsMost, error);
    if (error != 0) return false;
    int status = 0;
    nb_c0approx(spline.id, tolerance, chain.id, kTwirlControlPointsMost, status);
    if (status != 0) return false;
    int flag = 0;
    approx_string_spline(0, chain.id, flag, status);
    if (status != 0 || flag != 0) return false;
    write_chain(chain.id, status);
    return status >= 0;
}

void approx_string_spline(int mode, int spline, int& flag, int& status)
{
    status = 0;
    std::vector<double> points(3 * kSplinePointsMost, 0.0);
    int count = 0;
    const double tolerance = 2.0 * proc_geometry().curve_approx.tolerance;
    nb_appbypol2(spline, tolerance, kSplinePointsMost, points.data(), count, status);
    if (status != 0) return;
    if (mode == kAboveClearanceMode) {
        const double clearance = HEI8().real(heights_state::kClearance);
        for (int i = 0; i < count && flag == 0; ++i)
            if (points[3 * static_cast<std::size_t>(i) + 2] > clearance) flag = 1;
    }
    for (int i = 0; i + 1 < count && flag == 0; ++i) {
        float from[3], to[3], contact[3] = {0.0f, 0.0f, 0.0f}, normal[3] = {0.0f, 0.0f, 1.0f};
        for (int k = 0; k < 3; ++k) {
            from[k] = static_cast<float>(points[3 * static_cast<std::size_t>(i) + k]);
            to[k] = static_cast<float>(points[3 * static_cast<std::size_t>(i + 1) + k]);
        }
        int result = 0;
        tool_probe_table().tool_project_point(from, to, contact, normal, result);
        if (result != kProjectFree) flag = 1;
    }
    if (flag != 0 || updown().mode == kNoBuffering || count < 1) return;
    std::vector<point3> run(static_cast<std::size_t>(count)), directions(run.size(), point3{0.0f, 0.0f, 1.0f});
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k)
            run[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] =
                static_cast<float>(points[3 * static_cast<std::size_t>(i) + k]);
    const int counts[1] = {count};
    milling_statement statement;
    statement.dimension = kPointsOnly;
    statement.points = run.data();
    statement.directions = directions.data();
    statement.strings = 1;
    statement.counts = counts;
    updown_motion(statement, status);
}

void twirl_spline_points(const pocket_link_words& link)
{
    int status = 0;
    if (PRM9().words[machine_params::kMotionForm] == kFittedSplines) motion_bspline_fit(status);
    updown_flush(status);
    const curve_approx_words& ca = proc_geometry().curve_approx;
    if (ca.twirl_value != 0.0f && same_xy(link.to.point, pocket_state_block.path_start)) {
        const double tolerance =
            std::max({kTwirlShare * ca.twirl_value, kLeastTwirlTolerance, static_cast<double>(ca.tolerance)});
        if (!twirl_move(link, tolerance)) {
            point3 prev{}, end{}, next{}, start{};
            for (std::size_t k = 0; k < 3; ++k) {
                end[k] = static_cast<float>(link.from.point[k]);
                prev[k] = static_cast<float>(link.from.point[k] - link.from.direction[k]);
                start[k] = static_cast<float>(link.to.point[k]);
                next[k] = static_cast<float>(link.to.point[k] + link.to.direction[k]);
            }
            int no_link = 0;
            surface_grid_seam_table().link_pass_strings(prev.data(), end.data(), next.data(), start.data(),
                                                        kEntryPassNumber, kLinkMode, no_link, status);
        }
    }
    reset_work_flags();
}

void twirl_spline_show(int mode, double& length, int& status)
{
    status = 0;
    const curve_approx_words& ca = proc_geometry().curve_approx;
    if (mode == kCommonLengthA || mode == kCommonLengthB)
        length = ca.twirl_length;
    else if (mode == kLeadLength)
        length = pocket_state_block.lead_values[1];
    const double tolerance = std::max({kTwirlShare * length, kLeastTwirlTolerance, static_cast<double>(ca.tolerance)});
    twirl_state& t = twirl();
    if (t.enable[0] == 0 || t.enable[1] == 0) return;
    link_point from, to;
    std::copy_n(t.start, 3, from.point);
    std::copy_n(t.start_direction, 3, from.direction);
    std::copy_n(t.end, 3, to.point);
    std::copy_n(t.end_direction, 3, to.direction);
    bool tried = false;
    for (const double share : kTries) {
        const double l = share * length;
        if (levl0d(l) != 0) break;
        tried = true;
        if (t.show_directions != 0) show_end_directions(t);
        if (twirl_spline_move(from, to, l, tolerance)) {
            twirl_made_set(1);
            return;
        }
    }
    if (tried) status = -1;
}

void twirl_direction_show(const double* point, double length, const double* direction)
{
    const double from[3] = {point[0], point[1], point[2]};
    const double to[3] = {point[0] + length * direction[0], point[1] + length * direction[1],
                          point[2] + length * direction[2]};
    int id = 0, status = 0;
    LINE(id, from, to, status);
    if (status != 0 || id < 1) return;
    int colour = kTwirlDebugColour;
    eattc(id, kSetAttribute, "CO", colour, status);
    if (status == 0) edisp(id, kShow, status);
}
