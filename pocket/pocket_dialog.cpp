// The pocket dialog pkstsd: before each showing the arrows are drawn and the block's dependent
// words brought in line; the page is built from the top lines and the item groups; the chosen
// item is acted on (passes, method, hatch angle by value or by two points, entry mode, start
// point, start side, contours); on leaving the shown values go back into the block, the Z step
// is kept within the depth, the hatch direction goes to the polygon buffers and the approach
// block is refreshed.
#include "pocket/pocket_dialog.hpp"

#include "host/vantu.hpp"
#include "nc_services/proc_picks.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/dialog_items.hpp"
#include "pocket/direction_arrows.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/param_limits.hpp"
#include "pocket/pkstck.hpp"
#include "pocket/pocket_callbacks.hpp"
#include "pocket/polbuf.hpp"
#include "pocket/proc_dialog_seams.hpp"
#include "pocket/region_table.hpp"

#include <cmath>
#include <string>

namespace {

using P = drelan_params;

constexpr int kGoOn = 0, kCancel = -1, kBack = -2, kShowAgain = -3;
constexpr int kHatch = 1, kLanes = 2;
constexpr int kPocketOnly = 1, kContourOnly = 3;
constexpr int kByValue = 1, kByTwoPoints = 2;
constexpr int kStartPointKind = 2;
constexpr int kPointMode = 7;
constexpr int kListChoice = 4, kReal = 2;
constexpr float kPi = 3.1415927f;
constexpr float kNewToolSideStep = 0.1f;
constexpr int kMostPasses = 10000;
constexpr int kMostPointPicks = 100;
// Host message labels of the parameters (their texts are the host's).
constexpr int kPassesLabel = 459, kMethodLabel = 452, kOffsetOptionLabel = 458, kExtraOffsetLabel = 63,
              kReferenceLabel = 311, kSideStepLabel = 76, kAngleLabel = 87, kLaneOptionLabel = 455,
              kSingleOffsetLabel = 457, kToleranceLabel = 109, kHatchLinkLabel = 447, kLaneOptionALabel = 463;

P& params() { return drelan_params_current; }

// The page as built: the working copies its fields edit and the lines of the items acted on.
struct dialog_page {
    int top_map[kTopMenuItems] = {};
    int machining_items[kMachItemFlags] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    int counter = 0;
    word angle_degrees = 0;  // real
    word tolerance = 0;      // real: the absolute value of code 25
    word reference = 0;      // real: code 205 relative to the origin's Z
    bool reference_shown = false;
    int angle_choice = kByValue;
    int angle_choice_line = 0;
    int start_option = 1, previous_option = 1;
    float start_relative[2] = {0.0f, 0.0f};
    page_item_record start_items, entry_items;
    int start_side_line = 0, contour_line = 0;
};

bool contours_valid() { return contour_table_block.contours_valid != 0; }

void blank(dialog_page& page)
{
    modumc(" ", 0);
    ++page.counter;
}

void choice_item(dialog_page& page, int label, int list, word& value)
{
    int status = 0;
    nu_mod_exec(kListChoice, label, list, value, 0.0f, 0.0f, status);
    ++page.counter;
}

void real_item(dialog_page& page, int label, word& value, const param_limit& limit)
{
    int status = 0;
    nu_mod_exec(kReal, label, 0, value, limit.minimum, limit.maximum, status);
    ++page.counter;
}

// The record of the first region's outer contour (the arrows stand on it), or the first
// gathered record when no region was built.
const int* arrows_contour()
{
    if (region_count() > 0) return region_table_block.curves.data() + kChainEntryWords * region_first_curve(0);
    return contour_buffers_block.gathered.data();
}

void place_arrows()
{
    arrows_delete();
    int status = 0;
    compute_arrows_position(1, arrows_contour(), 0.0f, params().real(P::kHatchAngle), params().real(P::kSideStep),
                            nullptr, 0, status);
    if (status == kGoOn) arrows_draw();
}

float hatch_angle_degrees() { return static_cast<float>(params().real(P::kHatchAngle) * kDegreesPerRadian); }

// Brings the block's dependent words in line before the page is shown.
void before_showing(dialog_page& page)
{
    P& p = params();
    if (p.at(P::kMethod) == kHatch && p.at(P::kPasses) != kContourOnly && contours_valid()) arrows_draw();
    if (p.at(P::kEntryMode) > 1 && get_n_entry_pnts() == 0) p.at(P::kEntryMode) = 1;
    if (contour_table_block.draft_present == 0) p.set_real(P::kReferenceZ, p.real(P::kTopZ));
    if (p.at(P::kLaneOptionA) != 1) p.at(P::kLaneOptionA) = 2;
    if (p.at(P::kCutDirection) != 1) p.at(P::kCutDirection) = 2;
    p.at(P::kSingleOffset) = 2;
    page.angle_degrees = real_to_word(hatch_angle_degrees());
    page.tolerance = real_to_word(std::fabs(p.real(P::kTolerance)));
}

void build_page(dialog_page& page, int& status)
{
    P& p = params();
    const int flags[20] = {};
    proc_dialog_seams().proc_top_menu(0, 1, flags, page.top_map, page.counter, status);
    if (status < 0) return;
    const int method = p.at(P::kMethod), passes = p.at(P::kPasses);
    const bool contour_only = passes == kContourOnly;
    // Passes and method.
    choice_item(page, kPassesLabel, 45, p.at(P::kPasses));
    if (contour_only)
        blank(page);
    else
        choice_item(page, kMethodLabel, 56, p.at(P::kMethod));
    if (method == kLanes)
        choice_item(page, kOffsetOptionLabel, 60, p.at(P::kOffsetOption));
    else
        blank(page);
    if (contour_only)
        blank(page);
    else
        real_item(page, kExtraOffsetLabel, p.at(P::kExtraOffset), kExtraOffsetLimit);
    // Offsets and hatch angle.
    page.reference_shown = contour_table_block.draft_present != 0;
    if (page.reference_shown || !contour_only || method == kHatch) {
        page.reference = real_to_word(p.real(P::kReferenceZ) - tool_path_origin_z());
        if (page.reference_shown)
            real_item(page, kReferenceLabel, page.reference, kReferenceZLimit);
        else
            blank(page);
        if (contour_only)
            blank(page);
        else
            real_item(page, kSideStepLabel, p.at(P::kSideStep), kSideStepLimit);
        if (method == kHatch) {
            modmpc("HATCH ANGLE: VALUE   >@HATCH ANGLE: 2 POINTS>", page.angle_choice);
            page.angle_choice_line = ++page.counter;
            real_item(page, kAngleLabel, page.angle_degrees, kHatchAngleLimit);
        }
    }
    // Lane options.
    if (method == kLanes || passes != kPocketOnly) {
        if (method == kLanes && !contour_only)
            choice_item(page, kSingleOffsetLabel, 830, p.at(P::kSingleOffset));
        else
            blank(page);
        blank(page);
        blank(page);
        if (method == kLanes && !contour_only)
            choice_item(page, kLaneOptionLabel, 105, p.at(P::kLaneOptionB));
        else
            blank(page);
    }
    // Tolerance and options.
    real_item(page, kToleranceLabel, page.tolerance, kToleranceLimit);
    if (method == kHatch)
        choice_item(page, kHatchLinkLabel, 19, p.at(P::kHatchLink));
    else
        blank(page);
    choice_item(page, kLaneOptionALabel, 258, p.at(P::kLaneOptionA));
    // Entry and start point.
    entry_param_pages(0, p.at(P::kRegionCount), p, page.counter, page.entry_items);
    page.start_option = p.at(P::kStartMode);
    float start[3] = {p.real(P::kStartPoint), p.real(P::kStartPoint + 1), p.real(P::kStartPoint + 2)};
    param_menu_by_kind(kStartPointKind, 1, page.start_option, page.previous_option, start, page.start_relative,
                       page.start_items, page.counter);
    // Geometry.
    blank(page);
    blank(page);
    page.start_side_line = 0;
    if (method == kHatch && arrows_shown()) {
        geom_item_menu(1, 8, "START SIDE", 0);
        page.start_side_line = ++page.counter;
    }
    geom_item_menu(1, 3, "CONTOUR", 2);
    page.contour_line = ++page.counter;
}

// The hatch angle from two indicated points: the second asked again while it equals the first.
void angle_by_two_points()
{
    float first[3] = {0, 0, 0}, second[3] = {0, 0, 0};
    int picked = 0;
    for (int attempt = 0; attempt < kMostPointPicks && picked < 2; ++attempt) {
        float(&point)[3] = picked == 0 ? first : second;
        prmptc(picked == 0 ? "IND. 1 POINT" : "IND. 2 POINT");
        int status = 0;
        getpt(point, kPointMode, status);
        if (status == kCancel) return;
        if (status == kBack) {
            picked = 0;
            int last_pick = 1;
            reject_picks(0, last_pick);
            continue;
        }
        if (status != kGoOn) continue;
        if (picked == 1 && eqpt2(first, second)) {
            userrc("2ND POINT IS TOO CLOSE TO 1ST ONE");
            continue;
        }
        ++picked;
    }
    if (picked < 2) return;
    const double degrees = std::atan2(second[1] - first[1], second[0] - first[0]) * kDegreesPerRadian;
    params().set_real(P::kHatchAngle, static_cast<float>(degrees * kRadiansPerDegree));
    place_arrows();
}

void passes_changed(int before, int& saved_method, int& saved_entry_mode)
{
    P& p = params();
    if (p.at(P::kPasses) == kContourOnly) {
        saved_method = p.at(P::kMethod);
        saved_entry_mode = p.at(P::kEntryMode);
        p.at(P::kEntryMode) = 1;
        if (p.at(P::kMethod) == kHatch) {
            p.at(P::kMethod) = kLanes;
            arrows_delete();
        }
    } else if (before == kContourOnly) {
        p.at(P::kMethod) = saved_method;
        p.at(P::kEntryMode) = saved_entry_mode;
        if (p.at(P::kEntryMode) != 1) del_pnt_symbols(1);
        if (p.at(P::kMethod) == kHatch && contours_valid()) place_arrows();
    }
}

void entry_mode_changed(int before)
{
    P& p = params();
    const int mode = p.at(P::kEntryMode);
    if ((mode == 2 && get_n_entry_pnts() == 0) || mode >= 3) {
        int changed = 0, status = 0;
        const int count = pnt_dialog(1, 0, 0, changed, status);
        p.at(P::kEntryMode) = count > 0 ? 2 : 1;
    } else if (mode == 1 && before != 1) {
        del_pnt_symbols(1);
        p.at(P::kEntrySearch) = 1;
    }
}

void start_side()
{
    if (!contours_valid()) {
        userrc("CONTOUR IS NOT UPDATED. PLEASE REDEFINE IT");
        return;
    }
    arrows_delete();
    arrows_flip();
    arrows_draw();
    params().at(P::kHatchSign) = -params().at(P::kHatchSign);
}

// Takes the start point from the page: the choice as stored and a given point's coordinates.
void start_point_from_page(dialog_page& page, int answer)
{
    P& p = params();
    float point[3] = {p.real(P::kStartPoint), p.real(P::kStartPoint + 1), p.real(P::kStartPoint + 2)};
    int defined = 1, mode = page.start_option, entity = -1, selected = answer;
    ind_entry_point(kStartPointKind, defined, mode, page.previous_option, point, page.start_relative,
                    p.at(P::kPointPickMode), entity, page.start_items, selected);
    p.at(P::kStartMode) = mode;
    for (int i = 0; i < 3; ++i) p.set_real(P::kStartPoint + i, point[i]);
}

// The values of the page's working copies into the block.
void store_page_values(const dialog_page& page)
{
    P& p = params();
    p.set_real(P::kTolerance, std::fabs(word_to_real(page.tolerance)));
    if (page.reference_shown) p.set_real(P::kReferenceZ, word_to_real(page.reference) + tool_path_origin_z());
    // The Z step stays within the depth; a top below the bottom leaves one level (step 0).
    const float depth = p.real(P::kTopZ) - p.real(P::kBottomZ);
    if (p.real(P::kZStep) > depth) p.set_real(P::kZStep, depth > 0.0f ? depth : 0.0f);
    if (p.at(P::kMethod) == kHatch)
        p.set_real(P::kHatchAngle, static_cast<float>(word_to_real(page.angle_degrees) * kRadiansPerDegree));
}

// Stores the page's values on leaving; a failure to hand the hatch direction on is the status.
void on_leaving(const dialog_page& page, int& status)
{
    P& p = params();
    store_page_values(page);
    if (p.at(P::kMethod) == kHatch) {
        const double radians = word_to_real(page.angle_degrees) * kRadiansPerDegree;
        if (p.at(P::kPasses) == kPocketOnly) p.at(P::kApproachKind) = 1;
        polbuf_set_pair(static_cast<float>(std::cos(radians)), static_cast<float>(std::sin(radians)), status);
        if (status == kGoOn) p.set_real(P::kHatchAngle2, p.at(P::kHatchSign) == -1 ? kPi : 0.0f);
    }
    if (status < 0) return;
    set_approach_block(p.at(P::kApproachKind), p.at(P::kApproachKind), p.real(P::kApproachLength),
                       p.real(P::kRetractLength), p.real(P::kApproachValue), p.real(P::kApproachValue), 0, 0,
                       p.real(P::kClearHeight));
}

}  // namespace

void pkstsd(int /*geometry_redefined*/, int& end_run, int& cleared, int& contour_item, int& status)
{
    P& p = params();
    cleared = 0;
    contour_item = 0;
    status = kGoOn;
    const int picks_before = sllen();
    int saved_method = p.at(P::kMethod), saved_entry_mode = p.at(P::kEntryMode);
    dialog_page page;
    for (int pass = 0; pass < kMostPasses; ++pass) {
        before_showing(page);
        build_page(page, status);
        if (status < 0) break;
        const int passes = p.at(P::kPasses), method = p.at(P::kMethod), entry_mode = p.at(P::kEntryMode);
        const word angle = page.angle_degrees;
        int answer = 0, tool_changed = 0, redisplay = 0;
        proc_dialog_seams().proc_top_menu_do(0, answer, page.machining_items, page.top_map, param_put_drelan,
                                             geom_put_drelan, block_read_drelan, answer, tool_changed, redisplay);
        if (tool_changed) {
            p.set_real(P::kSideStep, kNewToolSideStep);
            p.set_real(P::kExtraOffset, 0.0f);
            if (p.at(P::kEntryMode) > 1) del_pnt_symbols(1);
        }
        if (answer == kGoOn) {
            // A value the block brought with it beyond a field's limits keeps the page open, as a
            // typed one would be refused.
            store_page_values(page);
            int limits = kGoOn;
            param_limits_check(limits);
            if (limits != kGoOn) continue;
            pkstck(end_run);
            if (end_run == 1) continue;
            break;
        }
        if (answer == kCancel || answer == kBack) {
            status = answer;
            break;
        }
        if (answer == kShowAgain || redisplay == 0) continue;
        if (p.at(P::kPasses) != passes) passes_changed(passes, saved_method, saved_entry_mode);
        if (p.at(P::kMethod) != method) {
            if (p.at(P::kMethod) == kLanes)
                arrows_delete();
            else if (contours_valid())
                place_arrows();
        }
        if (answer == page.angle_choice_line && page.angle_choice == kByTwoPoints) {
            angle_by_two_points();
            page.angle_choice = kByValue;
        } else if (page.angle_degrees != angle) {
            p.set_real(P::kHatchAngle, static_cast<float>(word_to_real(page.angle_degrees) * kRadiansPerDegree));
            place_arrows();
        }
        if (p.at(P::kEntryMode) != entry_mode) entry_mode_changed(entry_mode);
        if (answer == page.start_items.choice || answer == page.start_items.x || answer == page.start_items.y)
            start_point_from_page(page, answer);
        if (answer == page.start_side_line && page.start_side_line > 0) start_side();
        if (answer == page.contour_line) {
            contour_item = 1;
            break;
        }
        if (is_read_singlePROC() != 0) break;
    }
    if (status >= 0) on_leaving(page, status);
    int made = sllen() - picks_before;
    reject_picks(0, made);
    if (p.at(P::kMethod) == kHatch && contours_valid()) arrows_delete();
}
