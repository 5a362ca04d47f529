// Loop removal of a planar raw offset: the crossings of the loop with itself (the common-loop
// table in its crossings mode), their positions as element plus fraction, and the walk that
// builds every simple loop at once: loop 0 from the loop's head to its tail, each further loop
// from the first crossing still open on a side. The loops wait in the result list and are
// handed out one per call.
#include "pocket_arrays/delups.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_primitives.hpp"
#include "pocket_arrays/pokarr_convert.hpp"
#include "pocket_arrays/pokarr_run.hpp"
#include "pocket_arrays/pokarr_show.hpp"
#include "pocket_lanes/common_loops.hpp"

#include <algorithm>
#include <cmath>

delups_state delups_block;

namespace {

constexpr const char* kReentryText = "[DELUPS] We shouldnt be meeting like this!";
constexpr int kIdle = 1;
constexpr int kRunning3d = 3;
// Reach of the crossing search of a loop against itself.
constexpr double kSelfReach = 1.0e-6;
// "No crossing" of the walk: a position beyond every element, and the element of none.
constexpr double kNoPosition = 1.0e25;
constexpr double kNoPositionLimit = 1.0e20;
constexpr int kNoElement = -999;
constexpr int kSideFirst = 1;   // arrived on ingo1, leaves along ingo
constexpr int kSideSecond = 0;  // arrived on ingo, leaves along ingo1
constexpr int kDumpFile = 0;

// Moves the loop at the cursor into b (b emptied when none is left); count answers the number
// of loops minus one.
void hand_out(pokarr& b, int& count, int& status)
{
    delups_state& s = delups_block;
    count = s.result_count - 1;
    if (s.cursor >= s.result_count) {
        pokarr_reset(b, 0, status);
        return;
    }
    pokarr_move(s.results[s.cursor], b, status);
    ++s.cursor;
    if (status != 0) status = kDelupsArrayFailed;
}

// Fraction of the crossing (x, y) on element e of a: clamped to 0..1 and scaled below 1.
double fraction_on(const pokarr& a, int e, double x, double y)
{
    double t = 0.0;
    if (pk_is_marker(a.x[e])) {
        arc_param_of_pnt(a.x[e + 1], pk_arc_direction(a.y[e + 1]), a.x[e + 2], a.y[e + 2], a.x[e - 1],
                         a.y[e - 1], a.x[e + 3], a.y[e + 3], x, y, t);
    } else {
        seg_param_of_pnt(a.x[e - 1], a.y[e - 1], a.x[e], a.y[e], x, y, t);
    }
    return std::clamp(t, 0.0, 1.0) * kDelupsFractionScale;
}

// Outcome of one loop's walk.
enum class walk_end { closed, no_crossing, failed };

// Walks loop k from record start leaving on `side` until it closes.
walk_end walk_loop(pokarr& a, int k, int start, int side, pokarr& loop, int& status)
{
    delups_state& s = delups_block;
    int e = side == kSideSecond ? s.ingo1[start] : s.ingo[start];
    int r = start;
    const int bound = 2 * s.records + 2;
    for (int steps = 0;; ++steps) {
        if (steps > bound) return walk_end::no_crossing;
        int n = 0, c = 0, next_side = side;
        delups_next_cross(k, s.ingo, s.ingo1, s.records, s.u1, s.u2, s.used2, s.used1, e, n, r, next_side);
        c = r;
        if (k == 0 && c == -1) {
            pokarr_append(a.count - e, a, e, loop, status);
            if (status != 0) return walk_end::failed;
            s.used2[0] = 1;
            return walk_end::closed;
        }
        if (n < 0) return walk_end::no_crossing;
        const double p[2] = {s.xing[c], s.ying[c]};
        pokarr_append_run(a, e, n, false, p, loop, status);
        if (status != 0) return walk_end::failed;
        if (next_side == kSideFirst) {
            e = s.ingo[c];
            s.used1[c] = 1;
        } else {
            e = s.ingo1[c];
            s.used2[c] = 1;
        }
        side = next_side;
        if (k > 0 && c == start) return walk_end::closed;
    }
}

// Builds every loop of a from the crossing table.
void build_loops(pokarr& a, int& status)
{
    delups_state& s = delups_block;
    for (int k = 0; k <= s.records && k < kDelupsTableSize; ++k) {
        int start = 0, side = kSideSecond;
        if (k > 0) {
            start = k - 1;
            while (start < s.records && s.used1[start] && s.used2[start]) ++start;
            if (start >= s.records) return;
            side = s.used2[start] == 0 ? kSideSecond : kSideFirst;
        }
        pokarr& loop = s.results[k];
        pokarr_init(a.dimension, loop);
        ++s.result_count;
        // Loop 0 begins with the head of a, its arc cut at the first crossing.
        const double p[2] = {s.xing[start], s.ying[start]};
        if (k == 0)
            pokarr_append_run(a, 0, s.ingo[0], false, p, loop, status);
        else
            pokarr_add_pnt(p, loop, status);
        if (status != 0) {
            status = kDelupsArrayFailed;
            return;
        }
        const walk_end end = walk_loop(a, k, start, side, loop, status);
        if (end == walk_end::failed) {
            status = kDelupsArrayFailed;
            return;
        }
        if (end == walk_end::no_crossing) {
            status = kDelupsWalkFailed;
            return;
        }
    }
}

// The crossing table of a against itself with every position; false when the search failed
// (status 1 set) or found no crossing (b then holds a copy of a).
bool fill_table(pokarr& a, pokarr& b, int& count, int& status)
{
    delups_state& s = delups_block;
    const comlups_columns columns{s.ingo, s.ingo1, s.xing, s.ying, nullptr, nullptr, nullptr, nullptr};
    int rows = 0;
    cre_comlups_array(kComlupsSelf, a, a, kSelfReach, rows, columns);
    if (rows < 0) {
        status = kDelupsSearchFailed;
        return false;
    }
    s.records = rows;
    if (rows == 0) {
        pokarr_copy(a, b, status);
        if (status != 0) {
            status = kDelupsArrayFailed;
            delups_clear();
        }
        count = 0;
        return false;
    }
    for (int m = 0; m < rows; ++m) {
        s.used1[m] = s.used2[m] = 0;
        s.u1[m] = fraction_on(a, s.ingo[m], s.xing[m], s.ying[m]);
        s.u2[m] = fraction_on(a, s.ingo1[m], s.xing[m], s.ying[m]);
    }
    if (s.dump_switch != 0) pkingo_dump(kDumpFile, rows, s.ingo, s.ingo1, s.xing, s.ying, s.u1, s.u2);
    return true;
}

}  // namespace

void delups_clear()
{
    delups_state& s = delups_block;
    for (int k = std::max(0, s.cursor); k < s.result_count && k < kDelupsTableSize; ++k)
        pokarr_free(s.results[k]);
    s.result_count = 0;
    s.cursor = 0;
}

void delups_next_cross(int k, const int* ingo, const int* ingo1, int records, const double* u1,
                       const double* u2, const int* used2, const int* used1, int e, int& next_element,
                       int& record, int& side)
{
    const int r = record, s = side;
    const double current = e + (s == kSideFirst ? u1[r] : u2[r]);
    double best = kNoPosition;
    int result = k == 0 ? -1 : r, result_side = s;
    for (int m = k == 0 ? 0 : std::max(0, k - 1); m < records; ++m) {
        if (used1[m] && used2[m]) continue;
        const double p1 = ingo[m] + u1[m];
        if (!used2[m] && p1 > current && p1 < best && !(s == kSideFirst && m == r)) {
            best = p1;
            result = m;
            result_side = kSideSecond;
        }
        const double p2 = ingo1[m] + u2[m];
        if (!used1[m] && p2 > current && p2 < best && !(s == kSideSecond && m == r)) {
            best = p2;
            result = m;
            result_side = kSideFirst;
        }
    }
    record = result;
    side = result_side;
    next_element = best >= kNoPositionLimit ? kNoElement : static_cast<int>(best);
}

void DELUPS(pokarr& a, pokarr& b, int& count, int& status)
{
    delups_state& s = delups_block;
    status = 0;
    if (s.state_word != kIdle) eroutc(kReentryText, 0);
    if (a.dimension != 2) {
        s.state_word = kRunning3d;
        delups_3d(a, b, count, status);
        s.state_word = kIdle;
        return;
    }
    if (count > 0 && s.cursor > 0) {
        hand_out(b, count, status);
        return;
    }
    // A new series gives back what an earlier one left.
    delups_clear();
    if (!fill_table(a, b, count, status)) return;
    build_loops(a, status);
    if (status == kDelupsArrayFailed) {
        delups_clear();
        return;
    }
    if (status == kDelupsWalkFailed) {
        delups_clear();
        int ignored = 0;
        hand_out(b, count, ignored);
        return;
    }
    hand_out(b, count, status);
}
