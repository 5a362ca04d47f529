// The SVG picture of a run: the part's surfaces and curve entities, the figures and entities the
// module displayed, the tool path's display file and the tool path handed in by the caller, seen
// from the top (X right, Y up) and fitted to what is drawn. The display file is drawn one layer
// per level of the tool path, each in its own colour (so a viewer can hide levels), its links
// dashed (host/display_levels.hpp). Sizes (stroke widths, point marks, legend, status lines) are
// fractions of the picture, so a part of 1 mm and one of 1 m look alike.
#include "host/control/display.hpp"
#include "host/control/entities.hpp"
#include "host/control/ncd_file.hpp"
#include "host/control/picture.hpp"
#include "host/control/status_line.hpp"
#include "host/control/tool_instance.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/part_surfaces.hpp"
#include "host/display_levels.hpp"
#include "host/vantu_part_surfaces.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <limits>
#include <optional>
#include <span>
#include <sstream>
#include <unordered_set>

namespace vantu::control {

namespace {

using point3 = std::array<double, 3>;

// Fractions of the picture's larger side.
constexpr double kMargin = 0.05;
constexpr double kPartStroke = 0.001;
constexpr double kFigureStroke = 0.002;
constexpr double kToolPathStroke = 0.0025;
// The display file's cuts are drawn at most as wide as the tool path, at least as hairlines, and
// where they lie close at this share of their spacing (pocket lanes a side step apart, often a
// thousandth of the part, stay apart when the picture is zoomed); the spacing is measured on a
// grid of this many cells across the picture.
constexpr double kDisplayFileStroke = 0.0002;
constexpr double kCutWidthOfSpacing = 0.4;
constexpr double kSpacingCells = 256.0;
// The part surface is drawn in cells of at most this many across, shaded from this grey (its
// lowest point) to that one (its highest).
constexpr int kSurfaceCells = 120;
constexpr double kSurfaceLowGrey = 185.0, kSurfaceHighGrey = 240.0;
constexpr double kSurfaceLegendWidth = 0.02;
const char* const kSurfaceLegendColour = "#dcdcdc";
// The legend names the first levels of the tool path one by one.
constexpr std::size_t kLegendLevels = 8;
constexpr double kPointMark = 0.004;
constexpr double kLegendFont = 0.025;
constexpr double kStatusFont = 0.6 * kLegendFont;
// Width of a monospace character in ems, to keep the status lines inside the picture.
constexpr double kMonospaceAdvance = 0.6;
constexpr int kPictureWidthPixels = 1000;

const char* const kPartColour = "#999999";
const char* const kToolPathColour = "navy";
// Blocks marked for attention (the manual editor's cursor, a chosen range) stand out in it.
const char* const kAttentionColour = "orangered";
// The namespace of the layer attributes, so that an editor lists each Z level as a layer.
const char* const kInkscape = "http://www.inkscape.org/namespaces/inkscape";

bool finite_point(const std::array<double, 3>& p)
{
    return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

// What the picture draws, gathered first so the view can be fitted to it.
struct picture_content {
    std::vector<polyline3> surface_cells;  // closed outlines; the mean of their z shades them
    std::vector<polyline3> part;
    std::vector<std::array<double, 3>> part_points;
    std::vector<std::pair<int, polyline3>> coloured;                     // colour, polyline
    std::vector<std::pair<int, std::array<double, 3>>> coloured_points;  // colour, point
    std::vector<polyline3> tool_path;
    std::vector<const ncd_block_record*> display_file;  // the shown blocks of the display file
    std::vector<std::array<double, 3>> tool_instance;   // none or one
    std::vector<std::string> status_lines;
};

// Text inside an SVG element.
std::string escaped(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '&')
            out += "&amp;";
        else if (ch == '<')
            out += "&lt;";
        else if (ch == '>')
            out += "&gt;";
        else
            out += ch;
    }
    return out;
}

// The field without the blanks that pad it to its width.
std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Line font 6 draws dotted (font 5, the rapid moves, is a link: dashed); the others are solid.
constexpr int kDottedFont = 6;
constexpr double kToolMark = 0.012;

// The attribute "CO" of an entity, colour 0 when it has none.
int entity_colour(int id)
{
    const auto e = get_entity(id);
    if (!e) return 0;
    const auto it = e->attributes.find("CO");
    return it == e->attributes.end() ? 0 : it->second;
}

// The cells of a height grid with surface at all four nodes, every `step` nodes.
void add_grid_cells(const part_surface& s, std::vector<polyline3>& cells)
{
    const int step = std::max(1, (std::max(s.nx, s.ny) + kSurfaceCells - 1) / kSurfaceCells);
    auto node = [&](int i, int j) {
        const float h =
            s.heights[static_cast<std::size_t>(j) * static_cast<std::size_t>(s.nx) + static_cast<std::size_t>(i)];
        return std::array<double, 3>{s.x0 + i * s.cell_size, s.y0 + j * s.cell_size,
                                     h >= kNodeWithoutSurface ? std::numeric_limits<double>::quiet_NaN() : h};
    };
    if (s.heights.size() < static_cast<std::size_t>(s.nx) * static_cast<std::size_t>(s.ny)) return;
    for (int j = 0; j + step < s.ny; j += step)
        for (int i = 0; i + step < s.nx; i += step) {
            polyline3 cell = {node(i, j), node(i + step, j), node(i + step, j + step), node(i, j + step)};
            if (std::all_of(cell.begin(), cell.end(), finite_point)) cells.push_back(std::move(cell));
        }
}

// A parametric surface in cells of its parameter ranges.
void add_parametric_cells(const part_surface& s, std::vector<polyline3>& cells)
{
    constexpr int n = kSurfaceCells / 2;
    auto at = [&](int i, int j) {
        return parametric_point(s, s.u_range[0] + (s.u_range[1] - s.u_range[0]) * i / n,
                                s.v_range[0] + (s.v_range[1] - s.v_range[0]) * j / n);
    };
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            polyline3 cell = {at(i, j), at(i + 1, j), at(i + 1, j + 1), at(i, j + 1)};
            if (std::all_of(cell.begin(), cell.end(), finite_point)) cells.push_back(std::move(cell));
        }
}

picture_content gather(const std::vector<polyline3>& tool_path)
{
    picture_content c;
    for (int id : entity_ids()) {
        const entity* e = find_entity(id);
        if (!e || !e->surface) continue;
        if (e->surface->type == kHeightGridType)
            add_grid_cells(*e->surface, c.surface_cells);
        else if (!e->surface->coefficients.empty())
            add_parametric_cells(*e->surface, c.surface_cells);
    }
    for (int id : entity_ids()) {
        polyline3 points = curve_display_points(id);
        if (points.size() == 1)
            c.part_points.push_back(points[0]);
        else if (points.size() > 1)
            c.part.push_back(std::move(points));
    }
    for (const figure_record& f : figures())
        if (!f.deleted)
            for (const polyline3& stroke : f.strokes) c.coloured.emplace_back(f.colour, stroke);
    for (int id : displayed_entities()) {
        polyline3 points = curve_display_points(id);
        if (points.size() == 1)
            c.coloured_points.emplace_back(entity_colour(id), points[0]);
        else if (points.size() > 1)
            c.coloured.emplace_back(entity_colour(id), std::move(points));
    }
    c.tool_path = tool_path;
    // Counted first: a long display file's list of shown blocks is made at its size, not doubled into it.
    auto shown = [](const ncd_block_record& b) { return !b.blank && !b.fast_blank && b.points.size() >= 2; };
    c.display_file.reserve(static_cast<std::size_t>(std::count_if(ncd_blocks().begin(), ncd_blocks().end(), shown)));
    for (const ncd_block_record& b : ncd_blocks())
        if (shown(b)) c.display_file.push_back(&b);
    if (const auto at = tool_instance_position()) c.tool_instance.push_back({(*at)[0], (*at)[1], (*at)[2]});
    for (int window : status_windows()) {
        std::string line = "machine status line " + std::to_string(window) + " at the end:";
        for (int f = 1; f <= 14; ++f) {
            const std::string field = trimmed(status_field(window, f));
            if (!field.empty()) line += " " + field;
        }
        c.status_lines.push_back(line);
    }
    return c;
}

struct view_box {
    double min_x = std::numeric_limits<double>::infinity();
    double min_y = std::numeric_limits<double>::infinity();
    double max_x = -std::numeric_limits<double>::infinity();
    double max_y = -std::numeric_limits<double>::infinity();

    void add(const std::array<double, 3>& p)
    {
        if (!finite_point(p)) return;
        min_x = std::min(min_x, p[0]);
        min_y = std::min(min_y, p[1]);
        max_x = std::max(max_x, p[0]);
        max_y = std::max(max_y, p[1]);
    }
    bool empty() const { return !(min_x <= max_x); }
};

// The box of everything drawn, grown to a square of side 1 around a lone point (or the origin
// for an empty picture) and to a positive height or width for a straight line.
view_box fit(const picture_content& c, double& size)
{
    view_box box;
    for (const auto& cell : c.surface_cells)
        for (const auto& p : cell) box.add(p);
    for (const auto& line : c.part)
        for (const auto& p : line) box.add(p);
    for (const auto& p : c.part_points) box.add(p);
    for (const auto& [colour, line] : c.coloured)
        for (const auto& p : line) box.add(p);
    for (const auto& [colour, p] : c.coloured_points) box.add(p);
    for (const auto& line : c.tool_path)
        for (const auto& p : line) box.add(p);
    for (const ncd_block_record* b : c.display_file)
        for (const auto& p : b->points) box.add(p);
    for (const auto& p : c.tool_instance) box.add(p);
    if (box.empty()) box.add({0.0, 0.0, 0.0});
    size = std::max(box.max_x - box.min_x, box.max_y - box.min_y);
    if (!(size > 0.0)) size = 1.0;
    const double cx = (box.min_x + box.max_x) / 2.0, cy = (box.min_y + box.max_y) / 2.0;
    const double half_x = std::max(box.max_x - box.min_x, size / 100.0) / 2.0;
    const double half_y = std::max(box.max_y - box.min_y, size / 100.0) / 2.0;
    box.min_x = cx - half_x;
    box.max_x = cx + half_x;
    box.min_y = cy - half_y;
    box.max_y = cy + half_y;
    return box;
}

// Ten significant digits keep a small part drawn far from the origin exact to the pixel.
std::string number(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value == 0.0 ? 0.0 : value);
    return text;
}

// Polylines of the picture; the SVG y axis points down, so y is negated. A point that is not
// finite ends the run of points before it; runs of fewer than two points draw nothing.
template <class Points> void write_polyline(std::ostream& svg, const Points& line, const std::string& stroke_attributes)
{
    std::string points;
    int run = 0;
    auto flush = [&] {
        if (run >= 2) svg << "<polyline points=\"" + points + "\"" + stroke_attributes + "/>\n";
        points.clear();
        run = 0;
    };
    for (const auto& p : line) {
        if (!finite_point(p)) {
            flush();
            continue;
        }
        if (run > 0) points += ' ';
        points += number(p[0]) + "," + number(-p[1]);
        ++run;
    }
    flush();
}

void write_point(std::ostream& svg, const std::array<double, 3>& p, double radius, const std::string& fill)
{
    if (!finite_point(p)) return;
    svg << "<circle cx=\"" + number(p[0]) + "\" cy=\"" + number(-p[1]) + "\" r=\"" + number(radius) + "\" fill=\"" +
               fill + "\"/>\n";
}

// ---- the display file by level ---------------------------------------------------------------

std::string dashes(double size) { return " stroke-dasharray=\"" + number(4 * kToolPathStroke * size) + "\""; }

// The colour of a level: distinct hues, none of them the red and green the module marks with, nor
// the attention colour; they repeat after the last.
std::string level_colour(std::size_t level)
{
    static const char* const palette[] = {"#1f4e9c", "#7b3fa0", "#00838f", "#8d5524",
                                          "#ad1457", "#827717", "#37474f", "#283593"};
    return palette[level % std::size(palette)];
}

// "level_2": the id of a level's layer.
std::string level_id(std::size_t level) { return "level_" + std::to_string(level + 1); }

// The length in the plane of a polyline.
double plane_length(const block_points& points)
{
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const point3 a = points[i - 1], b = points[i];
        if (finite_point(a) && finite_point(b)) length += std::hypot(b[0] - a[0], b[1] - a[1]);
    }
    return length;
}

// The cells of side `cell` the cuts pass through, counted.
std::size_t cells_met(const std::vector<const block_points*>& cuts, double cell)
{
    std::unordered_set<std::uint64_t> met;
    for (const block_points* line : cuts)
        for (std::size_t i = 1; i < line->size(); ++i) {
            const point3 a = (*line)[i - 1], b = (*line)[i];
            if (!finite_point(a) || !finite_point(b)) continue;
            const double length = std::hypot(b[0] - a[0], b[1] - a[1]);
            const int steps = static_cast<int>(std::ceil(2.0 * length / cell)) + 1;
            for (int k = 0; k <= steps; ++k) {
                const double t = static_cast<double>(k) / steps;
                const auto cx = static_cast<std::int64_t>(std::floor((a[0] + t * (b[0] - a[0])) / cell));
                const auto cy = static_cast<std::int64_t>(std::floor((a[1] + t * (b[1] - a[1])) / cell));
                met.insert(static_cast<std::uint64_t>(cx) << 32 ^ static_cast<std::uint32_t>(cy));
            }
        }
    return met.size();
}

// The width the cuts are drawn with: as wide as the picture's tool path where they lie far apart,
// and below half their spacing where they lie close (pocket lanes a side step apart), so that they
// stay apart when the picture is zoomed. The spacing of a level's cuts is the area they cover
// over their length; the closest level sets the width.
double cut_width(const drawn_display_file& file, double size)
{
    double spacing = std::numeric_limits<double>::infinity();
    const double cell = size / kSpacingCells;
    for (std::size_t level = 0; level < file.levels.size(); ++level) {
        std::vector<const block_points*> cuts;
        double length = 0.0;
        for (const drawn_block& b : file.blocks)
            if (b.level == level && !b.link) {
                cuts.push_back(&b.block->points);
                length += plane_length(b.block->points);
            }
        if (length > 0.0)
            spacing = std::min(spacing, static_cast<double>(cells_met(cuts, cell)) * cell * cell / length);
    }
    return std::clamp(kCutWidthOfSpacing * spacing, kDisplayFileStroke * size, kToolPathStroke * size);
}

// The display file, a layer per level in the level's colour (only `only` when it names one); links
// and rapid moves dashed, dotted moves dotted.
void write_display_file(std::ostream& svg, const drawn_display_file& file, std::optional<std::size_t> only, double size)
{
    svg << "<g id=\"displayfile\" fill=\"none\" stroke-width=\"" + number(cut_width(file, size)) +
               "\" stroke-linejoin=\"round\" inkscape:groupmode=\"layer\" inkscape:label=\"tool path\">\n";
    for (std::size_t level = 0; level < file.levels.size(); ++level) {
        if (only && *only != level) continue;
        svg << "<g id=\"" + level_id(level) + "\" stroke=\"" + level_colour(level) +
                   "\" inkscape:groupmode=\"layer\" inkscape:label=\"" + level_label(file.levels[level]) + "\">\n";
        for (const drawn_block& b : file.blocks) {
            if (b.level != level) continue;
            std::string style;
            if (b.link)
                style = dashes(size);
            else if (b.block->font == kDottedFont)
                style = " stroke-dasharray=\"" + number(kToolPathStroke * size) + "\"";
            if (b.block->attention) style += " stroke=\"" + std::string(kAttentionColour) + "\"";
            // Links are few and attention blocks must stand out: both as wide as the tool path.
            if (b.link || b.block->attention) style += " stroke-width=\"" + number(kToolPathStroke * size) + "\"";
            write_polyline(svg, b.block->points, style);
        }
        svg << "</g>\n";
    }
    svg << "</g>\n";
}

double mean_z(const polyline3& cell)
{
    double sum = 0.0;
    for (const auto& p : cell) sum += p[2];
    return sum / static_cast<double>(cell.size());
}

// The part surface under everything, each cell filled in a grey by its height, lighter higher.
void write_surface(std::ostream& svg, const std::vector<polyline3>& cells)
{
    if (cells.empty()) return;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (const polyline3& cell : cells) {
        low = std::min(low, mean_z(cell));
        high = std::max(high, mean_z(cell));
    }
    svg << "<g id=\"surface\" stroke=\"none\" shape-rendering=\"crispEdges\" inkscape:groupmode=\"layer\" "
           "inkscape:label=\"part surface\">\n";
    for (const polyline3& cell : cells) {
        const double share = high > low ? (mean_z(cell) - low) / (high - low) : 1.0;
        const int grey = static_cast<int>(std::lround(kSurfaceLowGrey + share * (kSurfaceHighGrey - kSurfaceLowGrey)));
        std::string points;
        for (const auto& p : cell) points += (points.empty() ? "" : " ") + number(p[0]) + "," + number(-p[1]);
        const std::string g = std::to_string(grey);
        svg << "<polygon points=\"" + points + "\" fill=\"rgb(" + g + "," + g + "," + g + ")\"/>\n";
    }
    svg << "</g>\n";
}

// The status lines at the largest font up to the legend's share that keeps them inside the width.
double status_font(const picture_content& c, double width, double size)
{
    std::size_t longest = 1;
    for (const std::string& line : c.status_lines) longest = std::max(longest, line.size());
    return std::min(kStatusFont * size, width / (kMonospaceAdvance * static_cast<double>(longest)));
}

// A row of the legend: a short line in a style and its name.
struct legend_row {
    std::string colour;
    double width = 0.0;
    bool dashed = false;
    std::string name;
};

// The legend names what the picture draws, nothing else: the part surface and curves, the
// figures and displayed entities by colour, the tool path handed in, the cuts of each level of
// the display file shown (the first few; the colours repeat), its links and rapid moves, its
// attention blocks.
std::vector<legend_row> legend_rows(const picture_content& c, const drawn_display_file& file,
                                    std::optional<std::size_t> only)
{
    std::vector<legend_row> rows;
    if (!c.surface_cells.empty())
        rows.push_back({kSurfaceLegendColour, kSurfaceLegendWidth, false, "part surface, darker lower"});
    if (!c.part.empty() || !c.part_points.empty()) rows.push_back({kPartColour, kPartStroke, false, "part curves"});
    std::vector<int> colours;
    for (const auto& [colour, line] : c.coloured) colours.push_back(colour);
    for (const auto& [colour, p] : c.coloured_points) colours.push_back(colour);
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    for (int colour : colours)
        rows.push_back({colour_name(colour), kFigureStroke, false,
                        "figures and displayed entities in colour " + std::to_string(colour)});
    if (!c.tool_path.empty()) rows.push_back({kToolPathColour, kToolPathStroke, false, "tool path"});
    std::vector<bool> cuts(file.levels.size(), false);
    std::optional<std::size_t> first_link;
    bool attention = false;
    for (const drawn_block& b : file.blocks) {
        if (only && b.level != *only) continue;
        if (b.link && !first_link) first_link = b.level;
        if (!b.link) cuts[b.level] = true;
        attention = attention || b.block->attention != 0;
    }
    std::size_t listed = 0, unlisted = 0;
    for (std::size_t level = 0; level < cuts.size(); ++level) {
        if (!cuts[level]) continue;
        if (listed++ < kLegendLevels)
            rows.push_back(
                {level_colour(level), kToolPathStroke, false, "tool path, " + level_label(file.levels[level])});
        else
            ++unlisted;
    }
    if (unlisted > 0)
        rows.push_back({level_colour(kLegendLevels), kToolPathStroke, false,
                        "tool path, " + std::to_string(unlisted) + " further levels (colours repeat)"});
    if (first_link)
        rows.push_back({level_colour(*first_link), kToolPathStroke, true, "tool path links and rapid moves"});
    if (attention) rows.push_back({kAttentionColour, kToolPathStroke, false, "attention blocks"});
    return rows;
}

// The height of the legend's band above the drawing.
double legend_height(const std::vector<legend_row>& rows, double size)
{
    return static_cast<double>(rows.size()) * 1.4 * kLegendFont * size;
}

// The legend sits in a band above the drawing: a short line in each style and its name.
void write_legend(std::ostream& svg, const std::vector<legend_row>& rows, const view_box& box, double size)
{
    const double font = kLegendFont * size;
    const double left = box.min_x;
    const double top = -box.max_y - kMargin * size - legend_height(rows, size);
    svg << "<g id=\"legend\" font-family=\"sans-serif\" font-size=\"" + number(font) + "\">\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double y = top + (static_cast<double>(i) + 0.8) * 1.4 * font;
        svg << "<line x1=\"" + number(left) + "\" y1=\"" + number(y - font / 3.0) + "\" x2=\"" +
                   number(left + 2.0 * font) + "\" y2=\"" + number(y - font / 3.0) + "\" stroke=\"" + rows[i].colour +
                   "\" stroke-width=\"" + number(rows[i].width * size) + "\"" + (rows[i].dashed ? dashes(size) : "") +
                   "/>\n";
        svg << "<text x=\"" + number(left + 2.5 * font) + "\" y=\"" + number(y) + "\">" + rows[i].name + "</text>\n";
    }
    svg << "</g>\n";
}

}  // namespace

// The host's colour numbers: 0 automatic (drawn as the foreground), 1 the foreground, 2 red, 3
// green, 4 blue, 5 yellow (dark enough to read on white), 6 magenta, 7 cyan, then further shades.
std::string colour_name(int colour)
{
    static const char* const palette[16] = {"black",      "black",    "red",  "green",      "blue",      "goldenrod",
                                            "magenta",    "darkcyan", "gray", "darkred",    "limegreen", "royalblue",
                                            "darkorange", "orchid",   "teal", "saddlebrown"};
    return palette[colour >= 0 && colour < 16 ? colour : 0];
}

std::size_t picture_levels()
{
    const picture_content c = gather({});
    return drawn_blocks(c.display_file).levels.size();
}

void write_picture_svg(std::ostream& svg, const std::vector<polyline3>& tool_path, std::size_t level)
{
    const picture_content c = gather(tool_path);
    const drawn_display_file file = drawn_blocks(c.display_file);
    const std::optional<std::size_t> only = level > 0 ? std::optional<std::size_t>(level - 1) : std::nullopt;
    double size = 1.0;
    const view_box box = fit(c, size);
    const double margin = kMargin * size;
    const std::vector<legend_row> rows = legend_rows(c, file, only);
    const double legend = legend_height(rows, size);
    const double x = box.min_x - margin, y = -box.max_y - margin - legend;
    const double width = box.max_x - box.min_x + 2.0 * margin;
    const double font = status_font(c, width - margin, size);
    const double status = static_cast<double>(c.status_lines.size()) * font;
    const double height = box.max_y - box.min_y + 2.0 * margin + legend + status;
    const int pixels_high = static_cast<int>(std::lround(kPictureWidthPixels * height / width));

    svg << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:inkscape=\"" + std::string(kInkscape) + "\" width=\"" +
               std::to_string(kPictureWidthPixels) + "\" height=\"" + std::to_string(std::max(1, pixels_high)) +
               "\" viewBox=\"" + number(x) + " " + number(y) + " " + number(width) + " " + number(height) + "\">\n";
    svg << "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(width) + "\" height=\"" +
               number(height) + "\" fill=\"white\"/>\n";

    write_surface(svg, c.surface_cells);
    svg << "<g id=\"part\" fill=\"none\" stroke=\"" + std::string(kPartColour) + "\" stroke-width=\"" +
               number(kPartStroke * size) + "\">\n";
    for (const auto& line : c.part) write_polyline(svg, line, "");
    for (const auto& p : c.part_points) write_point(svg, p, kPointMark * size, kPartColour);
    svg << "</g>\n";

    svg << "<g id=\"figures\" fill=\"none\" stroke-width=\"" + number(kFigureStroke * size) + "\">\n";
    for (const auto& [colour, line] : c.coloured) write_polyline(svg, line, " stroke=\"" + colour_name(colour) + "\"");
    for (const auto& [colour, p] : c.coloured_points) write_point(svg, p, kPointMark * size, colour_name(colour));
    svg << "</g>\n";

    svg << "<g id=\"toolpath\" fill=\"none\" stroke=\"" + std::string(kToolPathColour) + "\" stroke-width=\"" +
               number(kToolPathStroke * size) + "\" stroke-linejoin=\"round\">\n";
    for (const auto& line : c.tool_path) write_polyline(svg, line, "");
    svg << "</g>\n";

    write_display_file(svg, file, only, size);
    for (const auto& p : c.tool_instance) {
        svg << "<g id=\"toolinstance\" fill=\"none\" stroke=\"black\" stroke-width=\"" + number(kFigureStroke * size) +
                   "\">\n";
        svg << "<circle cx=\"" + number(p[0]) + "\" cy=\"" + number(-p[1]) + "\" r=\"" + number(kToolMark * size) +
                   "\"/>\n";
        svg << "</g>\n";
    }
    if (!c.status_lines.empty()) {
        svg << "<g id=\"statusline\" font-family=\"monospace\" font-size=\"" + number(font) + "\">\n";
        for (std::size_t i = 0; i < c.status_lines.size(); ++i)
            svg << "<text x=\"" + number(box.min_x) + "\" y=\"" +
                       number(-box.min_y + margin / 2.0 + font * static_cast<double>(i + 1)) +
                       "\" xml:space=\"preserve\">" + escaped(c.status_lines[i]) + "</text>\n";
        svg << "</g>\n";
    }

    write_legend(svg, rows, box, size);
    svg << "</svg>\n";
}

std::string picture_svg(const std::vector<polyline3>& tool_path, std::size_t level)
{
    std::ostringstream svg;
    write_picture_svg(svg, tool_path, level);
    return std::move(svg).str();
}

}  // namespace vantu::control
