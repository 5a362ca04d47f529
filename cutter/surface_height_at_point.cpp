// surface_height_at_point (see the header): the drop of the cutter grown by the part surfaces'
// stock, or the height function a test installed.
#include "cutter/surface_height_at_point.hpp"

#include "cutter/stock_cutter.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kNoEntity = 0;

void answer_height(const float* point, float z, float* normal, float* contact, float& height)
{
    height = z;
    normal[0] = normal[1] = 0.0f;
    normal[2] = 1.0f;
    contact[0] = point[0];
    contact[1] = point[1];
    contact[2] = z;
}

}  // namespace

surface_height_function& surface_height_seam()
{
    static surface_height_function f = nullptr;
    return f;
}

void surface_height_at_point(int /*mode*/, const float* point, float /*tolerance*/, float stock, float /*check_stock*/,
                             float* normal, float* contact, float& height, int& entity, int& status)
{
    entity = kNoEntity;
    if (const surface_height_function seam = surface_height_seam()) {
        answer_height(point, seam(point[0], point[1]), normal, contact, height);
        status = kHeightFound;
        return;
    }
    float tip[3];
    int dropped = 0;
    stock_drop("surface_height_at_point", point, stock, tip, normal, contact, dropped);
    if (dropped == kStockFound) {
        height = tip[2];
        status = kHeightFound;
        return;
    }
    answer_height(point, kNoSurfaceHeight, normal, contact, height);
    status = dropped == kStockFailed ? kFailed : kHeightNone;
}
