// The main job against its golden outputs: the example pocket is created with the shipped script,
// then reopened with `--edit 1` on the part the first run saved; the transcript and the tool-path
// dump of each run are compared whole with tests/runner/golden/ (clock fixed, paths replaced by
// placeholders). The reopened procedure clears by hatch lines: its cuts are also judged against
// the example's islands, which they never enter.
//
// When a change alters the outputs on purpose (new moves in the levels, new messages), regenerate
// the golden files and review their diff before committing:
//     DRELAN_UPDATE_GOLDEN=1 ./build/test_runner --gtest_filter='Golden.*'
#include "host/control.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const std::string kSource = DRELAN_SOURCE_DIR;
const fs::path kGolden = fs::path(kSource) / "tests" / "runner" / "golden";
// How far a cut may come into an island: the float coordinates of the moves.
constexpr double kFloatReach = 1e-4;

int run_command(const std::string& command)
{
    const int status = std::system((command + " > /dev/null 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string read_file(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text with every occurrence of `from` replaced by `to`.
std::string replaced(std::string text, const std::string& from, const std::string& to)
{
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// Compares an output with its golden file, or writes the golden file when asked to.
void check_golden(const std::string& output, const std::string& name)
{
    const fs::path golden = kGolden / name;
    if (std::getenv("DRELAN_UPDATE_GOLDEN") != nullptr) {
        fs::create_directories(kGolden);
        std::ofstream(golden) << output;
        return;
    }
    ASSERT_TRUE(fs::exists(golden)) << golden << " is missing; regenerate with DRELAN_UPDATE_GOLDEN=1";
    EXPECT_EQ(output, read_file(golden)) << "differs from " << golden;
}

word first_word_of_record(const fs::path& part, const std::string& key)
{
    vantu::control::load_part(part.string());
    const auto record = vantu::control::get_record(key);
    vantu::control::reset();
    return record && !record->empty() ? record->front() : -9999;
}

// The example's islands: the circle of radius 8 about (25, 30) and the slot of half width 5 about
// the axis from (55, 30) to (80, 30), each the points within its radius of its axis.
struct island {
    double x0, y0, x1, y1, radius;
};
constexpr island kExampleIslands[] = {{25, 30, 25, 30, 8}, {55, 30, 80, 30, 5}};

double point_segment_distance(const double* p, const double* a, const double* b)
{
    const double dx = b[0] - a[0], dy = b[1] - a[1], l2 = dx * dx + dy * dy;
    const double t = l2 > 0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / l2, 0.0, 1.0) : 0.0;
    return std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy);
}

// Distance between the segments a-b and c-d (0 when they cross).
double segment_gap(const double* a, const double* b, const double* c, const double* d)
{
    const auto left = [](const double* o, const double* p, const double* q) {
        return (p[0] - o[0]) * (q[1] - o[1]) - (p[1] - o[1]) * (q[0] - o[0]) > 0.0;
    };
    if (left(a, b, c) != left(a, b, d) && left(c, d, a) != left(c, d, b)) return 0.0;
    return std::min({point_segment_distance(a, c, d), point_segment_distance(b, c, d), point_segment_distance(c, a, b),
                     point_segment_distance(d, a, b)});
}

// How deep the cutting moves of a tool-path dump come into the example's islands, and how many
// there are. A cutting move joins two straight moves (block 2: x, y, z) at the Z of an open LAYER
// (marker block 99, code 3 with the Z; code 4 closes it); any other block breaks the chain.
struct island_entry {
    double deepest = -1e30;
    int cuts = 0;
};

island_entry island_entry_of(const std::string& toolpath)
{
    constexpr int kMoveBlock = 2, kMarkerBlock = 99, kLayerOpen = 3, kLayerClose = 4;
    const auto real = [](long w) { return static_cast<double>(std::bit_cast<float>(static_cast<std::int32_t>(w))); };
    island_entry found;
    std::istringstream lines(toolpath);
    std::string line;
    bool open = false, have_previous = false;
    double level = 0.0, previous[3] = {};
    while (std::getline(lines, line)) {
        const std::size_t colon = line.find(": ");
        if (line.rfind("  ", 0) != 0 || colon == std::string::npos) continue;
        std::istringstream words(line.substr(colon + 2));
        std::vector<long> w;
        for (long v = 0; words >> v;) w.push_back(v);
        if (w.size() >= 3 && w[0] == kMarkerBlock) {
            if (w[2] == kLayerOpen && w.size() >= 4) level = real(w[3]);
            if (w[2] == kLayerOpen || w[2] == kLayerClose) open = w[2] == kLayerOpen;
        }
        if (w.size() < 5 || w[0] != kMoveBlock) {
            have_previous = false;
            continue;
        }
        const double point[3] = {real(w[2]), real(w[3]), real(w[4])};
        if (open && have_previous && previous[2] == level && point[2] == level) {
            ++found.cuts;
            for (const island& i : kExampleIslands) {
                const double c[2] = {i.x0, i.y0}, d[2] = {i.x1, i.y1};
                found.deepest = std::max(found.deepest, i.radius - segment_gap(previous, point, c, d));
            }
        }
        std::copy(point, point + 3, previous);
        have_previous = true;
    }
    return found;
}

}  // namespace

TEST(Golden, PocketIsCreatedAndReopenedAsItsGoldenOutputsSay)
{
    const fs::path out = fs::temp_directory_path() / ("drelan_golden_" + std::to_string(getpid()));
    fs::remove_all(out);
    const std::string common = std::string(" --data ") + kSource + "/data --fixed-time 2026-01-01T12:00:00";
    const std::string create = std::string(DRELAN_HOSTRUN_PATH) + " --part " + kSource + "/examples/pocket_part.json" +
                               " --script " + kSource + "/examples/pocket_script.json --out " + (out / "create").string() +
                               common;
    ASSERT_EQ(run_command(create), 0);
    const fs::path saved = out / "create" / "part.saved.json";
    const std::string reopen = std::string(DRELAN_HOSTRUN_PATH) + " --part " + saved.string() + " --script " + kSource +
                               "/examples/pocket_reopen_script.json --out " + (out / "reopen").string() + common +
                               " --edit 1";
    ASSERT_EQ(run_command(reopen), 0);

    for (const char* run : {"create", "reopen"}) {
        const std::string transcript =
            replaced(replaced(read_file(out / run / "transcript.txt"), out.string(), "<out>"), kSource, "<source>");
        EXPECT_EQ(transcript.find("left behind"), std::string::npos) << run;
        EXPECT_NE(transcript.find("OK TO EXECUTE?\" \"YES    @NO     @SUSPEND\" -> 1 (YES)"), std::string::npos) << run;
        check_golden(transcript, std::string("pocket_") + run + "_transcript.txt");
        check_golden(read_file(out / run / "toolpath.txt"), std::string("pocket_") + run + "_toolpath.txt");
    }
    // The hatch lines and the steps along the contours end on the islands' arcs, never inside them.
    const island_entry entry = island_entry_of(read_file(out / "reopen" / "toolpath.txt"));
    EXPECT_GT(entry.cuts, 1000);
    EXPECT_LE(entry.deepest, kFloatReach) << "a cut comes into an island";
    EXPECT_EQ(first_word_of_record(saved, "KQ47"), 2) << "offset pocketing as the part stored it";
    EXPECT_EQ(first_word_of_record(out / "reopen" / "part.saved.json", "KQ47"), 1) << "hatch clearing after the reopen";
    fs::remove_all(out);
}
