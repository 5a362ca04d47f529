// MILBF2 and MILST2: a milling statement cut into its strings and each string written (see
// milling_statement.hpp).
#include "toolpath/milling_statement.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/approach_block.hpp"
#include "nc_services/clear_mode.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/machining_type.hpp"
#include "toolpath/approach_common.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_fit.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/surface_approach.hpp"
#include "toolpath/updown_buffers.hpp"

#include <cstdlib>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kGoString = 2, kNoApproachCode = 13, kPlungeOffset = 10;
constexpr int kClearingStatements = 3;
constexpr int kFittedSplines = 1, kPointStrings = 2;
constexpr int kConnectionMarker = 15, kConnectionFeed = 25;
constexpr int kStringPair = 10, kStringOpen = 19, kStringClose = 20;
constexpr int kSurfaceRetractFlag = 2;
constexpr int kLinkMachiningType = 11;

int output_form() { return PRM9().words[machine_params::kMotionForm]; }

// The end marker of a string: the one given, else the code after its start marker (none without
// one).
int end_marker(const milling_string& s)
{
    if (s.end_marker_code != 0) return s.end_marker_code;
    return s.marker_code != 0 ? s.marker_code + 1 : 0;
}

void flush_fit(int& status)
{
    if (status >= 0 && fit_state().count > 0) motion_bspline_fit(status);
}

void switch_down_feed(int dimension, const point3& target, int& status)
{
    if (status >= 0) down_feed_switch(dimension, target, current_position(), 1, updown().down_feed_state, status);
}

// The retract from the path the tool stands on and the approach onto the first point; the
// direct-link flag is set between them on machining type 11 when the retract asked for it.
void surface_retract_approach(const milling_string& s, const std::vector<point3>& points, int dimension, int& status)
{
    point3 last{}, direction{};
    int count = 0;
    last_move_get(last, direction, count);
    const point3 here = current_position();
    const point3 behind{here[0] - direction[0], here[1] - direction[1], here[2] - direction[2]};
    const point3 up = kDefaultDirection;
    int flag = kSurfaceRetractFlag;
    SRFRET(dimension, here, behind, up, up, flag, status);
    if (status < 0) return;
    connect_params& c = connect_params_block();
    if (machining_type() == kLinkMachiningType && c.direct_link_request != 0 && !surface_function(nc_function_code()))
        c.direct_link = 1;
    const point3 next = points.size() > 1 ? points[1] : points[0];
    const point3 normal = s.normals ? s.normals[0] : up;
    const point3 first_direction = s.directions ? s.directions[0] : up;
    flag = kSurfaceRetractFlag;
    SRFAPR(dimension, points[0], next, normal, first_direction, flag, status);
}

// The moves onto the first point of the string.
void first_point(const milling_string& s, const std::vector<point3>& points, int code, bool plunge, int& status)
{
    const point3 first = points[0];
    const point3 direction = s.directions ? s.directions[0] : kDefaultDirection;
    const point3 here = current_position();
    if (code == kGoString) {
        // A GO string that starts where the tool stands continues the approach already made.
        if (eqpt3(here.data(), first.data()) != 0) return;
        flush_fit(status);
        const float height = approach_block_data.last;
        if (status >= 0 && eqpt2(here.data(), first.data()) == 0)
            STREND(s.dimension, first, direction, 3, height, status);
        if (status >= 0) PLNZUP(s.dimension, first, direction, height, status);
        switch_down_feed(s.dimension, first, status);
        if (status >= 0) PLINE_entry(s.dimension, first, direction, status);
    } else if (s.approach != 0) {
        surface_retract_approach(s, points, s.dimension, status);
    } else if (plunge && ltval(first[2], here[2]) != 0) {
        set_mch_change_mode(kFeedPlunge);
        PLINE_entry(s.dimension, first, direction, status);
        if (status >= 0) set_mch_change_mode(kFeedBase);
    } else if (s.dimension == 2 || (s.count == 1 && output_form() == kPointStrings)) {
        switch_down_feed(s.dimension, first, status);
        if (status >= 0) PLINE_entry(s.dimension, first, direction, status);
    }
}

// The clearing's first string: the marker is closed, a pair recording the last move written,
// the marker opened again and the first point written once more.
void mark_first_string(const milling_string& s, const point3& first, int& status)
{
    tp_mrkr_write(kMarkerClose, s.marker_id, end_marker(s), 0.0f, s.pass_number, status);
    if (status >= 0) tp_mrkr_write(kMarkerOpen, kStringPair, kStringOpen, 0.0f, 0, status);
    if (status >= 0) tp_mrkr_write(kMarkerClose, kStringPair, kStringClose, 0.0f, 0, status);
    if (status >= 0) tp_mrkr_write(kMarkerOpen, s.marker_id, s.marker_code, 0.0f, s.pass_number, status);
    if (status < 0) return;
    clr_tp_flag();
    PLINE_entry(s.dimension, first, s.directions ? s.directions[0] : kDefaultDirection, status);
}

// The points after the first: a line (or the fit) for one, one point string or the fit for more.
void further_points(const milling_string& s, const std::vector<point3>& points, int& status)
{
    const int n = static_cast<int>(points.size());
    const point3* directions = s.directions ? s.directions + 1 : nullptr;
    const auto direction = [&](int i) { return s.directions ? s.directions[i] : kDefaultDirection; };
    if (n == 2) {
        if (s.marker_code == kConnectionMarker)
            set_mch_change_mode(kConnectionFeed);
        else
            switch_down_feed(s.dimension, points[1], status);
        if (status < 0) return;
        if (output_form() == kFittedSplines)
            motion_collect(1, &points[1], directions, nullptr, status);
        else
            PLINE_entry(s.dimension, points[1], direction(1), status);
    } else if (output_form() == kPointStrings) {
        for (int i = 1; i < n && status >= 0; ++i)
            string_move_entry(s.dimension, points[static_cast<std::size_t>(i)], direction(i), status);
        PCLSST_entry();
    } else {
        motion_collect(n - 1, &points[1], directions, nullptr, status);
    }
}

}  // namespace

void MILBF2(const milling_statement& statement, int& status)
{
    status = 0;
    int dimension = statement.dimension;
    if (dimension == 3) {
        eroutc("MILBF2, ONLY DIM2/3 IS PERMITTED ", 0);
        dimension = 1;
    }
    int display = 1;
    get_exec_disp_mode(display);
    int first_string = statement.code < 0 && clear_mode() == kClearingStatements ? 1 : 0;
    const int code = std::abs(statement.code);
    int first = 0;
    for (int i = 0; i < statement.strings && statement.counts; ++i) {
        const int n = statement.counts[i];
        if (n <= 0) continue;
        milling_string s;
        s.code = code;
        s.dimension = dimension;
        s.approach = i == 0 ? statement.approach : (code != kNoApproachCode ? 1 : 0);
        s.first_string = first_string;
        s.points = statement.points + first;
        s.directions = statement.directions ? statement.directions + first : nullptr;
        s.normals = statement.normals ? statement.normals + first : nullptr;
        s.count = n;
        s.marker_code = statement.marker_code;
        s.end_marker_code = statement.end_marker_code;
        s.marker_id = statement.marker_id;
        s.pass_number = statement.pass_number;
        MILST2(s, status);
        set_exec_disp_mode(display);
        if (status < 0) return;
        first += n;
        first_string = 0;
    }
}

void MILST2(const milling_string& string, int& status)
{
    status = 0;
    if (string.count <= 0 || !string.points) return;
    float shift = 0.0f;
    get_motion_zshift(shift);
    std::vector<point3> points(string.points, string.points + string.count);
    for (point3& p : points) p[2] += shift;
    int code = string.code;
    const bool plunge = code > kPlungeOffset;
    if (plunge) code -= kPlungeOffset;
    if (output_form() == kFittedSplines) flush_fit(status);
    if (status >= 0) tp_mrkr_write(kMarkerOpen, string.marker_id, string.marker_code, 0.0f, string.pass_number, status);
    if (status >= 0) first_point(string, points, code, plunge, status);
    if (status >= 0 && string.first_string != 0) mark_first_string(string, points[0], status);
    if (status >= 0 && points.size() > 1) further_points(string, points, status);
    flush_fit(status);
    int closed = 0;
    tp_mrkr_write(kMarkerClose, string.marker_id, end_marker(string), 0.0f, string.pass_number, closed);
    if (status >= 0) status = closed;
    if (status < 0) {
        eroutc("MILST2, ERROR IN LIST", 0);
        status = kFailed;
        return;
    }
    const point3 direction = string.directions ? string.directions[string.count - 1] : kDefaultDirection;
    last_move_set(&points.back(), &direction, nullptr);
}
