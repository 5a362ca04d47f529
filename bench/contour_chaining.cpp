// Speed of the interactive chaining at length: a closed polygon of n lines picked line by line, as
// the pocket's contour page picks, each pick chaining the whole loop into a record (dfdini, dfdc).
// The run stops with an error when a pick does not answer the whole closed loop.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr double kChainTolerance = 0.1;  // the pocket page's contour tolerance

// The polygon's lines round a circle of radius 45, made in order; their ids.
std::vector<int> polygon_lines(int n)
{
    std::vector<int> ids;
    const auto corner = [n](int k) {
        const double a = 2.0 * std::numbers::pi * k / n;
        return vantu::control::point3{50.0 + 45.0 * std::cos(a), 50.0 + 45.0 * std::sin(a), 0.0};
    };
    for (int k = 0; k < n; ++k) ids.push_back(vantu::control::add_line(corner(k), corner((k + 1) % n)));
    return ids;
}

std::string pick_script(const std::vector<int>& ids)
{
    std::string script = "[";
    for (const int id : ids) script += (script.size() > 1 ? ", {\"pick\": " : "{\"pick\": ") + std::to_string(id) + "}";
    return script + "]";
}

void BM_PolygonPickedLineByLine(benchmark::State& state)
{
    const int n = static_cast<int>(state.range(0));
    std::vector<int> record(2 * static_cast<std::size_t>(n));
    for (auto _ : state) {
        state.PauseTiming();
        vantu::control::reset();
        const std::vector<int> ids = polygon_lines(n);
        vantu::control::load_script_text(pick_script(ids), "picks");
        state.ResumeTiming();
        for (int k = 0; k < n; ++k) {
            int length = 0, status = 0, open = -1;
            dfdini(kChainTolerance, status);
            dfdc(n, record.data(), length, status);
            if (status == 0) dfdgoc(record.data(), open, status);
            if (status != 0 || length != n || open != 0) {
                state.SkipWithError("a pick did not chain the whole closed loop");
                return;
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_PolygonPickedLineByLine)->Arg(600)->Arg(1000)->Arg(2000)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
