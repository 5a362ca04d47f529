// Conversion of one contour curve into entries of the contour point array: a straight line gives
// its end point, an arc in the pocket plane gives exact arc records (pieces below half a turn),
// anything else a polyline within the tolerance. The curve's start point was stored by the
// curve before it.
#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <cmath>
#include <vector>

namespace {

// First room for the points of one curve; a curve that needs more gets the room it needs.
constexpr int kCurvePointsFirst = 7000;

// The arc as the host entity stores it: centre, normal, radius (angles are not needed here).
struct arc_data {
    double centre[3];
    double normal[3];
    double radius;
};

bool read_arc(int entity, arc_data& arc)
{
    int entity_class = 0, entity_type = 0, status = 0;
    eopen(entity, entity_class, entity_type, status);
    if (status != 0 || entity_class != kCurveClass || entity_type != kArcType) return false;
    double words[7];
    egetd(7, words, status);
    int ignored = 0;
    eclose(ignored);
    if (status != 0) return false;
    for (int k = 0; k < 3; ++k) {
        arc.centre[k] = words[k];
        arc.normal[k] = words[3 + k];
    }
    arc.radius = words[6];
    return arc.radius > 0.0;
}

// An arc lies in a plane parallel to the pocket plane when its normal is along z.
bool parallel_to_pocket(const arc_data& arc)
{
    const double length = std::hypot(arc.normal[0], arc.normal[1], arc.normal[2]);
    return length > 0.0 && std::fabs(std::fabs(arc.normal[2]) / length - 1.0) < vantu::kDoubleTolerance;
}

int curve_attribute(int entity, const char* key)
{
    int value = 0, status = 0;
    eattc(entity, 1, key, value, status);
    return status < 0 ? -1 : value;
}

// Writes one arc record ending at `end` (the start is the entry before it).
void arc_record(const arc_data& arc, double direction, const double* end, int& index, int& status)
{
    POKCAR(arc.radius, direction, index, status);
    POKCPT(arc.centre, index, status);
    POKCPT(end, index, status);
}

}  // namespace

int pkcnv_open_entity(int entity, double side_step)
{
    arc_data arc;
    if (!read_arc(entity, arc)) return 1;
    return side_step > 0.0 && arc.radius / side_step >= 1000.0 ? 0 : 1;
}

void curve_polyline(int entity, double t0, double t1, double tolerance, int dimension, std::vector<double>& points,
                    int& count, int& status)
{
    if (points.size() < static_cast<std::size_t>(kCurvePointsFirst) * dimension)
        points.resize(static_cast<std::size_t>(kCurvePointsFirst) * dimension);
    const int room = static_cast<int>(points.size() / dimension);
    crvpld2(entity, t0, t1, tolerance, dimension, room, points.data(), count, status);
    // The host answers how many points the curve needs; one retry with that room. A spline past
    // the host's own most points answers one more than it and stays refused.
    if (status == kEntityShort && count > room && count <= kSplineMostPoints) {
        points.resize(static_cast<std::size_t>(count) * dimension);
        crvpld2(entity, t0, t1, tolerance, dimension, count, points.data(), count, status);
    }
    if (status != 0 || count < 0 || static_cast<std::size_t>(count) * dimension > points.size()) status = -1;
}

void pkcnv_polyline(int entity, const double* data, double tolerance, int& index, int& status)
{
    const int dimension = pocket_state_block.pocket_dimension == 2 ? 2 : 3;
    std::vector<double> points;
    int count = 0;
    curve_polyline(entity, data[0], data[1], tolerance, dimension, points, count, status);
    if (status != 0) return;
    for (int i = 1; i < count && status == 0; ++i) {
        const double point[3] = {points[i * dimension], points[i * dimension + 1],
                                 dimension == 3 ? points[i * dimension + 2] : 0.0};
        POKCPT(point, index, status);
    }
}

void pkcnv_arc(int entity, const double* data, double /*tolerance*/, int& index, int& status)
{
    arc_data arc;
    if (!read_arc(entity, arc) || index < 2) {
        status = -1;
        return;
    }
    const double* origin = pokmain_block.origin;
    double start[3] = {0.0, 0.0, arc.centre[2]};
    pokmain_get_cpt(index - 2, start[0], start[1]);
    start[0] += origin[0];
    start[1] += origin[1];
    double end[3];
    evcrvd(entity, data[1], end, nullptr, status);
    if (status != 0) return;
    const double direction = ((arc.normal[2] < 0.0) != (data[2] < 0.0)) ? -1.0 : 1.0;

    double a[2] = {start[0] - arc.centre[0], start[1] - arc.centre[1]};
    double b[2] = {end[0] - arc.centre[0], end[1] - arc.centre[1]};
    const double la = std::hypot(a[0], a[1]), lb = std::hypot(b[0], b[1]);
    const double cross = la > 0.0 && lb > 0.0 ? (a[0] * b[1] - a[1] * b[0]) / (la * lb) : 0.0;
    if (cross * direction > vantu::kDoubleTolerance) {
        arc_record(arc, direction, end, index, status);
        return;
    }
    // Half a turn or more: three pieces of a third of the parameter range each.
    const double step = (data[1] - data[0]) / 3.0;
    for (int piece = 1; piece <= 2 && status == 0; ++piece) {
        double middle[3];
        evcrvd(entity, data[0] + piece * step, middle, nullptr, status);
        if (status != 0) return;
        arc_record(arc, direction, middle, index, status);
    }
    if (status == 0) arc_record(arc, direction, end, index, status);
}

void PKCNV2(const double* data, int entity, double tolerance, double side_step, int& index, int& status)
{
    status = 0;
    const int entity_class = curve_attribute(entity, "CL");
    const int entity_type = curve_attribute(entity, "TY");
    if (entity_class == kCurveClass && entity_type == kLineType) {
        double end[3];
        evcrvd(entity, data[1], end, nullptr, status);
        if (status == 0) POKCPT(end, index, status);
        return;
    }
    arc_data arc;
    const bool exact_arc = entity_class == kCurveClass && entity_type == kArcType && read_arc(entity, arc) &&
                           parallel_to_pocket(arc) && pkcnv_open_entity(entity, side_step) == 1;
    if (exact_arc) {
        pkcnv_arc(entity, data, tolerance, index, status);
    } else {
        pkcnv_polyline(entity, data, tolerance, index, status);
    }
    if (status != 0) {
        eroutc("PKCNV2,  TOO MANY POINTS IN CONTOURS", 0);
        status = -1;
    }
}
