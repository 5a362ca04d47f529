// Input preparation of the pocket engine: the pocket frame, the engine contour tables, the points
// of every contour of the pocket (outer contour first, then stock islands, then part islands).
// The pocket procedure's execute step calls pocket_prepare before the lane engine runs.
#include "pocket_arrays/pocket_prepare.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "host/vantu_contours.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokmain.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

pocket_frame pocket_frame_block;
pocket_box pocket_box_block;
pkcont_tables pkcont_tables_block;
int pocket_mode_word = 0;

namespace {

constexpr double kBoxStart = 1.0e30;

void extend_box(const double* p, double* box)
{
    for (int k = 0; k < 3; ++k) {
        box[k] = std::min(box[k], p[k]);
        box[k + 3] = std::max(box[k + 3], p[k]);
    }
}

// Stores one contour row of the tables.
void contour_row(int k, int level, int first, int type)
{
    pkcont_tables& t = pkcont_tables_block;
    t.level[k] = level;
    t.parent[k] = 0;
    t.first[k] = first;
    t.status[k] = 0;
    t.type[k] = type;
}

int type_of(const pocket_contours& contours, int number)
{
    return number >= 1 && number < contours.numbers ? contours.type[number] : 0;
}
int set_of(const pocket_contours& contours, int number)
{
    return number >= 1 && number < contours.numbers ? contours.curve_set[number] : 0;
}

// Whether the contour points 1 .. end - 1 (arc records included) are finite numbers.
bool contour_points_finite(int end)
{
    for (int i = 1; i < end; ++i) {
        double x = 0.0, y = 0.0;
        pokmain_get_cpt(i, x, y);
        if (!std::isfinite(x) || !std::isfinite(y)) return false;
    }
    return true;
}

// The number of curves of the contour's curve set; status -1 when the set cannot be read or
// holds none.
int contour_curve_count(int curve_set, int& status)
{
    int curves = 0;
    dfdgnc(curve_set, curves, status);
    if (status != 0 || curves < 1) status = -1;
    return curves;
}

}  // namespace

void get_pocket_mode(int& mode) { mode = pocket_mode_word; }

void pocket_frame_reset()
{
    pocket_frame& f = pocket_frame_block;
    f = pocket_frame{};
    for (int k = 0; k < 3; ++k) f.matrix[k][k] = 1.0;
    f.matrix_ready = 0;
}

void contour_curve_box(int /*reserved*/, int curve_set, float* box, int& status)
{
    const int curves = contour_curve_count(curve_set, status);
    if (status != 0) return;
    double bounds[6] = {kBoxStart, kBoxStart, kBoxStart, -kBoxStart, -kBoxStart, -kBoxStart};
    std::vector<double> points;
    for (int k = 1; k <= curves; ++k) {
        int entity = 0;
        double data[3];
        dfdget(curve_set, k, entity, data, status);
        if (status != 0) return;
        int count = 0;
        curve_polyline(entity, data[0], data[1], vantu::kRealTolerance, 3, points, count, status);
        if (status != 0) return;
        for (int i = 0; i < count; ++i) extend_box(&points[3 * i], bounds);
    }
    for (int k = 0; k < 6; ++k) box[k] = static_cast<float>(bounds[k]);
    status = 0;
}

void contour_to_points(int curve_set, double tolerance, double side_step, int& index, int& status)
{
    const int curves = contour_curve_count(curve_set, status);
    if (status != 0) return;
    for (int k = 1; k <= curves && status == 0; ++k) {
        int entity = 0;
        double data[3];
        dfdget(curve_set, k, entity, data, status);
        if (status != 0) return;
        if (k == 1) {
            double start[3];
            evcrvd(entity, data[0], start, nullptr, status);
            if (status != 0) return;
            POKCPT(start, index, status);
            if (status != 0) return;
        }
        PKCNV2(data, entity, tolerance, side_step, index, status);
    }
}

void pkcont_fill(int outer_type, int stock, int part, int& status)
{
    pkcont_tables& t = pkcont_tables_block;
    status = 0;
    if (stock + part + 1 != t.count) {
        status = -1;
        return;
    }
    t.outer_type = outer_type;
    t.stock_islands = stock;
    t.part_islands = part;
    t.type[1] = outer_type;
    for (int k = 2; k <= t.count; ++k) t.type[k] = k - 2 < stock ? kContourStock : kContourPart;
}

void pocket_prepare(int outer, int islands, const int* island_numbers, const pocket_contours& contours, int& status)
{
    status = 0;
    pocket_frame_reset();
    if (islands < 0 || islands + 1 > kContourMax || (islands > 0 && island_numbers == nullptr) ||
        contours.type == nullptr || contours.curve_set == nullptr) {
        eroutc("pocket_prepare, TOO MANY CONTOURS OR NO CONTOUR DATA", 0);
        status = -1;
        return;
    }
    float box[6];
    contour_curve_box(0, set_of(contours, outer), box, status);
    if (status != 0) return;

    pocket_frame& f = pocket_frame_block;
    for (int k = 0; k < 3; ++k) {
        f.origin[k] = f.origin_copy[k] = f.box_min[k] = box[k];
        f.box_max[k] = box[k + 3];
    }
    f.size = std::min(f.box_max[0] - f.box_min[0], f.box_max[1] - f.box_min[1]);
    pokmain_set_origin(f.origin[0], f.origin[1], f.origin[2], pocket_box_block.main_size);

    const double tolerance = pocket_work_block.tolerance;
    const double side_step = pocket_work_block.side_step;
    int outer_type = type_of(contours, outer);
    int index = 1;
    contour_row(1, kOuterLevel, index, outer_type);
    contour_to_points(set_of(contours, outer), tolerance, side_step, index, status);
    if (status != 0) return;

    // Stock islands first, then part islands, each in list order.
    int k = 1, stock = 0, part = 0;
    for (const int wanted : {kContourStock, kContourPart}) {
        for (int i = 0; i < islands; ++i) {
            const int number = island_numbers[i];
            if (type_of(contours, number) != wanted) continue;
            ++k;
            contour_row(k, kIslandLevelBase - 1 + k, index, wanted);
            contour_to_points(set_of(contours, number), tolerance, side_step, index, status);
            if (status != 0) return;
            (wanted == kContourStock ? stock : part) += 1;
        }
    }
    if (!contour_points_finite(index)) {
        eroutc("pocket_prepare, CONTOUR POINT IS NOT A FINITE NUMBER", 0);
        status = -1;
        return;
    }
    pkcont_tables& t = pkcont_tables_block;
    t.count = islands + 1;
    t.islands = islands;
    pocket_box_block.island_count = islands;
    // Islands of another type are not stored; pkcont_fill refuses the disagreeing counts.
    t.first[t.count + 1] = index;

    if (outer_type == kContourStock && part == 0 && stock + part == islands) {
        if (pocket_mode_word == 0)
            user1c("WARNING: TYPE OF OUTER CONTOUR ", 'I', outer, "WAS CHANGED FROM STOCK TO PART");
        outer_type = kContourPart;
    }
    pkcont_fill(outer_type, stock, part, status);
}
