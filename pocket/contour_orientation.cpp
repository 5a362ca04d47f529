// Orientation of the pocket's contours: each contour's record of the contour wire buffer becomes
// a polygon of the current polygon buffer, whose orientation decides the sign of its value (a
// clockwise contour's value is negated), and the signed offsets made from those values. The
// parameter reader calls contour_offsets_signed when an older procedure block is read, before any
// region is prepared.
#include "pocket/contour_orientation.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/polbuf.hpp"
#include "pocket_arrays/pocket_prepare.hpp"

#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kCounterClockwise = 1, kUndecided = -1;
constexpr int kFirstPoint = 2;
// The polygon of a record follows its curves to within this value.
constexpr float kPolygonValue = 1.0f;

// Orientation of polygon k of the current buffer, kUndecided when it has no points.
int polygon_orientation(int k, int& status)
{
    int count = 0;
    word* points = polbuf_get_ptr(kFirstPoint, k, status);
    if (status == kGoOn) polbuf_get_np(k, count, status);
    if (status != kGoOn || points == nullptr || count < 1) return kUndecided;
    std::vector<float> xy(2 * static_cast<std::size_t>(count));
    for (std::size_t i = 0; i < xy.size(); ++i) xy[i] = word_to_real(points[i]);
    int direction = kUndecided;
    polccw(count, xy.data(), direction);
    return direction;
}

}  // namespace

void orient_contours(int count, float* values, int* orientation, int& status)
{
    status = kGoOn;
    if (count < 1 || count > kMaxContours || values == nullptr || orientation == nullptr) {
        status = kFailed;
        return;
    }
    int entry = 1;
    for (int k = 1; k <= count; ++k) {
        const int* record = buffer_entry(contour_buffers_block.wire, entry);
        const int length = record_length(record);
        if (length < 1) {
            status = kFailed;
            return;
        }
        polbuf_from_curve(k, record, kPolygonValue, status);
        if (status != kGoOn) return;
        const int direction = polygon_orientation(k, status);
        if (status != kGoOn) return;
        if (direction == kUndecided) {
            status = kFailed;
            return;
        }
        orientation[k - 1] = direction == kCounterClockwise ? 1 : -1;
        if (direction != kCounterClockwise) values[k - 1] = -values[k - 1];
        entry += length;
    }
}

void contour_offsets_signed(int count, int* orientation, int outer, float* values, float common, int& status)
{
    status = 0;
    if (count < 1 || count > kContourMax || orientation == nullptr || values == nullptr) {
        status = -1;
        return;
    }
    // orient_contours has already negated a clockwise contour's value; the sign is applied once.
    orient_contours(count, values, orientation, status);
    if (status != 0) return;
    for (int k = 1; k <= count; ++k) {
        float& v = values[k - 1];
        v = (k == outer ? v : -v) - common;
    }
}
