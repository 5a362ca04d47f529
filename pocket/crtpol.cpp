// Polygons of stored contours into a region (crtpol): each chain record of the contour list
// becomes one polygon of a plane region. The region finding of the wire pocket and the contour
// selection call it.
#include "pocket/reg_region.hpp"

#include "host/vantu.hpp"

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kNothingToDo = 1;
constexpr int kPlanePointBytes = 8;
// First room of the work array in points; it doubles once when a contour needs more.
constexpr int kFirstRoom = 4500;

struct work_array {
    int handle = -1;
    int room = 0;  // points
};

// Asks the host for the polygon of one record, doubling the work array once when the room is
// not enough (the host answers -2) or the record gives no polygon (0). Answers the point count,
// 0 when no polygon could be had.
int contour_polygon(const int* entry, float tolerance, work_array& work)
{
    int count = 0;
    for (int attempt = 0; attempt < 2; ++attempt) {
        dfcpol(entry, 1, tolerance, work.room, static_cast<float*>(mmcptr(work.handle)), count);
        if (count > 0 || attempt == 1) break;
        void* base = nullptr;
        int status = 0;
        MM_RESIZE_ARRAY(work.handle, work.room, base, status);
        if (status < 0) return 0;
        work.room *= 2;
    }
    return count > 0 ? count : 0;
}

int add_polygons(float tolerance, int count, const int* contours, reg_region* region, work_array& work)
{
    const int* entry = contours;
    for (int k = 1; k <= count; ++k) {
        int n = contour_polygon(entry, tolerance, work);
        if (n < 1) {
            eroutc("crtpol,Unable to create the polygon", 0);
            return kFailed;
        }
        const float* points = static_cast<const float*>(mmcptr(work.handle));
        if (n > 1 && eqpt2(points, points + 2L * (n - 1))) --n;
        int status = kGoOn;
        reg_add_poly(kRegionPlane, points, n, region->polygon_count, region, status);
        if (status != 0) return status;
        int length = 0;
        dfcgld(entry, length, status);
        if (status != 0 || length < 1) return kFailed;
        entry += kChainEntryWords * length;
    }
    return kGoOn;
}

}  // namespace

void crtpol(float tolerance, int count, const int* contours, reg_region* region, int& status)
{
    status = kGoOn;
    if (count < 1) {
        status = kNothingToDo;
        return;
    }
    if (region == nullptr || contours == nullptr) {
        status = kFailed;
        return;
    }
    work_array work;
    void* base = nullptr;
    MM_OPEN_ARRAY(kPlanePointBytes, kFirstRoom, work.handle, base, status);
    if (status != 0) {
        eroutc("crtpol,Unable to create the polygon", 0);
        status = kFailed;
        return;
    }
    work.room = kFirstRoom;
    status = add_polygons(tolerance, count, contours, region, work);
    int closed = 0;
    MM_CLOSE(work.handle, closed);
    if (closed != 0) {
        eroutc("crtpol,Close dynamic memory error", 0);
        if (status == kGoOn) status = kFailed;
    }
}
