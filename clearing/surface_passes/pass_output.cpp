// The hand-over of surface strings to the UP/DOWN motion output (see the header).
#include "clearing/surface_passes/pass_output.hpp"

#include "toolpath/milling_statement.hpp"
#include "toolpath/modal_setters.hpp"
#include "toolpath/updown_buffers.hpp"

#include <algorithm>
#include <vector>

namespace {
constexpr int kPointsOnly = 1;
}

void surface_strings_write(const surface_strings_call& call, int& status)
{
    status = 0;
    int total = 0;
    for (int s = 0; s < call.string_count; ++s) total += std::max(call.counts[s], 0);
    const std::vector<point3> directions(static_cast<std::size_t>(total), kDefaultDirection);
    if (call.feed_mode != kFeedKept) set_mch_change_mode(call.feed_mode);
    milling_statement statement;
    statement.code = call.statement_code;
    statement.dimension = kPointsOnly;
    statement.approach = call.lift_flag;
    statement.points = call.points;
    statement.directions = directions.data();
    statement.normals = call.normals;
    statement.strings = call.string_count;
    statement.counts = call.counts;
    statement.marker_code = call.motion_codes[0];
    statement.end_marker_code = call.motion_codes[1];
    statement.marker_id = call.motion_codes[2];
    statement.pass_number = call.pass_number;
    updown_motion(statement, status);
}

surface_pass_output& surface_pass_output_table()
{
    static surface_pass_output table;
    return table;
}
