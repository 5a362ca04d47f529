// The time estimate's walk over the blocks (see the header).
#include "edit/time/time_estimate.hpp"

#include "edit/editor/list_cursor_state.hpp"
#include "edit/time/time_est_state.hpp"
#include "edit/time/time_report.hpp"
#include "edit/time/time_text.hpp"
#include "edit/time/timeblk.hpp"
#include "host/vantu.hpp"
#include "host/vantu_compose.hpp"
#include "toolpath/motion_end_points.hpp"
#include "tools/tool_accessors.hpp"

namespace {

constexpr int kFirstBlock = 2, kNextBlock = 1;
constexpr int kEndOfLevel = -1, kOtherEnd = -2;
constexpr int kWalkEndedOther = 2;
constexpr int kPositionMarker = 1;
constexpr int kFeedParameter = 1;

time_est_tool& current_tool_entry()
{
    time_est_state& s = time_est();
    return s.tools[static_cast<std::size_t>(s.tool_index)];
}

// A tool with a life above zero is due for replacement once its feed time over all stints passes
// one more life than it was replaced for.
void tool_life_check(int file, int block_number)
{
    time_est_state& s = time_est();
    time_est_tool& tool = current_tool_entry();
    if (!(tool.life > 0.0f)) return;
    if (!((tool.replacements + 1) * double(tool.life) * 60.0 < tool.accumulated + s.stint_time)) return;
    if (s.no_warning) {
        time_line_out(file,
                      "\n\t\tACCORDING TO TOOL LIFE VALUE - REPLACE TOOL \"" + s.tool_name + "\" :", s.output_mode);
        s.no_warning = 0;
    }
    std::string text;
    mktx1c("BEFORE BLOCK #", tx_group{'I', double(block_number), ""}, text);
    time_line_out(file, "\t\t" + text, s.output_mode);
    ++tool.replacements;
}

// A TOOL parameter: a real change closes the outgoing tool's stint, then the new tool becomes
// current (re-selecting the loaded tool is no change).
void tool_parameter(int kind, int file, int tool_id, int& status)
{
    time_est_state& s = time_est();
    if (kind == kTimeToolChange && s.last_tool_id > 0 && s.last_tool_id != tool_id) {
        current_tool_entry().accumulated += s.stint_time;
        time_tool_report(file);
        s.stint_time = 0.0;
    }
    int index = 0;
    time_tool_register(tool_id, index, status);
    if (status < 0) return;
    if (tool_id != s.last_tool_id) {
        if (s.last_tool_id >= 0) ++s.tool_changes;
        s.last_tool_id = tool_id;
    }
    s.tool_index = index;
    s.tool_name = s.tools[static_cast<std::size_t>(index)].name;
}

// A FEED or RAP.FEED that TIMEBLK could not take as a rate: one warning line in the report with
// the rate the motions after it are timed at (the last feed, or the max-feed rate), so that their
// time is not taken on trust.
void refused_rate_warning(int file)
{
    refused_rate& refused = timeblk_rates().refused;
    if (refused.block < 0) return;
    const timeblk_state& rates = timeblk_rates();
    const bool feed = refused.prmtyp == kFeedParameter;
    std::string text;
    mktx3c(feed ? "WARNING: FEED " : "WARNING: RAP.FEED ", tx_group{'R', refused.value, " IN BLOCK #"},
           tx_group{'I', double(refused.block), " IS NO RATE, TIMED AT "}, tx_group{'R', rates.rate, ""}, text);
    time_line_out(file, "\t\t" + text, time_est().output_mode);
    refused = refused_rate{};
}

}  // namespace

void time_tool_register(int tool_id, int& index, int& status)
{
    status = 0;
    time_est_state& s = time_est();
    for (index = 1; index <= s.tool_count; ++index)
        if (s.tools[static_cast<std::size_t>(index)].id == tool_id) return;
    if (s.tool_count + 1 >= kMostEstimateTools) {
        index = 0;
        status = -1;
        return;
    }
    index = ++s.tool_count;
    time_est_tool& tool = s.tools[static_cast<std::size_t>(index)];
    tool = time_est_tool{};
    tool.id = tool_id;
    tool_get_name(tool_id, tool.name);
    tool_get_life(tool_id, tool.life);
}

void time_est_block(int first, int file, int where, int& status)
{
    time_est_state& s = time_est();
    double time = first ? kTimeReset : 0.0;
    int number = 0, tool_id = s.last_tool_id;
    const int kind = TIMEBLK(where, number, time, tool_id, s.milling_length, s.min_z, status);
    if (status < 0) {
        status = -1;
        return;
    }
    refused_rate_warning(file);
    switch (kind) {
    case kTimeFeed:
        s.feed_time += time;
        s.stint_time += time;
        tool_life_check(file, number);
        break;
    case kTimeMaxFeed: s.max_feed_time += time; break;
    case kTimeFast: s.fast_time += time; break;
    case kTimeToolChange:
    case kTimeFirstTool: tool_parameter(kind, file, tool_id, status); break;
    default: break;
    }
}

void time_est_run(int first, int file, int where, int& status)
{
    status = 0;
    time_est_proc_reset();
    time_proc_header(file);
    for (;;) {
        int result = 0;
        lacces(first ? kFirstBlock : kNextBlock, result);
        if (result == kEndOfLevel || result == kOtherEnd) {
            status = first ? -1 : result == kEndOfLevel ? 0 : kWalkEndedOther;
            break;
        }
        time_est_block(first, file, where, status);
        first = 0;
        if (status < 0) break;
    }
    time_proc_summary(file);
}

void time_estimate(int first, int where, int& status)
{
    time_est_run_reset();
    int marked = 0;
    lmark(1, kPositionMarker, marked);
    int opened = 0, file = 0;
    std::string path;
    TIME_BLKLST(kTimeProcedure, list_cursor().proc_number, opened, file, path, status);
    if (status >= 0) {
        time_est_run(first, file, where, status);
        time_file_close(opened, file, path, status);
    }
    int returned = 0;
    if (marked >= 1) tp_list_top_mark(kPositionMarker, returned);
}
