// Seeded mutation fuzzing of what comes from outside: the part and script readers and the loops
// the kernel is given. Every run replays the named cases kept in tests/fuzz_cases/ (a file per
// input that once failed: part-*.json, script-*.json, loop-*.json) and then mutates the seeds for
// DRELAN_FUZZ_SECONDS seconds (by default a short run of kDefaultRounds inputs). Before an input
// is tried it is written to DRELAN_FUZZ_DIR (the working folder by default) as current.*, so an
// input that ends the process is left behind to be kept as a named case; an input that fails a
// check is saved there as failure-*.* and named in the failure, with the seed.
//
// What must hold: a reader refuses a bad file with part_error and nothing else, and a part it
// accepts saves and loads back; the kernel's entry points and clean-ups take any loop without
// crashing, hanging or reading outside it (the sanitizer build checks the last).
#include "host/control.hpp"
#include "host/control/script.hpp"
#include "host/tolerance.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/lane_offset.hpp"
#include "pocket_arrays/loop_inside.hpp"
#include "pocket_arrays/loop_intersect.hpp"
#include "pocket_arrays/pk_search.hpp"
#include "pocket_arrays/pkdm_pool.hpp"
#include "pocket_arrays/pocket_state.hpp"
#include "pocket_arrays/pocket_work.hpp"
#include "pocket_arrays/pokarr.hpp"
#include "pocket_arrays/pokarr_clean_joins.hpp"
#include "pocket_arrays/pokarr_drop_redundant.hpp"
#include "pocket_arrays/pokarr_drop_short.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr unsigned kSeed = 14;
constexpr int kDefaultRounds = 300;

enum class kind { part, script, loop };
const char* prefix_of(kind k) { return k == kind::part ? "part" : k == kind::script ? "script" : "loop"; }

std::string read_file(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path work_folder()
{
    const char* dir = std::getenv("DRELAN_FUZZ_DIR");
    return dir != nullptr ? fs::path(dir) : fs::current_path();
}

// ---- what must hold ----------------------------------------------------------------------

// The polyline of a curve of an accepted part at the host's single-precision tolerance stays
// within this (a full circle of the model extent's radius takes about 2e5 points).
constexpr int kMostCurvePoints = 1000000;

// What the host derives from an accepted part's curves stays bounded: a finite parameter range
// (the curve sets save it) and a polyline of bounded length (the contours are made of it).
std::string check_curves()
{
    for (const int id : vantu::control::entity_ids()) {
        double start = 0.0, end = 0.0;
        int status = 0, points = 0;
        curve_limits(id, start, end, status);
        if (status != 0) continue;
        if (!std::isfinite(start) || !std::isfinite(end))
            return "entity " + std::to_string(id) + " has a parameter range that is not finite";
        crvpld2(id, start, end, vantu::kRealTolerance, 2, 0, nullptr, points, status);
        if (points > kMostCurvePoints)
            return "entity " + std::to_string(id) + " needs a polyline of " + std::to_string(points) + " points";
    }
    return {};
}

// Empty when the input passes, else what went wrong.
std::string check_part(const std::string& text)
{
    try {
        vantu::control::load_part_text(text, "fuzz part");
    } catch (const vantu::control::part_error&) {
        return {};
    } catch (const std::exception& e) {
        return std::string("the part reader threw something other than part_error: ") + e.what();
    }
    if (std::string fault = check_curves(); !fault.empty()) return fault;
    try {
        vantu::control::load_part_text(vantu::control::save_part_text(), "saved part");
    } catch (const std::exception& e) {
        return std::string("an accepted part does not load back: ") + e.what();
    }
    return {};
}

std::string check_script(const std::string& text)
{
    try {
        vantu::control::load_script_text(text, "fuzz script");
    } catch (const vantu::control::part_error&) {
    } catch (const std::exception& e) {
        return std::string("the script reader threw something other than part_error: ") + e.what();
    }
    vantu::control::clear_script();
    return {};
}

// The numbers of a loop file, two to an entry (strtod, so 1e400 reads as infinite).
std::vector<double> numbers_of(const std::string& text)
{
    std::vector<double> out;
    const char* p = text.c_str();
    while (*p != '\0') {
        char* end = nullptr;
        const double v = std::strtod(p, &end);
        if (end == p) {
            ++p;
            continue;
        }
        out.push_back(v);
        p = end;
    }
    return out;
}

pokarr loop_of(const std::vector<double>& numbers)
{
    pokarr a;
    pokarr_init(2, a);
    int status = 0;
    for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) {
        const double p[2] = {numbers[i], numbers[i + 1]};
        pokarr_add_pnt(p, a, status);
    }
    return a;
}

// The kernel's entry points and clean-ups on the loop; they may refuse it, never crash on it.
std::string check_loop(const std::string& text, std::mt19937& rng)
{
    const std::vector<double> numbers = numbers_of(text);
    pocket_state_block.pocket_dimension = 2;
    pocket_work_block.working_tolerance = 0.001;
    pocket_work_block.side_step = 1.0;
    pocket_work_block.corner_arcs = static_cast<int>(rng() % 2);
    std::string fault;
    {
        pokarr a = loop_of(numbers), result;
        pokarr_init(2, result);
        const double distances[] = {0.5, 3.0, -1.0, std::numeric_limits<double>::quiet_NaN()};
        int status = 0;
        lane_offset_2d3d(rng() % 2 == 0 ? kSideLeft : kSideRight, 1, distances[rng() % 4], a, result, status);
        int inside = 0;
        pnt_in_pokarr(1.0, 1.0, a, inside, status);
        if (inside < kLoopOutside || inside > kLoopOnBoundary)
            fault = "the inside test answered " + std::to_string(inside);
        pokarr b = loop_of(numbers);
        for (const int k : {0, kLuplupSelf}) {
            static pk_box_table boxes;
            static int ea[kLuplupSelfRows], eb[kLuplupSelfRows];
            static double x[kLuplupSelfRows], y[kLuplupSelfRows];
            pokarr_get_boxes(k == 0 ? result : b, boxes);
            int count = 0, code = 0;
            LUPLUP(k, b, k == 0 ? result : b, boxes, ea, eb, x, y, count, code);
            if (count < -1 || count > luplup_capacity(k)) fault = "LUPLUP gave count " + std::to_string(count);
        }
        pokarr_free(a);
        pokarr_free(b);
        pokarr_free(result);
    }
    {
        pokarr a = loop_of(numbers);
        pokarr_drop_short(a);
        int closed = 1;
        pokarr_drop_redundant(closed, 0, a);
        double w = 0.001;
        pokarr_clean_joins(static_cast<int>(rng() % 3), static_cast<int>(rng() % 2), w, a);
        if (a.count < 0 || a.count > static_cast<int>(numbers.size() / 2)) fault = "a clean-up grew the loop";
        pokarr_free(a);
    }
    pkdm_rel_all();
    return fault;
}

std::string check(kind k, const std::string& text, std::mt19937& rng)
{
    vantu::control::reset();
    if (k == kind::part) return check_part(text);
    if (k == kind::script) return check_script(text);
    return check_loop(text, rng);
}

// ---- seeds and mutations ---------------------------------------------------------------------

struct seed {
    kind k;
    std::string text;
};

std::vector<seed> seeds()
{
    const std::string source = DRELAN_SOURCE_DIR;
    return {
        {kind::part, read_file(source + "/examples/pocket_part.json")},
        {kind::part, R"({"entities": [{"id": 1, "kind": "line", "start": [0,0,0], "end": [80,0,0]},
 {"id": 2, "kind": "arc", "centre": [40,0,0], "radius": 40, "start_angle_deg": 0, "end_angle_deg": 180}],
 "curve_sets": [{"set": 1, "curves": [[1, 0, 80, 1], [2, 0, 3.14159, 1]]}],
 "nc_params": {"version": 3, "transformations": [{"id": 1, "matrix": [1,0,0,0,1,0,0,0,1], "translation": [0,0,0]}]},
 "nc_state": {"view": 1, "model_origin": [0, 0, 0]},
 "module_data": {"KQ47": {"kind": 1, "words": [1, {"real": 2.5}, {"double": 1e-3}, {"text": "ABCD"}]}}})"},
        {kind::part, R"({"entities": [{"id": 4, "kind": "height_grid", "origin": [-2, 3.5], "cell_size": 0.25,
 "nodes": [3, 2], "heights": [0.1, 2, null, -7, 0, 1e-3]}]})"},
        {kind::script, read_file(source + "/examples/pocket_script.json")},
        {kind::script, R"({"steps": [{"menu": 1}, {"question": "yes"}, {"page": [{"line": 2, "value": 1.5}, 0]},
 {"pick": 3}, {"point": [1, 2, 3]}, {"menu": "EXIT"}], "strict": false})"},
        {kind::loop, "[[5,0],[10,0],[10,10],[0,10],[0,0],[5,0]]"},
        {kind::loop, "[[5,0],[10,0],[1e25,0],[5,1],[5,5],[0,5],[0,0],[5,0]]"},
        {kind::loop, "[[0,0],[2.5,0],[5,0],[4.9933,0.0005],[7.5,0.00055],[10,0.0006],[10,10],[0,10],[0,0]]"},
    };
}

const char* const kTokens[] = {"1e400", "-1e400", "1e39",  "-1e39",      "1e25",        "0",
                               "-0",    "1e-320", "true",  "false",      "null",        "[]",
                               "{}",    "\"\"",   "\"x\"", ",",          ":",           "[",
                               "]",     "{",      "}",     "2147483648", "-2147483649", "9223372036854775808",
                               "0.5",   "NaN"};

std::string mutated(std::string text, std::mt19937& rng)
{
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = text.empty() ? 0 : rng() % text.size();
        switch (rng() % 5) {
        case 0:  // a byte changed
            if (!text.empty()) text[at] = static_cast<char>(32 + rng() % 95);
            break;
        case 1:  // a token inserted
            text.insert(at, kTokens[rng() % std::size(kTokens)]);
            break;
        case 2:  // a piece removed
            text.erase(at, 1 + rng() % 16);
            break;
        case 3:  // a piece doubled
            text.insert(at, text.substr(at, 1 + rng() % 32));
            break;
        default: {  // a number replaced by a token
            const std::size_t digit = text.find_first_of("0123456789", at);
            if (digit == std::string::npos) break;
            const std::size_t end = text.find_first_not_of("0123456789.eE+-", digit);
            text.replace(digit, (end == std::string::npos ? text.size() : end) - digit,
                         kTokens[rng() % std::size(kTokens)]);
        }
        }
    }
    return text;
}

fs::path save(const std::string& name, kind k, const std::string& text)
{
    const fs::path path = work_folder() / (name + "." + prefix_of(k) + ".json");
    std::ofstream(path) << text;
    return path;
}

class InputFuzz : public ::testing::Test {
protected:
    void TearDown() override
    {
        pkdm_rel_all();
        vantu::control::reset();
    }
};

}  // namespace

TEST_F(InputFuzz, NamedCasesStaySound)
{
    std::mt19937 rng(kSeed);
    const fs::path cases = fs::path(DRELAN_SOURCE_DIR) / "tests" / "fuzz_cases";
    int replayed = 0;
    for (const auto& entry : fs::directory_iterator(cases)) {
        const std::string name = entry.path().filename().string();
        const kind k = name.rfind("part-", 0) == 0     ? kind::part
                       : name.rfind("script-", 0) == 0 ? kind::script
                                                       : kind::loop;
        const std::string fault = check(k, read_file(entry.path()), rng);
        EXPECT_TRUE(fault.empty()) << name << ": " << fault;
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

TEST_F(InputFuzz, MutatedSeedsStaySound)
{
    const char* seconds_text = std::getenv("DRELAN_FUZZ_SECONDS");
    const double seconds = seconds_text != nullptr ? std::atof(seconds_text) : 0.0;
    const auto stop = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::mt19937 rng(kSeed);
    const std::vector<seed> all = seeds();
    long round = 0;
    for (; seconds > 0.0 ? std::chrono::steady_clock::now() < stop : round < kDefaultRounds; ++round) {
        const seed& s = all[rng() % all.size()];
        const std::string text = mutated(s.text, rng);
        save("current", s.k, text);
        const std::string fault = check(s.k, text, rng);
        if (fault.empty()) continue;
        const fs::path kept = save("failure-" + std::to_string(kSeed) + "-" + std::to_string(round), s.k, text);
        ADD_FAILURE() << "seed " << kSeed << ", input " << round << " (kept as " << kept.string() << "): " << fault;
    }
    std::cout << round << " mutated inputs tried (seed " << kSeed << ")\n";
    fs::remove(work_folder() / "current.part.json");
    fs::remove(work_folder() / "current.script.json");
    fs::remove(work_folder() / "current.loop.json");
}
