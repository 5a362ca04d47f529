// Pockets of the runner tests judged from the outside: pockets made from the example part with
// curves of a test's own and the script that picks them, the closed contours of a part file as
// polylines, and the blocks of a dumped tool path with the tool position before and after each.
#pragma once

#include "hostrun_support.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace runner_test {

using xy = std::array<double, 2>;
inline constexpr double kPi = 3.14159265358979323846;
// Coordinates come back as floats: a cut point may stand this far past a contour.
inline constexpr double kGeometryTolerance = 1.0e-3;
inline constexpr double kSameLevel = 1.0e-4;

inline const std::string kExamplePart = std::string(DRELAN_SOURCE_DIR) + "/examples/pocket_part.json";

inline fs::path write_text(const fs::path& path, const std::string& text)
{
    std::ofstream(path) << text;
    return path;
}

// Curves of a pocket (class 1, ids from `id` on): the closed polygon of the corners, a
// rectangle, a circle; joined answers the curves of several in one array.
inline nlohmann::json polygon(int id, const std::vector<xy>& corners)
{
    nlohmann::json lines = nlohmann::json::array();
    for (std::size_t i = 0; i < corners.size(); ++i) {
        const xy &a = corners[i], &b = corners[(i + 1) % corners.size()];
        lines.push_back({{"class", 1},
                         {"id", id + static_cast<int>(i)},
                         {"kind", "line"},
                         {"type", 1},
                         {"start", {a[0], a[1], 0.0}},
                         {"end", {b[0], b[1], 0.0}}});
    }
    return lines;
}

inline nlohmann::json rectangle(int id, double x0, double y0, double x1, double y1)
{
    return polygon(id, {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

inline nlohmann::json circle(int id, double x, double y, double r)
{
    return nlohmann::json::array({{{"class", 1},
                                   {"id", id},
                                   {"kind", "circle"},
                                   {"type", 2},
                                   {"centre", {x, y, 0.0}},
                                   {"normal", {0.0, 0.0, 1.0}},
                                   {"radius", r},
                                   {"start_angle_deg", 0.0}}});
}

inline nlohmann::json joined(std::initializer_list<nlohmann::json> parts)
{
    nlohmann::json all = nlohmann::json::array();
    for (const nlohmann::json& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// A pocket made from the example part: its curves (class 1) give way to `curves`, the script
// picks them in order, answers the pocket page with `page` (0 accepts it as stored), confirms
// the execution and leaves. Answers the part and the script written into the folder.
inline std::array<fs::path, 2> pocket_files(const fs::path& folder, const std::string& name,
                                            const nlohmann::json& curves, const nlohmann::json& page)
{
    nlohmann::json part = nlohmann::json::parse(read_file(kExamplePart));
    nlohmann::json entities = curves;
    nlohmann::json steps = nlohmann::json::array({{{"menu", "CONTOUR"}, {"expect", "PLANAR FACE"}}});
    for (const nlohmann::json& c : curves) steps.push_back({{"pick", c["id"]}});
    for (const nlohmann::json& e : part["entities"])
        if (e["class"] != 1) entities.push_back(e);
    part["entities"] = entities;
    steps.push_back({{"pick", "exit"}});
    for (const nlohmann::json& answer : page) steps.push_back({{"page", answer}});
    for (const char* end : {R"({"menu": "YES", "expect": "OK TO EXECUTE?"})", R"({"page": -1})"})
        steps.push_back(nlohmann::json::parse(end));
    return {write_text(folder / (name + "_part.json"), part.dump()),
            write_text(folder / (name + "_script.json"), nlohmann::json{{"steps", steps}}.dump())};
}

inline std::vector<xy> curve_points(const nlohmann::json& e)
{
    const std::string kind = e.at("kind");
    if (kind == "line") return {xy{e["start"][0], e["start"][1]}, xy{e["end"][0], e["end"][1]}};
    const double cx = e["centre"][0], cy = e["centre"][1], r = e["radius"];
    double a0 = e.value("start_angle_deg", 0.0), a1 = kind == "circle" ? a0 + 360.0 : e.value("end_angle_deg", 0.0);
    if (e.contains("normal") && e["normal"][2].get<double>() < 0.0) std::swap(a0, a1);
    while (a1 <= a0) a1 += 360.0;
    const int steps = std::max(1, static_cast<int>((a1 - a0) * 2.0));  // half a degree: within the tolerance up to r 30
    std::vector<xy> points;
    for (int i = 0; i <= steps; ++i) {
        const double a = (a0 + (a1 - a0) * i / steps) * kPi / 180.0;
        points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return points;
}

inline double polygon_area(const std::vector<xy>& p)
{
    double area = 0.0;
    for (std::size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) area += p[j][0] * p[i][1] - p[i][0] * p[j][1];
    return std::abs(area) / 2.0;
}

inline bool near_point(const xy& a, const xy& b) { return std::hypot(a[0] - b[0], a[1] - b[1]) < 1.0e-6; }

// The closed contours of a part file, each as a polyline fine enough for the tolerance: curves
// (lines, arcs, circles) are chained end to end.
inline std::vector<std::vector<xy>> contour_loops(const std::string& part_file)
{
    const nlohmann::json part = nlohmann::json::parse(read_file(part_file));
    std::vector<std::vector<xy>> open, loops;
    for (const auto& e : part.at("entities"))
        if (e.at("class") == 1) (e.at("kind") == "circle" ? loops : open).push_back(curve_points(e));
    while (!open.empty()) {
        std::vector<xy> loop = open.back();
        open.pop_back();
        for (bool grown = true; grown && !near_point(loop.front(), loop.back());) {
            grown = false;
            for (std::size_t k = 0; k < open.size(); ++k) {
                std::vector<xy> c = open[k];
                if (near_point(c.back(), loop.back())) std::reverse(c.begin(), c.end());
                if (!near_point(c.front(), loop.back())) continue;
                loop.insert(loop.end(), c.begin() + 1, c.end());
                open.erase(open.begin() + static_cast<std::ptrdiff_t>(k));
                grown = true;
                break;
            }
        }
        loops.push_back(loop);
    }
    return loops;
}

inline bool inside(const std::vector<xy>& polygon, const xy& p)
{
    bool in = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const xy& a = polygon[i];
        const xy& b = polygon[j];
        if ((a[1] > p[1]) != (b[1] > p[1]) && p[0] < a[0] + (b[0] - a[0]) * (p[1] - a[1]) / (b[1] - a[1])) in = !in;
    }
    return in;
}

inline double boundary_distance(const std::vector<xy>& polygon, const xy& p)
{
    double best = 1.0e30;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const xy& a = polygon[j];
        const double dx = polygon[i][0] - a[0], dy = polygon[i][1] - a[1];
        const double length2 = dx * dx + dy * dy;
        const double t =
            length2 > 0.0 ? std::clamp(((p[0] - a[0]) * dx + (p[1] - a[1]) * dy) / length2, 0.0, 1.0) : 0.0;
        best = std::min(best, std::hypot(p[0] - a[0] - t * dx, p[1] - a[1] - t * dy));
    }
    return best;
}

// Whether p lies inside the polygon or on its boundary within the geometry tolerance.
inline bool inside_or_on(const std::vector<xy>& polygon, const xy& p)
{
    return inside(polygon, p) || boundary_distance(polygon, p) <= kGeometryTolerance;
}

inline float word_real(const std::string& text)
{
    return std::bit_cast<float>(static_cast<std::int32_t>(std::stol(text)));
}

// One block of the dump with the tool position before and after it: a line (type 2, or 22 with
// its direction) ends at its first three words, an arc (type 3: plane, sweep, a second real,
// centre x y, end x y z) at its last three; other blocks leave the tool where it stands.
struct dump_block {
    std::string number;
    int type = 0;
    std::vector<std::string> words;
    std::array<double, 3> from{};
    std::array<double, 3> to{};
};

template <class Visit> void for_each_block(const std::string& dump_text, Visit visit)
{
    std::istringstream dump(dump_text);
    const std::regex block(R"(^\s*(\d+\.\d+): (\d+) \S+((?: \S+)*)\s*$)");
    std::array<double, 3> at = {0.0, 0.0, 0.0};
    for (std::string text; std::getline(dump, text);) {
        std::smatch m;
        if (!std::regex_match(text, m, block)) continue;
        std::istringstream rest(m[3].str());
        dump_block b{m[1], std::stoi(m[2]), {std::istream_iterator<std::string>(rest), {}}, at, at};
        const std::vector<std::string>& w = b.words;
        if ((b.type == 2 || b.type == 22) && w.size() >= 3)
            b.to = {word_real(w[0]), word_real(w[1]), word_real(w[2])};
        else if (b.type == 3 && w.size() >= 8)
            b.to = {word_real(w[5]), word_real(w[6]), word_real(w[7])};
        visit(b);
        at = b.to;
    }
}

// The points of a line or an arc block in the plane, every 0.2 or finer; none for other blocks.
inline std::vector<xy> block_samples(const dump_block& b)
{
    const std::vector<std::string>& w = b.words;
    const std::array<double, 3>&at = b.from, &to = b.to;
    std::vector<xy> samples;
    if ((b.type == 2 || b.type == 22) && w.size() >= 3) {
        const double length = std::hypot(to[0] - at[0], to[1] - at[1]);
        const int n = std::max(1, static_cast<int>(length / 0.2));
        for (int i = 0; i <= n; ++i)
            samples.push_back({at[0] + (to[0] - at[0]) * i / n, at[1] + (to[1] - at[1]) * i / n});
    } else if (b.type == 3 && w.size() >= 8) {
        const double sweep = word_real(w[1]), cx = word_real(w[3]), cy = word_real(w[4]);
        const double r = std::hypot(at[0] - cx, at[1] - cy), a0 = std::atan2(at[1] - cy, at[0] - cx);
        const int n = std::max(1, static_cast<int>(std::abs(sweep) * r / 0.2));
        for (int i = 0; i <= n; ++i) {
            const double a = a0 + sweep * i / n;
            samples.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
        }
        samples.push_back({to[0], to[1]});
    }
    return samples;
}

}  // namespace runner_test
