// sym_line, dbdarc_from_angles and GCPT0 on the host's entity store (see the header).
#include "tools/symbol_geometry.hpp"
#include "tools/edata_double_access.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_vector_s.hpp"

#include <cmath>

namespace {

constexpr int kSet = 2, kWrite = 2;
constexpr double kFullTurn = 360.0;
// Fraction of an arc's sweep kept as its step.
constexpr double kArcStepFraction = 0.05;

void set_reference_system(int id)
{
    int world = 0, status = 0;
    eattc(id, kSet, "RP", world, status);
}

// Opens entity id for rewriting when it is of the class and type; false otherwise (closed).
bool open_existing(int id, int entity_class, int entity_type)
{
    int found_class = -1, found_type = -1, status = 0;
    eopen(id, found_class, found_type, status);
    if (status == 0 && found_class == entity_class && found_type == entity_type) return true;
    int closed = 0;
    eclose(closed);
    return false;
}

// Writes the doubles from the start of the open entity and closes it.
void write_record(const double* values, int count, int& status)
{
    eputd(count, values, status);
    int closed = 0;
    eclose(closed);
}

}  // namespace

void sym_line(int& id, const float (&start)[3], const float (&end)[3], int& status)
{
    status = -1;
    if (eqpt3(start, end) != 0) return;
    const bool made = id < 0;
    if (made) {
        estore(kCurveClass, kLineType, id, status);
        if (status != 0) {
            userrc("LINE: ERROR IN ESTORE");
            status = -1;
            return;
        }
    } else if (!open_existing(id, kCurveClass, kLineType)) {
        userrc("LINE: ERROR IN EOPEN ");
        status = -1;
        return;
    }
    const double ends[6] = {start[0], start[1], start[2], end[0], end[1], end[2]};
    write_record(ends, 6, status);
    const double length = std::hypot(ends[3] - ends[0], ends[4] - ends[1], ends[5] - ends[2]);
    double data[3] = {0.0, length, length};
    if (status == 0) edata_double_access(kWrite, id, data, status);
    if (status != 0) {
        userrc("LINE: ERROR IN EOPEN ");
        if (made) {
            int ignored = 0;
            edelet(id, ignored);
            id = -1;
        }
        status = -1;
        return;
    }
    set_reference_system(id);
}

void dbdarc_from_angles(int& id, const float (&centre)[3], float radius, float start_angle, float sweep_angle,
                        int& status)
{
    status = -1;
    double start = start_angle, sweep = sweep_angle;
    if (sweep < 0.0) {
        start += sweep;
        sweep = -sweep;
    }
    sweep = std::fmin(sweep, kFullTurn);
    if (!(radius >= kSmallestArcRadius) || !(sweep > 0.0)) {
        userrc("ARC IS TOO SMALL TO BE CREATED!");
        return;
    }
    const bool made = id <= 0;
    if (made) {
        estore(kCurveClass, kArcType, id, status);
        if (status != 0) return;
    } else if (!open_existing(id, kCurveClass, kArcType)) {
        return;
    }
    const double record[9] = {centre[0], centre[1], centre[2], 0.0, 0.0, 1.0, radius, start, start + sweep};
    write_record(record, 9, status);
    double data[3] = {radian(static_cast<float>(start)), radian(static_cast<float>(start + sweep)),
                      kArcStepFraction * radian(static_cast<float>(sweep))};
    if (status == 0) edata_double_access(kWrite, id, data, status);
    if (status != 0) {
        if (made) {
            int ignored = 0;
            edelet(id, ignored);
            id = -1;
        }
        status = -1;
    }
}

void GCPT0(int& id, const float (&point)[3], int& status)
{
    float model[3];
    mapw2m(point, model);
    estore(kPointClass, kPointType, id, status);
    const double record[3] = {model[0], model[1], model[2]};
    if (status == 0) write_record(record, 3, status);
    if (status != 0) {
        if (id > 0) {
            int ignored = 0;
            edelet(id, ignored);
        }
        eroutc("GCPT0: ERROR IN ESTORE", 0);
        id = -1;
        status = -1;
        return;
    }
    set_reference_system(id);
}
