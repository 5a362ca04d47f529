// The string methods of the surface pass loop (see the header).
#include "clearing/surface_passes/string_methods.hpp"

#include "clearing/hatch/clear_block.hpp"
#include "clearing/surface_passes/grid_heights.hpp"
#include "clearing/surface_passes/pass_band.hpp"
#include "clearing/surface_passes/touch_strings.hpp"
#include "clearing/surface_services/backup_seams.hpp"
#include "clearing/surface_services/srflin.hpp"
#include "clearing/surface_services/surface_pass_state.hpp"
#include "nc_services/machining_type.hpp"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kMethodLine = 1, kMethodTouch = 2, kMethodBand = 3, kMethodGridBand = 5;
constexpr int kGridOption = 4;    // surface option word: the grid heights
constexpr int kOutputAlways = 3;  // output option word: motions even with the grid-only mark
constexpr int kGridLineKinds[] = {1, 2};
constexpr int kBandType3 = 12, kBandType5 = 13;  // machining types of the band methods
constexpr float kBandTolerancePart = 3.0f;       // the band methods work to a third of the tolerance
// srflin's surface, orientation and gouge check: the procedure's first part surface, as laid.
constexpr int kFirstSurface = 0, kAsLaid = 1, kNoGougeCheck = 0;

using words_t = curve_approx_words;
using inputs_t = string_method_inputs;

// The touch family: method 2, or the grid-only mark unless the grid heights are asked for
// without the output.
bool touch_family(const words_t& w, const inputs_t& in)
{
    return w.method == kMethodTouch ||
           (in.grid_only != 0 && (w.surface_option != kGridOption || w.output_option == kOutputAlways));
}

// The grid family: method 5 or the grid-only mark, with the grid heights asked for.
bool grid_family(const words_t& w, const inputs_t& in)
{
    return (w.method == kMethodGridBand || in.grid_only != 0) && w.surface_option == kGridOption;
}

bool grid_line_kind(int kind)
{
    return std::find(std::begin(kGridLineKinds), std::end(kGridLineKinds), kind) != std::end(kGridLineKinds);
}

bool line_row(const words_t& w, const inputs_t&) { return w.method == kMethodLine; }
bool touch_row(const words_t& w, const inputs_t& in) { return touch_family(w, in) && in.grid_switch == 0; }
bool grid_row(const words_t& w, const inputs_t& in) { return touch_family(w, in) && in.grid_switch != 0; }
bool dummy_grid_row(const words_t& w, const inputs_t& in) { return grid_family(w, in) && grid_line_kind(w.grid_kind); }
bool grid_kinds_row(const words_t& w, const inputs_t& in) { return grid_family(w, in); }
bool band_row(const words_t& w, const inputs_t&) { return w.method == kMethodBand || w.method == kMethodGridBand; }

struct method_row {
    string_method method;
    bool (*applies)(const words_t&, const inputs_t&);
};

// The first row that applies wins.
constexpr method_row kMethodTable[] = {
    {string_method::line_strings, line_row},
    {string_method::touch, touch_row},
    {string_method::grid, grid_row},
    {string_method::dummy_grid, dummy_grid_row},
    {string_method::grid_kinds, grid_kinds_row},
    {string_method::band, band_row},
};

float hatch_angle() { return std::atan2(clear_block.sin, clear_block.cos); }

void line_strings(const curve_approx_words& w, const segment_job& job, string_block& out, int& status)
{
    int plane_result = 0;
    surface_buffer buffer;
    surface_buffer_of_procedure(kFirstSurface, buffer, status);
    if (status != 0) {  // no parametric part surface: the line gives no string
        status = 0;
        return;
    }
    srflin(buffer, kAsLaid, job.a, job.b, w.tolerance, surface_pass.continuation, out.capacity(), kNoGougeCheck,
           out.points.data(), out.string_count, out.counts.data(), plane_result, status);
    out.string_count = std::clamp(out.string_count, 0, out.string_most());
    out.total = std::accumulate(out.counts.begin(), out.counts.begin() + out.string_count, 0);
    // srflin keeps only the engine's last normal: the strings stand on the tool axis.
    for (int i = 0; i < out.total; ++i) out.normals[3 * i + 2] = 1.0f;
    if (status == kSrflinNoTouch) status = 0;
}

void grid_strings(const segment_job& job, int& grid_gap, int& status)
{
    segment_grid_heights(job.a, job.b, hatch_angle(), status);
    if (status == kGridGap) grid_gap = 1;
    if (status > 0) status = 0;
}

void band_strings(const curve_approx_words& w, const segment_job& job, string_block& out, int& status)
{
    machining_type() = w.method == kMethodGridBand ? kBandType5 : kBandType3;
    segment_pass_band(job.context, job.pass_type == 3 ? 1 : 0, w.band_flag, w.upper_z, job.lower, job.a, job.b,
                      w.tolerance / kBandTolerancePart, w.net_values[0], w.net_values[1], out.capacity(),
                      out.string_most(), job.pass_type, out.points.data(), out.normals.data(), out.string_count,
                      out.counts.data(), out.total, status);
    if (status > 0) status = 0;
}

}  // namespace

string_block::string_block(int point_most, int string_most)
    : points(3 * static_cast<std::size_t>(point_most)), normals(3 * static_cast<std::size_t>(point_most)),
      values(static_cast<std::size_t>(point_most)), counts(static_cast<std::size_t>(string_most))
{}

void string_block::clear()
{
    std::fill(points.begin(), points.end(), 0.0f);
    std::fill(normals.begin(), normals.end(), 0.0f);
    std::fill(values.begin(), values.end(), 0.0f);
    std::fill(counts.begin(), counts.end(), 0);
    string_count = 0;
    total = 0;
}

string_method string_method_for(const curve_approx_words& words, const string_method_inputs& inputs)
{
    for (const method_row& row : kMethodTable)
        if (row.applies(words, inputs)) return row.method;
    return string_method::none;
}

void segment_strings(const curve_approx_words& words, const segment_job& job, string_block& out, int& grid_gap,
                     int& status)
{
    status = 0;
    out.clear();
    switch (string_method_for(words, job.inputs)) {
    case string_method::none: return;
    case string_method::line_strings: line_strings(words, job, out, status); return;
    case string_method::touch: {
        segment_touch_strings(job.context, words.store_word, job.a, job.b, words.tolerance, words.net_values[0],
                              words.net_values[1], out.capacity(), out.string_most(), job.touch_pass, hatch_angle(),
                              job.inputs.grid_only, out.points.data(), out.normals.data(), out.values.data(),
                              out.string_count, out.counts.data(), out.total, status);
        if (status > 0) status = 0;
        return;
    }
    case string_method::grid:
    case string_method::grid_kinds: grid_strings(job, grid_gap, status); return;
    case string_method::dummy_grid: surface_backup_service_table().ZLINT3(status); return;
    case string_method::band: band_strings(words, job, out, status); return;
    }
}
