// TIMEBLK, the cost of one tool-path block for the time estimate: the motion time at the rate in
// force, its kind (feed, max-feed, fast), length and lowest Z, and the tool of a TOOL parameter.
// The rate in force is kept between calls in timeblk_state, so blocks are given in tool-path
// order; the estimate resets it with its first block.
#pragma once

#include "toolpath/tp_blocks.hpp"

// Kinds TIMEBLK answers.
inline constexpr int kTimeNothing = 0, kTimeFeed = 1, kTimeMaxFeed = 2, kTimeFast = 3, kTimeToolChange = 4,
                     kTimeFirstTool = 5;
// A time of this value on entry resets the rate state.
inline constexpr double kTimeReset = -1.0;

// A FEED or RAP.FEED whose value is no rate (0, a negative value that is no code, not a number):
// the block, the parameter type and the value, kept until the estimate reports it.
struct refused_rate {
    int block = -1;  // -1: none since the last report
    int prmtyp = 0;
    float value = 0.0f;
};

// The rate state, in length units per minute.
struct timeblk_state {
    int kind = kTimeFeed;      // kind of the motions that follow (the last FEED or RAP.FEED)
    float rate = 350.0f;       // rate of the motions that follow
    float last_feed = 350.0f;  // last programmed feed rate
    float max_feed = 2000.0f;  // rate of max-feed motions
    float rapid = 10000.0f;    // rate of fast motions; never changed after a reset
    int first_tool = 1;        // cleared by the first TOOL parameter
    int first_position = 1;    // cleared when the first line or string point sets the position
    point3 last{};             // end point of the last motion read
    point3 home{};             // second point of the last home-definition block
    refused_rate refused;      // the last refused value, which the estimate reports and clears
};
timeblk_state& timeblk_rates();

void pt3_copy(const float* source, float* target);
void pt3_dist(const float* a, const float* b, float& distance);
// Lowers min_z to the lowest Z of an arc in a vertical plane given in the plane's two coordinates
// (horizontal, Z): its centre, its end point and its signed angle in radians (positive turns from
// the horizontal axis towards Z). The circle's lowest point when the arc passes it, else the
// lower of its ends.
void arc_min_z(const float* centre, const float* end, float angle, float& min_z);

// Reads the block at the read position (where: 2 the list, 1 the open entity) and answers its
// kind. time (minutes) on entry kTimeReset resets the rate state and tool_id (-1); on return the
// block's time, 0 for a block that is not a motion. milling_length gains the length of a feed
// motion, min_z is lowered to the lowest Z a line, string or arc reaches. tool_id answers the tool
// of a TOOL parameter. A FEED whose value is no rate leaves feed motions at the last feed, a
// RAP.FEED max-feed motions at the max-feed rate; the refused value is kept in
// timeblk_state.refused for the estimate's report. A read failure: "TIMEBLK - ERROR IN BLOCK. BTYPE =",
// kind 0, the reader's negative status. Reads and writes timeblk_state.
int TIMEBLK(int where, int& block_number, double& time, int& tool_id, double& milling_length, float& min_z,
            int& status);
