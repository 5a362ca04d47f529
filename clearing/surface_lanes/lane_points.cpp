// The host array of lane points (see the header).
#include "clearing/surface_lanes/lane_points.hpp"

#include "host/vantu_memory.hpp"

#include <algorithm>

int lane_points_capacity(int handle) { return handle < 0 ? 0 : std::max(0, MM_CUR_N_ENTRIES(handle)); }

void lane_points_fit(int handle, int needed, int least, int& status)
{
    status = 0;
    const int held = lane_points_capacity(handle);
    if (needed <= held) return;
    void* base = nullptr;
    MM_RESIZE_ARRAY(handle, std::max(needed - held, least), base, status);
}

lane_point_array::~lane_point_array()
{
    int status = 0;
    if (handle_ >= 0) MM_CLOSE(handle_, status);
}

void lane_point_array::open(int records, int& status)
{
    void* base = nullptr;
    MM_OPEN_ARRAY(static_cast<int>(sizeof(lane_pnt)), records, handle_, base, status);
    if (status != 0) handle_ = -1;
}

void lane_point_array::reserve(int used, int records, int least, int& status)
{
    lane_points_fit(handle_, used + records, least, status);
}

lane_pnt* lane_point_array::base() const { return handle_ < 0 ? nullptr : static_cast<lane_pnt*>(mmcptr(handle_)); }

int lane_point_array::capacity() const { return lane_points_capacity(handle_); }
