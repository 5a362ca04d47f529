// Speed of the point strings over one surface: srflin along 1,000 hatch lines across a bicubic
// patch of 60 x 60 (heights 0 to 9) with a ball of diameter 4, tolerance 0.01, lines along X
// spaced evenly over Y. Goal: the 1,000 lines in under 2 s. The case stops with an error when a
// line gives no string or fails.
#include "clearing/surface_services/srflin.hpp"
#include "host/control.hpp"
#include "tools/current_tool.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/nc_state_blocks.hpp"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int kLines = 1000;
constexpr float kTolerance = 0.01f;

const char* const kPart = R"({"entities": [
 {"id": 33, "kind": "bicubic", "u_range": [0, 1], "v_range": [0, 1], "points": [
  [0, 0, 0], [20, 0, 4], [40, 0, 4], [60, 0, 0], [0, 20, 3], [20, 20, 9], [40, 20, 8], [60, 20, 2],
  [0, 40, 2], [20, 40, 8], [40, 40, 9], [60, 40, 3], [0, 60, 0], [20, 60, 3], [40, 60, 4], [60, 60, 1]]}]})";

void srflin_lines(benchmark::State& state)
{
    vantu::control::reset();
    vantu::control::load_part_text(kPart, "part");
    tool_block().IDTOOL = PRM9().words[machine_params::kToolId];
    tool_block().tool_class = kMill;
    tool_block().TLVERS = 1000;
    tool_shapes().mill.DIAMTR = 4.0f;
    tool_shapes().mill.CRNRRD = 2.0f;
    tool_shapes().mill.SPARE1 = 0.0f;
    HEI8().set_real(heights_state::kClearance, 100.0f);
    surface_buffer buffer;
    int status = 0;
    surface_buffer_load(33, buffer.words, status);
    std::vector<float> points(30000);
    long long total = 0;
    for (auto _ : state) {
        for (int k = 0; k < kLines; ++k) {
            const float y = 1.0f + 58.0f * static_cast<float>(k) / (kLines - 1);
            const float start[2] = {-5.0f, y}, end[2] = {65.0f, y};
            surface_line_continuation continuation;
            int counts[kSrflinMostStrings], string_count = 0, plane = 0;
            srflin(buffer, 1, start, end, kTolerance, continuation, static_cast<int>(points.size()), 0, points.data(),
                   string_count, counts, plane, status);
            if (status != 0 || counts[0] < 2) {
                state.SkipWithError("a hatch line gave no string");
                return;
            }
            total += counts[0];
        }
    }
    state.counters["points_per_line"] = static_cast<double>(total) / (kLines * static_cast<double>(state.iterations()));
    vantu::control::reset();
}

}  // namespace

BENCHMARK(srflin_lines)->Unit(benchmark::kMillisecond);
