// Picking one contour into the table: the contour page, a chain of curves through the host's
// chaining (one pick may bring several contours, or the contours of the geometry criteria), a
// planar face, a loop of a solid; and the contours the active criteria find on UPDATE CONTOURS.
// Reads drelan_params_current (code 25, the chaining tolerance) and the machining type.
#include "pocket/contour_dialogs.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_picks.hpp"
#include "pocket/contour_selection.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/drelan_params.hpp"
#include "surfaces/geometry_access_least.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kGoOn = 0, kCancel = -1, kBack = -2, kNothing = -3;
constexpr int kEditPage = 0, kChain = 1, kFace = 2, kLoop = 3;
constexpr int kFoundSome = 2, kFoundMore = 3, kFoundByMask = 4;
constexpr int kContourGeometry = 2;
constexpr int kMessageModule = 331, kPickPrompt = 21, kNoneFound = 37, kFoundBesides = 38;
constexpr int kTitleChars = 23;
constexpr float kOffsetMin = -500.0f, kOffsetMax = 10000.0f, kDraftMax = 89.0f;
constexpr int kTypeLabel = 263, kTypePage = 1313, kTypePageAlternative = 1314, kTypePage38 = 1309;
constexpr int kListChoice = 4;
constexpr int kTwoWayMachiningType = 38, kGuideMachiningType = 39;
constexpr int kTwoWayFirst = 2, kTwoWaySecond = 6;
constexpr int kMostPickAttempts = 100;

contour_table& t = contour_table_block;
contour_buffers& b = contour_buffers_block;

// "CONTOUR NO. 5", "LOOP NO. 5", or "CONTOURS NO. 2:4" for a face of several loops.
std::string contour_title(int k, int method)
{
    bool several = false;
    const std::string numbers = order_numbers_text(k, ":", several);
    std::string title;
    maktxt(several ? "CONTOURS NO." : method == kLoop ? "LOOP NO." : "CONTOUR NO.", numbers, title);
    return title.substr(0, kTitleChars);
}

// The contour type as the page shows it: with machining type 38 and the standard page a two-way
// choice (2 for type 6, else 1).
bool two_way_type(const contour_switches& s)
{
    return machining_type() == kTwoWayMachiningType && s.type_field && !s.type_page;
}

void contour_page(const contour_switches& s, int k, int method, contour_values& v, word& shown_type)
{
    int status = 0;
    modint_third_layout(1, status);
    switch (method) {
    case kChain: msg_prompt(kMessageModule, kPickPrompt); break;
    case kFace: prmptc("PICK PLFACE/EXIT"); break;
    case kLoop: prmptc("PICK LOOP/EXIT"); break;
    default: prmptc("<CR> TO UPDATE");
    }
    int title_line = 0;
    modmc(contour_title(k, method), title_line);
    modrc("OFFSET", v.offset, kOffsetMin, kOffsetMax);
    if (s.draft_field) modrc("DRAFT ANGLE", v.draft, 0.0f, kDraftMax);
    if (s.type_field) {
        shown_type = two_way_type(s) ? (v.type == kTwoWaySecond ? 2 : 1) : v.type;
        const int page = machining_type() == kTwoWayMachiningType && !s.type_page ? kTypePage38
                         : s.type_page                                            ? kTypePageAlternative
                                                                                  : kTypePage;
        nu_mod_exec(kListChoice, kTypeLabel, page, shown_type, 0.0f, 0.0f, status);
    }
    if (s.part_stock)
        modmpc(machining_type() == kGuideMachiningType ? "PART                 >@GUIDE                >"
                                                       : "PART                 >@STOCK                >",
               v.part_stock);
}

int type_of_shown(const contour_switches& s, word shown)
{
    if (!two_way_type(s)) return shown;
    return shown == 2 ? kTwoWaySecond : kTwoWayFirst;
}

// Contour k's values are stored where they differ from the page's.
void store_page_values(const contour_switches& s, int k, const contour_values& v, word shown_type, int& changed)
{
    if (neval(v.offset, t.offset[k])) {
        t.offset[k] = v.offset;
        changed = 1;
    }
    if (s.draft_field && neval(v.draft, t.draft[k])) {
        t.draft[k] = v.draft;
        changed = 1;
    }
    const int type = type_of_shown(s, shown_type);
    if (s.type_field && type != t.type[k]) {
        t.type[k] = type;
        changed = 1;
    }
    if (s.part_stock && v.part_stock != t.part_stock[k]) {
        t.part_stock[k] = v.part_stock;
        changed = 1;
    }
}

// Status of the page run until the user confirms (0) or leaves (-1, -2).
int run_page()
{
    for (int pass = 0; pass < kMostPickAttempts; ++pass) {
        int answer = 0;
        modif1(answer);
        if (answer <= 0) return answer;
    }
    return kCancel;
}

// Pushes contour k's curves to the selection list and records its range.
void push_range(int k)
{
    const int first = sllen() + 1;
    int count = 1, valid = 1;
    push_contours_to_pick(wire_record(k), count, valid);
    t.pick_first(k) = first;
    t.pick_last(k) = sllen();
}

// Enters the record at F[k] of the geometry buffer as contour k (copied to the wire buffer) and
// steps k and the count on. Values are taken unless the host's tamsa flag is set.
void enter_contour(int& k, int kind, const contour_values& v, int part_stock, int by_criteria, int steps)
{
    int* record = geometry_record(k);
    const int length = record_length(record);
    std::copy(record, record + kChainEntryWords * length, wire_record(k));
    if (tamsa_flag_get() == 0) {
        t.offset[k] = v.offset;
        t.draft[k] = v.draft;
        t.type[k] = v.type;
        t.part_stock[k] = part_stock;
    }
    t.by_criteria[k] = by_criteria;
    t.valid[k] = 1;
    t.kind[k] = kind;
    t.first_entry[k + 1] = t.first_entry[k] + length;
    t.order[k + 1] = t.order[k] + steps;
    ++k;
    t.count = k - 1;
}

// Room left in the buffers from contour k's first entry.
int room_at(int k) { return contour_entries() + 1 - t.first_entry[k]; }

// Found contour i of the last criteria search into the record of contour k, the buffers grown
// to hold it. Status 0, or the host's (kFillEnd past the last one).
int fill_found(int i, int k)
{
    int length = 0;
    return with_room(t.first_entry[k], [&](int room) {
        int status = 0;
        fill_cnt_buf(i, room, geometry_record(k), length, status);
        return status;
    });
}

// Contours of a chaining that found several by criteria (status 2, 3 or 4): each filled,
// entered and pushed, up to the limit.
void enter_found_contours(int found_status, int limit, int& k, const contour_values& v)
{
    const int found = get_num_cnt();
    int mask = 0;
    active_mask_gs(1, kContourGeometry, mask);
    if (found == 0 && mask != 0) {
        msg_mdls(kMessageModule, kNoneFound);
        if (t.count == 0) {
            int changed = 1;
            crit_gs_change(2, kContourGeometry, changed);
        }
    } else if (found > 0 && std::any_of(t.by_criteria.begin() + 1, t.by_criteria.begin() + 1 + contour_count(),
                                        [](int f) { return f != 0; })) {
        msg_mdls(kMessageModule, kFoundBesides);
    }
    for (int i = 1; i <= found && k <= limit; ++i) {
        if (fill_found(i, k) != kGoOn) break;
        const int by_criteria = found_status == kFoundByMask ? 1 : 0;
        enter_contour(k, kKindChain, v, found_status == kFoundByMask ? kPart : v.part_stock, by_criteria, 1);
        push_range(k - 1);
    }
}

void pick_chain(int limit, int& k, contour_values& v, int& status)
{
    dfdini(drelan_params_current.real(drelan_params::kTolerance), status);
    contour_table_register();
    const int before = sllen();
    int length = 0;
    dfdc(room_at(k), geometry_record(k), length, status);
    // A chain longer than the room left: the buffers grow to hold it, and the host answers the
    // chain it kept once more.
    if (status == kRecordNoRoom && length > room_at(k) && contour_buffers_reserve(t.first_entry[k] + length - 1))
        dfdc(room_at(k), geometry_record(k), length, status);
    if (status < 0) return;
    if (status == kFoundSome || status == kFoundMore || status == kFoundByMask) {
        enter_found_contours(status, limit, k, v);
        status = kGoOn;
        return;
    }
    int cleared = 0;
    crit_gs_change(2, kContourGeometry, cleared);
    int number = limit - t.count, split = 0;
    copy_contour_set(geometry_record(k), number, split);
    if (split != kGoOn) number = 1;
    if (record_length(geometry_record(k)) < 1 || number < 1) {
        int added = sllen() - before;
        reject_picks(0, added);
        t.pick_first(k) = 0;
        t.pick_last(k) = -1;
        status = kNothing;
        return;
    }
    for (int n = 0; n < number; ++n) {
        const int first = k;
        enter_contour(k, kKindChain, v, v.part_stock, 0, 1);
        if (n == 0) {
            t.pick_first(first) = before + 1;
            t.pick_last(first) = sllen();
        } else {
            push_range(first);
        }
    }
    status = kGoOn;
}

// Lets the user pick until `take` accepts the entity (true; it sets the status) or the pick
// answers something else than an entity (its answer becomes the status).
template <class Take> void pick_until(int& status, Take take)
{
    for (int attempt = 0; attempt < kMostPickAttempts; ++attempt) {
        int choice = 0, entity = 0;
        pick(choice, entity);
        if (choice != kGoOn) {
            status = choice;
            return;
        }
        if (take(entity)) return;
    }
    status = kCancel;
}

// A record of `entries` entries for contour k, the buffers grown to hold it.
int* new_record(int k, int entries)
{
    return contour_buffers_reserve(t.first_entry[k] + entries - 1) ? geometry_record(k) : nullptr;
}

void pick_face(int& k, contour_values& v, int& status)
{
    pick_until(status, [&](int face) {
        int loops = 0;
        PLFGNG(face, loops, status);
        if (status != kGoOn) return false;
        int* record = new_record(k, 1);
        status = record ? kGoOn : kCancel;
        if (record == nullptr) return true;
        record[0] = kFaceRecord;
        record[1] = face;
        enter_contour(k, kKindFace, v, v.part_stock, 0, loops);
        push_range(k - 1);
        return true;
    });
}

void pick_loop(int& k, contour_values& v, int& status)
{
    pick_until(status, [&](int edge) {
        int loop = 0, second = 0;
        ncs_loop_of_edge(edge, loop, second, status);
        contour_table_register();
        if (status != kGoOn || ncs_table_loopedge_in_table(edge) != 0) return false;
        int* record = new_record(k, 2);
        status = record ? kGoOn : kCancel;
        if (record == nullptr) return true;
        record[0] = kLoopRecord;
        record[1] = loop;
        record[2] = second;
        record[3] = 0;
        // Exploding tells whether a solid update changed the second identifier.
        int length = 0, exploded = 0;
        const int explode_status = with_room(1, [&](int room) {
            int s = 0;
            ncs_explode_loop_to_wfbuf(geometry_record(k), room, b.work.data(), length, exploded, s);
            return s;
        });
        record = geometry_record(k);
        if (explode_status == kGoOn && exploded != second) record[2] = exploded;
        enter_contour(k, kKindLoop, v, v.part_stock, 0, 1);
        push_range(k - 1);
        return true;
    });
}

}  // namespace

void contour_pick_one(const contour_switches& switches, int method, int limit, int& k, contour_values& values,
                      int& changed, int& status)
{
    status = kGoOn;
    if (k < 1 || k > std::min(limit, kMaxContours) || !contour_buffers_reserve(t.first_entry[k])) {
        status = kNothing;
        return;
    }
    word shown_type = values.type;
    contour_page(switches, k, method, values, shown_type);
    if (method == kEditPage) {
        status = run_page();
        if (status == kGoOn) store_page_values(switches, k, values, shown_type, changed);
        return;
    }
    values.type = type_of_shown(switches, shown_type);
    const int count_before = t.count;
    if (method == kChain)
        pick_chain(limit, k, values, status);
    else if (method == kFace)
        pick_face(k, values, status);
    else if (method == kLoop)
        pick_loop(k, values, status);
    else
        status = kNothing;
    if (t.count != count_before) changed = 1;
}

void contour_update_by_crit(int append, const contour_values& defaults)
{
    contour_table_register();
    const int hand_picked =
        static_cast<int>(std::count(t.by_criteria.begin() + 1, t.by_criteria.begin() + 1 + contour_count(), 0));
    geomsk_search_curves(1);
    int found = 0, status = 0;
    find_cont_by_crit(append, hand_picked, found, status);
    if (t.count == 0) {
        t.first_entry[1] = 1;
        t.order[1] = 1;
    }
    int k = contour_count() + 1;
    for (int i = 1; status == kGoOn && i <= found && k <= kMaxContours; ++i) {
        status = fill_found(i, k);
        if (status != kGoOn) break;  // kFillEnd: the found contours are all in
        enter_contour(k, kKindChain, defaults, kPart, 1, 1);
        if (append) {
            push_range(k - 1);
        } else {
            t.pick_first(k - 1) = 0;
            t.pick_last(k - 1) = -1;
        }
    }
    if (found == 0) {
        msg_mdls(kMessageModule, kNoneFound);
        if (hand_picked == 0) {
            int changed = 1;
            crit_gs_change(2, kContourGeometry, changed);
        }
    }
}
