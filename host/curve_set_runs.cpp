// Curve sets kept as views of shared runs of curves (see host/core/curve_set_runs.hpp).
#include "host/core/curve_set_runs.hpp"

#include "host/core/run_rotation.hpp"

namespace vantu {

namespace {

bool same(const control::curve_in_set& a, const control::curve_in_set& b)
{
    return a.entity == b.entity && a.start == b.start && a.end == b.end && a.orientation == b.orientation;
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
    if (!run) return std::nullopt;
    const std::optional<run_place> place = rotation_in(*run, wanted, same, turned);
    if (!place) return std::nullopt;
    return curve_set_view{run, place->first, place->backwards};
}

}  // namespace vantu
