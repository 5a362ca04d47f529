// The current lane of each island level during one merge call: the newest lane of the level with
// the stage's status, as lane_find finds it (group mode 0, backward scan), kept so that a call
// that asks for every island once per branch or per pair does not scan the whole lane table each
// time. The merges (lancom, ilscom) use it; they tell it when they change a lane's level.
#pragma once

#include <vector>

class current_island_lanes {
public:
    // Island levels 10001 to last_level; wanted the lane status sought (1 or 2, the stage).
    current_island_lanes(int wanted, int last_level);

    // The current lane of the level, 0 when none.
    int lane(int level);
    // Forgets what is known of the level (after its lanes' levels or statuses were written).
    void forget(int level);

private:
    void take_new_lanes();
    int scan(int level) const;

    int wanted_;
    int first_level_;
    int seen_count_;               // lanes of the table looked at so far
    std::vector<int> lanes_;       // per level: the lane, 0 none, -1 unknown
};
