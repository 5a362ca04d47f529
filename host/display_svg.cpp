// The SVG picture of a run: the part's curve entities, the figures and entities the module
// displayed, the tool path's display file and the tool path handed in by the caller, seen from
// the top (X right, Y up) and fitted to what is drawn. The display file is drawn in the tool
// path's colour, one group per Z level (so a viewer can hide levels), its links dashed. Sizes
// (stroke widths, point marks, legend, status lines) are fractions of the picture, so a part of
// 1 mm and one of 1 m look alike.
#include "host/control/display.hpp"
#include "host/control/entities.hpp"
#include "host/control/ncd_file.hpp"
#include "host/control/status_line.hpp"
#include "host/control/tool_instance.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace vantu::control {

namespace {

// Fractions of the picture's larger side.
constexpr double kMargin = 0.05;
constexpr double kPartStroke = 0.001;
constexpr double kFigureStroke = 0.002;
constexpr double kToolPathStroke = 0.0025;
// The display file's blocks are drawn as hairlines: pocket lanes lie a side step apart, often a
// thousandth of the part, and must stay apart when the picture is zoomed.
constexpr double kDisplayFileStroke = 0.0002;
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
    std::vector<polyline3> part;
    std::vector<std::array<double, 3>> part_points;
    std::vector<std::pair<int, polyline3>> coloured;                    // colour, polyline
    std::vector<std::pair<int, std::array<double, 3>>> coloured_points;  // colour, point
    std::vector<polyline3> tool_path;
    std::vector<ncd_block_record> display_file;       // the shown blocks of the display file
    std::vector<std::array<double, 3>> tool_instance; // none or one
    std::vector<std::string> status_lines;
};

// Text inside an SVG element.
std::string escaped(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '&') out += "&amp;";
        else if (ch == '<') out += "&lt;";
        else if (ch == '>') out += "&gt;";
        else out += ch;
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

// Line font 5 draws rapid moves dashed, 6 dotted; the others are solid.
constexpr int kDashedFont = 5, kDottedFont = 6;
constexpr double kToolMark = 0.012;

// The attribute "CO" of an entity, colour 0 when it has none.
int entity_colour(int id)
{
    const auto e = get_entity(id);
    if (!e) return 0;
    const auto it = e->attributes.find("CO");
    return it == e->attributes.end() ? 0 : it->second;
}

picture_content gather(const std::vector<polyline3>& tool_path)
{
    picture_content c;
    for (int id : entity_ids()) {
        polyline3 points = curve_display_points(id);
        if (points.size() == 1) c.part_points.push_back(points[0]);
        else if (points.size() > 1) c.part.push_back(std::move(points));
    }
    for (const figure_record& f : figures())
        if (!f.deleted)
            for (const polyline3& stroke : f.strokes) c.coloured.emplace_back(f.colour, stroke);
    for (int id : displayed_entities()) {
        polyline3 points = curve_display_points(id);
        if (points.size() == 1) c.coloured_points.emplace_back(entity_colour(id), points[0]);
        else if (points.size() > 1) c.coloured.emplace_back(entity_colour(id), std::move(points));
    }
    c.tool_path = tool_path;
    for (const ncd_block_record& b : ncd_blocks())
        if (!b.blank && !b.fast_blank && b.points.size() >= 2) c.display_file.push_back(b);
    if (const auto at = tool_instance_position()) c.tool_instance.push_back({(*at)[0], (*at)[1], (*at)[2]});
    for (int window : status_windows()) {
        std::string line = "status " + std::to_string(window) + ":";
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
    for (const auto& line : c.part) for (const auto& p : line) box.add(p);
    for (const auto& p : c.part_points) box.add(p);
    for (const auto& [colour, line] : c.coloured) for (const auto& p : line) box.add(p);
    for (const auto& [colour, p] : c.coloured_points) box.add(p);
    for (const auto& line : c.tool_path) for (const auto& p : line) box.add(p);
    for (const auto& b : c.display_file) for (const auto& p : b.points) box.add(p);
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
void write_polyline(std::string& svg, const polyline3& line, const std::string& stroke_attributes)
{
    std::string points;
    int run = 0;
    auto flush = [&] {
        if (run >= 2) svg += "<polyline points=\"" + points + "\"" + stroke_attributes + "/>\n";
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

void write_point(std::string& svg, const std::array<double, 3>& p, double radius, const std::string& fill)
{
    if (!finite_point(p)) return;
    svg += "<circle cx=\"" + number(p[0]) + "\" cy=\"" + number(-p[1]) + "\" r=\"" + number(radius) +
           "\" fill=\"" + fill + "\"/>\n";
}

// ---- the display file by Z level ------------------------------------------------------------

// A block of the display file as the picture draws it: whether it is a link and the Z level it
// belongs to.
struct level_block {
    const ncd_block_record* block = nullptr;
    bool link = false;
    double level = std::numeric_limits<double>::quiet_NaN();
};

// The tool path's points are single precision: values within its tolerance count as one.
bool same_value(double a, double b) { return std::fabs(a - b) <= kRealTolerance; }

bool at_one_height(const polyline3& points)
{
    return std::all_of(points.begin(), points.end(),
                       [&](const auto& p) { return same_value(p[2], points.front()[2]); });
}

// A plunge or a retract: the tool moves along its axis only.
bool along_axis(const polyline3& points)
{
    const auto& first = points.front();
    return !at_one_height(points) && std::all_of(points.begin(), points.end(), [&](const auto& p) {
        return same_value(p[0], first[0]) && same_value(p[1], first[1]);
    });
}

bool rising(const polyline3& points) { return points.back()[2] > points.front()[2] + kRealTolerance; }
bool falling(const polyline3& points) { return points.back()[2] < points.front()[2] - kRealTolerance; }

double lowest_z(const polyline3& points)
{
    double z = std::numeric_limits<double>::infinity();
    for (const auto& p : points)
        if (finite_point(p)) z = std::min(z, p[2]);
    return z;
}

// Links are the moves that bring the tool from one cut to the next: plunges and retracts, and
// the moves at one height between a rising and a falling move (the traverse above the part).
void mark_links(std::vector<level_block>& blocks)
{
    const std::size_t n = blocks.size();
    for (level_block& b : blocks) b.link = along_axis(b.block->points);
    for (std::size_t first = 0; first < n;) {
        std::size_t end = first;
        while (end < n && at_one_height(blocks[end].block->points)) ++end;
        const bool traverse = end > first && first > 0 && end < n && rising(blocks[first - 1].block->points) &&
                              falling(blocks[end].block->points);
        for (std::size_t k = first; traverse && k < end; ++k) blocks[k].link = true;
        first = std::max(end, first + 1);
    }
}

// A cut belongs to the level of its lowest point; a link to the level of the cut it leads to,
// links after the last cut to the last cut's level (their own lowest point without any cut).
void assign_levels(std::vector<level_block>& blocks)
{
    double next = std::numeric_limits<double>::quiet_NaN();
    for (std::size_t k = blocks.size(); k-- > 0;) {
        if (!blocks[k].link) next = lowest_z(blocks[k].block->points);
        blocks[k].level = next;
    }
    double last = std::numeric_limits<double>::quiet_NaN();
    for (level_block& b : blocks) {
        if (!b.link) last = b.level;
        else if (std::isnan(b.level)) b.level = std::isnan(last) ? lowest_z(b.block->points) : last;
    }
}

// "Z -5.000": the name of a level in the picture.
std::string level_name(double z)
{
    if (!std::isfinite(z)) return "Z none";  // a block without a finite point
    char text[48];
    std::snprintf(text, sizeof text, "Z %.3f", z);
    const std::string name = text;
    return name == "Z -0.000" ? "Z 0.000" : name;
}

// The blocks of each level, the levels in the order the tool path reaches them.
std::vector<std::pair<std::string, std::vector<level_block>>> levels_of(const std::vector<ncd_block_record>& file)
{
    std::vector<level_block> blocks(file.size());
    for (std::size_t k = 0; k < file.size(); ++k) blocks[k].block = &file[k];
    mark_links(blocks);
    assign_levels(blocks);
    std::vector<std::pair<std::string, std::vector<level_block>>> levels;
    for (const level_block& b : blocks) {
        const std::string name = level_name(b.level);
        auto it = std::find_if(levels.begin(), levels.end(), [&](const auto& l) { return l.first == name; });
        if (it == levels.end()) it = levels.insert(levels.end(), {name, {}});
        it->second.push_back(b);
    }
    return levels;
}

std::string dashes(double size) { return " stroke-dasharray=\"" + number(4 * kToolPathStroke * size) + "\""; }

// The display file in the tool path's colour, a layer per Z level; links and rapid moves dashed,
// dotted moves dotted.
void write_display_file(std::string& svg, const std::vector<ncd_block_record>& file, double size)
{
    svg += "<g id=\"displayfile\" fill=\"none\" stroke-width=\"" + number(kDisplayFileStroke * size) +
           "\" stroke=\"" + kToolPathColour + "\" inkscape:groupmode=\"layer\" inkscape:label=\"tool path\">\n";
    for (const auto& [name, blocks] : levels_of(file)) {
        std::string id = name;
        std::replace(id.begin(), id.end(), ' ', '_');
        svg += "<g id=\"" + id + "\" inkscape:groupmode=\"layer\" inkscape:label=\"" + name + "\">\n";
        for (const level_block& b : blocks) {
            std::string style;
            if (b.link || b.block->font == kDashedFont) style = dashes(size);
            else if (b.block->font == kDottedFont)
                style = " stroke-dasharray=\"" + number(kToolPathStroke * size) + "\"";
            if (b.block->attention)
                style += " stroke=\"" + std::string(kAttentionColour) + "\" stroke-width=\"" +
                         number(kToolPathStroke * size) + "\"";
            write_polyline(svg, b.block->points, style);
        }
        svg += "</g>\n";
    }
    svg += "</g>\n";
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

// The legend names what the picture draws, nothing else: the part curves, the figures and
// displayed entities by colour, the tool path's cuts, its links and rapid moves, its attention
// blocks.
std::vector<legend_row> legend_rows(const picture_content& c)
{
    std::vector<legend_row> rows;
    if (!c.part.empty() || !c.part_points.empty()) rows.push_back({kPartColour, kPartStroke, false, "part curves"});
    std::vector<int> colours;
    for (const auto& [colour, line] : c.coloured) colours.push_back(colour);
    for (const auto& [colour, p] : c.coloured_points) colours.push_back(colour);
    std::sort(colours.begin(), colours.end());
    colours.erase(std::unique(colours.begin(), colours.end()), colours.end());
    for (int colour : colours)
        rows.push_back({colour_name(colour), kFigureStroke, false,
                        "figures and displayed entities in colour " + std::to_string(colour)});
    bool cuts = !c.tool_path.empty(), links = false, attention = false;
    for (const auto& [name, blocks] : levels_of(c.display_file))
        for (const level_block& b : blocks) {
            (b.link || b.block->font == kDashedFont ? links : cuts) = true;
            attention = attention || b.block->attention != 0;
        }
    if (cuts) rows.push_back({kToolPathColour, kToolPathStroke, false, "tool path"});
    if (links) rows.push_back({kToolPathColour, kToolPathStroke, true, "tool path links and rapid moves"});
    if (attention) rows.push_back({kAttentionColour, kToolPathStroke, false, "attention blocks"});
    return rows;
}

// The height of the legend's band above the drawing.
double legend_height(const std::vector<legend_row>& rows, double size)
{
    return static_cast<double>(rows.size()) * 1.4 * kLegendFont * size;
}

// The legend sits in a band above the drawing: a short line in each style and its name.
void write_legend(std::string& svg, const std::vector<legend_row>& rows, const view_box& box, double size)
{
    const double font = kLegendFont * size;
    const double left = box.min_x;
    const double top = -box.max_y - kMargin * size - legend_height(rows, size);
    svg += "<g id=\"legend\" font-family=\"sans-serif\" font-size=\"" + number(font) + "\">\n";
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const double y = top + (static_cast<double>(i) + 0.8) * 1.4 * font;
        svg += "<line x1=\"" + number(left) + "\" y1=\"" + number(y - font / 3.0) + "\" x2=\"" +
               number(left + 2.0 * font) + "\" y2=\"" + number(y - font / 3.0) + "\" stroke=\"" + rows[i].colour +
               "\" stroke-width=\"" + number(rows[i].width * size) + "\"" + (rows[i].dashed ? dashes(size) : "") +
               "/>\n";
        svg += "<text x=\"" + number(left + 2.5 * font) + "\" y=\"" + number(y) + "\">" + rows[i].name + "</text>\n";
    }
    svg += "</g>\n";
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

std::string picture_svg(const std::vector<polyline3>& tool_path)
{
    const picture_content c = gather(tool_path);
    double size = 1.0;
    const view_box box = fit(c, size);
    const double margin = kMargin * size;
    const std::vector<legend_row> rows = legend_rows(c);
    const double legend = legend_height(rows, size);
    const double x = box.min_x - margin, y = -box.max_y - margin - legend;
    const double width = box.max_x - box.min_x + 2.0 * margin;
    const double font = status_font(c, width - margin, size);
    const double status = static_cast<double>(c.status_lines.size()) * font;
    const double height = box.max_y - box.min_y + 2.0 * margin + legend + status;
    const int pixels_high = static_cast<int>(std::lround(kPictureWidthPixels * height / width));

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:inkscape=\"" + std::string(kInkscape) + "\" width=\"" + std::to_string(kPictureWidthPixels) +
           "\" height=\"" + std::to_string(std::max(1, pixels_high)) + "\" viewBox=\"" + number(x) + " " +
           number(y) + " " + number(width) + " " + number(height) + "\">\n";
    svg += "<rect x=\"" + number(x) + "\" y=\"" + number(y) + "\" width=\"" + number(width) + "\" height=\"" +
           number(height) + "\" fill=\"white\"/>\n";

    svg += "<g id=\"part\" fill=\"none\" stroke=\"" + std::string(kPartColour) + "\" stroke-width=\"" +
           number(kPartStroke * size) + "\">\n";
    for (const auto& line : c.part) write_polyline(svg, line, "");
    for (const auto& p : c.part_points) write_point(svg, p, kPointMark * size, kPartColour);
    svg += "</g>\n";

    svg += "<g id=\"figures\" fill=\"none\" stroke-width=\"" + number(kFigureStroke * size) + "\">\n";
    for (const auto& [colour, line] : c.coloured)
        write_polyline(svg, line, " stroke=\"" + colour_name(colour) + "\"");
    for (const auto& [colour, p] : c.coloured_points) write_point(svg, p, kPointMark * size, colour_name(colour));
    svg += "</g>\n";

    svg += "<g id=\"toolpath\" fill=\"none\" stroke=\"" + std::string(kToolPathColour) + "\" stroke-width=\"" +
           number(kToolPathStroke * size) + "\" stroke-linejoin=\"round\">\n";
    for (const auto& line : c.tool_path) write_polyline(svg, line, "");
    svg += "</g>\n";

    write_display_file(svg, c.display_file, size);
    for (const auto& p : c.tool_instance) {
        svg += "<g id=\"toolinstance\" fill=\"none\" stroke=\"black\" stroke-width=\"" + number(kFigureStroke * size) + "\">\n";
        svg += "<circle cx=\"" + number(p[0]) + "\" cy=\"" + number(-p[1]) + "\" r=\"" + number(kToolMark * size) + "\"/>\n";
        svg += "</g>\n";
    }
    if (!c.status_lines.empty()) {
        svg += "<g id=\"statusline\" font-family=\"monospace\" font-size=\"" + number(font) + "\">\n";
        for (std::size_t i = 0; i < c.status_lines.size(); ++i)
            svg += "<text x=\"" + number(box.min_x) + "\" y=\"" + number(-box.min_y + margin / 2.0 + font * static_cast<double>(i + 1)) +
                   "\" xml:space=\"preserve\">" + escaped(c.status_lines[i]) + "</text>\n";
        svg += "</g>\n";
    }

    write_legend(svg, rows, box, size);
    svg += "</svg>\n";
    return svg;
}

}  // namespace vantu::control
