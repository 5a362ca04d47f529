// Where a sequence reads as another one begun at another item: a loop picked again from another
// curve (or run the other way) is the same loop from another place. The curve sets and the
// selection list keep such loops as views of one shared run (host/core/curve_set_runs.hpp,
// host/core/selection_runs.hpp). Internal to the host.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

namespace vantu {

struct run_place {
    std::size_t first = 0;   // place in the run of the wanted sequence's first item
    bool backwards = false;  // the wanted sequence reads the run backwards
};

// Places of `run` whose item begins `wanted` are tried, at most this many: a loop names each
// curve once, so one place is the rule; a run that repeats an item is not searched further.
inline constexpr int kMostRunTrials = 4;

// The place from which `wanted` reads exactly as `run`, item k being run[first + k] (round its
// end), or backwards turn(run[first - k]); nothing for sequences of other lengths or empty ones.
template <class T, class Same, class Turn>
std::optional<run_place> rotation_in(const std::vector<T>& run, const std::vector<T>& wanted, Same same, Turn turn)
{
    const std::size_t n = run.size();
    if (n == 0 || n != wanted.size()) return std::nullopt;
    for (const bool backwards : {false, true}) {
        int trials = 0;
        for (std::size_t place = 0; place < n && trials < kMostRunTrials; ++place) {
            const auto item = [&](std::size_t k) {
                return backwards ? turn(run[(place + n - k) % n]) : run[(place + k) % n];
            };
            if (!same(item(0), wanted.front())) continue;
            ++trials;
            std::size_t k = 1;
            while (k < n && same(item(k), wanted[k])) ++k;
            if (k == n) return run_place{place, backwards};
        }
    }
    return std::nullopt;
}

}  // namespace vantu
