// The merges of the lane loop: branch lanes of this pass against the islands' current lanes
// (lancom), and island lanes against each other (ilscom). Where two lanes cross, the common
// loops (comlup_pokarr) replace them with new lanes; where one holds the other, the one inside
// ends. The lane loop calls them after each pass's offsets.
#pragma once

// Island counts above this make ilscom compare the two lanes' boxes before it combines them.
inline constexpr int kIlscomBoxTestIslands = 20;

// Merges each branch's lane of the pass with the islands' lanes of the stage. island_count (the
// islands still apart) falls for every island taken in. Status 0, 10, 11 or 15 from a failed step,
// or 14 when every branch ended inside an island in pass 1 (whatever the status was). Reads
// pocket_work.reversed_islands and pocket_box.island_count; uses the lane table's pair memory
// and box cache.
void lancom(int pass, int island_stage, int& branch_count, int& island_count, int touch_switch, int& status);

// Merges the islands' lanes of the stage that meet, and lets a merged lane absorb the islands it
// holds. island_count falls by one per merge and by two where the common loops leave nothing.
// Status 0, 10, 11 or 15 from the common loops, -1 for a failed crossing test, or a host array's
// status. Reads pocket_box.island_count and the lane table's island count.
void ilscom(int& branch_count, int pass, int island_stage, int& island_count, int& status);
