// Control calls of the host display recorder: the figures the module drew, the entities it
// displayed, a readable transcript of every display call, and an SVG picture of the part's
// curves, the displayed figures and entities and a tool path given by the caller (the runner
// extracts the tool path's motion points through the module; the host never parses blocks).
#pragma once

#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

namespace vantu::control {

using polyline3 = std::vector<std::array<double, 3>>;

struct figure_record {
    int id = 0;
    int colour = 0;
    bool open = false;               // still open (never closed by figcls)
    bool deleted = false;            // removed by figdel
    std::vector<polyline3> strokes;  // each moveto starts a stroke; drawto extends the last one
};

// Every figure opened, in order (a replaced figure stays in the list, marked deleted).
const std::vector<figure_record>& figures();
// Entities shown with edisp and not erased since, in the order they were first shown.
std::vector<int> displayed_entities();

// One line per display call, in order, e.g. "figopa -1 colour 3", "moveto 1.0000 2.0000
// 0.0000", "figcls -1", "edisp 12 1".
std::string display_text();
void write_display_text(std::ostream& out);

// The picture, top view (X right, Y up), fitted to everything drawn with a margin: the part's
// surfaces faintly shaded by height (lighter higher), its curve entities thin and grey, displayed
// figures and entities in their colours, the tool path given in the legend's tool-path colour,
// and the shown blocks of the tool path's display file, one layer per level of the tool path
// (its LAYER brackets; a procedure without them is one level, host/display_levels.hpp) in a
// colour of its own, cuts solid at a width that keeps close lanes apart, links (rapid moves,
// approaches, retracts, connections, plunges, lifts and the ways over between them) dashed,
// attention blocks wider in the attention colour; the machine status lines at the end under the
// drawing. The legend names only what is drawn. Valid XML with a viewBox; points that are not
// finite are left out. Level 0 draws every level; level k (1 to picture_levels()) only the
// display file's level k, the rest of the picture and its view as in the whole.
std::string picture_svg(const std::vector<polyline3>& tool_path, std::size_t level = 0);
// The number of levels the display file's shown blocks fall into.
std::size_t picture_levels();

// SVG colour of a host colour number (0..15; others give the colour of 0): 1 the foreground, 2
// red, 3 green, 4 blue, as the module names them.
std::string colour_name(int colour);

}  // namespace vantu::control
