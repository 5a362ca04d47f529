// Tool and holder validation: one rule table per class, applied in order; the first failing rule
// shows its one message. Reads tool_shape_records and holder_set; writes the lathe's QRTNUM, the
// thread's CUTWTH and, in standard shank mode, the shank's top diameter.
#include "tools/tool_validation.hpp"
#include "tools/current_tool.hpp"

#include "host/vantu.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kAccepted = 0, kRejected = -1;
constexpr float kOverlapMargin = 0.05f;     // OVRLAP must stay this far below the length
constexpr float kScallopFraction = 0.475f;  // SCALOP at most this fraction of the size
constexpr int kFlatThread = 5;

int reject(const char* message)
{
    userrc(message);
    return kRejected;
}

bool in(float value, float low, float high) { return value >= low && value <= high; }

int drill_rules(const drill_fields& d)
{
    if (d.CUTLNG > d.CLRLNG) return reject("CUT LENGTH CANNOT EXCEED THE CLEAR LENGTH");
    return kAccepted;
}

int mill_rules(const mill_fields& m)
{
    const float corner = 2 * m.CRNRRD / std::tan(radian(45 + m.SPARE1 / 2));
    if (gtval(corner, m.DIAMTR) != 0) return reject("CORNER RADIUS IS TOO BIG");
    if (m.CUTLNG > m.CLRLNG) return reject("CUT LENGTH CANNOT EXCEED THE CLEAR LENGTH");
    return kAccepted;
}

// The quadrant of a lathe insert from its two angles (both within a row's range, except row 1).
int lathe_quadrant(float t, float f)
{
    struct row {
        float low, high;
        int quadrant;
    };
    static constexpr row kRows[] = {{90, 180, 2},  {180, 270, 3}, {270, 360, 4}, {45, 135, 5},
                                    {135, 225, 6}, {225, 315, 7}, {315, 405, 8}, {0, 180, 5},
                                    {90, 270, 6},  {180, 360, 7}, {270, 450, 8}};
    if (t <= 90 && f <= 90) return 1;
    for (const row& r : kRows)
        if (in(t, r.low, r.high) && in(f, r.low, r.high)) return r.quadrant;
    return 0;
}

int lathe_rules(lathe_fields& l)
{
    float f = l.FACANG, t = l.TANGLE;
    if (in(t, 270, 360) && in(f, 0, 90)) f += 360;
    if (in(f, 270, 360) && in(t, 0, 90)) t += 360;
    if (std::fabs(t - f) > 90) return reject("NOSE ANGLE MUST NOT EXCEED 90 DEGREES");
    if (2 * l.EDGRAD >= l.TWIDTH) return reject("NOSE RAD MUST NOT EXCEED HALF THE NOSE WIDTH");
    const int quadrant = lathe_quadrant(t, f);
    if (quadrant == 0) return reject("INCONSISTENT ANGLE DEFINITIONS");
    l.QRTNUM = quadrant;
    return kAccepted;
}

int punch_rules(const punch_fields& p)
{
    if ((p.TSHAPE == 1 || p.TSHAPE == 2) && p.OVRLAP > p.LENGTH - kOverlapMargin)
        return reject("OVERLAP CANNOT EXCEED 0.95% OF TOOL LENGTH");
    if (p.TSHAPE == 2 || p.TSHAPE == 3) {
        const float size = p.TSHAPE == 2 ? p.LENGTH : p.DIAMTR;
        if (p.SCALOP > kScallopFraction * size) return reject("SCALLOP CANNOT EXCEED 0.95% OF TOOL RADIUS");
    }
    return kAccepted;
}

int thread_rules(thread_fields& t)
{
    t.CUTWTH = 2 * t.CUTLNG * std::tan(radian(t.TANGLE / 2));
    if (t.TRDTYP == kFlatThread) t.CUTWTH += t.TLBASE;
    return kAccepted;
}

int groove_rules(const groove_fields& g)
{
    if (0.5f * g.CUTWTH < g.CRNRRD) return reject("CORNER RADIUS CANNOT EXCEED HALF THE CUT WIDTH");
    if (0.5f * g.CUTLNG < g.CRNRRD) return reject("CORNER RADIUS CANNOT EXCEED HALF THE CUT LENGTH");
    return kAccepted;
}

// ---- holder set --------------------------------------------------------------------------------

struct holder_entry {
    float bottom, top, cone, total;
};

holder_entry entry(const holder_set& set, int i)
{
    const auto k = static_cast<std::size_t>(i);
    return {set.bottom_diameter[k], set.top_diameter[k], set.cone_height[k], set.total_height[k]};
}

// A cone height of zero between different diameters, or a cone between equal ones.
bool cone_wrong(const holder_entry& e)
{
    const bool flat = eqval0(e.cone) != 0, same = eqval(e.bottom, e.top) != 0;
    return (flat && !same) || (!flat && same);
}

int holder_message(int number, const char* first, const char* second)
{
    user1c(first, 'I', number, second);
    return kRejected;
}

int shank_rules(holder_set& set, float& reference)
{
    const mill_fields& m = tool_shapes().mill;
    if (set.shank_mode != 2) {
        set.top_diameter[0] = set.bottom_diameter[0];
        reference = m.DIAMTR + 2 * m.CUTLNG * std::tan(radian(m.SPARE1));
        return kAccepted;
    }
    const holder_entry s = entry(set, 0);
    if (eqval0(s.top)) return reject("SHANK DIAMETER CANNOT BE ZERO");
    if (gtval(s.bottom, s.top)) return reject("SHANK TOP DIAMETER IS TOO SMALL");
    if (gtval(s.cone, s.total)) return reject("SHANK CONE HEIGHT IS GREATER THAN TOTAL HEIGHT");
    if (cone_wrong(s)) return reject("ERROR IN SHANK CONE HEIGHT");
    reference = s.top;
    return kAccepted;
}

int holder_rules(const holder_set& set, int n)
{
    for (int i = 1; i <= n; ++i) {
        const holder_entry h = entry(set, i);
        if (eqval0(h.bottom) || eqval0(h.top)) return holder_message(i, "HOLDER NO. ", " - diameter cannot be zero");
        if (gtval(h.bottom, h.top)) return holder_message(i, "HOLDER NO. ", " - bottom diameter is too big");
        if (cone_wrong(h)) return holder_message(i, "HOLDER NO.", " - error in cone height");
        if (gtval(h.cone, h.total))
            return holder_message(i, "HOLDER NO.", " - cone height is greater than total height");
        if (i < n && gtval(h.top, entry(set, i + 1).bottom))
            return holder_message(i, "HOLDER NO. ", " - top diameter is too big");
    }
    return kAccepted;
}

int spindle_rules(const holder_set& set, int n)
{
    const holder_entry s = entry(set, n + 1);
    if (gtval(entry(set, n).top, s.bottom)) return holder_message(n, "HOLDER NO. ", " - top diameter is too big");
    if (eqval0(s.bottom) || eqval0(s.top)) return reject("SPINDLE DIAMETER CANNOT BE ZERO");
    if (gtval(s.bottom, s.top)) return reject("SPINDLE TOP DIAMETER IS TOO SMALL");
    if (gtval(s.cone, s.total)) return reject("SPINDLE CONE HEIGHT IS GREATER THAN TOTAL HEIGHT");
    if (cone_wrong(s)) return reject("ERROR IN SPINDLE CONE HEIGHT");
    return kAccepted;
}

}  // namespace

void tool_validate(int tool_class, int& status)
{
    tool_shape_records& s = tool_shapes();
    switch (tool_class) {
    case kMill: status = mill_rules(s.mill); break;
    case kLathe: status = lathe_rules(s.lathe); break;
    case kPunch: status = punch_rules(s.punch); break;
    case kAgie:
    case kCharmille:
    case kMakino: tool_check_none(status); break;
    case kLatheDrill: status = drill_rules(s.lathe_drill); break;
    case kThread: status = thread_rules(s.thread); break;
    case kGroove: status = groove_rules(s.groove); break;
    default: status = drill_rules(s.drill); break;
    }
}

void tool_check_none(int& status) { status = kAccepted; }

void holder_set_validate(int& status)
{
    holder_set& set = tool_holders();
    // The arrays hold the shank, at most ten holders and the spindle.
    const int n = std::clamp(set.count, 1, kMaxHolderCount);
    float reference = 0;
    status = shank_rules(set, reference);
    if (status != kAccepted) return;
    if (reference > set.bottom_diameter[1]) {
        float factor = 1.0f;
        int unit = 1;
        getunt(unit, factor);
        user1c("HOLDER NO. 1 - bottom diameter should be greater than", 'R', reference / factor, "");
        status = kRejected;
        return;
    }
    status = holder_rules(set, n);
    if (status == kAccepted && set.second_mode == 2) status = spindle_rules(set, n);
}
