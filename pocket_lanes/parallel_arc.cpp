// The centre of an arc parallel to the working plane (see the header).
#include "pocket_lanes/parallel_arc.hpp"

#include "host/vantu.hpp"
#include "nc_services/rec8.hpp"

#include <cmath>

namespace {

constexpr int kGet = 1;
constexpr int kArcDoubles = 6;  // centre, normal

// p in the coordinate system: origin + p.x X + p.y Y + p.z Z (the matrix rows are the axes); the
// origin left out for a direction.
void to_world(const ucs_record& ucs, const double* p, bool point, float* out)
{
    for (int k = 0; k < 3; ++k) {
        double v = point ? ucs.origin[static_cast<std::size_t>(k)] : 0.0;
        for (int r = 0; r < 3; ++r) v += p[r] * ucs.matrix[static_cast<std::size_t>(3 * r + k)];
        out[k] = static_cast<float>(v);
    }
}

}  // namespace

int PRLLIF(int entity, float* centre, int& status)
{
    status = 0;
    int entity_class = -1, type = -1;
    eopen(entity, entity_class, type, status);
    if (status != 0) {
        eroutc("PRLLIF - can not open entity", 0);
        status = -1;
        return 0;
    }
    if (entity_class != kCurveClass || type != kArcType) return 0;
    double arc[kArcDoubles];
    int read = 0;
    egetd(kArcDoubles, arc, read);
    if (read != 0) return 0;
    int frame = 0, attribute = 0;
    eattc(entity, kGet, "RP", frame, attribute);
    float world_centre[3], axis[3];
    ucs_record ucs;
    int placed = -1;
    if (attribute == 0 && frame > 0) rec8_get_put(kGet, frame, ucs, placed);
    if (placed == 0) {
        to_world(ucs, arc, true, world_centre);
        to_world(ucs, arc + 3, false, axis);
    } else {
        for (int k = 0; k < 3; ++k) {
            world_centre[k] = static_cast<float>(arc[k]);
            axis[k] = static_cast<float>(arc[3 + k]);
        }
    }
    // The working plane's axis: the model's z direction mapped into the world.
    const float origin_model[3] = {0.0f, 0.0f, 0.0f}, z_model[3] = {0.0f, 0.0f, 1.0f};
    float origin_world[3], z_world[3], current[3], cross[3];
    mapm2w(origin_model, origin_world);
    mapm2w(z_model, z_world);
    for (int k = 0; k < 3; ++k) current[k] = z_world[k] - origin_world[k];
    v3cros(axis, current, cross);
    if (eqval0(std::sqrt(cross[0] * cross[0] + cross[1] * cross[1] + cross[2] * cross[2])) == 0) return 0;
    for (int k = 0; k < 3; ++k) centre[k] = world_centre[k];
    return 1;
}
