// Placement of the hatch lines of a range and the segment list.
#include "clearing/hatch/hatch_segments.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/surface_pass_seams.hpp"
#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/prog_line.hpp"

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kProgressTotal = 1;
constexpr int kHatchMachining = 1;
// The procedure code whose lines keep to the side-step grid.
constexpr int kGridCode = 54;
// Segment records per block of the segment array.
constexpr int kSegmentsPerBlock = 128;
// A grid-code line accepted this far above its grid ordinate is moved onto it.
constexpr double kGridSnap = 0.0005;

bool grid_code() { return nu_sgcd_get_code() == kGridCode; }

// Runs NCRLIN; false (with the message) when the line has more crossings than are kept.
bool line_crossings(const word* contours, int contour_count, double y, int direction, hatch_points& points, int& count)
{
    NCRLIN(contours, contour_count, static_cast<float>(y), direction, count, points);
    if (count <= kHatchPointsMost) return true;
    eroutc(kHatchBufferMessage, 0);
    return false;
}

// Every pair (1-2, 3-4, ...) has two distinct points.
bool pairs_distinct(const hatch_points& p, int count)
{
    for (int i = 0; i + 1 < count; i += 2) {
        const float a[2] = {p.x[i], p.y[i]}, b[2] = {p.x[i + 1], p.y[i + 1]};
        if (eqpt2(a, b)) return false;
    }
    return true;
}

// The ordinate after an accepted line: a side step on (machining type 1), else from the surface.
int next_ordinate(const hatch_line_setup& setup, float high, const hatch_points& points, int count, double accepted,
                  double& next)
{
    if (machining_type() == kHatchMachining) {
        next = accepted + setup.step;
        return kGoOn;
    }
    float ordinate = 0.0f;
    int status = 0;
    surface_pass_seam_table().pass_height_at_point(static_cast<float>(setup.lower_bound), high, points, count, ordinate,
                                                   status);
    if (status != 0) return kFailed;
    next = ordinate;
    return kGoOn;
}

}  // namespace

void clr_hatch_setup(float low, float /*high*/, hatch_line_setup& setup)
{
    setup.ordinate = low;
    setup.previous = setup.lower_bound = grid_code() ? static_cast<double>(low) : low + kHatchSearchStep;
    setup.step = clear_block.side_step;
    setup.direction = clear_block.direction;
}

int clr_make_hatch(const word* contours, int contour_count, float limit, int direction, hatch_points& points,
                   int& count, double& ordinate)
{
    const bool grid = grid_code();
    const double odd_reach = 2.0 * static_cast<double>(proc_geometry().curve_approx.tolerance);
    double y = ordinate;
    while (!gtval(static_cast<float>(y), limit)) {
        if (!line_crossings(contours, contour_count, y, direction, points, count)) return kFailed;
        if (count != 0 && count % 2 == 0) {
            if (grid && y - ordinate > kGridSnap) {
                for (int i = 0; i < count; ++i) points.y[i] = static_cast<float>(ordinate);
            } else {
                ordinate = y;
            }
            pair_hatch_points(count, points);
            return kGoOn;
        }
        if (!grid) {
            y += kHatchSearchStep;
            ordinate = y;
        } else if (count == 0) {
            y += clear_block.side_step;
            ordinate = y;
        } else {
            y += kHatchSearchStep;
            if (y - ordinate - odd_reach > 0.0) {
                eroutc("[clr_make_hatch] TOO MANY ODD POINTS MISSED", 0);
                return kFailed;
            }
        }
    }
    ordinate = limit;
    count = 0;
    return kFailed;
}

int NCR_CRE(const word* contours, int contour_count, double lower_bound, double& ordinate, int direction,
            hatch_points& points, int& count, double previous)
{
    static constexpr const char* kBelowFirst = "NCR_CRE, HATCH LINE PRECEEDED YMIN!";
    double y = ordinate;
    const double back = y - previous < kHatchSearchStep ? 0.5 * (y - previous) : kHatchSearchStep;
    if (y < lower_bound) {
        userrc(kBelowFirst);
        return kFailed;
    }
    for (;;) {
        if (!line_crossings(contours, contour_count, y, direction, points, count)) return kFailed;
        if (count != 0 && count % 2 == 0 && pairs_distinct(points, count)) break;
        y -= back;
        if (lev0dd(y - previous)) {
            // Back at the previous line: it stands as the last one; an unpaired point is dropped.
            y = previous;
            if (!line_crossings(contours, contour_count, y, direction, points, count)) return kFailed;
            count -= count % 2;
            break;
        }
        if (y < lower_bound) {
            userrc(kBelowFirst);
            return kFailed;
        }
    }
    ordinate = y;
    pair_hatch_points(count, points);
    return kGoOn;
}

int clr_lines_open()
{
    clear_state& b = clear_block;
    int handle = kClearClosed, status = 0;
    MM_OPEN_FDS(static_cast<int>(sizeof(hatch_segment)), kSegmentsPerBlock, handle, status);
    b.segment_head = b.segment_last = nullptr;
    if (status != 0) return kFailed;
    b.segment_handle = handle;
    return kGoOn;
}

int clr_store_lines(const hatch_points& points, int count)
{
    clear_state& b = clear_block;
    for (int i = 0; i + 1 < count; i += 2) {
        auto* s = static_cast<hatch_segment*>(b.segment_handle == kClearClosed ? nullptr : MM_FALLOC(b.segment_handle));
        if (s == nullptr) return kFailed;
        *s = {points.x[i],       points.x[i + 1],       points.y[i],       points.y[i + 1],
              points.segment[i], points.segment[i + 1], points.contour[i], points.contour[i + 1],
              points.mark[i],    points.mark[i + 1],    b.segment_last,    nullptr};
        if (b.segment_last != nullptr)
            b.segment_last->next = s;
        else
            b.segment_head = s;
        b.segment_last = s;
    }
    return kGoOn;
}

int clr_hatch_lines(int first, int last, const word* contours, float low, float high, int contour_count,
                    hatch_points& points)
{
    if (first != 0 && clr_lines_open() != kGoOn) return kFailed;
    hatch_line_setup setup;
    clr_hatch_setup(low, high, setup);
    // A step that does not move on would place lines without end.
    if (!(setup.step > 0.0)) return kFailed;
    int count = 0;
    double y = static_cast<double>(low) + kHatchSearchStep;
    if (clr_make_hatch(contours, contour_count, high, setup.direction, points, count, y) != kGoOn) return kFailed;
    if (clr_store_lines(points, count) != kGoOn) return kFailed;
    setup.previous = y;
    if (next_ordinate(setup, high, points, count, y, y) != kGoOn) return kFailed;
    while (y < high && !eqvldd(y, high)) {
        if (clr_make_hatch(contours, contour_count, high, setup.direction, points, count, y) != kGoOn) {
            // Past the range's high end without a line: the last line closes the range.
            if (count == 0 && y == static_cast<double>(high)) break;
            return kFailed;
        }
        if (clr_store_lines(points, count) != kGoOn) return kFailed;
        setup.previous = y;
        if (next_ordinate(setup, high, points, count, y, y) != kGoOn) return kFailed;
    }
    double top = high;
    if (NCR_CRE(contours, contour_count, setup.lower_bound, top, setup.direction, points, count, setup.previous) !=
        kGoOn)
        return kFailed;
    if (top != setup.previous && clr_store_lines(points, count) != kGoOn) return kFailed;
    if (last != 0) {
        prog_reset_all();
        prog_count_set(kProgressTotal, MM_CUR_N_ENTRIES(clear_block.segment_handle));
    }
    return kGoOn;
}

void CLSLNS(int& status)
{
    status = kGoOn;
    clear_state& b = clear_block;
    if (b.segment_handle != kClearClosed) {
        MM_CLOSE(b.segment_handle, status);
        if (status != 0) eroutc("CLSLNS, PROBLEMS IN DYNAMIC MEMORY", 0);
    }
    b.segment_handle = kClearClosed;
    b.segment_head = b.segment_last = nullptr;
}
