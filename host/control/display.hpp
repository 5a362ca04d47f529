// Control calls of the host display recorder: the figures the module drew, the entities it
// displayed, a readable transcript of every display call, and an SVG picture of the part's
// curves, the displayed figures and entities and a tool path given by the caller (the runner
// extracts the tool path's motion points through the module; the host never parses blocks).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vantu::control {

using polyline3 = std::vector<std::array<double, 3>>;

struct figure_record {
    int id = 0;
    int colour = 0;
    bool open = false;     // still open (never closed by figcls)
    bool deleted = false;  // removed by figdel
    std::vector<polyline3> strokes;  // each moveto starts a stroke; drawto extends the last one
};

// Every figure opened, in order (a replaced figure stays in the list, marked deleted).
const std::vector<figure_record>& figures();
// Entities shown with edisp and not erased since, in the order they were first shown.
std::vector<int> displayed_entities();

// One line per display call, in order, e.g. "figopa -1 colour 3", "moveto 1.0000 2.0000
// 0.0000", "figcls -1", "edisp 12 1".
std::string display_text();

// The picture, top view (X right, Y up), fitted to everything drawn with a margin: the part's
// curve entities thin and grey, displayed figures and entities in their colours, the tool path
// given and the shown blocks of the tool path's display file in the legend's tool-path colour,
// the display file in one layer group per Z level ("Z -5.000") with its links (plunges,
// retracts, the traverses between them) and rapid moves dashed, its attention blocks wider in
// the attention colour, and the status lines within the picture's width. The legend names only
// what is drawn. Valid XML with a viewBox; points that are not finite are left out.
std::string picture_svg(const std::vector<polyline3>& tool_path);

// SVG colour of a host colour number (0..15; others give the colour of 0): 1 the foreground, 2
// red, 3 green, 4 blue, as the module names them.
std::string colour_name(int colour);

}  // namespace vantu::control
