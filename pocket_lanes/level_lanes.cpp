// The current lanes of a run of levels (see the header). A known lane stays right while its
// level and status are unchanged and no newer lane of its level with that status appears; new
// lanes are taken in as they are appended, and a lane found changed makes its level scanned again.
#include "pocket_lanes/level_lanes.hpp"

#include "pocket/lane_table.hpp"

#include <algorithm>

namespace {

constexpr int kUnknown = -1;

// lane_find's match for a wanted status of 1 or more.
bool matches(int status, int wanted) { return status == wanted || (wanted <= 0 && status > 0); }

}  // namespace

current_level_lanes::current_level_lanes(int wanted, int first_level, int last_level)
    : wanted_(wanted), first_level_(first_level), seen_count_(lane_table_block.count),
      lanes_(static_cast<std::size_t>(std::max(0, last_level - first_level + 1)), kUnknown)
{}

int current_level_lanes::scan(int level) const
{
    const lane_table& lt = lane_table_block;
    for (int n = lt.count; n >= 1; --n) {
        if (lt.level[n] != level) continue;
        const int s = lt.status[n];
        // With a wanted status of 0 the scan ends at a closed lane, as lane_find's does.
        if (wanted_ == 0 && s < 0) return 0;
        if (matches(s, wanted_)) return n;
    }
    return 0;
}

void current_level_lanes::take_new_lanes()
{
    const lane_table& lt = lane_table_block;
    for (int n = seen_count_ + 1; n <= lt.count; ++n) {
        const int index = lt.level[n] - first_level_;
        if (index < 0 || index >= static_cast<int>(lanes_.size())) continue;
        // A newer lane of the level decides its current lane again.
        lanes_[static_cast<std::size_t>(index)] = kUnknown;
    }
    seen_count_ = std::max(seen_count_, lt.count);
}

void current_level_lanes::know_all() { know_all(true); }

void current_level_lanes::know_all_newest() { know_all(false); }

void current_level_lanes::know_all(bool closing_ends_level)
{
    if (wanted_ <= 0) return;
    const lane_table& lt = lane_table_block;
    take_new_lanes();
    std::fill(lanes_.begin(), lanes_.end(), kUnknown);
    int undecided = static_cast<int>(lanes_.size());
    for (int n = lt.count; n >= 1 && undecided > 0; --n) {
        const int index = lt.level[n] - first_level_;
        if (index < 0 || index >= static_cast<int>(lanes_.size())) continue;
        int& known = lanes_[static_cast<std::size_t>(index)];
        if (known != kUnknown) continue;
        // A lane takes its status from the pass that appends it, and a closing lane ends its
        // level's lanes of that pass: no older lane of a level whose newest lane is a closing one
        // has a later pass's status (from pass 2 on, when pass 1 no longer moves lanes between
        // branches).
        if (matches(lt.status[n], wanted_))
            known = n;
        else if (closing_ends_level && wanted_ >= 2 && lt.status[n] < 0)
            known = 0;
        else
            continue;
        --undecided;
    }
    std::replace(lanes_.begin(), lanes_.end(), kUnknown, 0);
}

int current_level_lanes::lane(int level)
{
    const int index = level - first_level_;
    if (index < 0 || index >= static_cast<int>(lanes_.size())) return scan(level);
    take_new_lanes();
    int& known = lanes_[static_cast<std::size_t>(index)];
    const lane_table& lt = lane_table_block;
    const bool still = known > 0 && known <= lt.count && lt.level[known] == level && matches(lt.status[known], wanted_);
    if (known == kUnknown || (known > 0 && !still) || wanted_ == 0) known = scan(level);
    return known;
}

void current_level_lanes::forget(int level)
{
    const int index = level - first_level_;
    if (index >= 0 && index < static_cast<int>(lanes_.size())) lanes_[static_cast<std::size_t>(index)] = kUnknown;
}

std::vector<int> found_lanes(int first_level, int last_level, int wanted)
{
    const lane_table& lt = lane_table_block;
    const int levels = std::max(0, last_level - first_level + 1);
    std::vector<int> lanes(static_cast<std::size_t>(levels), 0);
    std::vector<bool> decided(lanes.size(), false);
    int undecided = levels;
    for (int n = lt.count; n >= 1 && undecided > 0; --n) {
        const int index = lt.level[n] - first_level;
        if (index < 0 || index >= levels || decided[static_cast<std::size_t>(index)]) continue;
        const int s = lt.status[n];
        const bool closed = wanted == 0 && s < 0;
        if (!closed && !matches(s, wanted)) continue;
        decided[static_cast<std::size_t>(index)] = true;
        lanes[static_cast<std::size_t>(index)] = closed ? 0 : n;
        --undecided;
    }
    return lanes;
}
