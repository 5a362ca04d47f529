// Tidying of arcs before an offset: arcs too short to offset reliably become chords, arcs too
// flat to matter become lines. The one-offset step runs both on every loop.
#include "pocket_arrays/pokarr_measures.hpp"

#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"

#include <algorithm>

namespace {

// Chords of short arcs are measured against a tenth of the engine step, at most this.
constexpr double kShortArcLimit = 0.1;
// Records need a start point before them and four entries of their own.
constexpr int kLeastTidyCount = 5;

bool tidy_applies(const pokarr& a) { return a.dimension == 2 && a.count >= kLeastTidyCount; }

}  // namespace

void pokarr_tidy_pass1(pokarr& array)
{
    if (!tidy_applies(array)) return;
    const double limit = std::min(kShortArcLimit * pocket_work_block.engine_step, kShortArcLimit);
    const double short_chord2 = 0.1 * limit * limit;
    for (int i = 1; i < array.count - 3;) {
        if (!pk_is_marker(array.x[i])) {
            ++i;
            continue;
        }
        const double sx = array.x[i - 1], sy = array.y[i - 1];
        const double ex = array.x[i + 3], ey = array.y[i + 3];
        if ((ex - sx) * (ex - sx) + (ey - sy) * (ey - sy) < short_chord2) {
            const double r = array.x[i + 1];
            const int d = pk_arc_direction(array.y[i + 1]);
            const double cx = array.x[i + 2], cy = array.y[i + 2];
            for (int k = 0; k < 3; ++k)
                arc_pnt_by_vector(r, d, cx, cy, sx, sy, ex, ey, 0.25 * (k + 1), array.x[i + k], array.y[i + k]);
        }
        i += kArcRecordEntries;
    }
}

void xy_tidy_pass1(double* x, double* y, int& count)
{
    pokarr view;
    int status = 0;
    pokarr_init_static(2, x, y, nullptr, nullptr, count, count, view, status);
    if (status != 0) return;
    pokarr_tidy_pass1(view);
    count = view.count;
}

namespace {

// Whether the arc record at entry i, whose start point stands at entry `start`, is flat enough to
// become a line.
[[gnu::always_inline]] inline bool flat_record(const pokarr& array, int i, int start)
{
    const double r = array.x[i + 1];
    const double cx = array.x[i + 2], cy = array.y[i + 2];
    const double dot = (array.x[i + 3] - cx) * (array.x[start] - cx) + (array.y[i + 3] - cy) * (array.y[start] - cy);
    return dot > (r - kPocketFlatArcSagitta) * r;
}

// The first arc record from entry 1 on that is flat, or the count: the entries before it stay
// where they are (most loops have none).
int first_flat_record(const pokarr& array)
{
    int i = 1;
    while (i < array.count) {
        if (!pk_is_marker(array.x[i]) || i + 3 >= array.count) {
            ++i;
            continue;
        }
        if (flat_record(array, i, i - 1)) return i;
        i += 3;  // marker, radius and centre; the end point follows as a point
    }
    return i;
}

}  // namespace

void pokarr_tidy_pass2(pokarr& array)
{
    if (!tidy_applies(array)) return;
    int i = first_flat_record(array);
    int kept = i;
    while (i < array.count) {
        const bool record = i >= 1 && pk_is_marker(array.x[i]) && i + 3 < array.count;
        if (record) {
            // The start was copied already; its value is the same at i - 1 and kept - 1.
            if (flat_record(array, i, kept - 1)) {
                i += 3;  // marker, radius and centre dropped; the end point follows as a point
                continue;
            }
            for (int k = 0; k < 3; ++k, ++i, ++kept) {
                array.x[kept] = array.x[i];
                array.y[kept] = array.y[i];
            }
            continue;
        }
        array.x[kept] = array.x[i];
        array.y[kept] = array.y[i];
        ++kept;
        ++i;
    }
    array.count = kept;
}
