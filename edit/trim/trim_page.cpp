// The trimming driver's menus (see the header).
#include "edit/trim/trim_page.hpp"

#include "edit/trim/trim_state.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/interaction_modes.hpp"
#include "pocket/dialog_items.hpp"

#include <string_view>

namespace {

constexpr float kBigReal = 9999.999f, kReal = 999.999f, kSmallest = 0.0001f;
constexpr int kPercentMost = 999, kDownPercentMost = 100;
constexpr int kLayoutPage = 4, kLayoutDefaults = 7;
constexpr int kExitColour = -1, kOwnColour = -2;
constexpr int kDefine = 2, kRedefine = 1;
constexpr int kHidden = 1, kShown = 2;

constexpr std::string_view kMethodNames[] = {"BY CONTOUR:XY PLANE", "BY CONTOUR:ANY PLANE", "BY SELECT MOTIONS",
                                             "ALL PROCEDURE BLOCKS", "DIVIDE BY TOOL"};
constexpr char kApproachChoices[] =
    "SRF. Z UP APP.        >@SRF. NOR. APP.       >@SRF. TAN. APP.       >@SRF. TAN. OPP. APP.  >@"
    "SRF. HOR. APP.       >@SRF. HOR. NOR. APP.  >@SRF. HOR. TAN. APP.  >";

bool by_contour(int method) { return method == kByContourXY || method == kByContourAny; }

void empty_line(page_values& v) { modumc(" ", v.empty); }

void choice(std::string_view text, int& value) { modmc(text, value); }

const char* side_choices(int operation)
{
    if (operation == kMoveByDeltaZ) return "MOVE: INSIDE CONTOUR@MOVE: OUTSIDE CONTOUR";
    if (operation == kProjectMotions) return "PROJ.: INSIDE CONTOUR@PROJ.: OUTSIDE CONTOUR";
    return "DEL.: INSIDE CONTOUR@DEL.: OUTSIDE CONTOUR";
}

// Line 5: the surface offset, the choice of typing or indicating Z PLANE or CLEAR, or nothing.
void line5(const page_view& view, page_values& v, int operation, int connect)
{
    if (surface_case())
        modrc("REF.SRF.OFFSET", v.offset5, view.offset_floor, kReal);
    else if (operation == kProjectMotions)
        choice("ENTER Z VALUES@IND. Z PLANE", v.line5);
    else if (operation == kDeleteMotions && (connect == kThroughClear || connect == kAlongContour))
        choice("ENTER CLEAR VAL@IND. CLEAR VAL.", v.line5);
    else
        empty_line(v);
}

void line7(const page_view& view, page_values& v, int operation, int mode)
{
    if (operation == kMoveByDeltaZ)
        modrc("DELTA Z", v.line7, -kBigReal, kBigReal);
    else if (operation == kProjectMotions && mode <= kProjectOnZ)
        modrc("Z PLANE", v.line7, -kBigReal, kBigReal);
    else if (operation == kProjectMotions)
        empty_line(v);
    else if (view.method == kByContourXY)
        choice("CONNECT: THROUGH CLEAR@CONNECT: THRU.INCR.CLR.@CONNECT: DIRECTLY@CONNECT: ALONG CONT.", v.connect);
    else
        choice("CONNECT: THROUGH CLEAR@CONNECT: THRU.INCR.CLR.@CONNECT: DIRECTLY", v.connect);
}

// Lines 11 and 12: FORWARD: SINGLE with a contour only, FORWARD: TO END but for a contour not
// defined yet.
void forward_lines(const page_view& view, page_values& v, page_lines& lines)
{
    const bool contour = by_contour(view.method);
    lines.single = lines.to_end = 0;
    if (contour && view.defined) {
        choice("FORWARD: SINGLE", v.empty);
        lines.single = 11;
    } else {
        empty_line(v);
    }
    if (!contour || view.defined) {
        choice("FORWARD: TO END", v.empty);
        lines.to_end = 12;
    } else {
        empty_line(v);
    }
}

// The lines after EXIT while the procedure's defaults are shown.
void default_lines(const page_view& view, page_values& v, const trim_state& w)
{
    const int op = w.operation, connect = w.connection_option;
    empty_line(v);
    if (op == kDeleteMotions && connect == kThroughIncClear)
        modrc("INC. CLEAR", v.clear, -kReal, kReal);
    else
        modrc("CLEAR", v.clear, -kBigReal, kBigReal);
    modrc("DEL Z-UP", v.del_z_up, 0.0f, kBigReal);
    empty_line(v);
    if (op == kDeleteMotions && connect <= kThroughIncClear && w.srf_approach_offered != 0) {
        choice(kApproachChoices, v.approach_kind);
        const int k = v.approach_kind;
        if (k == 2 || k == 5 || k == 6)
            modrc("SRF. APPROACH", v.approach, kSmallest, kReal);
        else if (k == 3 || k == 4 || k == 7)
            modrc("SRF. ARC RADIUS", v.approach, kSmallest, kReal);
        else
            empty_line(v);
    } else {
        choice("SRF. Z UP APP.       ", v.empty);
        empty_line(v);
    }
    if (surface_case())
        modrc("REF.SRF.TOL.", v.ref_tol, kSmallest, kReal);
    else
        empty_line(v);
    if (by_contour(view.method))
        modrc("CONTOUR TOL.", v.contour_tol, kSmallest, kReal);
    else
        empty_line(v);
    const bool surface_feeds = op == kProjectMotions && w.projection_option >= kProjectBelowSurf;
    const bool direct_feeds = op == kDeleteMotions && connect >= kDirectly;
    if (surface_feeds || direct_feeds)
        modrc("FEED", v.feed, 0.0f, kBigReal);
    else
        empty_line(v);
    if (direct_feeds)
        empty_line(v);
    else
        modic("PLUNGE FEED %", v.plunge, 1, kPercentMost);
    if (surface_feeds || direct_feeds)
        modic("DOWN FEED %", v.down, 1, kDownPercentMost);
    else
        empty_line(v);
    empty_line(v);
}

void load_values(const page_view& view, page_values& v, const trim_state& w)
{
    v.method_choice = 1;
    v.side = w.side;
    v.operation = w.operation;
    v.mode4 = w.operation == kProjectMotions ? w.projection_option : 1;
    v.connect = w.connection_option;
    v.show = view.show_defaults;
    v.offset5 = w.ref_srf_offset;
    v.cont_offset = w.cont_offset;
    v.line7 = w.operation == kMoveByDeltaZ ? w.delta_z : w.z_plane;
    const bool incremental = w.operation == kDeleteMotions && w.connection_option == kThroughIncClear;
    v.clear = incremental ? w.inc_clear : w.clear;
    v.del_z_up = w.del_z_up;
    v.approach_kind = w.srf_approach_kind;
    v.approach =
        (v.approach_kind == 3 || v.approach_kind == 4 || v.approach_kind == 7) ? w.srf_arc_radius : w.srf_approach;
    v.ref_tol = w.ref_srf_tol;
    v.contour_tol = w.contour_tol;
    v.feed = w.feed;
    v.plunge = w.plunge_feed_percent;
    v.down = w.down_feed_percent;
}

}  // namespace

std::string selection_menu_text(bool divide_offered)
{
    std::string text;
    for (int k = kByContourXY; k <= (divide_offered ? kDivideByTool : kAllBlocks); ++k) {
        if (!text.empty()) text += '@';
        text += kMethodNames[k - 1];
    }
    return text;
}

void page_rules(int method, int surfaces_allowed)
{
    trim_state& w = trim_words();
    if (method == kAllBlocks && w.operation == kDeleteMotions) w.operation = kProjectMotions;
    if (method != kByContourXY && w.connection_option == kAlongContour) w.connection_option = kThroughClear;
    if (w.projection_option < kProjectBelowZ || w.projection_option > kCheckBelowSurf ||
        (surfaces_allowed == 0 && w.projection_option > kProjectOnZ))
        w.projection_option = kProjectBelowZ;
    if (w.operation < kMoveByDeltaZ || w.operation > kDeleteMotions) w.operation = kDeleteMotions;
    if (w.connection_option < kThroughClear || w.connection_option > kAlongContour) w.connection_option = kThroughClear;
    if (w.side != 2) w.side = 1;
    if (w.delete_mode != 1) {
        usmsgc("THIS OPTION IS NOT WORKING YET");
        w.delete_mode = 1;
    }
}

bool surface_case()
{
    const trim_state& w = trim_words();
    return w.operation == kProjectMotions && w.projection_option >= kProjectBelowSurf;
}

void build_page(const page_view& view, page_values& v, page_lines& lines)
{
    const trim_state& w = trim_words();
    load_values(view, v, w);
    int status = 0;
    modint(view.show_defaults == kShown ? kLayoutDefaults : kLayoutPage, ui_display.plain.row, ui_display.plain.column,
           0, status);
    const int op = w.operation;
    const int mode = v.mode4;
    choice(kMethodNames[view.method - 1], v.method_choice);
    if (by_contour(view.method))
        choice(side_choices(op), v.side);
    else
        empty_line(v);
    choice(view.method == kAllBlocks ? "MOVE BY DELTA Z@PROJECT MOTIONS"
                                     : "MOVE BY DELTA Z@PROJECT MOTIONS@DELETE MOTIONS",
           v.operation);
    if (op == kMoveByDeltaZ)
        empty_line(v);
    else if (op == kProjectMotions && view.surfaces_allowed != 0)
        choice("PROJ.:BLK BELOW Z PLN@PROJ.:ALL BLK ON Z PLN@PROJ.:BLK BELOW SRF.@PROJ.:ALL BLK ON SRF.@CHECK MOTION "
               "BELOW SURF.",
               v.mode4);
    else if (op == kProjectMotions)
        choice("PROJ.:BLK BELOW Z PLN@PROJ.:ALL BLK ON Z PLN", v.mode4);
    else
        choice("DELETE:ALL SELECT BLK.", v.empty);
    line5(view, v, op, w.connection_option);
    if (by_contour(view.method))
        modrc("CONT. OFFSET", v.cont_offset, -kReal, kReal);
    else
        empty_line(v);
    line7(view, v, op, mode);
    choice("SHOW PROC DEFAULTS@HIDE PROC DEFAULTS", v.show);
    if (surface_case())
        geom_item_menu_edit(view.surface_count > 0 ? 1 : 0, 1, "REF. SURFACES " + std::to_string(view.surface_count),
                            0);
    else
        empty_line(v);
    if (by_contour(view.method) || view.method == kBySelect)
        geom_item_menu(view.defined, view.defined ? kRedefine : kDefine,
                       view.method == kBySelect ? "BLOCKS" : "CONTOUR", 0);
    else
        empty_line(v);
    forward_lines(view, v, lines);
    for (int line = 13; line <= 15; ++line) empty_line(v);
    setcolr(kExitColour);
    choice("EXIT", v.empty);
    setcolr(kOwnColour);
    lines.exit = 16;
    if (view.show_defaults == kShown) default_lines(view, v, w);
    prmptc(page_prompt(op));
}

void take_page(const page_view& view, const page_values& v)
{
    trim_state& w = trim_words();
    if (by_contour(view.method)) w.side = v.side;
    const int op = w.operation;
    w.operation = v.operation;
    if (op == kProjectMotions) w.projection_option = v.mode4;
    if (op == kDeleteMotions) w.connection_option = v.connect;
    if (op == kProjectMotions && w.projection_option >= kProjectBelowSurf) w.ref_srf_offset = v.offset5;
    if (by_contour(view.method)) w.cont_offset = v.cont_offset;
    if (op == kMoveByDeltaZ)
        w.delta_z = v.line7;
    else if (op == kProjectMotions && w.projection_option <= kProjectOnZ)
        w.z_plane = v.line7;
    if (view.show_defaults != kShown) return;
    if (op == kDeleteMotions && w.connection_option == kThroughIncClear)
        w.inc_clear = v.clear;
    else
        w.clear = v.clear;
    w.del_z_up = v.del_z_up;
    w.srf_approach_kind = v.approach_kind;
    if (v.approach_kind == 3 || v.approach_kind == 4 || v.approach_kind == 7)
        w.srf_arc_radius = v.approach;
    else
        w.srf_approach = v.approach;
    w.ref_srf_tol = v.ref_tol;
    w.contour_tol = v.contour_tol;
    w.feed = v.feed;
    w.plunge_feed_percent = v.plunge;
    w.down_feed_percent = v.down;
}

const char* page_prompt(int operation)
{
    if (operation == kMoveByDeltaZ) return "<CR> TO MOVE/EXIT";
    if (operation == kProjectMotions) return "<CR> TO PROJ./EXIT";
    return "<CR> TO DELETE/EXIT";
}
