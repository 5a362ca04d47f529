// The hit tests of the contour dialogs: whether a contour reaches into a dragged box (its curves
// sampled at their ends and 19 inner points) and whether a picked point lies on one of its
// curves (projection onto each curve, across the seam of a full circle).
#include "pocket/contour_selection.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr int kHit = 0, kMiss = -1;
constexpr int kBoxSteps = 20;
constexpr double kFullTurn = 2.0 * std::numbers::pi;

// A single full circle: an arc entity whose parameter span is a whole turn.
bool full_circle(int entity, double t0, double t1)
{
    int entity_class = -1, type = -1, status = 0;
    egclty(entity, entity_class, type, status);
    return status == 0 && entity_class == kCurveClass && type == kArcType &&
           std::fabs(std::fabs(t1 - t0) - kFullTurn) <= vantu::kDoubleTolerance;
}

}  // namespace

void curve_point_in_box(const float* box, int entity, double parameter, int& status)
{
    double p[3];
    evcrvd(entity, parameter, p, nullptr, status);
    if (status != 0) return;
    status = box[0] <= p[0] && p[0] <= box[2] && box[1] <= p[1] && p[1] <= box[3] ? kHit : kMiss;
}

void curve_in_box(const float* box, int entity, const double* data, int steps, int& status)
{
    double t0 = 0.0, t1 = 0.0;
    curve_limits(entity, t0, t1, status);
    if (status != 0) return;
    if (data != nullptr) {
        t0 = data[0];
        t1 = data[1];
    }
    curve_point_in_box(box, entity, t0, status);
    if (status == kMiss) curve_point_in_box(box, entity, t1, status);
    for (int i = 1; status == kMiss && i < steps; ++i)
        curve_point_in_box(box, entity, t0 + (t1 - t0) * i / steps, status);
}

void contour_check_rotated(const int* record, int curves, const float* box, int& status)
{
    status = kMiss;
    for (int k = 1; k <= curves && status == kMiss; ++k) {
        int entity = 0, read = 0;
        double data[3];
        dfdget(record, k, entity, data, read);
        if (read != 0) return;
        curve_in_box(box, entity, data, kBoxSteps, status);
        if (status != kHit && status != kMiss) return;
    }
}

void contour_curve_params(const int* record, int curves, const float* point, double& parameter, int& status)
{
    status = kMiss;
    for (int k = 1; k <= curves; ++k) {
        int entity = 0, read = 0;
        double data[3];
        dfdget(record, k, entity, data, read);
        if (read != 0) return;
        double t = 0.0;
        crvprw(entity, point, t, status);
        if (status != 0) return;
        const double low = std::min(data[0], data[1]), high = std::max(data[0], data[1]);
        // The projection answers within one turn from 0; a circle whose range starts elsewhere
        // takes the parameter across its seam.
        if (curves == 1 && full_circle(entity, data[0], data[1]) && t < low - vantu::kDoubleTolerance) t += kFullTurn;
        status = kMiss;
        if (t < low - vantu::kDoubleTolerance || t > high + vantu::kDoubleTolerance) continue;
        double on[3];
        int evaluated = 0;
        evcrvd(entity, std::clamp(t, low, high), on, nullptr, evaluated);
        const float found[3] = {static_cast<float>(on[0]), static_cast<float>(on[1]), static_cast<float>(on[2])};
        if (evaluated == 0 && eqpt3(found, point)) {
            parameter = t;
            status = kHit;
            return;
        }
    }
}

int contour_work_copy(int k)
{
    if (wire_record(k) == nullptr) return 0;
    int records = 1, length = 0;
    const int status = with_room(1, [&](int room) {
        const int* record = wire_record(k);
        int* work = contour_buffers_block.work.data();
        int copied = -1, second = 0;
        if (record[0] == kFaceRecord) {
            plfbuf(record[1], room, work, records, length, copied);
        } else if (record[0] == kLoopRecord) {
            ncs_explode_loop_to_wfbuf(record, room, work, length, second, copied);
        } else {
            length = record_length(record);
            copied = length > 0 ? 0 : -1;
            std::copy(record, record + kChainEntryWords * length, work);
        }
        return copied;
    });
    return status == 0 ? records : 0;
}

namespace {

// Runs the test on each record of contour k's copy until one hits.
template <class Test> bool any_record_hits(int k, Test test)
{
    const int records = contour_work_copy(k);
    const int* record = contour_buffers_block.work.data();
    for (int r = 0; r < records; ++r) {
        int curves = 0, status = 0;
        dfdgnc(record, curves, status);
        if (status == 0 && test(record, curves)) return true;
        record += kChainEntryWords * record_length(record);
    }
    return false;
}

}  // namespace

bool contour_hit_by_point(int k, const float* point)
{
    return any_record_hits(k, [point](const int* record, int curves) {
        double parameter = 0.0;
        int status = 0;
        contour_curve_params(record, curves, point, parameter, status);
        return status == kHit;
    });
}

bool contour_hit_by_box(int k, const float* box)
{
    return any_record_hits(k, [box](const int* record, int curves) {
        int status = 0;
        contour_check_rotated(record, curves, box, status);
        return status == kHit;
    });
}
