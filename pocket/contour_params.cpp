// The per-contour parameters: offsets and draft angles of all contours by a delta or to a
// constant, the contour list page of one contour or of the selected ones, the selection by pick,
// box or all, the ordering of part contours before stock contours and the reset of stock
// contours. Reads the machining type.
#include "pocket/contour_params.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "pocket/contour_counts.hpp"
#include "pocket/contour_selection.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/contour_upkeep.hpp"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kGoOn = 0, kCancel = -1, kBack = -2, kFailed = -1;
constexpr int kYes = 1;
constexpr int kByDelta = 1, kByConstant = 2;
constexpr float kOffsetMin = -500.0f, kOffsetMax = 10000.0f, kOffsetDelta = 9999.0f;
constexpr float kDraftMax = 89.0f, kDraftDelta = 90.0f;
constexpr int kMessageModule = 331;
constexpr int kListPrompt = 10, kPickPrompt = 12, kBoxPrompt = 13, kBoxDonePrompt = 14, kSelectedCount = 15,
              kAllQuestion = 16, kPartStockRefused = 32, kStockReset = 52;
constexpr int kTypeLabel = 263, kTypePage = 1313, kTypePageAlternative = 1314, kTypePage38 = 1309;
constexpr int kListChoice = 4;
constexpr int kTwoWayMachiningType = 38, kGuideMachiningType = 39;
constexpr int kTwoWayFirst = 2, kTwoWaySecond = 6;
constexpr int kPickLine = 3;
constexpr int kByPick = 1, kByBox = 2, kAll = 3;
constexpr int kPickMode = 7;
constexpr int kMostPagePasses = 10000;

contour_table& t = contour_table_block;

void start_page()
{
    int status = 0;
    reset_interaction_mode();
    modint_third_layout(1, status);
}

// What the delta-or-constant page asks for one value.
struct change_rule {
    int choice = kByDelta;
    float delta = 0.0f, constant = 0.0f;
};

float changed_offset(const change_rule& r, float offset)
{
    return r.choice == kByDelta ? std::clamp(offset + r.delta, kOffsetMin, kOffsetMax) : r.constant;
}

float changed_draft(const change_rule& r, float draft)
{
    if (r.choice != kByDelta) return r.constant;
    float a = draft + r.delta;
    if (ltval0(a)) a = 0.0f;
    return std::min(a, kDraftMax);
}

bool two_way_type(int type_flag, int type_page_flag)
{
    return machining_type() == kTwoWayMachiningType && type_flag && !type_page_flag;
}

// Contour k's copy is tested in the work buffer; the hit marks it selected.
void select_contour(int k, int& last)
{
    t.selected[k] = 1;
    last = k;
}

}  // namespace

void contour_offset_modify(int draft_flag, int& changed, int& status)
{
    change_rule offset, draft;
    for (int pass = 0; pass < kMostPagePasses; ++pass) {
        start_page();
        modmpc("OFFSET BY DELTA@OFFSET BY CONST VALUE", offset.choice);
        if (offset.choice == kByDelta)
            modrc("DELTA", offset.delta, -kOffsetDelta, kOffsetDelta);
        else
            modrc("OFFSET", offset.constant, kOffsetMin, kOffsetMax);
        if (draft_flag) {
            modmpc("DRAFT ANG. BY DELTA@DRAFT ANG. BY CONST VAL", draft.choice);
            if (draft.choice == kByDelta)
                modrc("DELTA", draft.delta, -kDraftDelta, kDraftDelta);
            else
                modrc("ANGLE", draft.constant, 0.0f, kDraftMax);
        }
        modif1(status);
        if (status == kCancel || status == kBack) return;
        if (status == kGoOn) break;
        // Another line chosen (a menu changed its choice): the page is built again.
    }
    if (status != kGoOn) return;
    t.draft_present = 0;
    for (int i = 1; i <= std::clamp(t.gathered_count, 0, kMaxContours); ++i) {
        const float o = changed_offset(offset, t.gathered_offset[i]);
        if (o != t.gathered_offset[i]) changed = 1;
        t.gathered_offset[i] = o;
        if (!draft_flag) continue;
        const float a = changed_draft(draft, t.gathered_draft[i]);
        if (a != t.gathered_draft[i]) changed = 1;
        t.gathered_draft[i] = a;
        if (a != 0.0f) t.draft_present = 1;
    }
    for (int k = 1; k <= contour_count(); ++k) {
        t.offset[k] = changed_offset(offset, t.offset[k]);
        if (draft_flag) t.draft[k] = changed_draft(draft, t.draft[k]);
    }
}

void contour_list_items(int draft_flag, int type_flag, int type_page_flag, int part_stock_flag, int k, float& offset,
                        float& draft, word& type, int& part_stock)
{
    bool several = false;
    const std::string numbers = order_numbers_text(k, "-", several);
    std::string title;
    maktxt(several ? "CONTOURS NO." : "CONTOUR NO.", numbers, title);
    msg_prompt(kMessageModule, kListPrompt);
    int title_line = 0, pick_line = 0, status = 0;
    modmc(title, title_line);
    modrc("OFFSET", offset, kOffsetMin, kOffsetMax);
    if (t.count > 1) modmc("PICK CONTOUR", pick_line);
    if (draft_flag) modrc("DRAFT ANGLE", draft, 0.0f, kDraftMax);
    if (type_flag) {
        const int page = type_page_flag                             ? kTypePageAlternative
                         : machining_type() == kTwoWayMachiningType ? kTypePage38
                                                                    : kTypePage;
        nu_mod_exec(kListChoice, kTypeLabel, page, type, 0.0f, 0.0f, status);
    }
    if (part_stock_flag) modmpc(machining_type() == kGuideMachiningType ? "PART@GUIDE" : "PART@STOCK", part_stock);
}

void contour_list_end()
{
    std::fill(t.selected.begin(), t.selected.end(), 0);
    t.selection_count = 1;
}

void contour_list_modify(int draft_flag, int type_flag, int type_page_flag, int part_stock_flag, int k, float& offset,
                         float& draft, int& type, int& part_stock, int& changed, int& status)
{
    const bool two_way = two_way_type(type_flag, type_page_flag);
    auto load = [&](int j) {
        offset = t.offset[j];
        draft = t.draft[j];
        type = two_way ? (t.type[j] == kTwoWaySecond ? 2 : 1) : t.type[j];
        part_stock = t.part_stock[j];
    };
    if (k < 1 || k > contour_count()) {
        status = kCancel;
        return;
    }
    load(k);
    if (t.selection_count > 1) {
        for (int j = 1; j <= contour_count(); ++j) {
            if (t.selected[j] == 0 || t.pick_first(j) <= t.pick_last(j)) continue;
            const int first = sllen() + 1;
            int count = 1, valid = 1;
            push_contours_to_pick(wire_record(j), count, valid);
            t.pick_first(j) = first;
            t.pick_last(j) = sllen();
        }
    }
    for (int pass = 0; pass < kMostPagePasses; ++pass) {
        start_page();
        word shown_type = type;
        contour_list_items(draft_flag, type_flag, type_page_flag, part_stock_flag, k, offset, draft, shown_type,
                           part_stock);
        modif1(status);
        type = shown_type;
        if (status == kCancel || status == kBack) {
            contour_list_end();
            return;
        }
        if (status == kGoOn) break;
        if (status == kPickLine && t.count > 1) {
            int selected = 0;
            contour_list_select(selected);
            if (selected > 0) {
                k = selected;
                load(k);
            }
        }
    }
    if (status != kGoOn) return;
    for (int j = 1; j <= contour_count(); ++j) {
        const bool apply = t.selection_count > 1 ? t.selected[j] != 0 : j == k;
        if (!apply) continue;
        if (neval(offset, t.offset[j])) {
            t.offset[j] = offset;
            changed = 1;
        }
        if (draft_flag && neval(draft, t.draft[j])) {
            t.draft[j] = draft;
            changed = 1;
        }
        const int new_type = two_way ? (type == 2 ? kTwoWaySecond : kTwoWayFirst) : type;
        if (type_flag && new_type != t.type[j]) {
            t.type[j] = new_type;
            changed = 1;
        }
        if (part_stock_flag && part_stock != t.part_stock[j]) {
            if (t.by_criteria[j] != 0) {
                msg_mdls(kMessageModule, kPartStockRefused);
            } else {
                t.part_stock[j] = part_stock;
                changed = 1;
            }
        }
    }
    if (t.selection_count > 1) contour_list_end();
}

void contour_list_select(int& status)
{
    contour_list_end();
    int choice = 0;
    pdmpac("MODIFY BY PICK@MODIFY BY  BOX@MODIFY     ALL", choice);
    if (choice < kByPick || choice > kAll) {
        status = choice < 0 ? choice : kCancel;
        return;
    }
    float point[3] = {0, 0, 0}, box[4] = {0, 0, 0, 0};
    int last = 0, selected = 0;
    status = kGoOn;
    if (choice == kByPick) {
        msg_prompt(kMessageModule, kPickPrompt);
        getpt(point, kPickMode, status);
        for (int k = 1; status == kGoOn && k <= contour_count(); ++k) {
            if (!contour_hit_by_point(k, point)) continue;
            select_contour(k, last);
            ++selected;
            break;
        }
    } else if (choice == kByBox) {
        msg_prompt(kMessageModule, kBoxPrompt);
        draw_box(status);
        if (status == kGoOn) {
            get_box_coor(box);
            msg_prompt(kMessageModule, kBoxDonePrompt);
        }
        for (int k = 1; status == kGoOn && k <= contour_count(); ++k) {
            if (!contour_hit_by_box(k, box)) continue;
            select_contour(k, last);
            ++selected;
        }
    } else {
        int answer = 0;
        msg_quest(kMessageModule, kAllQuestion, answer);
        for (int k = 1; answer == kYes && k <= contour_count(); ++k) {
            select_contour(k, last);
            ++selected;
        }
    }
    if (status < 0) return;
    if (selected > 1) {
        msg_mdls(kMessageModule, kSelectedCount);
        t.selection_count = selected;
    }
    status = last;
}

int contours_order_by_kind()
{
    const int n = contour_count();
    const int parts = count_contours_type1();
    if (parts < 1 || parts >= n) return kGoOn;
    bool ordered = true;
    for (int k = 1; k <= parts; ++k) ordered = ordered && t.part_stock[k] == kPart;
    if (ordered) return kGoOn;
    // The values of the reordered contours, in work arrays of the host.
    const std::size_t bytes = sizeof(int) * static_cast<std::size_t>(n);
    void* blocks[7] = {};
    bool have_all = true;
    for (int i = 0; i < 7; ++i)
        have_all = (blocks[i] = DM_ALLOC(i == 6 ? bytes + sizeof(int) : bytes)) != nullptr && have_all;
    int status = have_all ? kGoOn : kFailed;
    if (have_all) {
        float* offsets = static_cast<float*>(blocks[0]);
        float* drafts = static_cast<float*>(blocks[1]);
        int* types = static_cast<int*>(blocks[2]);
        int* part_stock = static_cast<int*>(blocks[3]);
        int* by_criteria = static_cast<int*>(blocks[4]);
        int* kinds = static_cast<int*>(blocks[5]);
        int* first = static_cast<int*>(blocks[6]);
        contour_buffer& work = contour_buffers_block.work;
        std::fill(work.begin(), work.end(), 0);
        int m = 0;
        first[0] = 1;
        for (const int wanted : {kPart, kStock}) {
            for (int k = 1; k <= n && status == kGoOn; ++k) {
                if (t.part_stock[k] != wanted) continue;
                const int* record = geometry_record(k);
                const int length = t.first_entry[k + 1] - t.first_entry[k];
                if (record == nullptr || length < 1 || first[m] + length - 1 > contour_entries()) {
                    status = kFailed;
                    break;
                }
                std::copy(record, record + kChainEntryWords * length, buffer_entry(work, first[m]));
                offsets[m] = t.offset[k];
                drafts[m] = t.draft[k];
                types[m] = t.type[k];
                part_stock[m] = t.part_stock[k];
                by_criteria[m] = t.by_criteria[k];
                kinds[m] = t.kind[k];
                first[m + 1] = first[m] + length;
                ++m;
            }
        }
        if (status == kGoOn && m == n) {
            contour_unpick_others(0);
            contour_buffers_block.geometry = work;
            contour_buffers_block.wire = work;
            for (int k = 1; k <= n; ++k) {
                t.offset[k] = offsets[k - 1];
                t.draft[k] = drafts[k - 1];
                t.type[k] = types[k - 1];
                t.part_stock[k] = part_stock[k - 1];
                t.by_criteria[k] = by_criteria[k - 1];
                t.kind[k] = kinds[k - 1];
                t.first_entry[k] = first[k - 1];
                t.pick_first(k) = 0;
                t.pick_last(k) = -1;
            }
            t.first_entry[n + 1] = first[n];
            contour_renumber();
        }
    }
    for (void* block : blocks) DM_FREE(block, 0);
    return status;
}

int stock_contours_reset()
{
    if (count_contours_type2() < 1) return kGoOn;
    bool any = false;
    for (int k = 1; k <= contour_count(); ++k) {
        if (t.part_stock[k] != kStock || (t.offset[k] == 0.0f && t.type[k] == 1)) continue;
        t.offset[k] = 0.0f;
        t.type[k] = 1;
        any = true;
    }
    if (any) msg_mdls(kMessageModule, kStockReset);
    return kGoOn;
}
