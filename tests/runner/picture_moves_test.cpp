// The pictures of the README's editing examples show the tool path as it is: every block the
// picture draws from the display file is a move of the decoded tool path (from where the move
// before it ended to its own end, an arc through points of its circle), and every move of the
// displayed procedures is drawn, the first of each procedure excepted (the display lifts the
// pen onto it). Judged after trimming, deleting a range and a loop, and reopening the pocket
// example into hatch clearing, where blocks are inserted, removed and redrawn after figures.
#include "tests/runner/pocket_dump_support.hpp"
#include "tests/support/build_under_test.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

using namespace runner_test;

const std::string kSource = DRELAN_SOURCE_DIR;
constexpr double kSamePoint = 1e-3;

struct move_xy {
    xy from{}, to{};
    bool arc = false;
    xy centre{};
    bool first = false;  // the first move of its procedure
};

bool same(const xy& a, const xy& b)
{
    return std::abs(a[0] - b[0]) <= kSamePoint && std::abs(a[1] - b[1]) <= kSamePoint;
}

// The polylines of the picture's display file, y turned up again.
std::vector<std::vector<xy>> drawn_blocks(const std::string& svg)
{
    const std::size_t begin = svg.find("<g id=\"displayfile\"");
    std::size_t end = svg.size();
    for (const char* next : {"<g id=\"toolinstance\"", "<g id=\"statusline\"", "<g id=\"legend\""})
        end = std::min(end, svg.find(next, begin));
    std::vector<std::vector<xy>> blocks;
    static const std::regex kPolyline(R"(<polyline points="([^"]*)\")");
    const std::string file = begin == std::string::npos ? "" : svg.substr(begin, end - begin);
    for (std::sregex_iterator it(file.begin(), file.end(), kPolyline), stop; it != stop; ++it) {
        std::vector<xy> points;
        std::istringstream in((*it)[1].str());
        for (std::string pair; in >> pair;) {
            const auto comma = pair.find(',');
            points.push_back({std::stod(pair.substr(0, comma)), -std::stod(pair.substr(comma + 1))});
        }
        blocks.push_back(points);
    }
    return blocks;
}

// The procedures the display file shows, by the block numbers of their procedure blocks.
std::set<int> displayed_procedures(const std::string& display_text)
{
    std::set<int> procedures;
    static const std::regex kBlock(R"(^(\d+)/(\d+)/\d+ )", std::regex::multiline);
    for (std::sregex_iterator it(display_text.begin(), display_text.end(), kBlock), stop; it != stop; ++it)
        if (std::stoi((*it)[1]) == 2) procedures.insert(std::stoi((*it)[2]));
    return procedures;
}

// The line and arc moves of the displayed procedures of a tool-path dump.
std::vector<move_xy> displayed_moves(const std::string& dump, const std::set<int>& procedures)
{
    std::map<std::string, int> procedure_of_line;  // top-level line number -> procedure block
    static const std::regex kProcedure(R"(^(\d+): 12 (\d+) )", std::regex::multiline);
    for (std::sregex_iterator it(dump.begin(), dump.end(), kProcedure), stop; it != stop; ++it)
        procedure_of_line[(*it)[1]] = std::stoi((*it)[2]);
    std::vector<move_xy> moves;
    std::string last_line;
    for_each_block(dump, [&](const dump_block& b) {
        const std::string line = b.number.substr(0, b.number.find('.'));
        const auto procedure = procedure_of_line.find(line);
        if (procedure == procedure_of_line.end() || !procedures.count(procedure->second)) return;
        const bool line_move = b.type == 2 || b.type == 22 || b.type == 222, arc = b.type == 3 && b.words.size() >= 8;
        if (!line_move && !arc) return;
        move_xy m{{b.from[0], b.from[1]}, {b.to[0], b.to[1]}, arc, {}, line != last_line};
        if (arc) m.centre = {word_real(b.words[3]), word_real(b.words[4])};
        moves.push_back(m);
        last_line = line;
    });
    return moves;
}

// Whether the drawn block is the move: from its start to its end, straight for a line, on the
// circle of an arc.
bool draws(const std::vector<xy>& block, const move_xy& m)
{
    if (!same(block.front(), m.from) || !same(block.back(), m.to)) return false;
    if (!m.arc) return block.size() == 2;
    const double radius = std::hypot(m.to[0] - m.centre[0], m.to[1] - m.centre[1]);
    return std::all_of(block.begin(), block.end(), [&](const xy& p) {
        return std::abs(std::hypot(p[0] - m.centre[0], p[1] - m.centre[1]) - radius) <= kSamePoint;
    });
}

// The moves, sorted by the x of their start, to find those a drawn block may be.
struct move_index {
    std::vector<move_xy> moves;
    explicit move_index(std::vector<move_xy> all) : moves(std::move(all))
    {
        std::sort(moves.begin(), moves.end(), [](const move_xy& a, const move_xy& b) { return a.from[0] < b.from[0]; });
    }
    template <class Visit> bool any_from(const xy& start, Visit visit) const
    {
        auto it = std::lower_bound(moves.begin(), moves.end(), start[0] - kSamePoint,
                                   [](const move_xy& m, double x) { return m.from[0] < x; });
        for (; it != moves.end() && it->from[0] <= start[0] + kSamePoint; ++it)
            if (visit(*it)) return true;
        return false;
    }
};

// The faults of an example's picture against its tool path: drawn blocks that are no move, moves
// that are not drawn; empty when the picture is true.
std::string picture_faults(const fs::path& out)
{
    const auto procedures = displayed_procedures(read_file(out / "display.txt"));
    const std::vector<move_xy> moves = displayed_moves(read_file(out / "toolpath.txt"), procedures);
    const std::vector<std::vector<xy>> drawn = drawn_blocks(read_file(out / "picture.svg"));
    std::ostringstream faults;
    if (moves.empty() || drawn.empty()) faults << moves.size() << " moves, " << drawn.size() << " drawn blocks\n";
    const move_index index(moves);
    for (const auto& block : drawn)
        if (!index.any_from(block.front(), [&](const move_xy& m) { return draws(block, m); }))
            faults << "drawn, no move: " << block.front()[0] << "," << block.front()[1] << " -> " << block.back()[0]
                   << "," << block.back()[1] << "\n";
    std::multimap<double, const std::vector<xy>*> drawn_by_x;
    for (const auto& block : drawn) drawn_by_x.emplace(block.front()[0], &block);
    for (const move_xy& m : moves) {
        if (m.first) continue;
        bool found = false;
        for (auto it = drawn_by_x.lower_bound(m.from[0] - kSamePoint);
             !found && it != drawn_by_x.end() && it->first <= m.from[0] + kSamePoint; ++it)
            found = draws(*it->second, m);
        if (!found)
            faults << "move not drawn: " << m.from[0] << "," << m.from[1] << " -> " << m.to[0] << "," << m.to[1]
                   << "\n";
    }
    return faults.str();
}

std::string editor(int procedure, const std::string& part, const std::string& script, const fs::path& out)
{
    return "--module " + test_support::test_module_dir() + "/testmod_tp_editor.so --edit " + std::to_string(procedure) +
           " --part " + part + " --script " + kSource + "/examples/" + script + " --out " + out.string() + " --data " +
           kSource + "/data --fixed-time 2026-01-01T12:00:00";
}

TEST(PictureMoves, EditedPathsAreDrawnAsTheirMoves)
{
    const fs::path example = fresh_folder("picture_example");
    const std::string common = " --data " + kSource + "/data --fixed-time 2026-01-01T12:00:00";
    const run_result made = run_hostrun("--part " + kSource + "/examples/pocket_part.json --script " + kSource +
                                        "/examples/pocket_script.json --out " + example.string() + common);
    ASSERT_EQ(made.exit_code, 0) << made.output;
    const std::string saved = (example / "part.saved.json").string(), mill = kSource + "/examples/mill_path_part.json";
    const fs::path trim = fresh_folder("picture_trim"), cut = fresh_folder("picture_delete"),
                   loop = fresh_folder("picture_delete_loop"), reopen = fresh_folder("picture_reopen");
    const struct {
        const char* name;
        fs::path out;
        std::string arguments;
    } rows[] = {
        {"trim", trim, editor(1, mill, "trim_script.json", trim)},
        {"delete", cut, editor(1, saved, "delete_script.json", cut)},
        {"delete_loop", loop, editor(2, mill, "delete_loop_script.json", loop)},
        {"hatch_reopen", reopen,
         "--part " + saved + " --script " + kSource + "/examples/pocket_reopen_script.json --out " + reopen.string() +
             common + " --edit 1"},
    };
    for (const auto& row : rows) {
        const run_result run = run_hostrun(row.arguments);
        ASSERT_EQ(run.exit_code, 0) << row.name << "\n" << run.output;
        EXPECT_EQ(picture_faults(row.out), "") << row.name;
    }
}

}  // namespace
