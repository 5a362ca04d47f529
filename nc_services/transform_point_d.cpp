// Mapping between world and the current work plane in double precision. The host's world-to-model
// mapping is a shift by the work plane's origin; its single-precision image of the world origin
// gives that shift, which is then applied in double precision to a point or to the points of a
// line or polyline entity.
#include "nc_services/transform_point_d.hpp"

#include "host/vantu.hpp"

#include <vector>

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;

// World to work plane adds the shift, work plane to world takes it away.
void map_points(int direction, double* xyz, int count)
{
    const float world_origin[3] = {0.0f, 0.0f, 0.0f};
    float shift[3];
    mapw2m(world_origin, shift);
    const double sign = direction == kWorldToWorkPlane ? 1.0 : -1.0;
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) xyz[3 * i + k] += sign * shift[k];
}

// Reads the entity's points, maps them and writes them back; the caller's open entity and its
// cursor are kept.
void map_curve(int direction, int entity, int& status)
{
    int kept = 0, position = 0;
    eopen_block_get(kept, position);
    int entity_class = 0, type = 0, count = 0, skip = 0;
    eopen(entity, entity_class, type, status);
    if (status == 0 && entity_class == kCurveClass && type == kLineType) {
        count = 2;
    } else if (status == 0 && entity_class == kCurveClass && type == kPolylineType) {
        egeti(1, &count, status);
        skip = 1;
        if (status == 0 && (count < kPolylineMinPoints || count > kPolylineMaxPoints)) status = kFailed;
    } else {
        status = kFailed;
    }
    std::vector<double> xyz(3 * static_cast<std::size_t>(count));
    if (status == 0) egetd(3 * count, xyz.data(), status);
    if (status == 0) {
        map_points(direction, xyz.data(), count);
        eopen(entity, entity_class, type, status);
        if (status == 0 && skip > 0) eskipi(skip, status);
        if (status == 0) eputd(3 * count, xyz.data(), status);
    }
    if (status != 0) status = kFailed;
    int ignored = 0;
    eclose(ignored);
    eopen_block_set(kept, position, ignored);
}

}  // namespace

void transform_point_d(int direction, int mode, int entity, double* point, int& status)
{
    status = kGoOn;
    if (direction != kWorldToWorkPlane && direction != kWorkPlaneToWorld) {
        status = kFailed;
    } else if (mode == kTransformPoint) {
        if (point == nullptr)
            status = kFailed;
        else
            map_points(direction, point, 1);
    } else if (mode == kTransformCurve) {
        map_curve(direction, entity, status);
    } else {
        status = kFailed;
    }
}
