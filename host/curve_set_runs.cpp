// Curve sets kept as views of shared runs of curves (see host/core/curve_set_runs.hpp).
#include "host/core/curve_set_runs.hpp"

namespace vantu {

namespace {

// Places of `run` whose curve begins `wanted` are tried, at most this many: a loop names each
// curve once, so one place is the rule; a run that repeats a curve is kept as a copy instead.
constexpr int kMostTrials = 4;

bool same(const control::curve_in_set& a, const control::curve_in_set& b)
{
    return a.entity == b.entity && a.start == b.start && a.end == b.end && a.orientation == b.orientation;
}

bool reads_as(const curve_set_view& view, const curve_run& wanted)
{
    for (std::size_t k = 0; k < wanted.size(); ++k)
        if (!same(view[k], wanted[k])) return false;
    return true;
}

}  // namespace

control::curve_in_set turned(const control::curve_in_set& c) { return {c.entity, c.end, c.start, -c.orientation}; }

control::curve_in_set curve_set_view::operator[](std::size_t k) const
{
    const std::size_t n = size();
    if (!backwards) return (*curves)[(first + k) % n];
    return turned((*curves)[(first + n - k % n) % n]);
}

curve_run& curve_set_view::own()
{
    if (first != 0 || backwards || curves.use_count() > 1) {
        curve_run copy;
        copy.reserve(size());
        for (std::size_t k = 0; k < size(); ++k) copy.push_back((*this)[k]);
        curves = std::make_shared<curve_run>(std::move(copy));
        first = 0;
        backwards = false;
    }
    return *curves;
}

std::optional<curve_set_view> view_of(const std::shared_ptr<curve_run>& run, const curve_run& wanted)
{
    if (!run || run->empty() || run->size() != wanted.size()) return std::nullopt;
    for (const bool backwards : {false, true}) {
        int trials = 0;
        for (std::size_t place = 0; place < run->size() && trials < kMostTrials; ++place) {
            const control::curve_in_set& c = (*run)[place];
            if (!same(backwards ? turned(c) : c, wanted.front())) continue;
            ++trials;
            const curve_set_view view{run, place, backwards};
            if (reads_as(view, wanted)) return view;
        }
    }
    return std::nullopt;
}

}  // namespace vantu
