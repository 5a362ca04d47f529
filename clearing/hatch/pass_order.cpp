// The nearest-first order of the passes of the clearing point list (pass_order.hpp).
#include "clearing/hatch/pass_order.hpp"

#include "clearing/hatch/surface_pass_seams.hpp"
#include "host/vantu_memory.hpp"
#include "nc_services/machining_type.hpp"
#include "pocket_lanes/chain_order.hpp"

#include <bit>
#include <cstdint>
#include <unordered_map>

namespace {

constexpr int kGoOn = 0, kFailed = -1;

bool is_pass_start(const clearing_point& p) { return p.code == kPassStart || p.code == kLaterLevelStart; }

// A point's key: both coordinates bit for bit. The walk writes a used end with the very floats it
// wrote when the end was cut, so equal points are equal keys.
std::uint64_t key_of(const clearing_point& p)
{
    return (static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(p.x)) << 32) | std::bit_cast<std::uint32_t>(p.y);
}

std::vector<chain_ends> ends_of(const std::vector<clearing_pass>& passes, const std::vector<int>& predecessors)
{
    std::vector<chain_ends> ends(passes.size());
    for (std::size_t i = 0; i < passes.size(); ++i) {
        chain_ends& e = ends[i];
        e.start_x = passes[i].head->x;
        e.start_y = passes[i].head->y;
        e.end_x = passes[i].tail->x;
        e.end_y = passes[i].tail->y;
        e.has_start = e.has_end = true;
        if (predecessors[i] >= 0) e.after.push_back(predecessors[i]);
    }
    return ends;
}

}  // namespace

std::vector<clearing_pass> passes_of(clearing_point* head, std::size_t most)
{
    std::vector<clearing_pass> passes;
    std::size_t read = 0;
    for (clearing_point* p = head; p != nullptr; p = p->next) {
        if (++read > most) return {};
        if (passes.empty() || is_pass_start(*p))
            passes.push_back({p, p});
        else
            passes.back().tail = p;
    }
    return passes;
}

std::vector<int> pass_predecessors(const std::vector<clearing_pass>& passes)
{
    std::vector<int> predecessors(passes.size(), -1);
    std::unordered_map<std::uint64_t, int> first_cut;
    for (std::size_t i = 0; i < passes.size(); ++i) {
        const auto found = first_cut.find(key_of(*passes[i].head));
        if (found != first_cut.end()) predecessors[i] = found->second;
        for (const clearing_point* p = passes[i].head;; p = p->next) {
            first_cut.emplace(key_of(*p), static_cast<int>(i));
            if (p == passes[i].tail) break;
        }
    }
    return predecessors;
}

int clr_order_passes()
{
    clear_state& b = clear_block;
    if (machining_type() == kSurfaceClearing || b.point_head == nullptr) return kGoOn;
    const std::vector<clearing_pass> passes =
        passes_of(b.point_head, static_cast<std::size_t>(MM_CUR_N_ENTRIES(b.point_list_handle)));
    if (passes.empty()) return kFailed;
    const std::vector<std::size_t> order = order_chains_by_nearness(ends_of(passes, pass_predecessors(passes)));
    // Every predecessor comes earlier in the list: all passes are placed.
    if (order.size() != passes.size()) return kFailed;
    clearing_point* last = nullptr;
    for (const std::size_t k : order) {
        if (last != nullptr) last->next = passes[k].head;
        last = passes[k].tail;
    }
    last->next = nullptr;
    b.point_head = passes[order.front()].head;
    b.point_last = last;
    b.point_cursor = b.point_head;
    return kGoOn;
}
