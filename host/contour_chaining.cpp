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
#include "host/vantu_contour_define.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_selection.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vantu {

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

// A chain dfdc refused for room, which the next dfdc of the same definition answers again.
struct kept_chain {
    std::deque<link> links;
    bool closed = false;
};
std::optional<kept_chain> kept;

// The part's curves with their ends, read once for a chaining.
std::vector<curve_ends> part_curves()
{
    std::vector<curve_ends> curves;
    for (const auto& [id, e] : store().entities) {
        curve_ends c;
        if (e.entity_class == kCurveClass && ends_of(id, c)) curves.push_back(c);
    }
    return curves;
}

double gap_between(const point3& a, const point3& b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

// Ends closer than this (the host's double tolerance) are one point: an exact joint.
bool exact(double gap) { return gap <= kDoubleTolerance; }

// Whether a continuation at `gap` beats the best one so far: exact joints before any other,
// among those the curve met first (the lowest id), else the nearest end.
bool better(double gap, double best)
{
    if (exact(best)) return false;
    return exact(gap) || gap < best;
}

// Curve ends are sorted into cubic cells twice as wide as the tolerance, so that a joint looks at
// the ends of the cells its tolerance reaches (one or two along each axis) instead of the whole
// part: a chain of n curves is joined in about n steps.
using cell = std::array<long long, 3>;

struct cell_hash {
    std::size_t operator()(const cell& c) const
    {
        std::size_t h = 0;
        for (const long long v : c) h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::size_t>(v);
        return h;
    }
};

// The cell numbers of a point along the axes, as reals. They are held within +-2^60 so that a
// neighbour's number cannot overflow; points farther out share the outermost cells, which costs
// time but loses no end.
point3 cell_place(const point3& p)
{
    constexpr double kFarthestCell = 1152921504606846976.0;  // 2^60
    point3 place{};
    for (int k = 0; k < 3; ++k) {
        const double v = p[k] / (2.0 * chain_tolerance);
        place[k] = std::isnan(v) ? 0.0 : std::clamp(v, -kFarthestCell, kFarthestCell);
    }
    return place;
}

cell cell_of(const point3& p)
{
    const point3 place = cell_place(p);
    return {static_cast<long long>(std::floor(place[0])), static_cast<long long>(std::floor(place[1])),
            static_cast<long long>(std::floor(place[2]))};
}

// The part's curve ends sorted by cell, and where each cell's ends lie in that order. An end
// number is 2 i for the start of curve i, 2 i + 1 for its end.
struct end_cells {
    std::vector<std::pair<cell, std::size_t>> ends;
    std::unordered_map<cell, std::pair<std::size_t, std::size_t>, cell_hash> ranges;
};

end_cells sorted_ends(const std::vector<curve_ends>& curves)
{
    end_cells index;
    index.ends.reserve(2 * curves.size());
    for (std::size_t i = 0; i < curves.size(); ++i) {
        index.ends.emplace_back(cell_of(curves[i].start), 2 * i);
        index.ends.emplace_back(cell_of(curves[i].end), 2 * i + 1);
    }
    std::sort(index.ends.begin(), index.ends.end());
    for (std::size_t k = 0; k < index.ends.size(); ++k) {
        auto [range, made] = index.ranges.try_emplace(index.ends[k].first, k, k);
        range->second.second = k + 1;
    }
    return index;
}

// The ends in the cells within the tolerance of p, of unused curves only when `used` is given. A
// point within the tolerance lies at most half a cell away along each axis: in the cell below
// only when p is in the lower half of its cell, above only in the upper half; a quarter cell of
// overlap answers for the rounding of the cell numbers.
std::vector<std::size_t> ends_near(const end_cells& index, const std::vector<char>* used, const point3& p)
{
    constexpr double kOverlap = 0.25;
    const point3 place = cell_place(p);
    const cell c = cell_of(p);
    std::array<long long, 3> low{}, high{};
    for (int k = 0; k < 3; ++k) {
        const double within = place[k] - std::floor(place[k]);
        low[k] = within < 0.5 + kOverlap ? -1 : 0;
        high[k] = within > 0.5 - kOverlap ? 1 : 0;
    }
    std::vector<std::size_t> found;
    for (long long dx = low[0]; dx <= high[0]; ++dx)
        for (long long dy = low[1]; dy <= high[1]; ++dy)
            for (long long dz = low[2]; dz <= high[2]; ++dz) {
                const auto range = index.ranges.find(cell{c[0] + dx, c[1] + dy, c[2] + dz});
                if (range == index.ranges.end()) continue;
                for (std::size_t k = range->second.first; k < range->second.second; ++k)
                    if (used == nullptr || !(*used)[index.ends[k].second / 2]) found.push_back(index.ends[k].second);
            }
    return found;
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

// The chain run the other way round.
void reverse_chain(std::deque<link>& chain)
{
    std::reverse(chain.begin(), chain.end());
    for (link& l : chain) l.reversed = !l.reversed;
}

// The part's curves and their end cells, kept from one pick to the next while the part and the
// tolerance stay as they were (the part is compared entity by entity, which costs far less than
// reading the curves again), with the last chain made from them.
struct chaining_memory {
    std::map<int, entity> part;
    double tolerance = 0.0;
    std::vector<curve_ends> curves;
    std::unordered_map<int, std::size_t> curve_of_id;
    end_cells index;
    std::deque<link> chain;
    bool closed = false;
    bool clean = false;  // each joint of the chain holds only its own two ends (a free end: one)
    std::unordered_map<int, std::size_t> link_of_id;
};
std::optional<chaining_memory> memory;

bool same_entity(const entity& a, const entity& b)
{
    return a.id == b.id && a.entity_class == b.entity_class && a.type == b.type && a.words == b.words &&
           a.attributes == b.attributes && a.surface == b.surface;
}

chaining_memory& part_memory()
{
    const std::map<int, entity>& part = store().entities;
    const bool kept_part =
        memory && memory->tolerance == chain_tolerance &&
        std::equal(part.begin(), part.end(), memory->part.begin(), memory->part.end(),
                   [](const auto& a, const auto& b) { return a.first == b.first && same_entity(a.second, b.second); });
    if (!kept_part) {
        memory.emplace();
        memory->part = part;
        memory->tolerance = chain_tolerance;
        memory->curves = part_curves();
        for (std::size_t i = 0; i < memory->curves.size(); ++i) memory->curve_of_id[memory->curves[i].id] = i;
        memory->index = sorted_ends(memory->curves);
    }
    return *memory;
}

// The end numbers of a link's two ends, where it starts and where it stops in its direction.
std::pair<std::size_t, std::size_t> link_ends(const chaining_memory& m, const link& l)
{
    const std::size_t i = m.curve_of_id.at(l.curve.id);
    return l.reversed ? std::pair{2 * i + 1, 2 * i} : std::pair{2 * i, 2 * i + 1};
}

// The ends of the part within the tolerance of p, in order.
std::vector<std::size_t> ends_within(const chaining_memory& m, const point3& p)
{
    std::vector<std::size_t> within;
    for (const std::size_t end : ends_near(m.index, nullptr, p)) {
        const curve_ends& c = m.curves[end / 2];
        if (gap_between(end % 2 == 0 ? c.start : c.end, p) <= chain_tolerance) within.push_back(end);
    }
    std::sort(within.begin(), within.end());
    return within;
}

// Whether the ends within the tolerance of each end of each link are that end and the one of the
// neighbouring link it meets, and nothing else (a free end of an open chain: itself alone). The
// chaining from any curve of such a chain then has one way on at every joint and closes or stops
// where this one does: it is this chain, begun at that curve.
bool clean_chain(const chaining_memory& m)
{
    const std::size_t n = m.chain.size();
    for (std::size_t k = 0; k < n; ++k) {
        const link& l = m.chain[k];
        if (!m.curve_of_id.contains(l.curve.id)) return false;
        const auto [from, to] = link_ends(m, l);
        std::vector<std::size_t> at_from{from}, at_to{to};
        if (m.closed || k > 0) at_from.push_back(link_ends(m, m.chain[(k + n - 1) % n]).second);
        if (m.closed || k + 1 < n) at_to.push_back(link_ends(m, m.chain[(k + 1) % n]).first);
        std::sort(at_from.begin(), at_from.end());
        std::sort(at_to.begin(), at_to.end());
        if (ends_within(m, l.from()) != at_from || ends_within(m, l.to()) != at_to) return false;
    }
    return true;
}

// The kept clean chain as the chaining from its link j makes it: begun at that curve (closed) and
// run in the curve's own direction.
std::deque<link> kept_chain_from(const chaining_memory& m, std::size_t j, bool& closed)
{
    std::deque<link> chain = m.chain;
    closed = m.closed;
    const bool against = chain[j].reversed;
    if (closed) std::rotate(chain.begin(), chain.begin() + static_cast<std::ptrdiff_t>(j), chain.end());
    if (against) {
        reverse_chain(chain);
        if (closed) std::rotate(chain.begin(), chain.end() - 1, chain.end());
    }
    return chain;
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
    chaining_memory& m = part_memory();
    if (const auto j = m.link_of_id.find(picked.id); m.clean && j != m.link_of_id.end())
        return kept_chain_from(m, j->second, closed);
    m.chain = joined_chain(m, picked, closed);
    m.closed = closed;
    m.link_of_id.clear();
    for (std::size_t k = 0; k < m.chain.size(); ++k) m.link_of_id[m.chain[k].curve.id] = k;
    m.clean = clean_chain(m);
    return m.chain;
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
    memory.reset();
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

}  // namespace vantu

void dfdini(double tolerance, int& status)
{
    status = 0;
    vantu::reset_definition();
    vantu::chain_tolerance = tolerance > 0.0 && std::isfinite(tolerance) ? tolerance : vantu::kRealTolerance;
    vantu::trace_call("dfdini", std::to_string(tolerance), status);
}

void dfdtol(double tolerance, int& status)
{
    status = tolerance > 0.0 && std::isfinite(tolerance) ? 0 : -1;
    if (status == 0) vantu::chain_tolerance = tolerance;
    vantu::trace_call("dfdtol", std::to_string(tolerance), status);
}

void setmf(int mode)
{
    vantu::settings.pick_mode = mode == kPickSingle ? kPickSingle : kPickChain;
    vantu::trace_call("setmf", std::to_string(mode), 0);
}

void dfd1cg(int closed_only)
{
    vantu::settings.closed_only = closed_only == 1;
    vantu::trace_call("dfd1cg", std::to_string(closed_only), 0);
}

void dfdsrs(int sense)
{
    vantu::settings.sense = sense == kSenseCounterClockwise || sense == kSenseClockwise ? sense : kSenseAsPicked;
    vantu::trace_call("dfdsrs", std::to_string(sense), 0);
}

void gsplgc(int mode, int& value)
{
    if (mode == 1)
        value = vantu::settings.plane_check;
    else if (mode == 2)
        vantu::settings.plane_check = value == 1 ? 1 : 0;
    vantu::trace_call("gsplgc", std::to_string(mode), value);
}

void gscntv(int mode, int& value)
{
    if (mode == 1)
        value = vantu::settings.most_curves;
    else if (mode == 2)
        vantu::settings.most_curves = value;
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
    std::deque<vantu::link> chain;
    bool closed = false;
    if (!vantu::picked_chain(chain, closed, status)) {
        vantu::trace_call("dfdc", std::to_string(room), status);
        return;
    }
    const int set = vantu::unused_curve_set();
    if (auto fault = vantu::fault_hit("dfdc")) {
        status = *fault;
    } else if (record == nullptr || set < 1) {
        status = kRecordNoRoom;
    } else if ((status = vantu::settle_chain(chain, closed)) != 0) {
        // refused by the settings: nothing kept
    } else if (static_cast<long>(chain.size()) > room) {
        status = kRecordNoRoom;
        length = static_cast<int>(chain.size());
        vantu::kept = vantu::kept_chain{chain, closed};
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
