// The projection of a trim range onto the reference surfaces (see the header). Segment by
// segment the current tool is laid along the range's polyline onto the triangle model
// (linnet_touch_point) and the output strings grow (projection_strings.hpp); then, unless the
// choice only checks, the strings are written behind the range and the range is deleted. A
// writing that fails is taken out again, so the range stays as it was.
#include "edit/trim/project_on_surf.hpp"

#include "cutter/linnet_touch_point.hpp"
#include "driver/exec_pause_menu.hpp"
#include "edit/editor/connect_tables.hpp"
#include "edit/editor/list_cursor_state.hpp"
#include "edit/editor/written_blocks.hpp"
#include "edit/trim/projection_strings.hpp"
#include "edit/trim/trim_cache.hpp"
#include "edit/trim/trim_positions.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_display.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_masters.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncd_file.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/exec_control.hpp"
#include "nc_services/exec_disp_mode.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/prog_line.hpp"
#include "nc_services/tool_position.hpp"
#include "nc_services/unwind_guard.hpp"
#include "surfaces/line_entity.hpp"
#include "toolpath/approach_retract.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/milling_statement.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_to_current_pos.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/symbol_geometry.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <memory>
#include <numbers>

namespace {

constexpr int kNothingMade = 1;
constexpr const char* kArraysRefused = "project_on_surf, DYNAMIC MEMORY PROBLEM, CHECK DISK SPACE";
// List markers: the range's first block (set by the trim action), the last block written.
constexpr int kRangeStart = 14, kLastWritten = 13;
constexpr int kMarkSet = 1;
constexpr int kSelectMotions = 3, kAllProcedureBlocks = 4;
// The line-net set-up of the projection, and the surface set of the reference surfaces.
constexpr int kProjectionNetMode = -1;
constexpr int kReferenceContext = 1;
// The connections of the written strings: a Z-up approach 2.0 long, the surface branch of the
// surface retract and approach.
constexpr int kZUpApproach = 1, kSurfaceMode = 1;
constexpr float kApproachLength = 2.0f;
constexpr int kDimensionVectors = 2;
constexpr int kFeedBase = 1, kFeedRapid = 4, kRetractRapid = 3, kFeedSlot = 1, kForceWrite = 2;
constexpr int kMillingCode = 1;
// The progress line: a step of 5 % of the points, shown only when it is above 10 points.
constexpr int kProgressPercent = 5, kProgressShownAbove = 10;
constexpr int kActivityProjecting = 4, kProgressTotal = 1, kProgressDone = 2;
// Gouge marks: red, the point with pen 3 and the line with pen 1.
constexpr int kRed = 2, kPointPen = 3, kLinePen = 1;
constexpr int kAttributeWrite = 2, kShow = 1;
constexpr int kCutterBall = 1, kCutterFlat = 2, kCutterBullNose = 3, kCutterTapered = 10;
constexpr point3 kUp{0.0f, 0.0f, 1.0f};

// The current mill as the cutter of the drops, given back on every way out.
class mill_cutter {
public:
    mill_cutter() : kept_(linnet_params_block)
    {
        const int tool = PRM9().words[machine_params::kToolId];
        float diameter = -1.0f, corner = -1.0f, taper = -1.0f, cut_length = -1.0f;
        tool_get_mill_diameter(tool, diameter);
        diameter_ = diameter > 0.0f ? diameter : kProjectionDefaultDiameter;
        tool_get_corner_radius(tool, corner);
        tool_get_taper_angle(tool, taper);
        tool_get_cut_length(tool, cut_length);
        const float radius = 0.5f * diameter_;
        corner = std::clamp(corner, 0.0f, radius);
        linnet_params& lp = linnet_params_block;
        lp.diameter = diameter_;
        lp.corner_radius = corner;
        lp.cutter_type = eqval(corner, radius) != 0 ? kCutterBall : corner > 0.0f ? kCutterBullNose : kCutterFlat;
        lp.taper = 0.0f;
        lp.tilted_axis = 0;
        if (taper > 0.0f && cut_length >= 0.0f) {
            lp.cutter_type += kCutterTapered;
            lp.taper = taper * std::numbers::pi_v<float> / 180.0f;
            lp.cut_length = cut_length;
        }
    }
    mill_cutter(const mill_cutter&) = delete;
    mill_cutter& operator=(const mill_cutter&) = delete;
    ~mill_cutter()
    {
        linnet_params& lp = linnet_params_block;
        lp.cutter_type = kept_.cutter_type;
        lp.diameter = kept_.diameter;
        lp.corner_radius = kept_.corner_radius;
        lp.taper = kept_.taper;
        lp.cut_length = kept_.cut_length;
        lp.tilted_axis = kept_.tilted_axis;
    }
    float diameter() const { return diameter_; }

private:
    linnet_params kept_;
    float diameter_ = kProjectionDefaultDiameter;
};

// The range's polyline as the trim action collected it.
struct polyline {
    const point3* points = nullptr;
    const point3* vectors = nullptr;
    int count = 0;
};

polyline collected()
{
    const trim_state& t = trim_words();
    polyline p;
    p.points = static_cast<const point3*>(mmcptr(t.collected_points));
    p.vectors = static_cast<const point3*>(mmcptr(t.collected_vectors));
    p.count = p.points && p.vectors ? t.collected_count : 0;
    return p;
}

void touch_segment(const projection_segment& s, touch_buffers& touch, int& status)
{
    const trim_state& t = trim_words();
    clear_touch_buffers(touch);
    linnet_touch_point(kReferenceContext, kTouchAllPoints, s.a.data(), s.b.data(), t.ref_srf_tol, t.ref_srf_offset,
                       t.ref_srf_offset, kTouchPointRoom, touch.points[0].data(), touch.normals[0].data(), nullptr,
                       touch.strings, kTouchStringRoom, touch.counts.data(), touch.total, status);
    if (status > 0) status = 0;  // the room ran out: the strings made so far stand
}

// The progress line over the polyline's points.
struct progress_steps {
    int step = 0;
    bool shown() const { return step > kProgressShownAbove; }
};

progress_steps progress_start(int count)
{
    progress_steps p{count * kProgressPercent / 100};
    prog_reset_all();
    prog_count_set(kProgressTotal, count);
    if (p.shown()) prog_set_activity(kActivityProjecting);
    return p;
}

void poll_break()
{
    int broken = 0;
    check_display_break(broken);
    if (broken != 0) exec_pause_menu(1);
}

// Every segment of the polyline into the output.
void project_segments(const polyline& line, const progress_steps& progress, projection_marks& marks,
                      projection_output& out, int& status)
{
    const auto touch = std::make_unique<touch_buffers>();
    for (int i = 0; i + 1 < line.count && status >= 0; ++i) {
        const projection_segment s{line.points[i], line.points[i + 1], line.vectors[i], line.vectors[i + 1]};
        touch_segment(s, *touch, status);
        if (progress.shown() && i % progress.step == 0) {
            prog_count_set(kProgressDone, i);
            prog_percent(kActivityProjecting);
        }
        poll_break();
        if (status >= 0) add_segment_strings(s, *touch, marks, out, status);
    }
}

void set_connections(int surfaces, float diameter)
{
    const trim_state& t = trim_words();
    const word clearance = HEI8().at(heights_state::kClearance);
    set_connect_params(kZUpApproach, kApproachLength, diameter, kApproachLength, kApproachLength, t.del_z_up,
                       t.ref_srf_tol, t.ref_srf_offset, t.ref_srf_offset, kSurfaceMode, surfaces, 0, 1, clearance);
}

// The way onto the first new point: a plunge onto it from the polyline's start above it, or with
// the approach flag (and for the whole procedure) a retract and an approach.
void enter_new_path(const polyline& line, projection_output& out, int& approach_flag, int& status)
{
    const trim_state& t = trim_words();
    const bool whole = t.selection_method == kAllProcedureBlocks;
    const point3 first = out.point_at()[0], first_vector = out.vector_at()[0];
    const point3& start = line.points[0];
    if (!whole && approach_flag == 0 && gtval(start[2], first[2]) != 0 && eqpt2(start.data(), first.data()) != 0)
        pline_feed_mode3(kDimensionVectors, first, first_vector, status);
    if (status >= 0 && (whole || approach_flag != 0)) {
        approach_flag = 0;
        const point3 here = DSP8().vec(tool_position_state::kPosition);
        writer_continues_at(here, kUp);
        set_mch_change_mode(kFeedRapid);
        STREND(kDimensionVectors, here, kUp, kRetractRapid, t.del_z_up, status);
        if (status >= 0)
            PLINE_entry(kDimensionVectors, {first[0], first[1], first[2] + t.del_z_up}, first_vector, status);
        if (status >= 0) pline_feed_mode3(kDimensionVectors, first, first_vector, status);
    }
}

// The strings as milling motions with their vectors; at the procedure's end the feed is written
// again first and the tool goes to the clearance after them.
void write_strings(const projection_output& out, int& status)
{
    const trim_state& t = trim_words();
    const bool whole = t.selection_method == kAllProcedureBlocks;
    if (t.end_reached != 0) {
        mch_slots().slots[kFeedSlot].force = kForceWrite;
        set_mch_change_mode(kFeedBase);
        PUTMCH(status);
    }
    if (status < 0) return;
    if (t.selection_method == kSelectMotions) mch_slots().slots[kFeedSlot].force = kForceWrite;
    milling_statement statement;
    statement.code = kMillingCode;
    statement.dimension = kDimensionVectors;
    statement.points = out.point_at();
    statement.directions = out.vector_at();
    statement.strings = out.strings;
    statement.counts = out.count_at();
    MILBF2(statement, status);
    if (status >= 0 && (whole || t.end_reached != 0)) move_to_current_pos(kDimensionVectors, status);
}

// The list on the range's last block. Status -1 when it is not met within the level.
void goto_range_last(int last, int& status)
{
    const bool met = trim_walk_blocks(
        kRangeStart, [last](int number, int, int&) { return number == last; }, status);
    if (!met && status >= 0) status = -1;
}

// The strings written behind the range's last block, and only once they stand the range deleted,
// so that a failure leaves it as it was.
void replace_range(const polyline& line, projection_output& out, int& approach_flag, int first, int last, int& status)
{
    goto_range_last(last, status);
    if (status < 0) return;
    const trim_state& t = trim_words();
    // The path goes back down to the polyline's end where the range hands over to the motion after
    // it at the same x, y.
    const point3& end = line.points[line.count - 1];
    if (t.selection_method != kAllProcedureBlocks && t.end_reached == 0 && eqpt2(out.last().data(), end.data()) != 0)
        output_append(out, end, line.vectors[line.count - 1]);
    const int procedure = list_cursor().cursor_proc_blkno;
    int flag = approach_flag;
    const bool written = write_or_take_back(
        procedure,
        [&](int& st) {
            enter_new_path(line, out, flag, st);
            if (st >= 0) write_strings(out, st);
        },
        status);
    if (!written) return;
    approach_flag = flag;
    int marked = 0;
    lmark(kMarkSet, kLastWritten, marked);
    if (marked < 1) {
        status = -1;
        return;
    }
    int gone = 0;
    ncd_delete_blocks(kCurrentDisplayFile, {2, procedure, first}, {2, procedure, last}, gone);
    int deleted = 0;
    if (!delete_range_motions(kRangeStart, last, deleted, status)) return;
    tp_list_top_mark(kLastWritten, status);
}

}  // namespace

void mark_gouge_point(const point3& point, float height)
{
    slclr();
    int id = 0, status = 0;
    const float at[3] = {point[0], point[1], point[2]};
    GCPT0(id, at, status);
    if (status < 0) return;
    int colour = kRed, pen = kPointPen;
    eattc(id, kAttributeWrite, "CO", colour, status);
    eattc(id, kAttributeWrite, "PE", pen, status);
    edisp(id, kShow, status);
    const double from[3] = {point[0], point[1], point[2]}, to[3] = {point[0], point[1], height};
    LINE(id, from, to, status);
    if (status < 0) return;
    pen = kLinePen;
    eattc(id, kAttributeWrite, "CO", colour, status);
    eattc(id, kAttributeWrite, "PE", pen, status);
    edisp(id, kShow, status);
}

void project_on_surf(int surfaces, int& approach_flag, int first, int last, int& status)
{
    status = 0;
    uitr_set(1);
    projection_output out;
    const give_back close_output([] { close_projection_output(); });
    if (!open_projection_output(out, status)) {
        eroutc(kArraysRefused, 0);
        return;
    }
    const trim_state& t = trim_words();
    const float none[3] = {0.0f, 0.0f, 0.0f};
    linnet_set_params(kProjectionNetMode, none, none, 1, 0.0f, t.ref_srf_tol);
    const polyline line = collected();
    const progress_steps progress = progress_start(line.count);
    trim_cache_restore();
    const mill_cutter cutter;
    projection_marks marks;
    marks.choice = t.projection_option;
    project_segments(line, progress, marks, out, status);
    if (status >= 0) set_connections(surfaces, cutter.diameter());
    if (status >= 0 && out.strings == 0) status = kNothingMade;
    if (status == 0) {
        uitr_set(0);
        const word clearance = HEI8().at(heights_state::kClearance);
        if (marks.choice != kProjectCheck) replace_range(line, out, approach_flag, first, last, status);
        HEI8().at(heights_state::kClearance) = clearance;
    }
    uitr_set(1);
    if (progress.shown()) prog_clear_texts();
}
