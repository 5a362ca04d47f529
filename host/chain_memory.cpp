// The contour chaining's memory of the part and of its last chain (host/core/chain_memory.hpp):
// whether the part is the one read before, and whether the last chain may answer a new pick.
#include "host/core/chain_memory.hpp"

#include "host/vantu_entity.hpp"

#include <algorithm>
#include <optional>
#include <utility>

namespace vantu::chaining {

namespace {

std::optional<chaining_memory> memory;

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

bool same_entity(const entity& a, const entity& b)
{
    return a.id == b.id && a.entity_class == b.entity_class && a.type == b.type && a.words == b.words &&
           a.attributes == b.attributes && a.surface == b.surface;
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
        if (gap_between(end % 2 == 0 ? c.start : c.end, p) <= m.tolerance) within.push_back(end);
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

}  // namespace

void reverse_chain(std::deque<link>& chain)
{
    std::reverse(chain.begin(), chain.end());
    for (link& l : chain) l.reversed = !l.reversed;
}

chaining_memory& part_memory(double tolerance)
{
    const std::map<int, entity>& part = store().entities;
    const bool kept_part =
        memory && memory->tolerance == tolerance &&
        std::equal(part.begin(), part.end(), memory->part.begin(), memory->part.end(),
                   [](const auto& a, const auto& b) { return a.first == b.first && same_entity(a.second, b.second); });
    if (!kept_part) {
        memory.emplace();
        memory->part = part;
        memory->tolerance = tolerance;
        memory->curves = part_curves();
        for (std::size_t i = 0; i < memory->curves.size(); ++i) memory->curve_of_id[memory->curves[i].id] = i;
        memory->index = sorted_ends(memory->curves, tolerance);
    }
    return *memory;
}

void forget_part() { memory.reset(); }

bool recalled_chain(const chaining_memory& m, int picked_id, std::deque<link>& chain, bool& closed)
{
    const auto j = m.link_of_id.find(picked_id);
    if (!m.clean || j == m.link_of_id.end()) return false;
    chain = kept_chain_from(m, j->second, closed);
    return true;
}

void remember_chain(chaining_memory& m, const std::deque<link>& chain, bool closed)
{
    m.chain = chain;
    m.closed = closed;
    m.link_of_id.clear();
    for (std::size_t k = 0; k < m.chain.size(); ++k) m.link_of_id[m.chain[k].curve.id] = k;
    m.clean = clean_chain(m);
}

}  // namespace vantu::chaining
