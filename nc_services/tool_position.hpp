// DSP8, the NC state block of the current tool position and axis, with the display attributes
// that the block display and the tool display keep beside them. Every written motion leaves its
// end point here; the save and restore of the NC state carry the block whole.
#pragma once

#include "nc_services/nc_word_block.hpp"

#include <array>

// DSP8, 35 words. Words 0-2 the current tool position (tool-path coordinates): the end point of
// the last motion written and displayed (a NURBS move leaves its last control point); words 3-5
// the current tool axis. Words 6-34 belong to the block display and the tool display (reals
// unless noted); the motion output stores and restores them as they stand.
struct tool_position_state : nc_word_block<35> {
    static constexpr int kPosition = 0;        // 3: x, y, z
    static constexpr int kAxis = 3;            // 3: i, j, k
    static constexpr int kNormal = 6;          // 3
    static constexpr int kPrevPosition = 9;    // 3
    static constexpr int kPrevAxis = 12;       // 3
    static constexpr int kLineFont = 15;       // integer; item 107 of a procedure block
    static constexpr int kColour = 16;         // integer; item 116
    static constexpr int kPen = 17;            // integer; item 117
    static constexpr int kInstancePoint = 18;  // 3: the tool instance's last point
    static constexpr int kInstanceAxis = 21;   // 3: its last axis
    static constexpr int kOrientation = 24;    // 9: its orientation matrix, row by row
    static constexpr int kIndexValue = 33;     // the index value of PRM9 (parameter type 54)
    static constexpr int kUcsId = 34;          // integer; parameter type 55

    std::array<float, 3> vec(int first) const { return {real(first), real(first + 1), real(first + 2)}; }
    void set_vec(int first, const std::array<float, 3>& v)
    {
        for (int i = 0; i < 3; ++i) set_real(first + i, v[static_cast<std::size_t>(i)]);
    }
    std::array<float, 3> position() const { return vec(kPosition); }
    std::array<float, 3> axis() const { return vec(kAxis); }
    // Whether the tool stands at the point (x, y when n is 2; x, y, z when n is 3; doubles). The
    // position is kept in single precision, so the point is narrowed and compared at the host's
    // single-precision tolerance: at the double tolerance a point would differ from its own
    // rounding (float spacing is 4e-6 at 50 units), and a link would rise and come down again
    // where the tool already stands.
    bool stands_at(int n, const double* point) const;
};

tool_position_state& DSP8();
