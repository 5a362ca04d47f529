// Interactive chaining of one contour (dfdini, dfdc): the user picks a curve, and the host joins
// the part's curves whose ends meet within the tolerance into a chain, forwards from the pick
// and then backwards, until it closes or nothing goes on. The chain becomes a new curve set whose
// chain record the module receives, and its curves are highlighted in the selection list.
#include "host/control/curve_sets.hpp"
#include "host/control/descriptors.hpp"
#include "host/core/component.hpp"
#include "host/core/contour_records.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_selection.hpp"

#include <cmath>
#include <deque>
#include <set>
#include <string>

namespace vantu {

namespace {

double chain_tolerance = kRealTolerance;

void reset_chaining() { chain_tolerance = kRealTolerance; }

const bool registered = register_component({"chaining", reset_chaining, nullptr, nullptr, nullptr});

// A curve of the part with its two ends.
struct curve_ends {
    int id = 0;
    double t0 = 0.0, t1 = 0.0;
    point3 start{}, end{};
};

bool ends_of(int id, curve_ends& c)
{
    int status = 0;
    c.id = id;
    curve_limits(id, c.t0, c.t1, status);
    if (status != 0) return false;
    evcrvd(id, c.t0, c.start.data(), nullptr, status);
    if (status == 0) evcrvd(id, c.t1, c.end.data(), nullptr, status);
    return status == 0;
}

bool meet(const point3& a, const point3& b)
{
    return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]) <= chain_tolerance;
}

// The curve of a chain in its direction of travel.
struct link {
    curve_ends curve;
    bool reversed = false;
    const point3& from() const { return reversed ? curve.end : curve.start; }
    const point3& to() const { return reversed ? curve.start : curve.end; }
    control::curve_in_set as_set_curve() const
    {
        return reversed ? control::curve_in_set{curve.id, curve.t1, curve.t0, -1.0}
                        : control::curve_in_set{curve.id, curve.t0, curve.t1, 1.0};
    }
};

// The lowest-id unused curve (class 1) that has an end at p; its link leaving p (forward) or
// arriving at p (backward).
bool next_link(const point3& p, bool forward, const std::set<int>& used, link& found)
{
    for (const auto& [id, e] : store().entities) {
        curve_ends c;
        if (e.entity_class != kCurveClass || used.count(id) || !ends_of(id, c)) continue;
        if (meet(forward ? c.start : c.end, p)) {
            found = {c, false};
            return true;
        }
        if (meet(forward ? c.end : c.start, p)) {
            found = {c, true};
            return true;
        }
    }
    return false;
}

// The chain through the picked curve; closed answers whether its ends meet.
std::deque<link> chain_from(const curve_ends& picked, bool& closed)
{
    std::deque<link> chain{{picked, false}};
    std::set<int> used{picked.id};
    closed = meet(picked.start, picked.end);
    link l;
    while (!closed && next_link(chain.back().to(), true, used, l)) {
        chain.push_back(l);
        used.insert(l.curve.id);
        closed = meet(l.to(), chain.front().from());
    }
    while (!closed && next_link(chain.front().from(), false, used, l)) {
        chain.push_front(l);
        used.insert(l.curve.id);
    }
    return chain;
}

}  // namespace

}  // namespace vantu

void dfdini(double tolerance, int& status)
{
    status = 0;
    vantu::chain_tolerance = tolerance > 0.0 && std::isfinite(tolerance) ? tolerance : vantu::kRealTolerance;
    vantu::trace_call("dfdini", std::to_string(tolerance), status);
}

void dfdc(int room, int* record, int& length, int& status)
{
    length = 0;
    vantu::curve_ends picked;
    for (;;) {  // a pick of something that is no curve is asked again
        int choice = 0, entity = 0;
        pick(choice, entity);
        if (choice != 0) {
            status = choice;
            vantu::trace_call("dfdc", std::to_string(room), status);
            return;
        }
        if (vantu::ends_of(entity, picked)) break;
    }
    bool closed = false;
    const std::deque<vantu::link> chain = vantu::chain_from(picked, closed);
    const int set = vantu::unused_curve_set();
    if (auto fault = vantu::fault_hit("dfdc")) {
        status = *fault;
    } else if (static_cast<long>(chain.size()) > room || record == nullptr || set < 1) {
        status = kRecordNoRoom;
    } else {
        std::vector<vantu::control::curve_in_set> curves;
        for (const vantu::link& l : chain) curves.push_back(l.as_set_curve());
        vantu::control::define_curve_set(set, curves);
        vantu::control::contour_descriptor descriptor;
        descriptor.open = closed ? 0 : 1;
        vantu::control::define_descriptor(set, descriptor);
        dfdgrc(set, room, record, length, status);
        for (const vantu::link& l : chain) {
            double middle[3];
            int s = 0;
            evcrvd(l.curve.id, (l.curve.t0 + l.curve.t1) / 2.0, middle, nullptr, s);
            const float point[3] = {static_cast<float>(middle[0]), static_cast<float>(middle[1]),
                                    static_cast<float>(middle[2])};
            slpsh3(l.curve.id, point, s);
        }
    }
    vantu::trace_call("dfdc", std::to_string(room), status);
}
