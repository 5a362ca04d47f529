// Interactive chaining of one contour (dfdini, dfdc): the user picks a curve, and the host joins
// the part's curves whose ends meet within the tolerance into a chain, forwards from the pick
// and then backwards, until it closes or nothing goes on. The chain becomes a new curve set whose
// chain record the module receives, and its curves are highlighted in the selection list.
#include "host/control/curve_sets.hpp"
#include "host/control/descriptors.hpp"
#include "host/core/chain_memory.hpp"
#include "host/core/component.hpp"
#include "host/core/contour_records.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/selection_runs.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_contour_define.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_selection.hpp"

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantu::chaining {

namespace {

// The settings of a definition: dfdini sets the tolerance and puts the rest back to these
// defaults; dfdtol, setmf, dfd1cg, dfdsrs, gsplgc and gscntv change one each.
struct definition_settings {
    double tolerance = kRealTolerance;  // curve ends meet within it
    int pick_mode = kPickChain;
    bool closed_only = false;
    int sense = kSenseAsPicked;
    int plane_check = 0;  // 1: the chain must lie in one plane parallel to XY
    int most_curves = 0;  // below 1: no limit but the record's room
};
definition_settings settings;
double& chain_tolerance = settings.tolerance;

void reset_chaining();

const bool contour_chaining_registered = register_component({"chaining", reset_chaining, nullptr, nullptr, nullptr});

bool meet(const point3& a, const point3& b) { return gap_between(a, b) <= chain_tolerance; }

// A chain dfdc refused for room, which the next dfdc of the same definition answers again.
struct kept_chain {
    std::deque<link> links;
    bool closed = false;
};
std::optional<kept_chain> kept;

// Ends closer than this (the host's double tolerance) are one point: an exact joint.
bool exact(double gap) { return gap <= kDoubleTolerance; }

// Whether a continuation at `gap` beats the best one so far: exact joints before any other,
// among those the curve met first (the lowest id), else the nearest end.
bool better(double gap, double best)
{
    if (exact(best)) return false;
    return exact(gap) || gap < best;
}

// The unused curve (class 1) with the best end at p within the tolerance; its link leaving p
// (forward) or arriving at p (backward), and the gap at the joint. Taking the first curve
// within the tolerance instead would run a chain into a neighbouring loop closer than the
// tolerance, or skip curves shorter than it. Ends are weighed in the part's order of curves,
// each curve as it runs on before it reversed, so that equal joints go to the same curve
// whatever the cells.
bool next_link(const point3& p, bool forward, const std::vector<curve_ends>& curves, const end_cells& index,
               const std::vector<char>& used, link& found, std::size_t& curve, double& gap)
{
    const auto reversed = [forward](std::size_t end) { return forward == (end % 2 == 1); };
    std::vector<std::size_t> near = ends_near(index, &used, p);
    std::sort(near.begin(), near.end(), [&](std::size_t a, std::size_t b) {
        return std::pair{a / 2, reversed(a)} < std::pair{b / 2, reversed(b)};
    });
    gap = chain_tolerance;
    bool any = false;
    for (const std::size_t end : near) {
        const curve_ends& c = curves[end / 2];
        const double d = gap_between(end % 2 == 0 ? c.start : c.end, p);
        if (d > chain_tolerance || (any && !better(d, gap))) continue;
        found = {c, reversed(end)};
        curve = end / 2;
        gap = d;
        any = true;
    }
    return any;
}

// The chain through the picked curve, joined curve by curve through the end cells; closed answers
// whether its ends meet. The chain closes where its start is at least as near as any
// continuation.
std::deque<link> joined_chain(const chaining_memory& m, const curve_ends& picked, bool& closed)
{
    std::vector<char> used(m.curves.size(), 0);
    if (const auto i = m.curve_of_id.find(picked.id); i != m.curve_of_id.end()) used[i->second] = 1;
    std::deque<link> chain{{picked, false}};
    closed = false;
    link l;
    std::size_t index = 0;
    double gap = 0.0;
    for (;;) {
        const double closing = gap_between(chain.back().to(), chain.front().from());
        const bool goes_on = next_link(chain.back().to(), true, m.curves, m.index, used, l, index, gap);
        if (closing <= chain_tolerance && (!goes_on || !better(gap, closing))) {
            closed = true;
            return chain;
        }
        if (!goes_on) break;
        chain.push_back(l);
        used[index] = 1;
    }
    while (next_link(chain.front().from(), false, m.curves, m.index, used, l, index, gap)) {
        chain.push_front(l);
        used[index] = 1;
    }
    return chain;
}

// The chain through the picked curve. A pick of a curve of the last chain, the part unchanged,
// answers that chain again, begun at the pick, when its joints leave no choice; else the chain is
// joined anew and kept.
std::deque<link> chain_from(const curve_ends& picked, bool& closed)
{
    chaining_memory& m = part_memory(chain_tolerance);
    std::deque<link> chain;
    if (recalled_chain(m, picked.id, chain, closed)) return chain;
    chain = joined_chain(m, picked, closed);
    remember_chain(m, chain, closed);
    return chain;
}

// Twice the signed area (seen from +Z) of the loop through the ends and middles of the chain.
double chain_area(const std::deque<link>& chain)
{
    std::vector<point3> points;
    for (const link& l : chain) {
        double middle[3];
        int status = 0;
        evcrvd(l.curve.id, (l.curve.t0 + l.curve.t1) / 2.0, middle, nullptr, status);
        points.push_back(l.from());
        points.push_back({middle[0], middle[1], middle[2]});
    }
    double area = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const point3& a = points[i];
        const point3& b = points[(i + 1) % points.size()];
        area += a[0] * b[1] - a[1] * b[0];
    }
    return area;
}

bool chain_is_flat(const std::deque<link>& chain)
{
    const double z = chain.front().from()[2];
    for (const link& l : chain) {
        double middle[3];
        int status = 0;
        evcrvd(l.curve.id, (l.curve.t0 + l.curve.t1) / 2.0, middle, nullptr, status);
        for (double h : {l.from()[2], l.to()[2], middle[2]}) {
            if (status != 0 || std::abs(h - z) > chain_tolerance) return false;
        }
    }
    return true;
}

// What the settings make of a chain: 0 to keep it (reversed to the sense asked for), else the
// status of its refusal.
int settle_chain(std::deque<link>& chain, bool closed)
{
    if (settings.closed_only && !closed) return kDefinitionOpen;
    if (settings.plane_check == 1 && !chain_is_flat(chain)) return kDefinitionNotFlat;
    if (settings.most_curves >= 1 && static_cast<int>(chain.size()) > settings.most_curves) return kRecordNoRoom;
    if (settings.sense == kSenseCounterClockwise || settings.sense == kSenseClockwise) {
        const double area = chain_area(chain);
        if ((area < 0.0 && settings.sense == kSenseCounterClockwise) ||
            (area > 0.0 && settings.sense == kSenseClockwise))
            reverse_chain(chain);
    }
    return 0;
}

// A new definition: the settings back to their defaults and no chain kept for room. The memory
// of the part stays, as it answers only for the part it was read from.
void reset_definition()
{
    settings = definition_settings{};
    kept.reset();
}

void reset_chaining()
{
    reset_definition();
    forget_part();
}

// The chain of a new pick (asked again while the pick is no curve), or the one kept; false with
// the pick's answer in status when the user picked no curve.
bool picked_chain(std::deque<link>& chain, bool& closed, int& status)
{
    if (kept) {
        chain = std::move(kept->links);
        closed = kept->closed;
        kept.reset();
        return true;
    }
    curve_ends picked;
    for (;;) {
        int choice = 0, entity = 0;
        pick(choice, entity);
        if (choice != 0) {
            status = choice;
            return false;
        }
        if (ends_of(entity, picked)) break;
    }
    closed = meet(picked.start, picked.end);
    chain = {{picked, false}};
    if (settings.pick_mode == kPickChain) chain = chain_from(picked, closed);
    return true;
}

}  // namespace

}  // namespace vantu::chaining

void dfdini(double tolerance, int& status)
{
    status = 0;
    vantu::chaining::reset_definition();
    vantu::chaining::chain_tolerance = tolerance > 0.0 && std::isfinite(tolerance) ? tolerance : vantu::kRealTolerance;
    vantu::trace_call("dfdini", std::to_string(tolerance), status);
}

void dfdtol(double tolerance, int& status)
{
    status = tolerance > 0.0 && std::isfinite(tolerance) ? 0 : -1;
    if (status == 0) vantu::chaining::chain_tolerance = tolerance;
    vantu::trace_call("dfdtol", std::to_string(tolerance), status);
}

void setmf(int mode)
{
    vantu::chaining::settings.pick_mode = mode == kPickSingle ? kPickSingle : kPickChain;
    vantu::trace_call("setmf", std::to_string(mode), 0);
}

void dfd1cg(int closed_only)
{
    vantu::chaining::settings.closed_only = closed_only == 1;
    vantu::trace_call("dfd1cg", std::to_string(closed_only), 0);
}

void dfdsrs(int sense)
{
    vantu::chaining::settings.sense =
        sense == kSenseCounterClockwise || sense == kSenseClockwise ? sense : kSenseAsPicked;
    vantu::trace_call("dfdsrs", std::to_string(sense), 0);
}

void gsplgc(int mode, int& value)
{
    if (mode == 1)
        value = vantu::chaining::settings.plane_check;
    else if (mode == 2)
        vantu::chaining::settings.plane_check = value == 1 ? 1 : 0;
    vantu::trace_call("gsplgc", std::to_string(mode), value);
}

void gscntv(int mode, int& value)
{
    if (mode == 1)
        value = vantu::chaining::settings.most_curves;
    else if (mode == 2)
        vantu::chaining::settings.most_curves = value;
    vantu::trace_call("gscntv", std::to_string(mode), value);
}

void dfdgid(const int* record, int& id, int& status)
{
    id = 0;
    status = -1;
    if (record != nullptr && vantu::record_at(record).kind == vantu::record_kind::chain) {
        double data[3];
        dfdget(record, 1, id, data, status);
    }
    vantu::trace_call("dfdgid", "", status);
}

void dfdc(int room, int* record, int& length, int& status)
{
    length = 0;
    std::deque<vantu::chaining::link> chain;
    bool closed = false;
    if (!vantu::chaining::picked_chain(chain, closed, status)) {
        vantu::trace_call("dfdc", std::to_string(room), status);
        return;
    }
    const int set = vantu::unused_curve_set();
    if (auto fault = vantu::fault_hit("dfdc")) {
        status = *fault;
    } else if (record == nullptr || set < 1) {
        status = kRecordNoRoom;
    } else if ((status = vantu::chaining::settle_chain(chain, closed)) != 0) {
        // refused by the settings: nothing kept
    } else if (static_cast<long>(chain.size()) > room) {
        status = kRecordNoRoom;
        length = static_cast<int>(chain.size());
        vantu::chaining::kept = vantu::chaining::kept_chain{chain, closed};
    } else {
        std::vector<vantu::control::curve_in_set> curves;
        for (const vantu::chaining::link& l : chain) curves.push_back(l.as_set_curve());
        vantu::control::define_curve_set(set, curves);
        vantu::control::contour_descriptor descriptor;
        descriptor.open = closed ? 0 : 1;
        vantu::control::define_descriptor(set, descriptor);
        dfdgrc(set, room, record, length, status);
        // The chain's curves are highlighted as one loop: picked again from another curve, the
        // same loop takes no more room in the selection list.
        std::vector<vantu::control::selection_entry> highlighted;
        for (const vantu::chaining::link& l : chain) {
            double middle[3];
            int s = 0;
            evcrvd(l.curve.id, (l.curve.t0 + l.curve.t1) / 2.0, middle, nullptr, s);
            const float point[3] = {static_cast<float>(middle[0]), static_cast<float>(middle[1]),
                                    static_cast<float>(middle[2])};
            if (const auto e = vantu::checked_curve_entry(l.curve.id, point, s)) highlighted.push_back(*e);
        }
        vantu::push_selection_loop(std::move(highlighted));
    }
    vantu::trace_call("dfdc", std::to_string(room), status);
}
