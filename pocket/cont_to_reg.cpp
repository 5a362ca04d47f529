// The region polygon of one contour (a trimming contour, a loop of a solid) in the region
// package and its orientation, with a loop's record brought up to date after a solid update.
#include "pocket/contour_selection.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/reg_region.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1, kUpdated = 1;
// Chords of the polygon: a tenth of the tool's diameter, or this when the tool gives none.
constexpr float kChordOfDiameter = 0.1f;
constexpr float kChordWithoutTool = 0.01f;

}  // namespace

void cont_to_reg(int* record, int& direction, int& status)
{
    const int length = record_length(record);
    if (length < 1) {
        status = kFailed;
        return;
    }
    std::vector<int> work(record, record + kChainEntryWords * length);
    bool updated = false;
    if (record[0] == kLoopRecord) {
        int exploded = 0, second = 0;
        status = with_local_room(work, [&](int room, int* out) {
            int s = 0;
            ncs_explode_loop_to_wfbuf(record, room, out, exploded, second, s);
            return s;
        });
        if (status != kGoOn) return;
        if (second != record[kChainEntryWords]) {
            const double data[3] = {static_cast<double>(second), 0.0, kItemLoop};
            dfdput(record, 1, record[1], data, status);
            updated = status == kGoOn;
        }
    }
    float diameter = -1.0f;
    tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    const float chord = diameter > 0.0f ? kChordOfDiameter * diameter : kChordWithoutTool;
    reg_region region{};
    reg_init(kRegionPlane, &region, status);
    if (status == kGoOn) crtpol(chord, 1, work.data(), &region, status);
    int count = 0, ccw = -1;
    if (status == kGoOn) reg_get_npbuf(region, 0, count, status);
    if (status == kGoOn && count > 0) {
        std::vector<float> points(2 * static_cast<std::size_t>(count));
        reg_get_poly(kRegionPlane, 0, &region, points.data(), status);
        if (status == kGoOn) polccw(count, points.data(), ccw);
    }
    int released = 0;
    reg_release(&region, released);
    if (status == kGoOn && ccw < 0) status = kFailed;
    if (status != kGoOn) return;
    direction = ccw == 1 ? -1 : 1;
    status = updated ? kUpdated : kGoOn;
}
