// The contours for the criteria lists: their classification into closed and open chains, planar
// faces and loops of solids, the counts by kind, and the re-finding of the contours that the
// active geometry criteria found, for all of them or for the closed or open ones.
#include "pocket/contour_selection.hpp"
#include "pocket/contour_upkeep.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"

#include <algorithm>

namespace {

constexpr int kGoOn = 0;
constexpr int kContourGeometry = 2;
constexpr int kClassClosed = 1, kClassOpen = 2, kClassFace = 3, kClassLoop = 4;
constexpr int kAnyKind = 0;
constexpr int kKeepSearch = 0, kAppend = 1;

contour_table& t = contour_table_block;

bool of_kind(int k, int kind) { return kind == kAnyKind || t.kind[k] == kind; }

int count_of(int kind, int by_criteria)
{
    int n = 0;
    for (int k = 1; k <= contour_count(); ++k)
        if (of_kind(k, kind) && t.by_criteria[k] == by_criteria) ++n;
    return n;
}

// Compares the criteria contours of the kind with the last search; removes those not found
// unless the criteria are marked as checked.
void check_found(int kind, int& found)
{
    found = 1;
    contour_table_register();
    for (int k = 1; k <= contour_count(); ++k) {
        if (t.by_criteria[k] == 0 || !of_kind(k, kind)) continue;
        int present = 0;
        compare_cnt(wire_record(k), present);
        if (present != 0) continue;
        found = 0;
        if (chk_crit_gs(kContourGeometry) != 0) continue;
        int status = 0;
        pktdel_by_OrderNum(k, status);
        if (status == kGoOn) --k;
    }
    contour_renumber();
}

void refind(int kind, int& changed)
{
    const int by_criteria = count_of(kind, 1), hand_picked = contour_count() - count_of(kAnyKind, 1);
    contour_table_register();
    geomsk_search_curves(kKeepSearch);
    int found = 0, status = 0;
    find_cont_by_crit(kAppend, hand_picked, found, status);
    changed = found != by_criteria || (found == 0 && by_criteria == 0 && hand_picked == 0) ? 1 : 0;
    int all_found = 1;
    check_found(kind, all_found);
    if (all_found == 0) changed = 1;
}

}  // namespace

void pkt_classify()
{
    t.first_entry[1] = 1;
    for (int k = 1; k <= contour_count(); ++k) {
        const int* record = geometry_record(k);
        int open = 0, status = 0;
        dfdgoc(record, open, status);
        t.kind[k] = open != 0 ? kClassOpen : kClassClosed;
        if (record != nullptr && record[0] == kFaceRecord) t.kind[k] = kClassFace;
        if (record != nullptr && record[0] == kLoopRecord) t.kind[k] = kClassLoop;
        t.first_entry[k + 1] = t.first_entry[k] + std::max(record_length(record), 1);
    }
}

int pkt_n_open()
{
    int n = 0;
    for (int k = 1; k <= contour_count(); ++k) n += t.kind[k] == kClassOpen ? 1 : 0;
    return n;
}

int pkt_n_closed()
{
    int n = 0;
    for (int k = 1; k <= contour_count(); ++k) n += t.kind[k] == kClassClosed ? 1 : 0;
    return n;
}

void prf_refind_by_crit(int mode, int& changed) { refind(mode == 1 ? kClassClosed : kClassOpen, changed); }

void prf_check_found(int kind, int& found) { check_found(kind, found); }

void pkt_refind_by_crit(int& changed) { refind(kAnyKind, changed); }

void pkt_check_found(int& found) { check_found(kAnyKind, found); }
