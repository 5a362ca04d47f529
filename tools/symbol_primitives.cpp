// The drawing primitives of the default tool symbols: a line or an arc into the next slot of the
// symbol list (replacing what the slot held), attributes over a run of slots, and the centre of
// a fillet between two planar curves.
#include "tools/default_symbol.hpp"
#include "tools/module_block.hpp"

#include "host/vantu.hpp"
#include "tools/edata_double_access.hpp"
#include "tools/symbol_geometry.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFailed = -5;
constexpr int kSet = 2, kRead = 1, kWrite = 2;
// Arcs below this radius get at least six steps of their data (see sym_slot_arc).
constexpr float kSmallArcRadius = 5.0f;
constexpr int kFewestArcSteps = 6;
constexpr int kFilletRounds = 50;
// Step of the difference quotient that gives a curve's second derivative, in its parameter.
constexpr double kSecondDerivativeStep = 1.0e-4;

void set_attribute(int id, const char* key, int value)
{
    int status = 0;
    eattc(id, kSet, key, value, status);
}

// The slot at the fill count, emptied (its entity deleted); null when the list is full.
int* free_slot(symbol_list& list)
{
    if (list.count < 1 || list.count > kSymbolSlots) return nullptr;
    int& id = list.slot(list.count);
    if (id != -1) {
        int ignored = 0;
        if (id > 0) edelet(id, ignored);
        id = -1;
    }
    return &id;
}

// The slot's new entity gets the line font and pen of a symbol line; the count moves on.
void slot_made(symbol_list& list, int id)
{
    set_attribute(id, "LF", 1);
    set_attribute(id, "PE", 1);
    ++list.count;
}

// The step of a small arc's data is at most a sixth of its second word, so that the arc shows
// at least six chords; a step of 0 is the host's own choice and stays.
void small_arc_steps(int id)
{
    double data[3] = {};
    int status = 0;
    edata_double_access(kRead, id, data, status);
    if (status != 0 || data[2] == 0.0) return;
    if (std::trunc(data[1] / data[2]) < kFewestArcSteps) {
        data[2] = data[1] / kFewestArcSteps;
        edata_double_access(kWrite, id, data, status);
    }
}

// Point, first and second derivative of a curve at a parameter, brought into the curve's range
// (the second derivative by a difference quotient inside the range). False when the curve cannot
// be evaluated.
bool evaluate(int curve, double& t, curve_record& record)
{
    double start = 0.0, end = 0.0;
    int status = 0;
    curve_limits(curve, start, end, status);
    if (status != 0) return false;
    t = std::clamp(t, start, end);
    evcrvd(curve, t, record.point, record.first, status);
    if (status != 0) return false;
    const double h = t + kSecondDerivativeStep <= end ? kSecondDerivativeStep : -kSecondDerivativeStep;
    double point[3], first[3];
    evcrvd(curve, t + h, point, first, status);
    for (int k = 0; k < 3; ++k) record.second[k] = status == 0 ? (first[k] - record.first[k]) / h : 0.0;
    return true;
}

// The record moved by the radius along the left normal of its planar derivative, to the side
// (+1 left, -1 right).
bool offset(curve_record& record, double side, double radius)
{
    const double length = std::hypot(record.first[0], record.first[1]);
    if (!(length > 0.0)) return false;
    record.point[0] -= side * radius * record.first[1] / length;
    record.point[1] += side * radius * record.first[0] / length;
    return true;
}

// +1 when the point lies left of the record's direction, -1 right (iside).
double side_of(const curve_record& record, const double* point)
{
    const double cross =
        record.first[0] * (point[1] - record.point[1]) - record.first[1] * (point[0] - record.point[0]);
    return cross >= 0.0 ? 1.0 : -1.0;
}

}  // namespace

tool_colour_cells& tool_colours() { return module_block<tool_colour_cells>(); }

void sym_slot_line(symbol_list& list, const float (&start)[3], const float (&end)[3], int& status)
{
    int* slot = free_slot(list);
    status = kFailed;
    if (!slot) return;
    int id = -1;
    if (eqpt3(start, end) != 0)
        GCPT0(id, start, status);
    else
        sym_line(id, start, end, status);
    if (status != 0) {
        status = kFailed;
        return;
    }
    *slot = id;
    slot_made(list, id);
}

void sym_slot_arc(symbol_list& list, const float (&centre)[3], float radius, float start_angle, float sweep_angle,
                  int& status)
{
    int* slot = free_slot(list);
    status = kFailed;
    if (!slot) return;
    int id = -1;
    dbdarc_from_angles(id, centre, radius, start_angle, sweep_angle, status);
    if (status != 0) {
        status = kFailed;
        return;
    }
    *slot = id;
    slot_made(list, id);
    set_attribute(id, "RP", 0);
    if (radius < kSmallArcRadius) small_arc_steps(id);
}

void sym_slots_attribute(symbol_list& list, int first, int last, const char* key, int value)
{
    for (int k = std::max(first, 1); k <= std::min(last, kSymbolSlots); ++k)
        if (list.slot(k) > 0) set_attribute(list.slot(k), key, value);
}

void fillet_center(int curve1, float& parameter1, int curve2, float& parameter2, float radius, float (&centre)[3],
                   int& status)
{
    status = -1;
    double t1 = parameter1, t2 = parameter2;
    curve_record a{}, b{};
    if (!evaluate(curve1, t1, a) || !evaluate(curve2, t2, b)) return;
    // Each curve is offset towards the other one.
    const double side1 = side_of(a, b.point), side2 = side_of(b, a.point);
    for (int round = 0; round < kFilletRounds; ++round) {
        if (!offset(a, side1, radius) || !offset(b, side2, radius)) return;
        const float p1[2] = {static_cast<float>(a.point[0]), static_cast<float>(a.point[1])};
        const float p2[2] = {static_cast<float>(b.point[0]), static_cast<float>(b.point[1])};
        if (eqpt2(p1, p2) != 0) {
            for (int k = 0; k < 3; ++k) centre[k] = static_cast<float>(a.point[k]);
            parameter1 = static_cast<float>(t1);
            parameter2 = static_cast<float>(t2);
            status = 0;
            return;
        }
        int crossing = 0;
        intr0(a, t1, b, t2, crossing);
        if (crossing != 0 || !evaluate(curve1, t1, a) || !evaluate(curve2, t2, b)) return;
    }
}
