// The direction arrows of the hatch passes: their state, drawing and deletion with the host's
// arrow figure, and the computation of their positions on a contour or a box through the hatch
// lines of the clearing code.
#include "pocket/direction_arrows.hpp"

#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket/hatch_line_seams.hpp"
#include "pocket/polbuf.hpp"
#include "surfaces/geometry_access_least.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

arrows_state arrows_block;

namespace {

constexpr int kGoOn = 0, kFailed = -1, kNotFound = -2;
constexpr int kContourMode = 1;
constexpr int kSelect = 2, kGetIndex = 1;
// The polygon buffer the arrows work in.
constexpr int kArrowBuffer = 5;
// Chord tolerance of the contour's polygon.
constexpr float kArrowChord = 1.0f;
// The reverse pass: the hatch angle plus this (slightly below pi, as the passes always took it).
constexpr float kReverseAngle = 3.1415925f;
// Lines whose crossings give no direction before the hatch direction itself is taken.
constexpr int kMostDirectionFailures = 5;
constexpr int kRangeMode = 1;
constexpr int kAscending = 1;
// Most hatch lines tried in one pass.
constexpr double kMostLines = 1.0e6;

arrows_state& a = arrows_block;

// The points (3 doubles) turned back from the hatch frame of (c, s).
void to_world(float c, float s, float xt, float yt, float* out)
{
    out[0] = xt * c - yt * s;
    out[1] = xt * s + yt * c;
}

// One pass: the arrow where the first hatch line with crossings meets the polygon. Answers 0,
// or -2 with its message.
int arrow_of_pass(int pass, int mode, const std::vector<word>& polygon, float height, float angle, float side_step,
                  float hatch_step)
{
    const float t = angle + (pass == 0 ? 0.0f : kReverseAngle);
    const float c = std::cos(t), s = std::sin(t);
    std::vector<word> frame = polygon;
    float low = 0.0f, high = 0.0f;
    hatch_line_seams().clr_hatch_range(c, s, 1, kRangeMode, nullptr, side_step, frame.data(), low, high);
    const float first = low + side_step, last = high - side_step;
    if (first > last) {
        eroutc("SIDE STEP TOO LARGE", 0);
        return kNotFound;
    }
    int failures = 0;
    // Lines by their number, so that a step below the float resolution of the ordinates still
    // moves on; the count is bounded by the pocket's extent.
    const double lines = std::floor((static_cast<double>(last) - first) / hatch_step) + 1.0;
    for (long i = 0; i < std::min(lines, kMostLines); ++i) {
        const float y = static_cast<float>(first + i * static_cast<double>(hatch_step));
        int count = 0, status = 0;
        float first_x = 0.0f, last_x = 0.0f;
        hatch_line_seams().hatch_line_span(frame.data(), 1, y, kAscending, first_x, last_x, count, status);
        if (count < 2 || count % 2 != 0) continue;
        float dx = last_x - first_x;
        if (std::fabs(dx) <= vantu::kRealTolerance) {
            if (++failures <= kMostDirectionFailures) continue;
            dx = 1.0f;  // the hatch direction itself
        }
        to_world(c, s, first_x, y, a.position[pass]);
        a.position[pass][2] = height;
        const float unit[2] = {dx > 0.0f ? 1.0f : -1.0f, 0.0f};
        to_world(c, s, unit[0], unit[1], a.direction[pass]);
        a.direction[pass][2] = 0.0f;
        return kGoOn;
    }
    eroutc(mode == kContourMode ? "CANNOT COMPUTE ARROWS POSITION. PLEASE REDEFINE CONTOUR"
                                : "CANNOT COMPUTE ARROWS POSITION.",
           0);
    return kNotFound;
}

// Runs f with the arrows' polygon buffer current, then makes the buffer current before it
// current again.
template <class F> void in_arrow_buffer(int& status, F f)
{
    int previous = 0, index = kArrowBuffer;
    polbuf_select(kGetIndex, previous, status);
    if (status == kGoOn) polbuf_select(kSelect, index, status);
    if (status != kGoOn) return;
    f();
    int restore_status = 0;
    polbuf_select(kSelect, previous, restore_status);
}

// Deletes the arrows' figures that exist and forgets them all.
void delete_figures()
{
    for (int& figure : a.figure) {
        if (figure != 0) {
            int ignored = 0;
            figdel(figure, ignored);
        }
        figure = 0;
    }
}

}  // namespace

void arrows_init(int direction_parameter, int& status)
{
    a.shown = 0;
    a.direction_flag = direction_parameter != 1 ? 1 : 0;
    delete_figures();
    status = kGoOn;
}

void arrows_set_dir(int direction_parameter) { a.direction_flag = direction_parameter != 1 ? 1 : 0; }

int arrows_shown() { return a.shown; }

void arrows_mark_hidden() { a.shown = 0; }

void arrows_delete()
{
    if (macexe() != 0) return;
    delete_figures();
}

void arrows_draw()
{
    if (macexe() != 0 || a.shown == 0) return;
    int full[6];
    figaro_par_get(full);
    full[3] = 1;
    int half[6];
    std::copy(std::begin(full), std::end(full), half);
    for (int i = 0; i < 3; ++i) half[i] = full[i] / 2;
    for (int i = 0; i < 2; ++i) {
        if (a.figure[i] < 0) continue;
        const bool half_size = (i == 0) == (a.direction_flag != 0);
        const double point[3] = {a.position[i][0], a.position[i][1], a.position[i][2]};
        const double direction[3] = {a.direction[i][0], a.direction[i][1], a.direction[i][2]};
        int figure = 0, status = 0;
        figarop(half_size ? half : full, point, direction, figure, status);
        if (status == kGoOn) a.figure[i] = figure;
    }
}

void arrows_flip() { a.direction_flag = a.direction_flag != 0 ? 0 : 1; }

void compute_arrow_pair(int mode, int buffer, float height, float angle, float side_step, int& status)
{
    int index = buffer;
    polbuf_select(kSelect, index, status);
    int count = 0;
    const word* first = polbuf_get_ptr(1, 1, status);
    if (status == kGoOn) polbuf_get_np(1, count, status);
    if (status != kGoOn || first == nullptr || count < 2) {
        status = kFailed;
        return;
    }
    const std::vector<word> polygon(first, first + 1 + 2L * count);
    float hatch_step = 0.01f * side_step;
    if (eqval0(hatch_step)) hatch_step = 0.1f * side_step;
    if (eqval0(hatch_step)) hatch_step = side_step;
    if (!(hatch_step > 0.0f)) {
        status = kFailed;
        return;
    }
    arrows_state computed = a;
    for (int pass = 0; pass < 2; ++pass) {
        status = arrow_of_pass(pass, mode, polygon, height, angle, side_step, hatch_step);
        if (status != kGoOn) {
            a = computed;  // a failure leaves the arrows as they were
            return;
        }
    }
    a.shown = 1;
}

void compute_arrows_position_cont(const int* record, float angle, float side_step, int& status)
{
    int entity = 0;
    double data[3], first[3];
    dfdget(record, 1, entity, data, status);
    if (status != kGoOn || entity < 1) {
        status = kFailed;
        return;
    }
    evcrvd(entity, data[0], first, nullptr, status);
    if (status != kGoOn) return;
    in_arrow_buffer(status, [&] {
        polbuf_from_curve(1, record, kArrowChord, status);
        if (status != kGoOn) {
            eroutc("compute_arrows_position_cont,BUFFER IS NOT LARGE ENOUGH", 0);
            status = kFailed;
            return;
        }
        compute_arrow_pair(kContourMode, kArrowBuffer, static_cast<float>(first[2]), angle, side_step, status);
    });
}

void compute_arrows_position_box(const int* surfaces, int surface_count, float height, float angle, float side_step,
                                 int& status)
{
    float box[6];
    SURFSBOX(surfaces, surface_count, box, status);
    if (status != kGoOn) return;
    in_arrow_buffer(status, [&] {
        const float corners[5][2] = {
            {box[0], box[1]}, {box[3], box[1]}, {box[3], box[4]}, {box[0], box[4]}, {box[0], box[1]}};
        for (int i = 0; i < 5 && status == kGoOn; ++i) polbuf_set_point(1, i + 1, corners[i][0], corners[i][1], status);
        if (status == kGoOn) polbuf_set_np(1, 5, status);
        if (status == kGoOn) compute_arrow_pair(0, kArrowBuffer, height, angle, side_step, status);
    });
}

void compute_arrows_position(int mode, const int* record, float height, float angle, float side_step,
                             const int* surfaces, int surface_count, int& status)
{
    if (eqval0(side_step)) {
        eroutc("compute_arrows_position, CAN'T CALCULATE ARROWS' POSITION", 0);
        status = kFailed;
        return;
    }
    if (mode == kContourMode)
        compute_arrows_position_cont(record, angle, side_step, status);
    else
        compute_arrows_position_box(surfaces, surface_count, height, angle, side_step, status);
}
