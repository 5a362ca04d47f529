// The optimizer comparison, step by step. A step that decides on recomputing ends the comparison
// at once; the other outcomes can still be raised or replaced by later steps. Reads and may write
// opt_params_current(); reads plane_dialog_kind().
#include "driver/optimizer_compare.hpp"

#include "driver/optimizer_list.hpp"
#include "host/vantu_compare.hpp"
#include "nc_services/proc_dialog_words.hpp"

#include <algorithm>

namespace {

constexpr int kStateOn = 1, kStateOff = 2;  // item 115: the optimizer state
constexpr int kRangeOpenBelow = 2, kRangeOpenAbove = 3, kRangeBoth = 4;
constexpr int kToolDependent = 5;  // item 62: tables 125 to 128 are in force
constexpr int kTablePositions = 5, kLongTableWords = 10;
constexpr int kPlaneKindsDiscarding[] = {4, 5};

// Where a step leaves the comparison: on with the next step, on to the final rule, or ended
// because it decided on recomputing (which no later step nor the final rule changes).
enum class next { step, final_rule, ended };

struct comparison {
    optimizer_params& n;
    const optimizer_params& o;
    int r = kCompareNoChange;

    int ni(int code, int k = 0) const { return n.ival(code, k); }
    int oi(int code, int k = 0) const { return o.ival(code, k); }
    bool real_changed(int code, int k = 0) const { return neval(n.rval(code, k), o.rval(code, k)) != 0; }
    bool int_changed(int code, int k = 0) const { return ni(code, k) != oi(code, k); }
    bool old_tilted() const { return test_bit128(oi(kOptOptionWord)) != 0; }
    bool new_option_2_or_3() const { return is_2_or_3(ni(kOptOptionWord)) != 0; }
    bool tilt_items_unchanged() const { return !real_changed(131) && !int_changed(132) && !int_changed(133); }
    bool both3() const { return oi(76) == 3 && ni(76) == 3; }

    // Sets the result; true when it is the recompute outcome, which ends the comparison.
    bool set(int value)
    {
        r = value;
        return value == kCompareRecompute;
    }
    // Sets the result and leaves for the final rule, unless the value ends the comparison.
    next set_and_finish(int value) { return set(value) ? next::ended : next::final_rule; }
};

// A change of the optimizer state decides alone.
next state_transition(comparison& c)
{
    const int before = c.oi(kOptState), now = c.ni(kOptState);
    if (before == kStateOff && now == kStateOn) {
        const int pending = c.oi(kOptPendingAction);
        if (pending == 2 || pending == 4) return c.set_and_finish(kCompareRecompute);
        if (pending == 1 || pending == 3) c.n.set_ival(kOptPendingAction, 0);
        return c.set_and_finish(kCompareUpdate);
    }
    if (before == kStateOn && now == kStateOff)
        return c.set_and_finish(opt_active() == 0 && c.oi(kOptPendingAction) != 3 ? kCompareUpdate
                                                                                  : kCompareRecalculate);
    return before == kStateOn && now == kStateOn ? next::final_rule : next::step;
}

// Steps 3 to 5: the optimizer is asked to do more than before, a tilted procedure changed its
// tilt items, or the pending action is a recompute.
next widening(comparison& c)
{
    const bool holds = c.oi(59) <= c.ni(59) && (!c.int_changed(62) || c.oi(62) < 3) && c.oi(65) <= c.ni(65) &&
                       !(c.oi(65) == 2 && c.ni(65) == 3) && !c.int_changed(122) && c.oi(71) <= c.ni(71) &&
                       (c.oi(76) == 1 || !c.int_changed(76));
    if (!holds) return c.set_and_finish(kCompareRecompute);
    const bool tilt_kept =
        opt_mode_val(c.oi(kOptOptionWord)) <= opt_mode_val(c.ni(kOptOptionWord)) && c.tilt_items_unchanged();
    if (c.old_tilted() && !tilt_kept) return c.set_and_finish(kCompareRecompute);
    if (c.ni(kOptPendingAction) == 4) return c.set_and_finish(kCompareRecompute);
    return next::step;
}

// Steps 7 and 8: the optimizer is asked to do less than before, or the option mode became 2 or 3
// without a tilted procedure keeping its tilt items.
next narrowing(comparison& c)
{
    const bool holds = c.ni(59) <= c.oi(59) && !c.int_changed(62) && c.ni(71) <= c.oi(71) &&
                       (c.ni(65) <= c.oi(65) || c.oi(65) != 1) && c.ni(76) <= c.oi(76);
    const int recalculate = kCompareRecalculate + (c.both3() ? 1 : 0);
    if (!holds) return c.set_and_finish(recalculate);
    if (c.new_option_2_or_3() && !(c.old_tilted() && c.tilt_items_unchanged())) return c.set_and_finish(recalculate);
    return next::step;
}

// Steps 9 and 12: a changed feed limit (item 61 or 60); `on_mode_2` is what item 59 equal to 2
// decides. The assignments follow one another, later ones replacing earlier ones; the chain
// stops at the first recompute. True when the comparison ended.
bool limit_changed(comparison& c, int on_mode_2)
{
    return c.set(kCompareUpdate) || (c.ni(59) == 2 && c.set(on_mode_2)) ||
           (c.ni(62) == 2 && c.set(kCompareRecalculate)) || (c.oi(62) > 2 && c.set(kCompareRecompute)) ||
           (c.new_option_2_or_3() && c.set(kCompareRecalculate)) || (c.old_tilted() && c.set(kCompareRecompute));
}

// Steps 9 to 12: the feed limits, item 108 and item 114.
next single_items(comparison& c)
{
    if (c.real_changed(61) && limit_changed(c, c.n.rval(61) < c.o.rval(61) ? kCompareRecompute : kCompareRecalculate))
        return next::ended;
    if (c.int_changed(108) && c.set(c.ni(76) == 3 ? kCompareRecompute : kCompareUpdate)) return next::ended;
    if (c.int_changed(114) &&
        c.set(c.ni(59) == 2 ? (c.both3() ? kCompareRecompute : kCompareRecalculate) : kCompareUpdate))
        return next::ended;
    if (c.real_changed(60) && limit_changed(c, c.both3() ? kCompareRecompute : kCompareRecalculate)) return next::ended;
    return next::step;
}

// The first differing position of the four tables, then their sixth words; only when
// something else already changed.
void tables(comparison& c)
{
    if (c.r == kCompareNoChange) return;
    const auto apply = [&c] {
        c.r = c.ni(76) == 2 || c.r == kCompareRecalculate ? kCompareRecalculate : kCompareUpdate;
    };
    for (int k = 0; k < kTablePositions; ++k) {
        if (c.real_changed(109, k) || c.int_changed(110, k) || c.real_changed(111, k) || c.int_changed(112, k)) {
            apply();
            break;
        }
    }
    if (c.int_changed(110, kTablePositions) || c.int_changed(112, kTablePositions)) apply();
}

// The tool-dependent tables; item 126 counts the positions of 127 and 128 in use.
next tool_tables(comparison& c)
{
    if (c.ni(62) != kToolDependent) return next::step;
    for (int k = 0; k < kLongTableWords; ++k)
        if (c.int_changed(125, k)) return c.set_and_finish(kCompareRecompute);
    // A count from a damaged block must not reach past the ten words of the tables.
    const int positions = std::clamp(c.ni(kOptTableCount) - 1, 0, kLongTableWords);
    for (int k = 0; k < positions; ++k)
        if (c.int_changed(127, k) || c.int_changed(128, k)) return c.set_and_finish(kCompareRecompute);
    return next::step;
}

// The range of items 65 to 67.
next range(comparison& c)
{
    const int before = c.oi(kOptRangeMode), now = c.ni(kOptRangeMode);
    const bool applies = (before == now && now != 1) || (now == kRangeBoth && (before == 2 || before == 3));
    if (!applies) return next::step;
    const bool any3 = before == kRangeOpenAbove || now == kRangeOpenAbove;
    const bool any2 = before == kRangeOpenBelow || now == kRangeOpenBelow;
    const float upper_n = c.n.rval(kOptUpperLimit), upper_o = c.o.rval(kOptUpperLimit);
    const float lower_n = c.n.rval(kOptLowerLimit), lower_o = c.o.rval(kOptLowerLimit);
    if (!any3 && gtval(upper_n, upper_o)) return c.set_and_finish(kCompareRecompute);
    if (!any2 && gtval(lower_o, lower_n)) return c.set_and_finish(kCompareRecompute);
    if ((!any3 && gtval(upper_o, upper_n)) || (!any2 && gtval(lower_n, lower_o)) || before != now) {
        c.r = std::max(c.r, kCompareRecalculate);
        return next::final_rule;
    }
    return next::step;
}

// The option mode of item 130.
void option_mode(comparison& c)
{
    const int before = c.oi(kOptOptionWord), now = c.ni(kOptOptionWord);
    if (is_2_or_3(before) && now == 1) c.r = kCompareUpdate;
    if (c.old_tilted() && opt_mode_val(now) == 3 && opt_mode_val(before) == 2) c.r = kCompareUpdate;
}

// Steps 2 to 16.
next compare_steps(comparison& c)
{
    for (next (*step)(comparison&) : {state_transition, widening, narrowing, single_items}) {
        if (const next where = step(c); where != next::step) return where;
    }
    tables(c);
    for (next (*step)(comparison&) : {tool_tables, range}) {
        if (const next where = step(c); where != next::step) return where;
    }
    option_mode(c);
    return next::final_rule;
}

}  // namespace

void opt_params_compare(const optimizer_params& previous, int& result)
{
    comparison c{opt_params_current(), previous};
    c.r = c.ni(kOptPendingAction);
    if (compare_steps(c) != next::ended) {
        // The final rule: after the machine and part-plane dialog the optimizer starts afresh.
        const int kind = plane_dialog_kind();
        if (kind == kPlaneKindsDiscarding[0] || kind == kPlaneKindsDiscarding[1]) {
            c.n.set_ival(kOptPendingAction, 0);
            c.r = kCompareNoChange;
        }
    }
    result = c.r;
}
