// The depth bound of the conical kernel's answer (see the header). The kernel measures each
// triangle point against one element, in that element's own way: the cylinder horizontally (its
// radius less the point's plan distance h), the bottom vertically (the point's height z), the cone
// along its normal ((z - apex) sin a - h cos a), a tube (corner or rim) as its radius less the
// distance from its circle, which is never below h less the circle's radius. Each measure grows
// with z and shrinks with h, so a triangle is bounded by the measures of the elements that can
// take one of its points, each at the highest height that element takes and the corners' top, and
// at the box's plan distance.
#include "cutter/taper_depth_bound.hpp"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

enum bound_kind { kNoBound, kUntapered, kFlatBottom, kShortTaper };

// Slack of the height bounds of the kernel's element zones (its zero is 1e-10), relative to the
// position.
constexpr double kZoneSlack = 1.0e-9;

bound_kind kind_of(const cone_cutter_model& m)
{
    if (m.cutter_class == kConeFlat || m.cutter_class == kConeBullNose) return kUntapered;
    if (m.cutter_class != kConeTapered) return kNoBound;
    if (m.taper_class == kTaperFlatBottom) return kFlatBottom;
    return m.taper_class == kTaperShort ? kShortTaper : kNoBound;
}

// A zone test takes a point whose squared plan distance exceeds the zone cone's squared radius by
// up to the kernel's zero, so the point may lie this much farther out than the cone (ratio: the
// cone's radius per unit of height); as a height below the apex, that much over the ratio.
double zone_height_slack(double ratio) { return std::sqrt(kConeZero) / ratio + kZoneSlack; }

}  // namespace

// A flat end or bull-nose: the bottom vertically and, above the corner centre, only under the 45
// degree line from the corner to the axis; the cylinder horizontally; the corner no deeper than
// its tube. A point is thus never deeper than the cylinder's radius less its plan distance from
// the axis, nor than the tube; a steep wall near the cutter's rim rises high but barely enters.
//
// A tapered cutter with a flat bottom (sub-class 5): the bottom vertically and only up to the
// higher of the corner centre and the corner bisector, the flank along its normal and only below
// the cone-to-cylinder bisector, the corner and the rim no deeper than their tubes, and the
// cylinder, horizontally, only from the taper top (or that bisector) up, or where a face passes
// through the corner bisector on the axis. On a steep mesh most triangles in reach rise high
// above the tip but stay below the taper top, and this bounds them far more closely than their
// height does.
//
// A short taper (sub-class 6), whose corner bisector and cone-to-cylinder bisector cross at height
// hx before the axis, a 45 degree line going on from the crossing to the axis at h4:
// - The cylinder. The face stage takes it on the plane's point over h4 on the axis, or where the
//   plane crosses the 45 degree line between the crossing and the axis (its points below the
//   crossing lie off the line's side the plane is on), the edges and vertices from the crossing
//   height or the taper top up. A triangle lower than both never meets it.
// - The bottom. The edges take it where they cross the corner bisector's cone below hx and on the
//   corner circle, a vertex inside the bottom's zones or when no other element's zone holds it.
//   From the taper top up a vertex outside the cylinder's zone lies inside the 45 degree cone
//   (z <= h4 - h) or inside the cone-to-cylinder bisector's (z <= h0 - h / its ratio). So a
//   bottom point lies no higher than the taper top and hx, those two cones, or, within the
//   corner circle, the corner centre.
// - The cone. The face stage takes it on the segment from the crossing to the corner or rim
//   circle, the edges and vertices inside its zone, below the cone-to-cylinder bisector's apex h0,
//   or at the corner bisector's crossings below hx.
// - The corner and the rim: their tubes, the corner's less how far the point lies beyond the
//   corner circle.
// On a steep mesh this keeps the triangles that rise high beside the rim from counting as deep
// as their height: the cylinder and the cone bound them by their plan distance, and a bottom
// point among them by the two cones.
taper_depth_bound::taper_depth_bound(const cone_cutter_model& m) : model_(m), kind_(kind_of(m))
{
    switch (kind_) {
    case kUntapered: floor_ = std::max(m.torus_tube, m.bottom_offset); break;
    case kFlatBottom:
        floor_ = std::max(m.torus_tube, m.rim_tube);
        bottom_top_ = std::max(m.rc, m.h2) + kZoneSlack;
        cone_top_ = std::max(m.h0, m.h2) + kZoneSlack;
        cylinder_from_ = std::min(m.top, m.h0) - kZoneSlack;
        cylinder_on_axis_from_ = m.h2 - kZoneSlack;
        break;
    case kShortTaper:
        floor_ = m.rim_tube;
        bottom_floor_ = std::max(m.top, m.hx) + kZoneSlack;
        apex_slack_[0] = zone_height_slack(m.zone_ratio[4]);
        apex_slack_[1] = zone_height_slack(m.zone_ratio[0]);
        cone_top_ = std::max({m.hx, m.top, m.rc, m.h0}) + kZoneSlack;
        cylinder_from_ = std::min(m.top, m.hx) - kZoneSlack;
        break;
    default: floor_ = std::numeric_limits<double>::infinity(); break;
    }
}

double taper_depth_bound::at(double top, double near) const
{
    switch (kind_) {
    case kUntapered: return untapered(near);
    case kFlatBottom: return flat_bottom(top, near);
    case kShortTaper: return short_taper(top, near);
    default: return std::numeric_limits<double>::infinity();
    }
}

double taper_depth_bound::untapered(double near) const { return std::max(model_.cylinder_radius - near, floor_); }

double taper_depth_bound::flat_bottom(double top, double near) const
{
    const cone_cutter_model& m = model_;
    double depth = std::max({std::min(top, bottom_top_), cone(top, near), tubes(near)});
    if (top >= cylinder_from_ || (near == 0.0 && top >= cylinder_on_axis_from_))
        depth = std::max(depth, m.cylinder_radius - near);
    return depth;
}

double taper_depth_bound::short_taper(double top, double near) const
{
    const cone_cutter_model& m = model_;
    double bottom = std::max({bottom_floor_, m.h4 - near / m.zone_ratio[4] + apex_slack_[0],
                              m.h0 - near / m.zone_ratio[0] + apex_slack_[1]});
    if (near <= std::fabs(m.c18) + std::sqrt(kConeZero)) bottom = std::max(bottom, m.rc + kZoneSlack);
    double depth = std::max({std::min(top, bottom), cone(top, near), tubes(near)});
    if (top >= cylinder_from_) depth = std::max(depth, m.cylinder_radius - near);
    return depth;
}

double taper_depth_bound::tubes(double near) const
{
    const cone_cutter_model& m = model_;
    return std::max(m.torus_tube - std::max(0.0, near - std::fabs(m.c18)), m.rim_tube);
}

double taper_depth_bound::cone(double top, double near) const
{
    const cone_cutter_model& m = model_;
    return (std::min(top, cone_top_) - m.cone_apex) * m.sin_a - near * m.cos_a;
}

double plan_distance_to_triangle(const double* triangle, double x, double y)
{
    bool left = false, right = false;
    double nearest = std::numeric_limits<double>::infinity();
    for (int k = 0; k < 3; ++k) {
        const double* a = triangle + 3 * k;
        const double* b = triangle + 3 * ((k + 1) % 3);
        const double ex = b[0] - a[0], ey = b[1] - a[1], px = x - a[0], py = y - a[1];
        const double cross = ex * py - ey * px;
        left = left || cross > 0.0;
        right = right || cross < 0.0;
        const double squared = ex * ex + ey * ey;
        const double along = squared > 0.0 ? std::clamp((px * ex + py * ey) / squared, 0.0, 1.0) : 0.0;
        const double dx = px - along * ex, dy = py - along * ey;
        nearest = std::min(nearest, dx * dx + dy * dy);
    }
    return left && right ? std::sqrt(nearest) : 0.0;
}
