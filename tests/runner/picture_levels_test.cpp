// The pictures of the README's examples are layered and styled by what the tool path says: one
// layer per LAYER bracket of each shown procedure (one for a procedure without them), holding the
// blocks of that level in file order (the moves before a bracket lead to it); rapid moves, moves
// along the tool axis and moves inside APPROACH, RETRACT and CONNECTION brackets dashed; moves
// inside a PASS bracket, at their level's Z, or of a procedure without such brackets solid,
// whatever their plane. With more than one level, every level has a picture of its own.
#include "tests/runner/pocket_dump_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <map>
#include <optional>

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;
constexpr double kSamePoint = 1e-3;

// What the tool path says of a motion block.
struct motion {
    int level = 0;  // index among the levels of its procedure
    bool in_link_bracket = false, in_pass = false;
    std::optional<double> level_z;  // the Z of its LAYER marker
};

struct procedure_levels {
    std::vector<std::optional<double>> levels;  // one per LAYER bracket; one without a Z when none
    std::map<int, motion> motions;              // by block number
    bool only_complex = true;                   // no marker but the COMPLEX pair
};

// The procedures of a dump by their block numbers, read from their sub-lists.
std::map<int, procedure_levels> levels_of_dump(const std::string& dump)
{
    std::map<int, procedure_levels> out;
    std::istringstream in(dump);
    procedure_levels* p = nullptr;
    std::vector<int> waiting;
    bool inside = false;
    int links = 0, passes = 0;
    auto finish = [&] {
        if (!p) return;
        if (p->levels.empty()) p->levels.push_back(std::nullopt);
        for (int b : waiting) p->motions[b].level = static_cast<int>(p->levels.size()) - 1;
        waiting.clear();
    };
    for (std::string line; std::getline(in, line);) {
        const bool sub =
            line.rfind("  ", 0) == 0 && line.size() > 2 && std::isdigit(static_cast<unsigned char>(line[2]));
        const bool top = !line.empty() && std::isdigit(static_cast<unsigned char>(line[0]));
        if (!sub && !top) continue;
        std::istringstream fields(line.substr(line.find(':') + 1));
        std::string type, number;
        fields >> type >> number;
        if (top) {
            finish();
            p = type == "12" ? &out[std::stoi(number)] : nullptr;
            inside = false;
            links = passes = 0;
        } else if (p && line.find('.') < line.find(':') && line.find('.', line.find('.') + 1) > line.find(':')) {
            std::vector<std::string> w{std::istream_iterator<std::string>(fields), {}};
            if (type != "99") {
                const int level = static_cast<int>(p->levels.size()) - 1;
                p->motions[std::stoi(number)] = {level, links > 0, passes > 0,
                                                 inside ? p->levels.back() : std::nullopt};
                if (!inside) waiting.push_back(std::stoi(number));
                continue;
            }
            const int code = w.empty() ? 0 : std::stoi(w[0]);
            p->only_complex = p->only_complex && (code == 1 || code == 2);
            if (code == 3) {
                p->levels.push_back(w.size() > 1 ? std::optional<double>(word_real(w[1])) : std::nullopt);
                for (int b : waiting)
                    p->motions[b] = {static_cast<int>(p->levels.size()) - 1, p->motions[b].in_link_bracket,
                                     p->motions[b].in_pass, std::nullopt};
                waiting.clear();
                inside = true;
            } else if (code == 4) {
                inside = false;
            } else if (code == 9 || code == 11 || code == 15 || code == 61) {
                ++links;
            } else if (code == 10 || code == 12 || code == 16 || code == 62) {
                links = std::max(0, links - 1);
            } else if (code == 5) {
                ++passes;
            } else if (code == 6) {
                passes = std::max(0, passes - 1);
            }
        }
    }
    finish();
    return out;
}

struct shown_block {
    int procedure = 0, number = 0, font = 0;
    std::vector<std::array<double, 3>> points;
};

// The drawn blocks of display.txt: not blank, of two points or more.
std::vector<shown_block> shown_blocks(const std::string& display)
{
    std::vector<shown_block> out;
    std::istringstream in(display);
    for (std::string line; std::getline(in, line);) {
        const std::size_t colon = line.find(": ");
        if (line.rfind("2/", 0) != 0 || colon == std::string::npos) continue;
        const std::string head = line.substr(0, colon);
        if (head.find("blank") != std::string::npos) continue;
        shown_block b;
        char slash = 0, kind = 0;
        std::string font_word;
        std::istringstream fields(head.substr(2));
        fields >> b.procedure >> slash >> b.number >> kind >> font_word >> b.font;
        std::string rest = line.substr(colon + 2);
        for (std::size_t at; (at = rest.find(" -> ")) != std::string::npos;) rest.replace(at, 4, " ");
        std::istringstream points(rest);
        for (double x, y, z; points >> x >> y >> z;) b.points.push_back({x, y, z});
        if (b.points.size() >= 2) out.push_back(b);
    }
    return out;
}

struct drawn_line {
    xy from{}, to{};
    bool dashed = false;
};

// The level layers of the picture in order, each with its label and polylines.
std::vector<std::pair<std::string, std::vector<drawn_line>>> level_layers(const std::string& svg)
{
    std::vector<std::pair<std::string, std::vector<drawn_line>>> layers;
    std::istringstream in(svg);
    bool inside = false;
    auto pair_at = [](const std::string& text) {
        const std::size_t comma = text.find(',');
        return xy{std::stod(text.substr(0, comma)), -std::stod(text.substr(comma + 1))};
    };
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("<g id=\"level_", 0) == 0) {
            const std::size_t label = line.find("inkscape:label=\"") + 16;
            layers.push_back({line.substr(label, line.find('"', label) - label), {}});
            inside = true;
        } else if (line == "</g>") {
            inside = false;
        } else if (inside && line.rfind("<polyline points=\"", 0) == 0) {
            const std::size_t begin = 18, end = line.find('"', begin);
            const std::string points = line.substr(begin, end - begin);
            layers.back().second.push_back({pair_at(points.substr(0, points.find(' '))),
                                            pair_at(points.substr(points.rfind(' ') + 1)),
                                            line.find("stroke-dasharray", end) != std::string::npos});
        }
    }
    return layers;
}

bool near_xy(const xy& a, const std::array<double, 3>& b)
{
    return std::abs(a[0] - b[0]) <= kSamePoint && std::abs(a[1] - b[1]) <= kSamePoint;
}

// Whether the tool path says the block is a link (true), a cut (false), or leaves it open.
std::optional<bool> link_by_tool_path(const shown_block& b, const motion& m, const procedure_levels& p)
{
    const auto &first = b.points.front(), &last = b.points.back();
    const bool along_axis = std::abs(first[0] - last[0]) <= kSamePoint && std::abs(first[1] - last[1]) <= kSamePoint &&
                            std::abs(first[2] - last[2]) > kSamePoint;
    if (b.font == 5 || along_axis || m.in_link_bracket) return true;
    const bool at_level = m.level_z && std::all_of(b.points.begin(), b.points.end(), [&](const auto& q) {
                              return std::abs(q[2] - *m.level_z) <= kSamePoint;
                          });
    if (m.in_pass || at_level || p.only_complex) return false;
    return std::nullopt;
}

// The faults of an example's picture against its tool path; empty when it is true.
std::string level_faults(const fs::path& out)
{
    const auto procedures = levels_of_dump(read_file(out / "toolpath.txt"));
    const auto blocks = shown_blocks(read_file(out / "display.txt"));
    const auto layers = level_layers(read_file(out / "picture.svg"));
    std::ostringstream faults;
    // The expected layers: the levels of the shown procedures, in the order first shown.
    std::vector<std::pair<int, int>> order;  // procedure, level
    std::map<std::pair<int, int>, std::vector<const shown_block*>> by_level;
    int judged = 0;
    for (const shown_block& b : blocks) {
        const auto p = procedures.find(b.procedure);
        if (p == procedures.end() || !p->second.motions.count(b.number)) {
            faults << "block " << b.number << " of procedure " << b.procedure << " is not in the tool path\n";
            continue;
        }
        const std::pair<int, int> key{b.procedure, p->second.motions.at(b.number).level};
        if (std::find(order.begin(), order.end(), key) == order.end()) order.push_back(key);
        by_level[key].push_back(&b);
    }
    std::size_t levels = 0;
    for (const auto& [number, p] : procedures)
        if (std::any_of(blocks.begin(), blocks.end(), [&](const shown_block& b) { return b.procedure == number; }))
            levels += p.levels.size();
    if (layers.size() != levels || order.size() != levels)
        faults << layers.size() << " layers drawn, " << levels << " levels in the tool path, " << order.size()
               << " with blocks\n";
    for (std::size_t k = 0; k < std::min(layers.size(), order.size()); ++k) {
        const procedure_levels& p = procedures.at(order[k].first);
        const auto z = p.levels[static_cast<std::size_t>(order[k].second)];
        if (z && layers[k].first.find("Z " + std::to_string(*z).substr(0, std::to_string(*z).find('.') + 4)) ==
                     std::string::npos)
            faults << "layer " << layers[k].first << " does not name Z " << *z << "\n";
        const auto& expected = by_level[order[k]];
        const auto& drawn = layers[k].second;
        if (expected.size() != drawn.size()) {
            faults << layers[k].first << ": " << drawn.size() << " drawn, " << expected.size() << " blocks\n";
            continue;
        }
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const shown_block& b = *expected[i];
            if (!near_xy(drawn[i].from, b.points.front()) || !near_xy(drawn[i].to, b.points.back()))
                faults << layers[k].first << ": line " << i << " is not block " << b.number << "\n";
            const auto link = link_by_tool_path(b, p.motions.at(b.number), p);
            judged += link.has_value();
            if (link && *link != drawn[i].dashed)
                faults << "block " << b.number << " is a " << (*link ? "link" : "cut") << " drawn "
                       << (drawn[i].dashed ? "dashed" : "solid") << "\n";
        }
    }
    if (judged == 0) faults << "no block judged\n";
    for (std::size_t k = 1; levels > 1 && k <= levels; ++k)
        if (level_layers(read_file(out / ("picture_level_" + std::to_string(k) + ".svg"))).size() != 1)
            faults << "picture_level_" << k << ".svg does not hold its one level\n";
    return faults.str();
}

TEST(PictureLevels, LayersAreTheToolPathsLevelsAndLinksAreDashed)
{
    const std::string common = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
    const std::string editor = "--module " + test_support::test_module_dir() + "/testmod_tp_editor.so ";
    const std::string surface = " --module " + test_support::test_module_dir() + "/testmod_surface_pocket.so";
    const struct {
        const char* name;
        std::string arguments;
    } rows[] = {
        {"pocket", "--part " + kExamplePart + " --script " + kSource + "/examples/pocket_script.json"},
        {"hatch", "--part " + kExamplePart + " --script " + kSource + "/examples/hatch_script.json"},
        {"delete_loop", editor + "--edit 2 --part " + kSource + "/examples/mill_path_part.json --script " + kSource +
                            "/examples/delete_loop_script.json"},
        {"method1", "--part " + kSource + "/examples/surface_method1_part.json --script " + kSource +
                        "/examples/surface_method1_script.json" + surface},
        {"surface_clearing", "--part " + kSource + "/examples/surface_pocket_part.json --script " + kSource +
                                 "/examples/surface_clearing_script.json" + surface},
    };
    for (const auto& row : rows) {
        const fs::path out = fresh_folder(std::string("levels_") + row.name);
        const run_result run = run_hostrun(row.arguments + " --out " + out.string() + common);
        ASSERT_EQ(run.exit_code, 0) << row.name << "\n" << run.output;
        EXPECT_EQ(level_faults(out), "") << row.name;
    }
}

}  // namespace
