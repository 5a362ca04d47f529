// The lane output: one lane of the x/y list written element by element, plain points through the
// point mover and arc records through the lead-arc writer, the tool position taken back from the
// motion output after each element.
#include "pocket_lanes/moves/pocket_approach.hpp"

#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/tool_position.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_lanes/entry/lead_arcs.hpp"
#include "pocket_lanes/moves/entry_bookkeeping.hpp"
#include "toolpath/updown_buffers.hpp"

#include <array>

namespace {

constexpr int kMotionLinkFlag = 1;

std::array<double, 3> slot_point(const double* points, const double* z_values, int slot)
{
    const double z = z_values != nullptr ? z_values[slot] : pocket_state_block.current_z;
    return {points[2 * slot], points[2 * slot + 1], z};
}

// The point the next element starts from, as the motion output keeps it.
std::array<double, 3> tool_after_move()
{
    point3 last{};
    updown_last_point(DSP8().position(), last);
    return {last[0], last[1], last[2]};
}

}  // namespace

void lane_end_link(int approach_only, int kind, int chain_flag, int count, const double* points, const double* z_values,
                   int dimension, int& status)
{
    static_cast<void>(chain_flag);
    status = 0;
    if (count < 1 || points == nullptr) return;
    std::array<double, 3> previous = slot_point(points, z_values, 0);
    if (approach_only != 0) {
        pocket_approach(kind, dimension, previous.data(), previous.data(), status);
        return;
    }
    std::array<double, 3> last = previous;
    int move_kind = kind;
    for (int slot = 1; slot < count;) {
        if (pk_is_marker(points[2 * slot]) && slot + kArcRecordEntries - 1 < count) {
            const double* record = points + 2 * slot;
            const double end[2] = {record[6], record[7]};
            choose_drpar(move_kind, record[2], record[3], record + 4, previous.data(), end, status);
            last = slot_point(points, z_values, slot + kArcRecordEntries - 1);
            slot += kArcRecordEntries;
        } else {
            last = slot_point(points, z_values, slot);
            pocket_approach(move_kind, dimension, previous.data(), last.data(), status);
            ++slot;
        }
        if (status < 0) return;
        move_kind = kApproachFeed;
        previous = tool_after_move();
    }
    if (count < 2) return;
    pocket_state& ps = pocket_state_block;
    for (int i = 0; i < 3; ++i) ps.last_position[i] = last[static_cast<std::size_t>(i)];
    pocket_link_words& links = pocket_links();
    if (proc_geometry().curve_approx.motion_link_mode == kMotionLinkFlag && links.link_source != 0) links.link = 1;
    status = 0;
}
