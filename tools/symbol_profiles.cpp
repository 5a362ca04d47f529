// Default symbols of the profile tools, drawn in the XY plane: lathe insert and holder, punch,
// thread and groove tools; and the wire of the wire-EDM tools on the Z axis.
// Reads current_tool and tool_shape_records.
#include "tools/current_tool.hpp"
#include "tools/symbol_pen.hpp"

#include "host/vantu.hpp"

namespace {

constexpr int kMarkPen = 3;
constexpr float kRoundPunchSweep = 359.99f;  // a round punch is drawn as an open circle
constexpr float kPunchAxis = 10.0f;

sym_point xy(float x, float y) { return {x, y, 0.0f}; }
sym_point direction(float degrees) { return xy(std::cos(radian(degrees)), std::sin(radian(degrees))); }
bool within(float value, float low, float high) { return value >= low && value <= high; }

// The parameter half way along a curve.
float middle_parameter(int curve)
{
    double start = 0.0, end = 0.0;
    int status = 0;
    curve_limits(curve, start, end, status);
    return static_cast<float>(start + (end - start) / 2);
}

// The fillet of the radius between the curves in two slots: its centre and the touch points.
bool fillet(symbol_pen& pen, int slot1, int slot2, float radius, sym_point& centre, sym_point& touch1,
            sym_point& touch2)
{
    if (pen.status != 0) return false;
    const int c1 = pen.list.slot(slot1), c2 = pen.list.slot(slot2);
    float t1 = middle_parameter(c1), t2 = middle_parameter(c2), m[3] = {};
    int status = 0;
    fillet_center(c1, t1, c2, t2, radius, m, status);
    float p1[3] = {}, p2[3] = {};
    if (status == 0) evcrv(c1, t1, p1, nullptr, status);
    if (status == 0) evcrv(c2, t2, p2, nullptr, status);
    if (status != 0) {
        pen.status = -5;
        return false;
    }
    centre = {m[0], m[1], m[2]};
    touch1 = {p1[0], p1[1], p1[2]};
    touch2 = {p2[0], p2[1], p2[2]};
    return true;
}

// ---- lathe -------------------------------------------------------------------------------------

// The holder's quadrant: the insert's own for QRTNUM 1..4, else from the mean of the angles.
int lathe_quadrant(int q, float a1, float a2)
{
    if (q >= 1 && q <= 4) return q;
    float mean = (a1 + a2) / 2;
    if (mean > 360) mean -= 360;
    if (within(mean, 0, 90)) return 1;
    if (within(mean, 90, 180)) return 2;
    if (within(mean, 180, 270)) return 3;
    return 4;
}

}  // namespace

void symbol_lathe(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    const lathe_fields& f = tool_shapes().lathe;
    const float r = f.EDGRAD, length = f.TWIDTH - f.EDGRAD;
    const int q = f.QRTNUM;
    const float cx = (q == 1 || q == 4 || q == 8) ? r : (q == 2 || q == 3 || q == 6) ? -r : 0.0f;
    const float cy = (q == 1 || q == 2 || q == 5) ? r : (q == 3 || q == 4 || q == 7) ? -r : 0.0f;
    const sym_point c = xy(cx, cy);
    float a1 = f.FACANG, a2 = f.TANGLE;
    if (within(a2, 270, 360) && within(a1, 0, 90)) a1 += 360;
    if (within(a1, 270, 360) && within(a2, 0, 90)) a2 += 360;
    const bool swapped = a1 > a2;
    if (swapped) std::swap(a1, a2);
    const sym_point s1 = plus(c, times(xy(std::sin(radian(a1)), -std::cos(radian(a1))), r));
    const sym_point e1 = plus(s1, times(direction(a1), length));
    const sym_point s2 = plus(c, times(xy(-std::sin(radian(a2)), std::cos(radian(a2))), r));
    const sym_point e2 = plus(s2, times(direction(a2), length));
    const int edge1 = pen.line(s1, e1);
    const int edge2 = pen.line(s2, e2);
    pen.line(e1, e2);
    const int face = swapped ? edge2 : edge1;  // the edge along FACANG
    pen.attribute(face, face, "PE", kMarkPen);

    const int quadrant = lathe_quadrant(q, a1, a2);
    const float sx = quadrant == 2 || quadrant == 3 ? -1.0f : 1.0f;
    const float sy = quadrant == 3 || quadrant == 4 ? -1.0f : 1.0f;
    const float x0 = sx > 0 ? std::min(e1[0], e2[0]) : std::max(e1[0], e2[0]);
    const float y0 = sy > 0 ? std::min(e1[1], e2[1]) : std::max(e1[1], e2[1]);
    const bool along_y = (quadrant == 2 || quadrant == 4) != swapped;
    sym_point k, a, b;
    if (along_y) {
        k = xy(x0 + sx * f.HWIDTH, y0 + sy * f.HLENTH);
        a = xy(x0, k[1]);
        b = xy(k[0], y0);
    } else {
        k = xy(x0 + sx * f.HLENTH, y0 + sy * f.HWIDTH);
        a = xy(k[0], y0);
        b = xy(x0, k[1]);
    }
    pen.line(swapped ? e2 : e1, a);
    pen.line(swapped ? e1 : e2, b);
    pen.line(a, k);
    pen.line(b, k);
    if (neval0(r)) pen.circle(c, r);
    const sym_point reference = f.SPARE1 == 1.0f ? xy(0, 0) : c;
    const int mark = pen.line(reference, reference);
    pen.attribute(mark, mark, "PE", kMarkPen);
    list.reference = reference;
    status = pen.status;
}

void symbol_punch(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    const punch_fields& f = tool_shapes().punch;
    pen.line({0, 0, 0}, {0, 0, kPunchAxis});
    if (f.TSHAPE == 3) {
        pen.arc({0, 0, 0}, f.DIAMTR / 2, 0.0f, kRoundPunchSweep);
    } else {
        float a = f.LENGTH / 2;
        const float b = f.TWIDTH / 2;
        if (f.TSHAPE == 2) a = std::fabs(a - b);
        const float c = std::cos(radian(f.TANGLE)), s = std::sin(radian(f.TANGLE));
        auto turned = [&](float x, float y) { return xy(x * c - y * s, x * s + y * c); };
        const sym_point p1 = turned(a, b), p2 = turned(-a, b), p3 = turned(-a, -b), p4 = turned(a, -b);
        if (neval0(a)) {
            pen.line(p1, p2);
            pen.line(p3, p4);
        }
        if (f.TSHAPE == 1) {
            pen.line(p1, p4);
            pen.line(p2, p3);
        } else if (f.TSHAPE == 2) {
            pen.arc(middle(p4, p1), b, f.TANGLE - 90, 180);
            pen.arc(middle(p2, p3), b, f.TANGLE + 90, 180);
        }
    }
    status = pen.status;
}

void symbol_wire(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    const int lower = pen.line({0, 0, 0}, {0, 0, 5});
    pen.line({0, 0, 5}, {0, 0, 45});
    const int upper = pen.line({0, 0, 45}, {0, 0, 50});
    pen.attribute(lower, lower, "PE", kMarkPen);
    pen.attribute(upper, upper, "PE", kMarkPen);
    status = pen.status;
}

void symbol_thread(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    const thread_fields& f = tool_shapes().thread;
    const bool flat_tip = f.TRDTYP == 5;
    float w = 0, flank = 0;
    if (flat_tip) {
        w = f.TLBASE / 2;
        const float half_sine = std::sin(radian(f.TANGLE / 2));
        flank = neval0(half_sine) ? f.CUTWTH / (2 * half_sine) : 1.0f;
    } else {
        w = 2 * f.TLRADS < f.CUTWTH ? f.TLRADS : 0.0f;
        flank = std::sqrt(f.CUTWTH * f.CUTWTH / 4 + f.CUTLNG * f.CUTLNG);
    }
    const sym_point p1 = times(direction(f.TAXANG - f.TANGLE / 2), flank);
    const sym_point p2 = times(direction(f.TAXANG + f.TANGLE / 2), flank);
    const float k = (f.HWIDTH - f.CUTWTH) / (2 * f.CUTWTH);
    sym_point q1 = p1, q2 = p2;
    if (k > 0) {
        q1 = plus(p1, times(minus(p1, p2), k));
        q2 = plus(p2, times(minus(p2, p1), k));
        pen.line(p1, q1);
        pen.line(p2, q2);
    }
    const sym_point r1 = plus(q1, times(direction(f.TAXANG), f.HLENTH));
    const sym_point r2 = plus(q2, times(direction(f.TAXANG), f.HLENTH));
    pen.line(q1, r1);
    pen.line(q2, r2);
    pen.line(r1, r2);
    // The flanks run from the tip at the origin to P1 and P2.
    const int flank1 = pen.line({0, 0, 0}, p1);
    const int flank2 = pen.line({0, 0, 0}, p2);
    if (eqval0(w) || pen.status != 0) {
        status = pen.status;
        return;
    }
    sym_point m, t1, t2;
    if (!fillet(pen, flank1, flank2, w, m, t1, t2)) {
        status = pen.status;
        return;
    }
    pen.replace_line(flank1, t1, p1);
    pen.replace_line(flank2, t2, p2);
    if (flat_tip) {
        pen.line(t1, t2);
        list.reference = middle(t1, t2);
    } else {
        pen.circle(m, w);
        list.reference = plus(m, times(direction(f.TAXANG + 180), w));
    }
    sym_point u1 = t1, u2 = t2;
    const int axis = eqval0(f.TAXANG) || eqval(f.TAXANG, 180) ? 0 : 1;
    u1[static_cast<std::size_t>(axis)] = 2 * (p1[static_cast<std::size_t>(axis)] - t1[static_cast<std::size_t>(axis)]);
    u2[static_cast<std::size_t>(axis)] = 2 * (p2[static_cast<std::size_t>(axis)] - t2[static_cast<std::size_t>(axis)]);
    pen.line(p1, u1);
    pen.line(p2, u2);
    pen.line(u1, u2);
    status = pen.status;
}

namespace {

// Reference point of a groove tool by SPARE1 and orientation (already turned by TAXANG).
sym_point groove_reference(float spare1, int orientation, float a, float b)
{
    const int column = orientation - 1;
    const float rows[4][4][2] = {
        {{a, b}, {-a, -b}, {b, -a}, {-b, a}},                // 1.0
        {{-a, b}, {a, -b}, {b, a}, {-b, -a}},                // -1.0
        {{a + b, 0}, {-a - b, 0}, {0, -a - b}, {0, a + b}},  // 2.0
        {{-a - b, 0}, {a + b, 0}, {0, a + b}, {0, -a - b}},  // -2.0
    };
    int row = -1;
    if (spare1 == 1.0f)
        row = 0;
    else if (spare1 == -1.0f)
        row = 1;
    else if (spare1 == 2.0f)
        row = 2;
    else if (spare1 == -2.0f)
        row = 3;
    if (row < 0) return xy(0, 0);
    return xy(rows[row][column][0], rows[row][column][1]);
}

}  // namespace

void symbol_groove(symbol_list& list, int& status)
{
    symbol_pen pen{list};
    const groove_fields& f = tool_shapes().groove;
    const float a = f.CUTWTH / 2 - f.CRNRRD, b = f.CRNRRD;
    const float c = std::cos(radian(f.TAXANG)), s = std::sin(radian(f.TAXANG));
    auto turned = [&](const sym_point& p) { return xy(p[0] * c - p[1] * s, p[0] * s + p[1] * c); };
    auto line = [&](const sym_point& p, const sym_point& q) { return pen.line(turned(p), turned(q)); };
    const int orientation = eqval0(f.TAXANG) ? 3 : eqval(f.TAXANG, 90) ? 1 : eqval(f.TAXANG, 180) ? 4 : 2;

    // The tip's half width: where the lead line through the corner meets the X axis.
    const float lead = radian(f.LEDANG);
    const sym_point corner = xy(b * std::cos(radian(180 - f.LEDANG)) - a, (std::sin(radian(180 - f.LEDANG)) + 1) * b);
    const float dx = std::sin(lead), dy = std::cos(lead);
    const float half = neval0(dy) ? corner[0] - corner[1] / dy * dx : 0.0f;
    const float widening = f.CUTLNG * std::tan(lead);
    const sym_point tip1 = xy(0, -half), tip2 = xy(0, half);
    const sym_point back1 = xy(f.CUTLNG, -(half + widening)), back2 = xy(f.CUTLNG, half + widening);
    const int tip = line(tip1, tip2);
    const int flank1 = line(tip1, back1);
    const int flank2 = line(tip2, back2);
    const int back = line(back1, back2);
    // Flanks that cross each other before the back edge.
    const float d1y = back1[1] - tip1[1], d2y = back2[1] - tip2[1];
    if (neval(d1y, d2y)) {
        const float x = f.CUTLNG * (tip2[1] - tip1[1]) / (d1y - d2y);
        if (x >= 0 && x <= f.CUTLNG)
            userrc("WARNING: DUE TO NON SOPHISTICATED DEFAULT TOOLSYMBOL,|IT MIGHT BE THAT THE SYMBOL DOES NOT "
                   "REPRESENT THE CORRECT TOOL.");
    }

    const float h = f.HWIDTH / 2, x1 = f.CUTLNG, x2 = f.CUTLNG + f.HLENTH;
    // A holder wider than the back edge: its front side takes the back edge's slot.
    if (gtval0(f.HWIDTH - std::fabs(back2[1] - back1[1])))
        pen.replace_line(back, turned(xy(x1, -h)), turned(xy(x1, h)));
    line(xy(x1, h), xy(x2, h));
    line(xy(x2, h), xy(x2, -h));
    line(xy(x2, -h), xy(x1, -h));

    const float r = f.CRNRRD;
    if (f.SPARE1 == 1.0f || f.SPARE1 == -1.0f) {
        const sym_point p = xy(b, f.SPARE1 == 1.0f ? -a : a);
        const int mark = line(p, p);
        pen.attribute(mark, mark, "PE", kMarkPen);
    } else if (f.SPARE1 == 2.0f || f.SPARE1 == -2.0f) {
        const float outward = f.SPARE1 == 2.0f ? -1.0f : 1.0f;
        const float y0 = outward * f.CUTWTH / 2;
        const int mark = line(xy(0, y0), xy(0, y0));
        pen.attribute(mark, mark, "PE", kMarkPen);
        line(xy(-0.2f * r, y0), xy(0.5f * r, y0));
        line(xy(0, y0 + outward * 0.2f * r), xy(0, y0 - outward * 0.5f * r));
    } else if (f.SPARE1 == 0.0f) {
        pen.attribute(tip, tip, "PE", kMarkPen);
    }

    if (neval0(r) && pen.status == 0) {
        sym_point m1, m2, tip_end1, tip_end2, flank_end1, flank_end2;
        if (fillet(pen, tip, flank1, r, m1, tip_end1, flank_end1) &&
            fillet(pen, tip, flank2, r, m2, tip_end2, flank_end2)) {
            pen.replace_line(tip, tip_end1, tip_end2);
            pen.replace_line(flank1, flank_end1, turned(back1));
            pen.replace_line(flank2, flank_end2, turned(back2));
            if (f.SPARE1 == 0.0f) pen.attribute(tip, tip, "PE", kMarkPen);
            pen.circle(m1, r);
            pen.circle(m2, r);
        }
    }
    list.reference = groove_reference(f.SPARE1, orientation, a, b);
    status = pen.status;
}
