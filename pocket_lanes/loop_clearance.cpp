// Element boxes of a loop in runs (see the header). A query looks at the runs first and at the
// elements of the runs near the other loop's box only.
#include "pocket_lanes/loop_clearance.hpp"

#include "pocket_arrays/pk_finite.hpp"

#include <algorithm>
#include <cmath>

// The boxes of the planar elements of a loop: a line by its ends, an arc by its whole circle and
// its ends (an end may lie a little off the circle). False for a broken arc record.
bool loop_clearance::boxes_of(const pokarr& loop, std::vector<box>& out)
{
    out.clear();
    if (loop.dimension < 2 || loop.y == nullptr || loop.count < 2 || pk_is_marker(loop.x[0])) return false;
    // A loop has fewer elements than entries: the list grows once.
    out.reserve(static_cast<std::size_t>(loop.count));
    for (int e = 1; e < loop.count;) {
        const bool arc = pk_is_marker(loop.x[e]);
        const int end = arc ? e + 3 : e;
        if (end >= loop.count) return false;
        box b{std::min(loop.x[e - 1], loop.x[end]), std::min(loop.y[e - 1], loop.y[end]),
              std::max(loop.x[e - 1], loop.x[end]), std::max(loop.y[e - 1], loop.y[end])};
        if (arc) {
            const double r = std::fabs(loop.x[e + 1]), cx = loop.x[e + 2], cy = loop.y[e + 2];
            b = {std::min(b.xmin, cx - r), std::min(b.ymin, cy - r), std::max(b.xmax, cx + r),
                 std::max(b.ymax, cy + r)};
        }
        out.push_back(b);
        e = end + 1;
    }
    return !out.empty();
}

loop_clearance::loop_clearance(const pokarr& loop)
{
    if (!pokarr_finite(loop) || !boxes_of(loop, elements_)) return;
    run_ = std::max<std::size_t>(1, static_cast<std::size_t>(std::sqrt(static_cast<double>(elements_.size()))));
    runs_.reserve(elements_.size() / run_ + 1);
    for (std::size_t first = 0; first < elements_.size(); first += run_) {
        box r = elements_[first];
        for (std::size_t k = first + 1; k < std::min(first + run_, elements_.size()); ++k) {
            const box& b = elements_[k];
            r = {std::min(r.xmin, b.xmin), std::min(r.ymin, b.ymin), std::max(r.xmax, b.xmax),
                 std::max(r.ymax, b.ymax)};
        }
        runs_.push_back(r);
    }
    usable_ = true;
}

bool loop_clearance::near(const box& a, const box& b, double margin)
{
    return !(a.xmin > b.xmax + margin || a.xmax < b.xmin - margin || a.ymin > b.ymax + margin ||
             a.ymax < b.ymin - margin);
}

bool loop_clearance::keeps_clear(const pokarr& other, double margin) const
{
    std::vector<box> boxes;
    if (!usable_ || !(margin >= 0.0) || !pokarr_finite(other) || !boxes_of(other, boxes)) return false;
    box whole = boxes[0];
    for (const box& b : boxes)
        whole = {std::min(whole.xmin, b.xmin), std::min(whole.ymin, b.ymin), std::max(whole.xmax, b.xmax),
                 std::max(whole.ymax, b.ymax)};
    for (std::size_t r = 0; r < runs_.size(); ++r) {
        if (!near(runs_[r], whole, margin)) continue;
        const std::size_t first = r * run_, last = std::min(first + run_, elements_.size());
        for (std::size_t k = first; k < last; ++k)
            if (near(elements_[k], whole, margin)) return false;
    }
    return true;
}
