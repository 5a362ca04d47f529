// The point output of the region hatching and of the walk round a polygon.
#include "pocket_lanes/moves/point_output.hpp"

#include "host/vantu.hpp"

namespace {
constexpr int kGrowthUnit = 1000;
constexpr int kDoubleBytes = 8;
}  // namespace

void xy_output_open(xy_output& output, int items, int& status)
{
    status = 0;
    if (output.handle >= 0 && mmcptr(output.handle) != nullptr) return;
    void* base = nullptr;
    MM_OPEN_ARRAY(kDoubleBytes, items, output.handle, base, status);
    if (status != 0) {
        output.handle = -1;
        return;
    }
    output.capacity = items;
}

void xy_output_reserve(xy_output& output, int items, int& status)
{
    status = 0;
    const int missing = output.used + items - output.capacity;
    if (missing <= 0) return;
    const int grow = (missing + kGrowthUnit - 1) / kGrowthUnit * kGrowthUnit;
    void* base = nullptr;
    MM_RESIZE_ARRAY(output.handle, grow, base, status);
    if (status == 0) output.capacity += grow;
}

void xy_output_add(xy_output& output, int offset, double x, double y, int& status)
{
    xy_output_reserve(output, 2 * offset + 2, status);
    if (status != 0) return;
    double* data = xy_output_data(output);
    data[output.used + 2 * offset] = x;
    data[output.used + 2 * offset + 1] = y;
}

double* xy_output_data(const xy_output& output)
{
    return output.handle < 0 ? nullptr : static_cast<double*>(mmcptr(output.handle));
}

void xy_output_close(xy_output& output, int& status)
{
    status = 0;
    if (output.handle < 0) return;
    MM_CLOSE(output.handle, status);
    output.handle = -1;
    output.capacity = output.used = 0;
}
