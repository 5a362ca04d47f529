// The current lane of each level of a run of levels during one call: the newest lane of the level
// with the wanted status, as lane_find finds it (group mode 0, backward scan), kept so that a call
// that asks for every level once (per branch, per pair) does not scan the whole lane table each
// time. The passes over the branches (lanpok, lancom) and the merges (lancom, ilscom, for the
// island levels) use it; the merges tell it when they change a lane's level.
#pragma once

#include <vector>

class current_level_lanes {
public:
    // Levels first_level to last_level; wanted the lane status sought (a pass, or the stage of the
    // island levels).
    current_level_lanes(int wanted, int first_level, int last_level);

    // Finds the current lane of every branch level of the run in one scan of the table (a wanted
    // status of 1 or more; with 0 every look scans, as lane_find stops at a closed lane). Reads the
    // branches' rule that a closing lane ends its level's lanes of the earlier passes.
    void know_all();
    // The same for levels without that rule (the island levels, whose older lanes may keep the
    // wanted status behind a lane taken in): every level is looked up as lane() would scan it.
    void know_all_newest();
    // The current lane of the level, 0 when none.
    int lane(int level);
    // Forgets what is known of the level (after its lanes' levels or statuses were written).
    void forget(int level);

private:
    void take_new_lanes();
    void know_all(bool closing_ends_level);
    int scan(int level) const;

    int wanted_;
    int first_level_;
    int seen_count_;          // lanes of the table looked at so far
    std::vector<int> lanes_;  // per level: the lane, 0 none, -1 unknown
};

// The lanes lane_find finds (group mode 0, backward scan) for the levels first to last with the
// wanted status, in one scan of the table: per level the newest lane whose status matches, 0 when
// none does or when, with a wanted status of 0, a closed lane of the level comes first. For a
// caller that asks for every level while it changes no lane: one lane_find per level would scan
// the table per level.
std::vector<int> found_lanes(int first_level, int last_level, int wanted);
