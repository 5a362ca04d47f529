// The pocket engine run for another caller's contours: the save area of the engine state, the
// set-up of the engine for the caller, and the collection of the finished lanes as point strings.
#include "pocket/pocket_driver_setup.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "pocket/clean_region.hpp"
#include "pocket/lane_arc_points.hpp"
#include "pocket/lane_table.hpp"
#include "pocket/npkini.hpp"
#include "pocket/pocket_tool_radius.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1, kNoString = 1, kTooManyStrings = -10, kTooManyPoints = -11;
constexpr int kSave = 1;
constexpr int kForward = 1;
constexpr int kLiveLane = 1;
constexpr int kPlanar = 2;
constexpr double kNoRampAngle = 90.0;
constexpr int kEntryShift = 10;
// Lanes up to this many points are read into the fixed work arrays; longer ones into host arrays
// of their count plus kWorkSlack.
constexpr int kFixedWorkPoints = 7000;
constexpr int kWorkSlack = 10;

// The engine state a caller's run must not disturb.
struct pocket_save_area {
    pocket_work work;
    pocket_state state;
    pkcont_tables tables;
};

pocket_save_area& save_area()
{
    static auto* area = new pocket_save_area;
    return *area;
}

// The x and y work arrays of the collection: fixed ones, or host arrays for longer lanes.
struct path_work {
    double x[kFixedWorkPoints];
    double y[kFixedWorkPoints];
};

path_work& fixed_work()
{
    static auto* work = new path_work;
    return *work;
}

class work_arrays {
public:
    work_arrays() = default;
    work_arrays(const work_arrays&) = delete;
    work_arrays& operator=(const work_arrays&) = delete;

    // Room for count points; false when a host array cannot be opened or grown.
    bool reserve(int count)
    {
        if (count <= kFixedWorkPoints) {
            x_ = fixed_work().x;
            y_ = fixed_work().y;
            return true;
        }
        if (count > capacity_) {
            const int wanted = count + kWorkSlack;
            if (!(capacity_ == 0 ? open(wanted) : grow(wanted - capacity_))) return false;
        }
        x_ = static_cast<double*>(x_base_);
        y_ = static_cast<double*>(y_base_);
        return true;
    }
    // Closes the host arrays; false when the host refuses.
    bool close()
    {
        int status = kGoOn, other = kGoOn;
        if (x_handle_ >= 0) MM_CLOSE(x_handle_, status);
        if (y_handle_ >= 0) MM_CLOSE(y_handle_, other);
        x_handle_ = y_handle_ = -1;
        capacity_ = 0;
        return status == kGoOn && other == kGoOn;
    }
    double* x() const { return x_; }
    double* y() const { return y_; }

private:
    bool open(int count)
    {
        int status = kGoOn, other = kGoOn;
        MM_OPEN_ARRAY(sizeof(double), count, x_handle_, x_base_, status);
        MM_OPEN_ARRAY(sizeof(double), count, y_handle_, y_base_, other);
        if (status != kGoOn) x_handle_ = -1;
        if (other != kGoOn) y_handle_ = -1;
        capacity_ = status == kGoOn && other == kGoOn ? count : 0;
        return capacity_ > 0;
    }
    bool grow(int add)
    {
        int status = kGoOn, other = kGoOn;
        MM_RESIZE_ARRAY(x_handle_, add, x_base_, status);
        if (status == kGoOn) MM_RESIZE_ARRAY(y_handle_, add, y_base_, other);
        if (status != kGoOn || other != kGoOn) return false;
        capacity_ += add;
        return true;
    }

    int x_handle_ = -1, y_handle_ = -1, capacity_ = 0;
    void* x_base_ = nullptr;
    void* y_base_ = nullptr;
    double* x_ = nullptr;
    double* y_ = nullptr;
};

bool live_lane(int i, int& points)
{
    const lane_table& t = lane_table_block;
    points = t.first[i + 1] - t.first[i];
    return t.level[i] != kLevelSeparator && t.status[i] == kLiveLane && points > 0;
}

// Lane i's points into the work arrays, redundant points dropped; count answers how many.
void read_lane(int i, int points, work_arrays& work, int& count, int& status)
{
    const lane_table& t = lane_table_block;
    if (!work.reserve(points)) {
        status = kFailed;
        return;
    }
    std::vector<double> xy(2 * static_cast<std::size_t>(points));
    pokmain_get_xy(kForward, t.first[i], t.first[i + 1], xy.data(), points, status);
    if (status != kGoOn) return;
    for (int k = 0; k < points; ++k) {
        work.x()[k] = xy[2 * static_cast<std::size_t>(k)];
        work.y()[k] = xy[2 * static_cast<std::size_t>(k) + 1];
    }
    count = points;
    int closed = 1;
    xy_drop_redundant(closed, work.x(), work.y(), count);
}

}  // namespace

void save_restore_pocket(int mode)
{
    pocket_save_area& area = save_area();
    if (mode == kSave) {
        area.work = pocket_work_block;
        area.state = pocket_state_block;
        area.tables = pkcont_tables_block;
    } else {
        pocket_work_block = area.work;
        pocket_state_block = area.state;
        pkcont_tables_block = area.tables;
    }
}

void init_pocket_globals(int direction_switch, int has_start, float start_value, float tolerance, int level_count,
                         const float* level_values, int& status)
{
    status = kGoOn;
    if (level_count < 0 || level_count > kMostIslands + 1 || (level_count > 0 && level_values == nullptr)) {
        status = kFailed;
        return;
    }
    pocket_work& w = pocket_work_block;
    pocket_state& s = pocket_state_block;
    // The side step is the tool radius (a wire tool has no width of its own).
    set_pocket_tool_radius();
    w.side_step = w.tool_radius;
    w.tolerance = w.working_tolerance = tolerance;
    w.restart_point[0] = w.restart_point[1] = w.restart_point[2] = 0.0;
    for (int i = 1; i <= level_count; ++i)
        w.offsets[i == 1 ? kOuterSlot : kIslandSlotBase + i - 2] = level_values[i - 1];
    constexpr int kModes[] = {-1, 1, -2};
    if (direction_switch >= 0 && direction_switch <= 2) s.offsets_mode = kModes[direction_switch];
    s.pocket_dimension = kPlanar;
    s.first_level_z = s.current_z = NPT1().real(tp_header_state::kHomePoint + 2);
    s.minimum_value = has_start ? start_value : 0.0;
    s.ramp_angle = kNoRampAngle;
    s.ramp_flag = 0;
    s.direction_sign = 1;
    s.z_step = 0.0;
    s.level_count = 1;
    s.level_counter = 0;
    s.multi_offset = 1;
    s.single_offset = 0;
    s.second_stage = 0;
    s.entry_found = 0;
    s.lead_mode = 0;
    s.draft_present = 0;
    s.reverse_islands = 1;
    s.cut_direction = 1;
    s.drawing_mode = 1;
    s.entry_shift = kEntryShift;
    w.corner_arcs = 1;
    w.end_point_mode = 0;
    w.extra_offset = 0.0;
}

void pocket_path_collect(float tolerance, int point_capacity, float* points, int& strings, int* counts, int& status)
{
    const int room = strings;
    strings = 0;
    const bool region_left = lanes_region_left(status);
    if (status != kGoOn) return;
    int written = 0;
    work_arrays work;
    const lane_table& t = lane_table_block;
    const int last = std::min(t.count, kLaneMax), first = std::max(pocket_box_block.first_output_lane, 1);
    for (int i = last; i >= first && status == kGoOn; --i) {
        int entries = 0;
        if (!live_lane(i, entries)) continue;
        if (strings >= room || counts == nullptr) {
            status = kTooManyStrings;
            break;
        }
        int count = 0;
        read_lane(i, entries, work, count, status);
        if (status != kGoOn) break;
        const auto reversed = lane_points_reversed(work.x(), work.y(), count, tolerance, region_left);
        int string_points = 0;
        for (const auto& p : reversed) {
            // The capacity is tested before a point is written: all of it is usable.
            if (written >= point_capacity || points == nullptr) {
                status = kTooManyPoints;
                break;
            }
            points[2 * written] = static_cast<float>(p[0]);
            points[2 * written + 1] = static_cast<float>(p[1]);
            ++written;
            ++string_points;
        }
        counts[strings++] = string_points;
    }
    if (!work.close() && status == kGoOn) status = kFailed;
    if (status == kGoOn && strings == 0) status = kNoString;
}
