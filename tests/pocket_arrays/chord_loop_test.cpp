// Loops sampled into chords and their least distance: apart, crossing where no vertex of either
// comes near the other, out of reach, and large arcs sampled within the chord tolerance.
#include "pocket_lanes/lane_test_support.hpp"

#include "pocket_arrays/chord_loop.hpp"
#include "pocket_arrays/nearest_points.hpp"

#include <cmath>
#include <string>

namespace {

std::vector<xy> square(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
}

// A counter-clockwise circle of two half arcs, the first from the given angle.
std::vector<xy> round_loop(double cx, double cy, double r, double from = 0.0)
{
    const double c = r * std::cos(from), s = r * std::sin(from);
    std::vector<xy> e{{cx + c, cy + s}};
    push_arc(e, r, 1.0, cx, cy, cx - c, cy - s);
    push_arc(e, r, 1.0, cx, cy, cx + c, cy + s);
    return e;
}

}  // namespace

TEST_F(LaneTest, ChordLoopDistanceCountsCrossingsAndKeepsWithinTheChords)
{
    constexpr double kChord = 0.001;
    struct row {
        std::string name;
        std::vector<xy> a, b;
        double reach, distance, within;
    } rows[] = {
        {"squares 2 apart", square(0, 0, 4, 4), square(6, 1, 9, 3), 5.0, 2.0, 1e-12},
        {"squares beyond reach", square(0, 0, 4, 4), square(6, 1, 9, 3), 1.0, kNoDistance, 0.0},
        // No vertex of either bar lies within 4.9 of the other bar.
        {"bars crossing", square(0, 4.9, 10, 5.1), square(4.9, 0, 5.1, 10), 5.0, 0.0, 0.0},
        {"circle 0.3 from a square", round_loop(0, 0, 2), square(2.3, -1, 4, 1), 5.0, 0.3, kChord},
        // One sampling of a half circle of radius 100 leaves 0.015 off the arc: the arc is sampled
        // in parts. The inner circle's points stand between the outer one's.
        {"concentric circles of radius 100 and 100.5", round_loop(0, 0, 100, 0.0087), round_loop(0, 0, 100.5), 5.0, 0.5,
         kChord},
        // The circle comes near the square along one short stretch only: the runs of chords
        // passed by whole must not hold it.
        {"square 0.2 off a circle of radius 100", round_loop(0, 0, 100, 0.3), square(-1, 100.2, 1, 101), 5.0, 0.2,
         kChord},
    };
    for (const row& r : rows) {
        pokarr a = make_from(r.a), b = make_from(r.b);
        chord_loop ca, cb;
        chord_loop_make(a, kChord, ca);
        chord_loop_make(b, kChord, cb);
        EXPECT_NEAR(chord_loop_distance(r.reach, ca, cb), r.distance, r.within) << r.name;
        EXPECT_NEAR(chord_loop_distance(r.reach, cb, ca), r.distance, r.within) << r.name << ", the other way";
        pokarr_free(a);
        pokarr_free(b);
    }
}
