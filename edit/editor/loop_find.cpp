// The crossing search of the loop trimming (find_loops): the pass's points are taken into a
// working view whose XY plane is the plane fitted to them, and each segment is tested against
// the later ones that do not touch it; the first crossing makes a loop and the search goes on
// after it. The working view is the tool path's own again on every way out.
#include "edit/editor/loop_trimming.hpp"

#include "host/vantu.hpp"
#include "listing/work_view.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <algorithm>
#include <cmath>

namespace {

// The working view of the fitted plane: a UCS whose Z axis is the plane's normal, through the
// point of the plane nearest an axis. Status as trchk's (-3 when no view can be made of it).
void plane_view_take(const double (&plane)[4], int& status)
{
    float origin[3] = {0.0f, 0.0f, 0.0f};
    if (plane[2] != 0.0)
        origin[2] = static_cast<float>(-plane[3] / plane[2]);
    else if (plane[1] != 0.0)
        origin[1] = static_cast<float>(-plane[3] / plane[1]);
    else
        origin[0] = static_cast<float>(-plane[3] / plane[0]);
    const float z_point[3] = {origin[0] + static_cast<float>(plane[0]), origin[1] + static_cast<float>(plane[1]),
                              origin[2] + static_cast<float>(plane[2])};
    int ucs = 0, view = 0;
    zsys3(origin, z_point, ucs, status);
    if (status == 0) trchk(ucs, view, status);
    if (status == 0) work_view_take(view, 0.0f);
}

void tool_path_view_take() { work_view_take(NPT1().at(tp_header_state::kView), NPT1().real(tp_header_state::kDepth)); }

// A direction through the current mapping: the image of its tip seen from the image of the origin.
point3 map_direction(const point3& direction, bool to_world)
{
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    float base[3], tip[3];
    if (to_world) {
        mapm2w(zero, base);
        mapm2w(direction.data(), tip);
    } else {
        mapw2m(zero, base);
        mapw2m(direction.data(), tip);
    }
    return {tip[0] - base[0], tip[1] - base[1], tip[2] - base[2]};
}

// The fraction t of the crossing on the segment p -> q (1 at p, 0 at q) and its height there.
double crossing_weight(const point3& p, const point3& q, const float (&crossing)[2])
{
    const float length = dist2(p.data(), q.data());
    return length > 0.0f ? 1.0 - dist2(p.data(), crossing) / length : 1.0;
}

struct plane_string {
    std::vector<point3> points, directions;  // in the plane's working view
};

bool degenerate(const plane_string& s, std::size_t segment)
{
    return eqpt2(s.points[segment].data(), s.points[segment + 1].data()) != 0;
}

// The loop of segment i crossing segment j at the crossing: the blocks of their ends, the
// crossing's height from both segments and the path's direction there, in the working view.
loop_record make_loop(const loop_string& string, const plane_string& s, std::size_t i, std::size_t j,
                      const float (&crossing)[2])
{
    loop_record loop;
    loop.start_number = string.numbers[i + 1];
    loop.start_type = string.types[i + 1];
    loop.end_number = string.numbers[j + 1];
    loop.end_type = string.types[j + 1];
    const double ti = crossing_weight(s.points[i], s.points[i + 1], crossing);
    const double tj = crossing_weight(s.points[j], s.points[j + 1], crossing);
    const double zi = ti * s.points[i][2] + (1.0 - ti) * s.points[i + 1][2];
    const double zj = tj * s.points[j][2] + (1.0 - tj) * s.points[j + 1][2];
    loop.crossing = {crossing[0], crossing[1], static_cast<float>((zi + zj) / 2.0)};
    for (std::size_t k = 0; k < 3; ++k)
        loop.direction[k] = static_cast<float>(ti * s.directions[i + 1][k] + (1.0 - ti) * s.directions[j][k]);
    float length = 0.0f;
    int status = 0;
    v3unit(loop.direction.data(), length, status);
    return loop;
}

// The scan over the segments 0 .. segments - 1 of the string in the plane.
void scan_crossings(const loop_string& string, const plane_string& s, std::size_t segments, int most_loops,
                    std::vector<loop_record>& loops)
{
    const point3& first = s.points.front();
    const point3& last = s.points[segments];
    std::size_t i = 0;
    while (i + 2 < segments) {
        bool crossed = false;
        for (std::size_t j = i + 2; j < segments && !degenerate(s, i) && !crossed; ++j) {
            if (degenerate(s, j)) continue;
            float crossing[2];
            int status = 0;
            int2l(s.points[i].data(), s.points[i + 1].data(), s.points[j].data(), s.points[j + 1].data(), crossing,
                  status);
            if (status != kInt2lCrossing) continue;
            // The last segment returning to the first point closes the path: no loop.
            if (i == 0 && j + 1 == segments && (eqpt2(crossing, first.data()) || eqpt2(crossing, last.data())))
                continue;
            if (static_cast<int>(loops.size()) >= most_loops) return;
            loops.push_back(make_loop(string, s, i, j, crossing));
            crossed = true;
            i = j + 1;
        }
        if (!crossed) ++i;
    }
}

}  // namespace

void find_loops(const loop_string& string, int fit_count, int most_loops, std::vector<loop_record>& loops, int& status)
{
    loops.clear();
    const std::size_t entries = string.points.size();
    if (entries < 3) {
        userrc("THREE POINTS ARE REQUIRED TO DEFINE A PLANE");
        status = -1;
        return;
    }
    const std::size_t fitted = std::min(entries, static_cast<std::size_t>(std::max(fit_count, 0)));
    std::vector<float> flat;
    for (std::size_t k = 0; k < fitted; ++k) flat.insert(flat.end(), string.points[k].begin(), string.points[k].end());
    double plane[4] = {};
    lsqrpl(static_cast<int>(fitted), flat.data(), plane, status);
    if (status == 0) plane_view_take(plane, status);
    if (status != 0) {
        tool_path_view_take();
        userrc("THE STRING OF POINTS CANNOT DEFINE A PLANE");
        status = -1;
        return;
    }
    plane_string s;
    for (std::size_t k = 0; k < entries; ++k) {
        point3 p{};
        mapm2w(string.points[k].data(), p.data());
        s.points.push_back(p);
        s.directions.push_back(map_direction(string.directions[k], true));
    }
    // Segments without length at the end of the string cannot cross anything.
    std::size_t segments = entries - 1;
    while (segments > 0 && degenerate(s, segments - 1)) --segments;
    if (segments >= 3) scan_crossings(string, s, segments, most_loops, loops);
    for (loop_record& loop : loops) {
        point3 model{};
        mapw2m(loop.crossing.data(), model.data());
        loop.crossing = model;
        loop.direction = map_direction(loop.direction, false);
    }
    tool_path_view_take();
    status = 0;
}
