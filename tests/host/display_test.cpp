// Host display recorder: figures and their strokes, the display transcript, displayed entities
// and the SVG picture.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vantu::control::polyline3;

class HostDisplay : public ::testing::Test {
protected:
    void SetUp() override { vantu::control::reset(); }
};

void move(float x, float y, float z)
{
    const float p[3] = {x, y, z};
    moveto(p);
}

void draw(float x, float y, float z)
{
    const float p[3] = {x, y, z};
    drawto(p);
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Checks that the text is well-formed XML as far as an SVG picture needs: one root element,
// every tag closed in order, quoted attributes, no bare '&' or '<' in text. Answers the
// problem, empty when there is none.
std::string xml_problem(const std::string& svg)
{
    std::vector<std::string> open;
    int roots = 0;
    std::size_t at = 0;
    while (true) {
        const std::size_t lt = svg.find('<', at);
        const std::string text = svg.substr(at, lt == std::string::npos ? std::string::npos : lt - at);
        if (text.find('&') != std::string::npos) return "bare & in text";
        if (lt == std::string::npos) break;
        const std::size_t gt = svg.find('>', lt);
        if (gt == std::string::npos) return "unterminated tag";
        const std::string tag = svg.substr(lt + 1, gt - lt - 1);
        at = gt + 1;
        if (tag.find('<') != std::string::npos) return "'<' inside a tag";
        if (std::count(tag.begin(), tag.end(), '"') % 2 != 0) return "unbalanced quotes in <" + tag + ">";
        if (tag.front() == '?') {
            if (tag.back() != '?' || lt != 0) return "misplaced declaration";
            continue;
        }
        if (tag.front() == '/') {
            if (open.empty() || open.back() != tag.substr(1)) return "</" + tag.substr(1) + "> does not close";
            open.pop_back();
            continue;
        }
        const std::string name = tag.substr(0, tag.find_first_of(" /"));
        if (open.empty() && ++roots > 1) return "more than one root";
        if (tag.back() != '/') open.push_back(name);
    }
    return open.empty() ? (roots == 1 ? "" : "no root") : "<" + open.back() + "> never closed";
}

struct box {
    double x, y, width, height;
};

// The value of every attribute written as prefix"value", in order.
std::vector<std::string> values_after(const std::string& svg, const std::string& prefix)
{
    std::vector<std::string> values;
    for (std::size_t at = svg.find(prefix); at != std::string::npos; at = svg.find(prefix, at)) {
        at += prefix.size();
        const std::size_t end = svg.find('"', at);
        if (end == std::string::npos) break;
        values.push_back(svg.substr(at, end - at));
    }
    return values;
}

box view_box_of(const std::string& svg)
{
    const auto values = values_after(svg, "viewBox=\"");
    EXPECT_EQ(values.size(), 1u);
    box b{0, 0, 0, 0};
    std::istringstream in(values.empty() ? "" : values[0]);
    EXPECT_TRUE(in >> b.x >> b.y >> b.width >> b.height);
    return b;
}

// Every x,y pair of every polyline of the picture.
std::vector<std::pair<double, double>> polyline_points(const std::string& svg)
{
    std::vector<std::pair<double, double>> points;
    for (const std::string& list : values_after(svg, "points=\"")) {
        std::istringstream in(list);
        for (std::string pair; in >> pair;) {
            const auto comma = pair.find(',');
            points.emplace_back(std::stod(pair.substr(0, comma)), std::stod(pair.substr(comma + 1)));
        }
    }
    return points;
}

}  // namespace

// ---- figures --------------------------------------------------------------------------------

TEST_F(HostDisplay, FiguresKeepTheirStrokesAndTheTranscriptEveryCall)
{
    int figure = 0, status = -9;
    gfgtmp(figure);
    EXPECT_EQ(figure, -1);
    figopa(figure, 3, status);
    EXPECT_EQ(status, 0);
    move(0, 0, 0);
    draw(1, 0, 0);
    draw(1, 2.5f, 0);
    move(5, 5, 1);
    draw(6, 5, 1);
    figcls(-1);

    const auto& figures = vantu::control::figures();
    ASSERT_EQ(figures.size(), 1u);
    EXPECT_EQ(figures[0].id, -1);
    EXPECT_EQ(figures[0].colour, 3);
    EXPECT_FALSE(figures[0].open);
    ASSERT_EQ(figures[0].strokes.size(), 2u);
    EXPECT_EQ(figures[0].strokes[0], (polyline3{{0, 0, 0}, {1, 0, 0}, {1, 2.5, 0}}));
    EXPECT_EQ(figures[0].strokes[1], (polyline3{{5, 5, 1}, {6, 5, 1}}));
    EXPECT_EQ(lines_of(vantu::control::display_text()),
              (std::vector<std::string>{"gfgtmp -1", "figopa -1 colour 3", "moveto 0.0000 0.0000 0.0000",
                                        "drawto 1.0000 0.0000 0.0000", "drawto 1.0000 2.5000 0.0000",
                                        "moveto 5.0000 5.0000 1.0000", "drawto 6.0000 5.0000 1.0000", "figcls -1"}));
    int second = 0;
    gfgtmp(second);
    EXPECT_EQ(second, -2);
}

TEST_F(HostDisplay, MisuseIsRecordedAndNothingIsLost)
{
    int status = 0;
    draw(1, 1, 1);  // no figure open: the implicit figure 0 takes it
    figopa(7, 16, status);
    EXPECT_EQ(status, -1);
    figopa(0, 2, status);
    EXPECT_EQ(status, -1);
    figopa(7, 2, status);  // closes figure 0
    EXPECT_EQ(status, 0);
    const float bad[3] = {1, std::numeric_limits<float>::quiet_NaN(), 0};
    moveto(bad);
    moveto(nullptr);
    figcls(9);
    figcls(-1);
    figdel(7, status);
    EXPECT_EQ(status, 0);
    figdel(7, status);
    EXPECT_EQ(status, -1);

    const auto& figures = vantu::control::figures();
    ASSERT_EQ(figures.size(), 2u);
    EXPECT_EQ(figures[0].id, 0);
    EXPECT_EQ(figures[0].strokes, (std::vector<polyline3>{{{1, 1, 1}}}));
    EXPECT_TRUE(figures[1].strokes.empty());
    EXPECT_TRUE(figures[1].deleted);
    EXPECT_EQ(lines_of(vantu::control::display_text()),
              (std::vector<std::string>{
                  "figopa 0 colour 0 (implicit: drawto with no figure open)", "drawto 1.0000 1.0000 1.0000",
                  "figopa 7 colour 16 refused, status -1", "figopa 0 colour 2 refused, status -1",
                  "figcls 0 (implicit: figopa while it was open)", "figopa 7 colour 2",
                  "moveto refused: coordinate not finite", "moveto refused: no point", "figcls 9: figure 7 was open",
                  "figcls -1: no figure open", "figdel 7", "figdel 7: no such figure"}));
}

TEST_F(HostDisplay, ReopeningAFigureIdReplacesItAndOpenFiguresAreReported)
{
    int status = 0;
    figopa(-4, 1, status);
    move(0, 0, 0);
    draw(1, 1, 0);
    figcls(-4);
    figopa(-4, 2, status);
    const auto& figures = vantu::control::figures();
    ASSERT_EQ(figures.size(), 2u);
    EXPECT_TRUE(figures[0].deleted);
    EXPECT_TRUE(figures[1].open);
    const auto lines = vantu::control::end_report();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "figure -4 is still open"), lines.end());
}

TEST_F(HostDisplay, DisplayedEntitiesFollowEdispAndDeletion)
{
    const int line = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    const int point = vantu::control::add_point({2, 2, 0});
    int status = 0;
    edisp(line, 1, status);
    EXPECT_EQ(status, 0);
    edisp(point, 1, status);
    edisp(line, 1, status);  // shown twice: listed once
    EXPECT_EQ(vantu::control::displayed_entities(), (std::vector<int>{line, point}));
    edisp(line, 0, status);
    EXPECT_EQ(vantu::control::displayed_entities(), (std::vector<int>{point}));
    edisp(point, 2, status);
    EXPECT_EQ(status, -1);
    edisp(99, 1, status);
    EXPECT_EQ(status, kEntityMissing);
    edelet(point, status);
    EXPECT_TRUE(vantu::control::displayed_entities().empty());
}

// ---- picture --------------------------------------------------------------------------------

TEST_F(HostDisplay, PictureShowsPartFiguresEntitiesAndToolPath)
{
    vantu::control::add_line({0, 0, 0}, {10, 5, 0});
    vantu::control::add_circle({20, 0, 0}, 2.0);
    const int shown = vantu::control::add_line({-3, -3, 0}, {-3, 4, 0});
    vantu::control::set_attribute(shown, "CO", 2);
    int status = 0;
    edisp(shown, 1, status);
    figopa(-1, 1, status);
    move(0, 0, 0);
    draw(4, 1, 0);
    figcls(-1);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<polyline3> tool_path = {{{1, 1, 0}, {2, 1, 0}, {nan, 0, 0}, {3, 3, 0}, {4, 3, 0}}};

    const std::string svg = vantu::control::picture_svg(tool_path);
    EXPECT_EQ(xml_problem(svg), "") << svg;
    EXPECT_EQ(svg.find("nan"), std::string::npos);
    EXPECT_EQ(svg.find("inf"), std::string::npos);
    EXPECT_NE(svg.find("<polyline points=\"0,0 10,-5\"/>"), std::string::npos) << "part line, y up";
    EXPECT_NE(svg.find("<polyline points=\"0,0 4,-1\" stroke=\"black\"/>"), std::string::npos) << "figure in colour 1";
    EXPECT_NE(svg.find("<polyline points=\"-3,3 -3,-4\" stroke=\"red\"/>"), std::string::npos) << "entity CO 2";
    EXPECT_NE(svg.find("<polyline points=\"1,-1 2,-1\"/>"), std::string::npos) << "tool path before the NaN";
    EXPECT_NE(svg.find("<polyline points=\"3,-3 4,-3\"/>"), std::string::npos) << "tool path after the NaN";
    for (const char* label : {"part curves", "tool path", "id=\"legend\"", "id=\"toolpath\"",
                              "displayed entities in colour 1", "displayed entities in colour 2"})
        EXPECT_NE(svg.find(label), std::string::npos) << label;
    for (const char* undrawn : {"links", "attention", "in colour 0"})
        EXPECT_EQ(svg.find(undrawn), std::string::npos) << "the legend names only what is drawn: " << undrawn;

    // Fitted: every point inside the view, and the drawing (x -3 .. 22) fills most of its width.
    const box view = view_box_of(svg);
    for (const auto& [x, y] : polyline_points(svg)) {
        EXPECT_GE(x, view.x);
        EXPECT_LE(x, view.x + view.width);
        EXPECT_GE(y, view.y);
        EXPECT_LE(y, view.y + view.height);
    }
    EXPECT_NEAR(view.width, 25.0 * 1.1, 1e-9);
    const auto circle_points = polyline_points(svg).size();
    EXPECT_GT(circle_points, 180u);  // the circle in steps of at most 2 degrees
}

// A procedure of two levels (LAYER markers at Z 6 and Z 2) drawn in red: an approach, cuts with a
// tilted stretch, a lift in a retract bracket, the way over and down to level 2, a cut, a rapid
// move and a block the tool path does not hold. The picture draws a layer per level in the
// level's colour, the links dashed and the cuts solid whatever their plane.
TEST_F(HostDisplay, DisplayFileIsDrawnByTheToolPathsLevelsWithDashedLinks)
{
    auto bits = [](float z) { return std::to_string(std::bit_cast<std::int32_t>(z)); };
    vantu::control::load_part_text(
        R"({"toolpath": {"counters": [2, 19], "lines": [{"words": [12, 1], "sublist": [)"
        R"({"words": [2, 1]}, {"words": [99, 2, 9, 0]}, {"words": [2, 3]}, {"words": [99, 4, 10]},)"
        R"({"words": [99, 5, 3, )" +
            bits(6.0f) +
            R"(]}, {"words": [2, 6]}, {"words": [2, 7]}, {"words": [2, 8]},)"
            R"({"words": [2, 9]}, {"words": [99, 10, 11]}, {"words": [2, 11]}, {"words": [99, 12, 12]},)"
            R"({"words": [99, 13, 4]}, {"words": [2, 14]}, {"words": [2, 15]}, {"words": [99, 16, 3, )" +
            bits(2.0f) + R"(]}, {"words": [2, 17]}, {"words": [2, 18]}]}]}})",
        "two levels");
    ncd_open_registered_tool_path();
    move(0, 0, 20);
    int status = 0;
    const struct {
        int block, font;
        float x, y, z;
        const char* level;
        bool link;
    } rows[] = {
        {1, 4, 10, 0, 20, "level_1", true},                                         // before the first approach's end
        {3, 4, 10, 0, 6, "level_1", true},                                          // inside the approach
        {6, 4, 20, 0, 6, "level_1", false},   {7, 4, 25, 0, 8, "level_1", false},   // rising, not on the axis
        {8, 4, 30, 0, 8, "level_1", false},                                         // at one height between tilted cuts
        {9, 4, 35, 0, 6, "level_1", false},   {11, 4, 35, 0, 16, "level_1", true},  // the lift
        {14, 4, 50, 0, 16, "level_2", true},                                        // the way over, leading to level 2
        {15, 4, 50, 0, 2, "level_2", true},   {17, 4, 60, 0, 2, "level_2", false},
        {18, 5, 60, 10, 2, "level_2", true},   // rapid
        {40, 4, 70, 10, 2, "level_2", false},  // not in the tool path: with the block before it
    };
    for (const auto& r : rows) {
        ncd_update_current_attrs(r.font, 2, 1);
        ncd_register_block({2, 1, r.block});
        ncd_add_registered_block(status);
        const float to[3] = {r.x, r.y, r.z};
        ncd_move_to(to, status);
    }
    for (int field = 1; field <= kStatusFields; ++field) bmshow(2, 1, field, "ABCDEFGHIJKL", 0, kStatusFieldChars);
    const std::string svg = vantu::control::picture_svg({});
    EXPECT_EQ(xml_problem(svg), "") << svg;
    EXPECT_EQ(svg.find("stroke=\"red\""), std::string::npos) << "no block in the procedure's colour";
    EXPECT_LT(svg.find("inkscape:label=\"procedure 1, level 1: Z 6.000\""),
              svg.find("inkscape:label=\"procedure 1, level 2: Z 2.000\""))
        << svg;
    for (const char* legend : {">tool path, procedure 1, level 1: Z 6.000<", ">tool path links and rapid moves<"})
        EXPECT_NE(svg.find(legend), std::string::npos) << legend;
    std::string level;
    std::vector<std::pair<std::string, bool>> drawn;  // level, dashed
    std::istringstream in(svg);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("<g id=\"level_", 0) == 0) level = line.substr(7, line.find('"', 7) - 7);
        if (line.rfind("</g>", 0) == 0) level.clear();
        if (!level.empty() && line.rfind("<polyline", 0) == 0)
            drawn.emplace_back(level, line.find("stroke-dasharray") != std::string::npos);
    }
    std::vector<std::pair<std::string, bool>> expected;
    for (const char* l : {"level_1", "level_2"})
        for (const auto& r : rows)
            if (r.level == std::string(l)) expected.emplace_back(r.level, r.link);
    EXPECT_EQ(drawn, expected);
    // Each level alone, the other left out.
    EXPECT_EQ(vantu::control::picture_levels(), 2u);
    const std::string second = vantu::control::picture_svg({}, 2);
    EXPECT_EQ(xml_problem(second), "");
    EXPECT_EQ(second.find("id=\"level_1\""), std::string::npos);
    EXPECT_NE(second.find("id=\"level_2\""), std::string::npos);
    EXPECT_EQ(second.find("level 1: Z 6.000"), std::string::npos) << "the legend names only the level drawn";
    // The status line stays inside the picture's width.
    const box view = view_box_of(svg);
    const auto fonts = values_after(svg, "id=\"statusline\" font-family=\"monospace\" font-size=\"");
    ASSERT_EQ(fonts.size(), 1u);
    const int characters = 31 + kStatusFields * (1 + kStatusFieldChars);  // the line's name and the fields
    EXPECT_LE(std::stod(fonts[0]) * 0.6 * characters, view.width);
}

// The part surface is shaded under the path, lighter higher: a height grid by its cells (none
// where a node has no surface), a parametric surface by cells of its parameters.
TEST_F(HostDisplay, PartSurfacesAreShadedByHeight)
{
    const struct {
        const char* entity;
        std::size_t cells;
        double left, right;  // x of the view's ends
    } rows[] = {
        {R"({"id": 1, "kind": "height_grid", "origin": [0, 0], "cell_size": 2, "nodes": [4, 2], "heights": [0, 1, 2, null, 0, 1, 2, 3]})",
         2, 0, 4},
        {R"({"id": 1, "kind": "plane", "origin": [0, 0, 0], "u_axis": [10, 0, 1], "v_axis": [0, 5, 0]})", 3600, 0, 10},
    };
    for (const auto& row : rows) {
        vantu::control::reset();
        vantu::control::load_part_text(std::string(R"({"entities": [)") + row.entity + "]}", "surface");
        const std::string svg = vantu::control::picture_svg({});
        EXPECT_EQ(xml_problem(svg), "") << row.entity;
        std::vector<int> greys;
        for (const std::string& fill : values_after(svg, "fill=\"rgb("))
            greys.push_back(std::stoi(fill.substr(0, fill.find(','))));
        ASSERT_EQ(greys.size(), row.cells) << row.entity;
        EXPECT_LT(greys.front(), greys.back()) << "rising in x: lighter to the right";
        EXPECT_NE(svg.find(">part surface, darker lower<"), std::string::npos);
        const box view = view_box_of(svg);
        EXPECT_NEAR(view.x + view.width / 2.0, (row.left + row.right) / 2.0, 1e-9) << "fitted to the surface";
    }
}

TEST_F(HostDisplay, DeletedFiguresLeaveThePictureAndEmptyPicturesAreValid)
{
    const std::string empty = vantu::control::picture_svg({});
    EXPECT_EQ(xml_problem(empty), "");
    const box view = view_box_of(empty);
    EXPECT_GT(view.width, 0.0);
    EXPECT_GT(view.height, 0.0);

    int status = 0;
    figopa(-1, 4, status);
    move(0, 0, 0);
    draw(1, 0, 0);
    figcls(-1);
    EXPECT_NE(vantu::control::picture_svg({}).find("stroke=\"blue\""), std::string::npos);
    figdel(-1, status);
    const std::string after = vantu::control::picture_svg({{{5, 5, 0}}});  // one point: no line
    EXPECT_EQ(xml_problem(after), "");
    EXPECT_EQ(after.find("stroke=\"blue\""), std::string::npos);
    EXPECT_TRUE(polyline_points(after).empty());
}

TEST_F(HostDisplay, PointEntitiesAreMarkedAndSizesFollowThePicture)
{
    vantu::control::add_point({1000, 2000, 0});
    vantu::control::add_line({0, 0, 0}, {1000, 0, 0});
    const std::string large = vantu::control::picture_svg({});
    EXPECT_NE(large.find("<circle cx=\"1000\" cy=\"-2000\""), std::string::npos);
    vantu::control::reset();
    vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    const std::string small = vantu::control::picture_svg({});
    const std::string width = "id=\"part\" fill=\"none\" stroke=\"#999999\" stroke-width=\"";
    const auto large_width = values_after(large, width), small_width = values_after(small, width);
    ASSERT_EQ(large_width.size(), 1u);
    ASSERT_EQ(small_width.size(), 1u);
    EXPECT_NEAR(std::stod(large_width[0]) / std::stod(small_width[0]), 2000.0, 1e-6);
    EXPECT_EQ(xml_problem(small), "");
}
