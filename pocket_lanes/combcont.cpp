// The offset search on surfaces: every point placed at offset 0, then the trial offset grown
// until the smallest 3-D move reaches the target, then the bracket halved.
#include "pocket_lanes/combcont.hpp"

#include "host/vantu.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "pocket_lanes/linnet_string_run.hpp"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLargestEps = 0.01;
constexpr double kNothingMeasured = 1.0e10;
constexpr int kPlaced = 0;
constexpr int kPointNet = 1;
// Growth of the trial offset by the ratio of the smallest move to the target.
constexpr double kFarBelow = 0.2, kBelow = 0.5;
constexpr double kGrowFar = 3.0, kGrowBelow = 2.0, kGrowNear = 1.5;

// The two work arrays of a search, given back on every way out.
struct combcont_work {
    int locations = -1;  // 3 doubles per point
    int statuses = -1;   // one word per point
    double* location = nullptr;
    int* placed = nullptr;
    int status = 0;
    explicit combcont_work(int n)
    {
        void* base = nullptr;
        MM_OPEN_ARRAY(3 * static_cast<int>(sizeof(double)), n, locations, base, status);
        location = static_cast<double*>(base);
        if (status == 0) MM_OPEN_ARRAY(static_cast<int>(sizeof(int)), n, statuses, base, status);
        placed = static_cast<int*>(base);
    }
    ~combcont_work()
    {
        bool failed = false;
        for (const int handle : {locations, statuses}) {
            if (handle < 0) continue;
            int closed = 0;
            MM_CLOSE(handle, closed);
            failed = failed || closed != 0;
        }
        if (failed) eroutc("combcont,Close dynamic memory error", 0);
    }
    combcont_work(const combcont_work&) = delete;
    combcont_work& operator=(const combcont_work&) = delete;
};

// The smallest 3-D move of the placed points at the offset (kNothingMeasured when none).
double smallest_move(const combcont_work& w, int n, const double* points, const double* directions, double offset)
{
    double smallest = kNothingMeasured;
    for (int i = 0; i < n; ++i) {
        if (w.placed[i] != kPlaced) continue;
        double location[3], normal[3];
        int status = 0;
        offset_point_on_surface(offset, points + 2L * i, directions + 2L * i, location, normal, status);
        if (status != 0) continue;
        smallest = std::min(smallest, distd(3, location, w.location + 3L * i));
    }
    return smallest;
}

struct bound {
    double offset;
    double move;
};

}  // namespace

void offset_point_on_surface(double offset, const double* point, const double* direction, double* location,
                             double* normal, int& status)
{
    const float q[3] = {static_cast<float>(point[0] + offset * direction[0]),
                        static_cast<float>(point[1] + offset * direction[1]), 0.0f};
    float located[3] = {q[0], q[1], 0.0f};
    linnet_string_run2(q, linnet_params_block.net_limit, located, status);
    for (int k = 0; k < 3; ++k) location[k] = located[k];
    normal[0] = normal[1] = 0.0;
    normal[2] = 1.0;
}

void combcont(double tolerance, int n, const double* points, const double* directions, double target, double least,
              double largest, double hint, double& result, int& status)
{
    status = 0;
    double trial = std::max(hint > 0.0 && hint <= target ? hint : target, least);
    result = trial;
    if (n < 1 || points == nullptr || directions == nullptr) return;
    combcont_work w(n);
    if (w.status != 0) {
        status = kCombcontMemory;
        return;
    }
    const double eps = std::min(tolerance, kLargestEps);
    linnet_set_params(kPointNet, nullptr, nullptr, 1, static_cast<float>(eps), 0.0f);
    int placed = 0;
    for (int i = 0; i < n; ++i) {
        double normal[3];
        offset_point_on_surface(0.0, points + 2L * i, directions + 2L * i, w.location + 3L * i, normal, w.placed[i]);
        if (w.placed[i] == kPlaced) ++placed;
    }
    if (placed == 0) return;
    bound lower{0.0, 0.0}, upper{trial, kNothingMeasured};
    int placements = 0;
    bool bracketed = false;
    // Bracketing: grow the trial until its smallest move reaches the target.
    while (placements < kCombcontPlacements) {
        const double move = smallest_move(w, n, points, directions, trial);
        ++placements;
        if (move == kNothingMeasured) break;
        if (move >= target - eps) {
            upper = {trial, move};
            bracketed = true;
            break;
        }
        if (trial > largest) {
            result = std::max(largest, least);
            return;
        }
        lower = {trial, move};
        const double ratio = move / target;
        trial *= ratio < kFarBelow ? kGrowFar : ratio < kBelow ? kGrowBelow : kGrowNear;
    }
    // Halving the bracket.
    if (bracketed && std::fabs(upper.move - target) > eps) {
        while (placements < kCombcontPlacements && upper.offset > lower.offset) {
            trial = 0.5 * (lower.offset + upper.offset);
            const double move = smallest_move(w, n, points, directions, trial);
            ++placements;
            if (std::fabs(move - target) <= eps || (move >= lower.move && move - lower.move <= eps) || trial < least)
                break;
            if (move > target)
                upper = {trial, move};
            else
                lower = {trial, move};
        }
    }
    result = std::max(std::min(trial, largest), least);
}
