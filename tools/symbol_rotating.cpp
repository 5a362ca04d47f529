// Default symbols of the rotating tools, drawn about the tool axis +Z with the tip at the origin:
// drill, mill with its holder set, and the lathe drill in the XY plane with its axis along +X.
// Reads current_tool, tool_shape_records and, for a mill, holder_set and its holder entity.
#include "tools/current_tool.hpp"
#include "tools/symbol_pen.hpp"
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"

namespace {

constexpr float kAxisFraction = 0.1f;      // the axis line's solid part, of the clear length
constexpr float kNoClearLength = 0.25f;    // the axis length of a tool without clear length
constexpr float kMarkerFraction = 0.125f;  // a diameter of 0 is drawn as a cross of CLRLNG / 8
constexpr float kSmallestRing = 0.005f;    // rings of the holder are at least this wide
constexpr int kAxisFont = 3, kSymbolPen = 2, kHolderBodyColour = 2;
constexpr int kGet = 1;
// The four directions in which a tool's outline is drawn.
constexpr float kDirections[4][2] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};

sym_point at(float radius, int direction, float z)
{
    return {radius * kDirections[direction][0], radius * kDirections[direction][1], z};
}

float clear_length(float clrlng) { return eqval0(clrlng) ? kNoClearLength : clrlng; }

// The axis: a solid tenth from the tip, then the rest in the axis font.
void draw_axis(symbol_pen& pen, float length)
{
    pen.line({0, 0, 0}, {0, 0, kAxisFraction * length});
    const int upper = pen.line({0, 0, kAxisFraction * length}, {0, 0, length});
    pen.attribute(upper, upper, "LF", kAxisFont);
}

// A cross of two lines of half length r at height z.
void draw_cross(symbol_pen& pen, float r, float z)
{
    pen.line({r, 0, z}, {-r, 0, z});
    pen.line({0, r, z}, {0, -r, z});
}

int entity_colour(int id, int fallback)
{
    int colour = fallback, status = 0;
    if (id >= 1) eattc(id, kGet, "CO", colour, status);
    return id >= 1 && status == 0 ? colour : fallback;
}

// ---- mill holder -----------------------------------------------------------------------------

struct holder_part {
    float bottom = 0, top = 0, cone = 0, total = 0;  // radii and heights
};

holder_part part_of(const holder_set& set, int index)
{
    const auto i = static_cast<std::size_t>(index);
    return {set.bottom_diameter[i] / 2, set.top_diameter[i] / 2, set.cone_height[i], set.total_height[i]};
}

void ring(symbol_pen& pen, float radius, float z) { pen.circle({0, 0, z}, std::max(radius, kSmallestRing)); }

void four_lines(symbol_pen& pen, float r1, float z1, float r2, float z2)
{
    for (int d = 0; d < 4; ++d) pen.line(at(r1, d, z1), at(r2, d, z2));
}

// A cone from the bottom ring at z up one cone height, then (when the part is taller) a cylinder
// of its top radius to the part's top; z moves to the top.
void cone_and_cylinder(symbol_pen& pen, const holder_part& p, float& z)
{
    const float cone_top = z + p.cone;
    ring(pen, p.top, cone_top);
    four_lines(pen, p.top, cone_top, p.bottom, z);
    z = cone_top;
    if (eqval(p.total, p.cone)) return;
    const float top = z - p.cone + p.total;
    four_lines(pen, p.top, z, p.top, top);
    ring(pen, p.top, top);
    z = top;
}

// The shank in manual mode above the clear length; z moves to its top.
void draw_shank(symbol_pen& pen, const holder_part& shank, float& z)
{
    ring(pen, shank.bottom, z);
    if (eqval(shank.total, shank.cone) && eqval0(shank.top)) {
        z += shank.total;
        return;
    }
    cone_and_cylinder(pen, shank, z);
}

// One holder entry stacked from z; `joining` is the radius of what it stands on.
void draw_holder_entry(symbol_pen& pen, const holder_part& p, float joining, float& z)
{
    ring(pen, p.bottom, z);
    if (neval0(joining) && neval(joining, p.bottom)) four_lines(pen, p.bottom, z, joining, z);
    if (eqval0(p.cone) || eqval0(p.total)) {
        if (eqval0(p.total)) return;
        const float base = z;
        z += p.total;
        ring(pen, p.bottom, z);
        four_lines(pen, p.bottom, base, p.bottom, z);
        return;
    }
    cone_and_cylinder(pen, p, z);
}

void draw_mill_holder(symbol_pen& pen, float re, float zt, float zc, float length)
{
    const holder_set& set = tool_holders();
    int tool_class = -1, status = 0;
    tool_header header;
    read_tool_entity_header(tool_block().IDTOOL, tool_class, header, status);
    const int holder_colour = entity_colour(status == 0 ? header.holder_id : -1, tool_colours().holder);

    const int body = pen.next();
    ring(pen, re, length);
    four_lines(pen, re, eqval0(zt) ? zc : zt, re, length);
    float z = length;
    const holder_part shank = part_of(set, 0);
    if (set.shank_mode == 2) draw_shank(pen, shank, z);
    pen.attribute(body, pen.next() - 1, "CO", kHolderBodyColour);

    const int holders = pen.next();
    const int entries = std::min(set.second_mode == 1 ? set.count : set.count + 1, kHolderSlots - 1);
    for (int i = 1; i <= entries; ++i) {
        float joining = shank.top;
        if (i > 1) {
            const holder_part below = part_of(set, i - 1);
            joining = neval0(below.cone) ? below.top : below.bottom;
        }
        draw_holder_entry(pen, part_of(set, i), joining, z);
    }
    pen.attribute(holders, pen.next() - 1, "CO", holder_colour);
}

// Drill and lathe drill share their fields.
void draw_drill(symbol_pen& pen, const drill_fields& f)
{
    float r = f.DIAMTR / 2, h = 0, c = 0;
    const float length = clear_length(f.CLRLNG);
    const bool marker = eqval0(r);
    if (marker) {
        r = f.CLRLNG * kMarkerFraction;
    } else {
        const float a = radian(f.TIPANG / 2);
        if (neval0(std::sin(a)) && neval0(std::cos(a))) h = r / std::tan(a);
        if (h < f.CUTLNG) c = f.CUTLNG;
    }
    pen.circle({0, 0, h}, r);
    if (marker) draw_cross(pen, r, h);
    if (neval0(c)) pen.circle({0, 0, c}, r);
    draw_axis(pen, length);
    if (eqval0(h)) return;
    for (int d = 0; d < 4; ++d) {
        pen.line({0, 0, 0}, at(r, d, h));
        if (neval0(c)) pen.line(at(r, d, h), at(r, d, c));
    }
}

}  // namespace

void symbol_drill(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    draw_drill(pen, tool_shapes().drill);
    status = pen.status;
}

void symbol_lathe_drill(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    const drill_fields& f = tool_shapes().lathe_drill;
    const float r = f.DIAMTR / 2;
    if (neval0(r)) {
        const float a = radian(f.TIPANG / 2);
        const float h = neval0(std::sin(a)) && neval0(std::cos(a)) ? r / std::tan(a) : 0.0f;
        const sym_point tip{0, 0, 0}, upper{h, r, 0}, lower{h, -r, 0};
        pen.line(tip, upper);
        pen.line(tip, lower);
        pen.line(upper, lower);
        if (!(f.CUTLNG < h)) {
            const sym_point c{f.CUTLNG, r, 0}, d{f.CUTLNG, -r, 0};
            pen.line(c, upper);
            pen.line(lower, d);
            pen.line(c, d);
        }
    } else {
        pen.line({0, f.CLRLNG * kMarkerFraction, 0}, {0, -f.CLRLNG * kMarkerFraction, 0});
    }
    const int axis = pen.line({f.CLRLNG, 0, 0}, {0, 0, 0});
    pen.attribute(axis, axis, "LF", kAxisFont);
    status = pen.status;
}

void symbol_mill(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    const mill_fields& m = tool_shapes().mill;
    const float big_r = m.DIAMTR / 2, rc = m.CRNRRD, length = clear_length(m.CLRLNG);
    const float t = m.SPARE1;  // the taper angle, 0 for records older than the taper
    const float ta = radian(t);
    const float q = neval0(t) ? rc * (1 - std::sin(ta)) / std::cos(ta) : rc;
    const float zc = q * std::cos(ta);
    float rb = 0, rt = 0, zt = 0;
    if (neval0(big_r)) {
        rb = big_r - q;
        rt = q * std::sin(ta) + big_r;
        zt = zc < m.CUTLNG ? m.CUTLNG : 0.0f;
    } else {
        rt = eqval0(t) ? m.CLRLNG * kMarkerFraction : 0.0f;
        zt = neval0(t) && m.CUTLNG > zc ? m.CUTLNG : 0.0f;
    }
    const float re = m.CUTLNG * std::tan(ta) + big_r;
    const int colour = entity_colour(tool_block().IDTOOL, tool_colours().tool);

    const int first = pen.next();
    if (neval0(rb) && neval0(rc)) pen.circle({0, 0, 0}, rb);
    if (neval0(rt)) pen.circle({0, 0, zc}, rt);
    if (eqval0(big_r) && neval0(rt)) draw_cross(pen, rt, zc);
    if (neval0(zt)) pen.circle({0, 0, zt}, re);
    draw_axis(pen, length);
    for (int d = 0; d < 4 && pen.status == 0; ++d) {
        if (neval0(zt)) pen.line(at(rt, d, zc), at(re, d, zt));
        if (eqval0(rc)) continue;
        // The corner arc lies in the vertical plane of the direction: a system with its origin on
        // the axis at the corner's height, X along the direction and Y pointing down.
        const float origin[3] = {0, 0, rc};
        const sym_point toward = at(rc * std::tan(ta) + big_r, d, rc);
        const float x_point[3] = {toward[0], toward[1], toward[2]}, below[3] = {0, 0, rc - 1};
        int ucs = -1, view = -1;
        xsys4(origin, x_point, below, ucs, pen.status);
        if (pen.status == 0) pen.keep(ucs);  // a slave of the master: it goes with the symbol
        if (pen.status == 0) trchk(ucs, view, pen.status);
        if (pen.status != 0) {
            pen.status = -5;
            break;
        }
        // The centre rb along the direction at the corner's height is (rb, 0, 0) in that system.
        const int arc = pen.arc({rb, 0, 0}, rc, t, 90 - t);
        pen.attribute(arc, arc, "RP", view);
    }
    pen.attribute(first, pen.next() - 1, "CO", colour);
    pen.attribute(first, pen.next() - 1, "PE", kSymbolPen);
    if (pen.status == 0 && tool_block().holder_mode == 2) draw_mill_holder(pen, re, zt, zc, length);
    status = pen.status;
}
