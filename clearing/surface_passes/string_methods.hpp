// The string methods of the surface pass loop: how the strings of surface points along one
// machined segment are made, chosen by the method word and the grid words of
// curve_approx_common, the grid-only mark of the NC function and the grid switch of the triangle
// model. The choice is one table (string_method_for); segment_strings runs the chosen row.
#pragma once

#include "nc_services/proc_geometry_words_least.hpp"

#include <vector>

// A block of point strings: points and normals three floats a point, one value a point, a point
// count per string (a count of 0 separates groups of strings).
struct string_block {
    std::vector<float> points, normals, values;
    std::vector<int> counts;
    int string_count = 0;
    int total = 0;
    string_block(int point_most, int string_most);
    int capacity() const { return static_cast<int>(points.size()); }
    int string_most() const { return static_cast<int>(counts.size()); }
    void clear();
};

// The rows of the method table, in the order they are tried.
enum class string_method {
    none,          // no row applies: no strings
    line_strings,  // srflin along the hatch line
    touch,         // segment_touch_strings
    grid,          // segment_grid_heights (grid switch on)
    dummy_grid,    // ZLINT3: the grid-line kinds, which this module does not carry
    grid_kinds,    // segment_grid_heights for the other grid kinds
    band,          // segment_pass_band
};

// What the choice reads besides the curve approximation words.
struct string_method_inputs {
    int grid_only = 0;    // NC function 48 with a grid kind
    int grid_switch = 0;  // the triangle model's grid switch
};

string_method string_method_for(const curve_approx_words& words, const string_method_inputs& inputs);

// One machined segment as the loop hands it to the methods.
struct segment_job {
    int context = 0;                           // the surface set of the touch strings
    float a[3] = {0, 0, 0}, b[3] = {0, 0, 0};  // the segment's ends (x, y; z the band's upper Z)
    int pass_type = 1;                         // 1 the last segment, 2 another, 3 under the restart mark
    int touch_pass = 0;                        // the pass number for the touch strings (negative: not last)
    float lower = 0.0f;                        // the band's lower Z
    string_method_inputs inputs;
};

// Outcome of the grid methods that the loop turns into its final status 7.
inline constexpr int kGridOutcome = 7;

// The strings of the segment into out (cleared first). status: the method's negative status, or
// 0; grid_gap becomes 1 when a grid method reported a sample without a result. Under the band
// methods machining_type() is 13 (method 5) or 12 (method 3) during the call and the tolerance a
// third of the curve tolerance; the caller restores the machining type. Reads clear_block's
// hatch angle, the curve approximation words, the tool's reach words of linnet_params.
void segment_strings(const curve_approx_words& words, const segment_job& job, string_block& out, int& grid_gap,
                     int& status);
