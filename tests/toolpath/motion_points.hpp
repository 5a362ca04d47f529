// The motion points of tool-path lines as the tests judge a path: the end of every line move and
// every point of a point string, in order.
#pragma once

#include "host/control.hpp"
#include "host/words.hpp"

#include <array>
#include <vector>

namespace motion_test {

inline std::vector<std::array<float, 3>> motion_points(const std::vector<vantu::control::toolpath_line>& lines)
{
    std::vector<std::array<float, 3>> out;
    const auto at = [&](const std::vector<word>& w, std::size_t k) {
        out.push_back({word_to_real(w[k]), word_to_real(w[k + 1]), word_to_real(w[k + 2])});
    };
    for (const auto& l : lines) {
        const std::vector<word>& w = l.words;
        if (w.empty()) continue;
        const std::size_t stride = w[0] == 7 ? 4 : w[0] == 27 || w[0] == 227 ? 7 : 0;
        if (w[0] == 2 || w[0] == 22 || w[0] == 222) at(w, 2);
        for (std::size_t k = 1; stride > 0 && k + stride <= w.size(); k += stride) at(w, k + 1);
    }
    return out;
}

}  // namespace motion_test
