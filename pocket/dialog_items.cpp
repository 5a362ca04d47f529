// The items and conversions of the pocket dialog: stored contours to double precision, the
// approach block, the start-point and individual-point items, the geometry menu items, the entry
// pages and the message-window line. Reads NPT1 (the tool path's origin), the machining type and
// the entry-point tables.
#include "pocket/dialog_items.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/msg_window.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/param_limits.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kGoOn = 0, kFailed = -1, kCancel = -1, kBack = -2;
constexpr int kGivenPoint = 2, kAskPoint = 3;
constexpr int kEntryPoint = 1, kEndPoint = 2;
constexpr int kListChoice = 4, kRealParameter = 2;
constexpr int kNameChars = 21, kLabelChars = 22;
constexpr int kGeometryMask = 2;
constexpr int kPointLabel = 479, kSearchLabel = 480, kValue257Label = 336, kOrderLabel = 337;

float origin(int axis) { return NPT1().real(tp_header_state::kMacsysOrigin + axis); }

// The page numbers of the entry-mode choice by machining type, method and entry points.
int entry_mode_page(int method, bool with_points)
{
    const int mt = machining_type();
    const bool engraving = (mt == 11 || mt == 13) && method == 2;
    if (!with_points) return engraving ? 327 : mt == 39 ? 1360 : 326;
    if (engraving) return nu_mod_get_flag() != 0 ? 482 : 329;
    return mt == 39 ? 1361 : 328;
}

void parameter_item(int label, int page, word& value, int& counter)
{
    int status = 0;
    nu_mod_exec(kListChoice, label, page, value, 0.0f, 0.0f, status);
    ++counter;
}

void real_item(int label, word& value, float minimum, float maximum, int& counter)
{
    int status = 0;
    nu_mod_exec(kRealParameter, label, 0, value, minimum, maximum, status);
    ++counter;
}

void blank_item(int& counter)
{
    modumc(" ", 0);
    ++counter;
}

}  // namespace

void contours_to_double(int count, int* records, int& status)
{
    int* work = contour_buffers_block.work.data();
    long stored = 0, converted = 0;
    status = kGoOn;
    for (int k = 0; k < count && records != nullptr; ++k) {
        int stored_length = 0, length = 0;
        dfcglr(records + kChainEntryWords * stored, stored_length, status);
        if (status != kGoOn) return;
        // The stored records are walked by their own lengths: none may reach past the buffer.
        if (stored_length < 1 || stored + stored_length > contour_entries()) {
            status = kFailed;
            return;
        }
        dfcr2d(records + kChainEntryWords * stored, static_cast<int>(contour_entries() - converted),
               work + kChainEntryWords * converted, length, status);
        if (status != kGoOn) return;
        dfcgld(work + kChainEntryWords * converted, length, status);
        if (status != kGoOn) return;
        stored += stored_length;
        converted += length;
    }
    std::copy(work, work + kChainEntryWords * converted, records);
}

void set_approach_block(int approach_kind, int retract_kind, float approach_length, float retract_length,
                        float second_approach, float second_retract, int word1, int word2, float last)
{
    approach_block& a = approach_block_data;
    a.approach_kind = approach_kind;
    a.retract_kind = retract_kind;
    a.approach_length = approach_length;
    a.retract_length = retract_length;
    a.second[0] = second_approach;
    a.second[1] = second_retract;
    a.words[0] = word1;
    a.words[1] = word2;
    a.last = last;
}

int param_menu_by_kind(int kind, int forward, int& option, int& previous_option, const float* point, float* relative,
                       page_item_record& items, int& item_counter)
{
    static const char* const kChoices[] = {"ENTRY POINT: AUTO   >@ENTRY POINT: GIVEN  >",
                                           "START POINT: AUTO   >@START POINT: GIVEN  >",
                                           "END POINT: AUTO     >@END POINT: GIVEN    >"};
    previous_option = option;
    const bool listed = kind >= 1 && kind <= 3;
    if (forward) {
        if (option == kAskPoint) option = kGivenPoint;
    } else if (option >= 2) {
        --option;
    }
    if (nu_mod_get_flag() == 0) {
        items.choice = ++item_counter;
        if (listed) {
            if (forward)
                modmc(kChoices[kind - 1], option);
            else
                modmpc(kChoices[kind - 1], option);
        } else {
            word value = option;
            int status = 0;
            nu_mod_exec(kListChoice, kPointLabel, forward ? 268 : 266, value, 0.0f, 0.0f, status);
            option = value;
        }
        if (option == kGivenPoint && point != nullptr && relative != nullptr) {
            relative[0] = point[0] - origin(0);
            relative[1] = point[1] - origin(1);
            if (kind == 2) {
                blank_item(item_counter);
                blank_item(item_counter);
            }
            modrc("X", relative[0], kStartPointLimit.minimum, kStartPointLimit.maximum);
            items.x = ++item_counter;
            modrc("Y", relative[1], kStartPointLimit.minimum, kStartPointLimit.maximum);
            items.y = ++item_counter;
        } else {
            items.x = items.y = 0;
            blank_item(item_counter);
            blank_item(item_counter);
        }
    }
    if (!forward && option >= kAskPoint) return option + 1;
    return option;
}

void ind_entry_point(int point_kind, int& defined, int& mode, int fallback_mode, float* point, const float* offsets,
                     int pick_mode, int& entity, const page_item_record& items, int& selected)
{
    if (selected == items.choice && items.choice > 0) {
        if (!defined && mode > 1) ++mode;
        if (mode == kAskPoint) {
            reset_interaction_mode();
            prmptc(point_kind == kEntryPoint ? "IND. ENTRY POINT"
                   : point_kind == kEndPoint ? "IND. END POINT"
                                             : "IND. INTERMED. POINT");
            float p[3] = {0, 0, 0};
            int picked = -1, status = 0;
            ncs_get_point(pick_mode, p, picked, status);
            if (status == kCancel || status == kBack) {
                mode = fallback_mode;
            } else {
                std::copy(p, p + 3, point);
                defined = 1;
                mode = kGivenPoint;
                if (entity >= 0) ncs_table_delete(kPointAssociation, entity, status);
                if (picked >= 0)
                    ncs_table_insert(kPointAssociation, picked, ncs_obj_uid(picked), ncs_get_generation_number(picked),
                                     status);
                entity = picked;
            }
            selected = -1;
        } else if (mode == kGivenPoint) {
            defined = 1;
            if (mode != fallback_mode) {
                gsclr(2, 0);
                selected = -1;
            }
        }
        return;
    }
    const int axis = selected == items.x && items.x > 0 ? 0 : selected == items.y && items.y > 0 ? 1 : -1;
    if (axis < 0 || offsets == nullptr) return;
    point[axis] = origin(axis) + offsets[axis];
    if (entity >= 0) {
        int status = 0;
        ncs_table_delete(kPointAssociation, entity, status);
        entity = -1;
    }
}

std::string geom_item_label(int defined, int edited, int verb, std::string_view name, int mask_kind)
{
    static constexpr std::string_view kVerbs = "REDEF.DEFINEMODIFYEDIT  UPDATERESET LIMIT CHANGE";
    const int index = verb > 10 ? verb - 10 : verb;
    const std::string_view word =
        index >= 1 && index <= 8 ? kVerbs.substr(static_cast<std::size_t>(index - 1) * 6, 6) : "";
    std::string mark = "--";
    if (!defined)
        mark[0] = 'G';
    else if (edited == 0)
        mark[0] = 'E';
    int active = 0, changed = 0;
    if (mask_kind == kGeometryMask) {
        active_mask_gs(1, kGeometryMask, active);
        crit_gs_change(1, kGeometryMask, changed);
        if (active != 0 && changed != 0) mark[0] = 's';
        if (active != 0 && nc_geomsk_lst_count(kGeometryMask) > 0) mark = std::string(1, mark[0]) + "c ";
    }
    std::string text;
    maktxt(word, name.substr(0, kNameChars), text);
    return mark + text.substr(0, kLabelChars);
}

void geom_item_menu(int defined, int verb, std::string_view name, int mask_kind)
{
    int line = 0;
    modmc(geom_item_label(defined, 1, verb, name, mask_kind), line);
}

void geom_item_menu_edit(int defined, int edited, std::string_view name, int mask_kind)
{
    int line = 0;
    modmc(geom_item_label(defined, edited, 4, name, mask_kind), line);
}

void entry_param_pages(int /*mode*/, int region_count, drelan_params& p, int& item_counter, page_item_record& items)
{
    using P = drelan_params;
    const int method = p.at(P::kMethod), mt = machining_type();
    const bool contour_only = p.at(P::kPasses) == 3;
    // One region always searches by code 223 = 2; machining type 13 hatches without code 257.
    if (region_count <= 1) {
        p.at(P::kEntrySearch) = 2;
        if (mt == 13 && method == 1) p.set_real(P::kValue257, 0.0f);
    }
    if (nu_mod_get_flag() != 0) return;
    if (contour_only) {
        blank_item(item_counter);
    } else {
        parameter_item(kPointLabel, entry_mode_page(method, get_n_entry_pnts() > 0), p.at(P::kEntryMode), item_counter);
        items.choice = item_counter;
    }
    if (region_count > 1) {
        if (contour_only) {
            del_pnt_symbols(1);
            blank_item(item_counter);
        } else if (p.at(P::kEntryMode) == 2) {
            if (mt == 39)
                blank_item(item_counter);
            else
                parameter_item(kSearchLabel, 334, p.at(P::kEntrySearch), item_counter);
            items.x = item_counter;  // the entry-search item
        } else if (mt == 13 && method == 1) {
            blank_item(item_counter);
        } else {
            real_item(kValue257Label, p.at(P::kValue257), kValue257Limit.minimum, kValue257Limit.maximum, item_counter);
        }
        parameter_item(kOrderLabel, 341, p.at(P::kRegionOrder), item_counter);
        return;
    }
    if (mt == 9 || mt == 13)
        blank_item(item_counter);
    else
        real_item(kValue257Label, p.at(P::kValue257), kValue257Limit.minimum, kValue257Limit.maximum, item_counter);
    int label = 0;
    modmc(" ", label);
    ++item_counter;
}

void msg_window_show(int action, int kind, int length, std::string_view text)
{
    msg_window(action, kind, std::min(length, kMsgWindowColumns), text);
}
