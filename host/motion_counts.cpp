// The display file's counts of motion blocks by address (host/core/motion_counts.hpp).
#include "host/core/motion_counts.hpp"

#include <algorithm>

namespace vantu::ncd {

namespace {

// A procedure's array reaches block numbers up to this many, or twice its blocks if more: numbers
// beyond go to the map.
constexpr long long kDenseNumbers = 4096;

std::uint64_t key(int block1, int block2)
{
    return (std::uint64_t(std::uint32_t(block1)) << 32) | std::uint32_t(block2);
}

}  // namespace

int motion_counts::count(int block1, int block2) const
{
    int held = 0;
    if (const auto p = procedures_.find(block1);
        p != procedures_.end() && block2 >= 0 && static_cast<std::size_t>(block2) < p->second.by_number.size())
        held = p->second.by_number[static_cast<std::size_t>(block2)];
    if (const auto s = scattered_.find(key(block1, block2)); s != scattered_.end()) held += s->second;
    return held;
}

// An address is counted in one place at a time: in the map while it holds blocks there (it went
// there when the array did not reach it), otherwise in its procedure's array.
void motion_counts::add(int block1, int block2, int change)
{
    const std::uint64_t k = key(block1, block2);
    if (const auto s = scattered_.find(k); s != scattered_.end()) {
        if ((s->second += change) <= 0) scattered_.erase(s);
        return;
    }
    procedure_counts& p = procedures_[block1];
    const auto number = static_cast<std::size_t>(block2);
    const long long reach = std::max(kDenseNumbers, 2 * (p.held + 1));
    if (block2 < 0 || (number >= p.by_number.size() && static_cast<long long>(number) >= reach)) {
        if (p.by_number.empty()) procedures_.erase(block1);
        if (change > 0) scattered_[k] = change;
        return;
    }
    if (number >= p.by_number.size()) {
        if (change <= 0) return;
        p.by_number.resize(std::max(number + 1, 2 * p.by_number.size()), 0);
    }
    int& held = p.by_number[number];
    const int before = held;
    held = std::max(0, held + change);
    p.held += held - before;
    // A procedure whose blocks are all gone gives its array back.
    if (p.held == 0) procedures_.erase(block1);
}

}  // namespace vantu::ncd
