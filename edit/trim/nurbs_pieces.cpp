// NURBS moves as curves, their passages and their pieces (see the header). A passage is found
// by sampling the curve span by span for the first change of side, then halving the parameter
// interval down to the double precision of the curve.
#include "edit/trim/nurbs_pieces.hpp"

#include "host/tolerance.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_temp_curves.hpp"
#include "host/vantu_transforms.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace {

constexpr int kFailed = -1, kNoPassage = 1;
constexpr int kTemporaryCurve = -1, kSpace = 3, kPointOnly = 0;
constexpr int kCallerTrim = 1;
// A cubic span turns at most twice: sixteen samples a span do not step over a passage and back.
constexpr int kSamplesPerSpan = 16;
constexpr int kHalvings = 60;
// bcrtrme's answer when the piece needs more room than given.
constexpr int kPieceShort = -2;

// The curve's point at t in machine coordinates.
bool point_at(const nurbs_curve& c, double t, double* machine)
{
    double world[3];
    int status = 0;
    evbcrv(c.id, t, kPointOnly, world, status);
    if (status < 0) return false;
    madw2m(world, machine);
    return true;
}

int side_of(double value)
{
    if (value > vantu::kDoubleTolerance) return 1;
    return value < -vantu::kDoubleTolerance ? -1 : 0;
}

// The first t in [t0, t1] where f of the curve's point changes side, values within the host's
// double tolerance of 0 passed over.
template <class F> int first_passage(const nurbs_curve& c, double t0, double t1, F f, double& t, double* point)
{
    const int samples = kSamplesPerSpan * std::max(c.count - c.order + 1, 1);
    int side = 0;
    double last = t0;
    for (int i = 0; i <= samples; ++i) {
        const double ti = t0 + (t1 - t0) * i / samples;
        double p[3];
        if (!point_at(c, ti, p)) return kFailed;
        const int here = side_of(f(p));
        if (here != 0 && side != 0 && here != side) {
            double low = last, high = ti;
            for (int h = 0; h < kHalvings; ++h) {
                const double middle = (low + high) / 2;
                if (!point_at(c, middle, p)) return kFailed;
                (side_of(f(p)) == side ? low : high) = middle;
            }
            t = (low + high) / 2;
            return point_at(c, t, point) ? 0 : kFailed;
        }
        if (here != 0) {
            side = here;
            last = ti;
        }
    }
    return kNoPassage;
}

}  // namespace

void nurbs_read_curve(int size, nurbs_curve& curve, int& status)
{
    word head[3] = {};
    tpget(kWhereList, 3, kTypeInteger, head, status);
    if (status < 0) return;
    const int k = head[1], n = head[2];
    if (k < 1 || n < k || 4LL + k + 4LL * n > size) {
        status = kFailed;
        return;
    }
    std::vector<float> knots(static_cast<std::size_t>(k + n)), control(3 * static_cast<std::size_t>(n));
    for (int i = 0; i < k + n && status >= 0; ++i) {
        word w[4] = {};
        tpget(kWhereList, i < n ? 4 : 1, kTypeReal, w, status);
        knots[static_cast<std::size_t>(i)] = word_to_real(w[0]);
        if (i >= n) continue;
        double machine[3] = {word_to_real(w[1]), word_to_real(w[2]), word_to_real(w[3])}, world[3];
        madm2w(machine, world);
        for (std::size_t j = 0; j < 3; ++j) control[3 * static_cast<std::size_t>(i) + j] = static_cast<float>(world[j]);
    }
    if (status < 0) return;
    curve.order = k;
    curve.count = n;
    curve.t0 = knots[static_cast<std::size_t>(k - 1)];
    curve.t1 = knots[static_cast<std::size_t>(n)];
    evbcre_bsp(kTemporaryCurve, kSpace, k, n, knots.data(), control.data(), curve.id, status);
    if (status < 0) curve.id = 0;
}

void nurbs_release(nurbs_curve& curve)
{
    if (curve.id != 0) evbfre(curve.id);
    curve.id = 0;
}

void FIND_PNT_ON_SPLINE_BY_Z(const nurbs_curve& curve, double z, double t0, double t1, double& t, double* point,
                             int& status)
{
    status = first_passage(
        curve, t0, t1, [z](const double* p) { return p[2] - z; }, t, point);
}

void FIND_INTERSECTION_SPLINE_WITH_LINE(const nurbs_curve& curve, const double* a, const double* b,
                                        const double* transform, double t0, double t1, double& t, double* point,
                                        int& status)
{
    auto across = [&](const double* p) {
        double at[3] = {p[0], p[1], p[2]};
        if (transform) m3vc2d(transform, at, at);
        return (b[0] - a[0]) * (at[1] - a[1]) - (b[1] - a[1]) * (at[0] - a[0]);
    };
    status = first_passage(curve, t0, t1, across, t, point);
}

double nurbs_parameter_near(const nurbs_curve& curve, const float* point, int& status)
{
    double machine[3] = {point[0], point[1], point[2]}, world[3], closest[3], t = curve.t0, distance = 0.0;
    madm2w(machine, world);
    status = 0;
    cptcrv2(curve.id, world, curve.t0, curve.t1, closest, t, distance, status);
    return t;
}

void nurbs_make_piece(const nurbs_curve& curve, double t0, double t1, nurbs_piece& piece, int& status)
{
    int room = curve.count + 2 * curve.order;
    for (int attempt = 0; attempt < 2; ++attempt) {
        piece.knots.assign(static_cast<std::size_t>(room + curve.order), 0.0);
        piece.control.assign(3 * static_cast<std::size_t>(room), 0.0);
        bcrtrme(curve.id, t0, t1, room, piece.order, piece.count, piece.knots.data(), piece.control.data(), status);
        if (status != kPieceShort) break;
        room = piece.count;
    }
    if (status < 0) {
        status = kFailed;
        return;
    }
    for (int i = 0; i < piece.count; ++i) {
        double* p = &piece.control[3 * static_cast<std::size_t>(i)];
        double machine[3];
        madw2m(p, machine);
        std::copy(machine, machine + 3, p);
    }
}

void nurbs_write_piece(const nurbs_piece& piece, int& status)
{
    nurbs_move_entry(kCallerTrim, piece.order, piece.count, piece.knots.data(), piece.control.data(), status);
}
