// Winding-angle test of a point against a loop given as x and y arrays: the loop is flattened
// into a bounded work list (arcs sampled into chords) and the turning angles of its vertices
// about the point are summed; the sign of the sum does not matter, so either direction of
// travel works.
#include "pocket_arrays/nearest_points.hpp"

#include "pocket_arrays/chain_elements.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/pk_tolerance.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"

#include <cmath>
#include <vector>

namespace {

// Room of the flattened loop, and the chord tolerance of its first try.
constexpr int kFlatRoom = 7000;
constexpr double kFlatChord = 0.001;
// The angle sums as the engine takes them; a sum below kOutsideSum is no turn at all.
constexpr double kTwoPi = 6.283185308;
constexpr double kPi = 3.141592654;
constexpr double kOutsideSum = 0.01;

// Flattens the loop into the work list; false when it does not fit (one point is kept free for
// the closing point).
bool flatten(const double* x, const double* y, int n, double chord, std::vector<double>& fx, std::vector<double>& fy)
{
    fx.clear(), fy.clear();
    auto add = [&](double px, double py) {
        if (static_cast<int>(fx.size()) >= kFlatRoom - 1) return false;
        fx.push_back(px), fy.push_back(py);
        return true;
    };
    if (!add(x[0], y[0])) return false;
    double ax[kArcPointsMax], ay[kArcPointsMax];
    for (int i = 1; i < n;) {
        const chain_element e = chain_element_at(x, y, n, i);
        if (!e.valid) break;
        if (!e.arc) {
            if (!add(x[e.end], y[e.end])) return false;
        } else {
            int count = 0;
            arc_points(chord, e.r, e.dir, e.cx, e.cy, x[e.start], y[e.start], x[e.end], y[e.end], ax, ay, count);
            for (int c = 1; c < count; ++c)
                if (!add(ax[c], ay[c])) return false;
        }
        i = e.next;
    }
    return true;
}

}  // namespace

void pnt_in_xy_loop(double px, double py, const double* x, const double* y, int n, int& result, int& status)
{
    status = 0;
    result = 0;
    if (x == nullptr || y == nullptr || n < 1) return;
    std::vector<double> fx, fy;
    fx.reserve(kFlatRoom), fy.reserve(kFlatRoom);
    if (!flatten(x, y, n, kFlatChord, fx, fy)) {
        const double retry = pocket_work_block.tolerance;
        if (!(retry > kFlatChord)) {
            status = kInsideFailed;
            return;
        }
        if (!flatten(x, y, n, retry, fx, fy)) {
            status = 1;
            return;
        }
    }
    fx.push_back(fx[0]), fy.push_back(fy[0]);
    int count = static_cast<int>(fx.size());
    xy_drop_short(fx.data(), fy.data(), count);
    double sum = 0.0;
    double previous = 0.0;
    for (int i = 0; i < count; ++i) {
        const double dx = fx[i] - px, dy = fy[i] - py;
        if (pk_is_zero(dx) && pk_is_zero(dy)) {
            result = 2;
            return;
        }
        double angle = std::atan2(dy, dx);
        if (angle < 0.0) angle += kTwoPi;
        if (i > 0) {
            double turn = angle - previous;
            if (turn > kPi) turn -= kTwoPi;
            if (turn < -kPi) turn += kTwoPi;
            sum += turn;
        }
        previous = angle;
    }
    result = std::fabs(sum) < kOutsideSum ? 0 : 1;
}
