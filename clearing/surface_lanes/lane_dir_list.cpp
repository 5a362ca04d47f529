// The projection directions of lane points made on the grid (see the header).
#include "clearing/surface_lanes/lane_dir_list.hpp"

#include "host/vantu_memory.hpp"

#include <bit>
#include <cmath>

lane_dir_list_block lane_dir_list;

namespace {

std::uint64_t position_key(float x, float y)
{
    return (static_cast<std::uint64_t>(std::bit_cast<std::uint32_t>(x)) << 32) | std::bit_cast<std::uint32_t>(y);
}

// The records, or null when the array is not open (or the host no longer knows it).
lane_dir_record* records()
{
    return lane_dir_list.handle < 0 ? nullptr : static_cast<lane_dir_record*>(mmcptr(lane_dir_list.handle));
}

// Room for one more record: the array opened or grown. False when the host refuses.
bool make_room()
{
    lane_dir_list_block& list = lane_dir_list;
    int status = 0;
    void* base = nullptr;
    if (records() == nullptr) {
        list = lane_dir_list_block{};
        MM_OPEN_ARRAY(sizeof(lane_dir_record), kLaneDirGrowth, list.handle, base, status);
        if (status != 0) {
            list.handle = -1;
            return false;
        }
        list.capacity = kLaneDirGrowth;
        return true;
    }
    if (list.count < list.capacity) return true;
    MM_RESIZE_ARRAY(list.handle, kLaneDirGrowth, base, status);
    if (status != 0) return false;
    list.capacity += kLaneDirGrowth;
    return true;
}

}  // namespace

void lane_dir_add(const float* point, const float* direction, int flag)
{
    if (!make_room()) return;
    lane_dir_list_block& list = lane_dir_list;
    records()[list.count] = {point[0], point[1], direction[0], direction[1], flag};
    list.index.try_emplace(position_key(point[0], point[1]), list.count);
    ++list.count;
}

void lane_dir_find(const float* point, float* direction, int& flag, int& status)
{
    status = -1;
    const lane_dir_record* base = records();
    if (base == nullptr) return;
    const auto found = lane_dir_list.index.find(position_key(point[0], point[1]));
    if (found == lane_dir_list.index.end()) return;
    const lane_dir_record& r = base[found->second];
    const float square = 1.0f - r.dx * r.dx - r.dy * r.dy;
    direction[0] = r.dx;
    direction[1] = r.dy;
    direction[2] = square > 0.0f ? std::sqrt(square) : 0.0f;
    flag = r.flag;
    status = 0;
}

void lane_dir_release()
{
    int status = 0;
    if (records() != nullptr) MM_CLOSE(lane_dir_list.handle, status);
    lane_dir_module_reset();
}

void lane_dir_module_reset() { lane_dir_list = lane_dir_list_block{}; }
