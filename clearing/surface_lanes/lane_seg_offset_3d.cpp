// The offset of one segment over the surface grid by sampling and bisection where it folds.
#include "clearing/surface_lanes/lane_seg_offset_3d.hpp"

#include "clearing/surface_lanes/grid_walk.hpp"
#include "clearing/surface_lanes/lane_pieces_3d.hpp"
#include "host/vantu_vector.hpp"
#include "surfaces/surface_grid.hpp"

#include <cmath>

namespace {

// Slots of the refinement table: 0 the previous sample, 16 the current one, bisected between.
constexpr int kSlots = 17;
constexpr int kLastSlot = kSlots - 1;
// Two walks whose normals or directions have a dot product below this (about 1.8 degrees apart)
// leave a fold between them that is bisected.
constexpr double kFoldCosine = 0.9995;
// Samples this many cells apart when no sampling step is set: the sixteen bisections between two
// samples where the surface folds then come down to a quarter of a cell, while a long segment of
// a coarse loop (a contour's side) is offset all along rather than at its two ends.
constexpr double kDefaultSampleCells = 4.0;
// Most samples of one segment: more than a pocket array holds points.
constexpr int kMostSamples = kPokarrMaxEntries;
// A walk that found no surface to run on brings no point (it is not an error of the offset).
constexpr int kNoSurfaceWalk = -2;

struct slot {
    walk_record record;
    bool done = false;
};

// Walks the record's start across the surface; false with the status set when the offset ends.
bool walk(walk_record& record, const double* tangent, double distance, bool& done, int& status)
{
    int walked = 0;
    drop_lane_on_grid(kDropChecked, record.words, tangent, distance, nullptr, walked);
    done = walked == 0;
    if (walked == 0 || walked == kNoSurfaceWalk) return true;
    if (walked < 0) {
        status = walked;
        return false;
    }
    // A tangent without a part in the start triangle's plane: no point from this walk.
    done = false;
    return true;
}

bool folds(const slot& a, const slot& b)
{
    return v3dotd(a.record.normal(), b.record.normal()) < kFoldCosine ||
           v3dotd(a.record.direction(), b.record.direction()) < kFoldCosine;
}

bool append(const double* point, pokarr& path, int& status)
{
    int added = 0;
    pokarr_add_pnt(point, path, added);
    if (added < 0) status = kPieceArrayFailed;
    return added >= 0;
}

// Bisects the folds between slot 0 and slot 16 and appends the ends of the done slots 1..16.
bool refine_and_append(slot* slots, const double* tangent, double distance, pokarr& path, int& status)
{
    for (int k = 8; k >= 1; k /= 2) {
        for (int j = k; j <= kLastSlot - k; j += 2 * k) {
            slot& s = slots[j];
            const slot& before = slots[j - k];
            const slot& after = slots[j + k];
            if (s.done || !before.done || !after.done || !folds(before, after)) continue;
            for (int c = 0; c < 3; ++c)
                s.record.start()[c] = 0.5 * (before.record.start()[c] + after.record.start()[c]);
            if (!walk(s.record, tangent, distance, s.done, status)) return false;
        }
    }
    for (int j = 1; j <= kLastSlot; ++j)
        if (slots[j].done && !append(slots[j].record.end(), path, status)) return false;
    return true;
}

}  // namespace

void lane_seg_offset_3d(walk_record& p0, walk_record& p1, const double* tangent, double length, double distance,
                        pokarr& path, int& status)
{
    status = 0;
    const double set = surface_grid_block.settings.sampling_step;
    const double step = set > 0.0 ? set : kDefaultSampleCells * surface_grid_block.h;
    const double quotient = step > 0.0 ? std::ceil(std::fabs(length / step)) : 1.0;
    int n = 1;
    if (quotient > 1.0) n = quotient < kMostSamples ? static_cast<int>(quotient) : kMostSamples;
    slot slots[kSlots];
    for (int i = 0; i <= n; ++i) {
        slot& current = i == 0 ? slots[0] : slots[kLastSlot];
        const double f = static_cast<double>(i) / n;
        v3btpd(p0.start(), p1.start(), f, current.record.start());
        if (!walk(current.record, tangent, distance, current.done, status)) return;
        if (i == 0) {
            if (current.done) {
                for (int c = 0; c < 3; ++c) p0.end()[c] = current.record.end()[c];
                if (!append(current.record.end(), path, status)) return;
            }
            continue;
        }
        for (int j = 1; j < kLastSlot; ++j) slots[j].done = false;
        if (!refine_and_append(slots, tangent, distance, path, status)) return;
        if (current.done)
            for (int c = 0; c < 3; ++c) p1.end()[c] = current.record.end()[c];
        slots[0] = slots[kLastSlot];
    }
}
