// The polyline of a motion block (see the header). The points are gathered first and handed out
// in one block once the whole motion was read, so a failed read leaves the caller nothing to free.
#include "edit/trim/block_polyline.hpp"

#include "edit/trim/nurbs_pieces.hpp"
#include "edit/trim/trim_arrays.hpp"
#include "host/vantu_display.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_ncstate.hpp"
#include "toolpath/arc_plane_axes.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

namespace {

constexpr int kSpace = 3;
// crvpld2's answer when the points do not fit the room given.
constexpr int kEntityShort = 1;
// Enough doublings of the tolerance for any spline the list can hold.
constexpr int kMostCoarsenings = 20;

struct polyline {
    std::vector<point3> points, vectors;
    void add(const point3& p, const point3& v)
    {
        points.push_back(p);
        vectors.push_back(v);
    }
};

// Line: its two ends.
void line_polyline(int type, int size, const point3& start, const point3& start_vector, polyline& out, point3& end,
                   point3& end_vector, int& status)
{
    tp_line_point p;
    tpread_lines(kWhereList, type, size, p, status);
    if (status < 0) return;
    end = p.point;
    end_vector = p.direction;
    out.add(start, start_vector);
    out.add(end, end_vector);
}

// Point string: the start, then every point of the string in order.
void string_polyline(int type, int size, const point3& start, const point3& start_vector, polyline& out, point3& end,
                     point3& end_vector, int& status)
{
    out.add(start, start_vector);
    tp_line_point p;
    tpread_lines(kWhereList, type, size, p, status);
    for (int k = 0; status >= 0 && k < p.points; ++k) {
        if (k > 0) tpread_lines(kWhereList, type, size, p, status);
        if (status < 0) return;
        out.add(p.point, p.direction);
        end = p.point;
        end_vector = p.direction;
    }
}

// Arc: the radius vector turned about the centre on the plane's two axes, step by step.
void arc_polyline(int type, int divisions, const point3& start, const point3& start_vector, polyline& out, point3& end,
                  point3& end_vector, tp_arc_block& arc, int& status)
{
    tpread_arc(kWhereList, type, arc, status);
    if (status < 0) return;
    end = arc.end;
    end_vector = arc.direction;
    const arc_plane_axes axes = arc_axes_of(arc.plane);
    const auto a = static_cast<std::size_t>(axes.first), b = static_cast<std::size_t>(axes.second),
               c = static_cast<std::size_t>(axes.third);
    float step = arc.angle / static_cast<float>(std::max(divisions, 1));
    int steps = 1;
    setdel_nc(arc.angle, step, steps);
    const float cs = std::cos(step), sn = std::sin(step);
    float ra = start[a] - arc.centre[0], rb = start[b] - arc.centre[1];
    out.add(start, start_vector);
    for (int k = 1; k < steps; ++k) {
        const float turned_a = ra * cs - rb * sn;
        rb = ra * sn + rb * cs;
        ra = turned_a;
        point3 p{};
        p[a] = arc.centre[0] + ra;
        p[b] = arc.centre[1] + rb;
        p[c] = end[c];
        out.add(p, kDefaultDirection);
    }
    out.add(end, end_vector);
}

// The spline's points within the tolerance, coarsened until they fit the room.
void spline_points(int id, double t0, double t1, std::vector<double>& xyz, int& count, int& status)
{
    xyz.assign(3 * static_cast<std::size_t>(kNurbsPolylineMostPoints), 0.0);
    double tolerance = kNurbsPolylineTolerance;
    for (int round = 0; round < kMostCoarsenings; ++round, tolerance *= 2.0) {
        crvpld2(id, t0, t1, tolerance, kSpace, kNurbsPolylineMostPoints, xyz.data(), count, status);
        if (status != kEntityShort) return;
    }
    status = -1;
}

// NURBS move: the curve built in world coordinates, its polyline mapped back to the machine's.
void nurbs_polyline(int size, polyline& out, point3& end, point3& end_vector, int& status)
{
    nurbs_curve curve;
    nurbs_read_curve(size, curve, status);
    if (status < 0) return;
    std::vector<double> xyz;
    int count = 0;
    spline_points(curve.id, curve.t0, curve.t1, xyz, count, status);
    nurbs_release(curve);
    if (status < 0) return;
    for (int i = 0; i < count; ++i) {
        double machine[3];
        madw2m(&xyz[3 * static_cast<std::size_t>(i)], machine);
        out.add({static_cast<float>(machine[0]), static_cast<float>(machine[1]), static_cast<float>(machine[2])},
                kDefaultDirection);
    }
    if (!out.points.empty()) end = out.points.back();
    end_vector = kDefaultDirection;
}

// The vectors into the caller's array, grown to the point count when it is smaller.
void store_vectors(const polyline& line, int vector_array, int& capacity, int& status)
{
    const int count = static_cast<int>(line.vectors.size());
    void* base = mmcptr(vector_array);
    if (count > capacity) {
        base = resize_array(count - capacity, vector_array, status);
        if (status < 0) return;
        capacity = count;
    }
    if (!base) {
        status = -1;
        return;
    }
    std::memcpy(base, line.vectors.data(), line.vectors.size() * sizeof(point3));
}

}  // namespace

motion_family motion_family_of(int type)
{
    switch (type) {
    case 2:
    case 22:
    case 222: return motion_family::line;
    case 3:
    case 23:
    case 223: return motion_family::arc;
    case 5:
    case 25:
    case 225: return motion_family::nurbs;
    case 7:
    case 27:
    case 227: return motion_family::string;
    default: return motion_family::other;
    }
}

float* block_polyline(const point3& start, const point3& start_vector, int vector_array, int& capacity, int divisions,
                      int& count, point3& end, point3& end_vector, tp_arc_block& arc, int& status)
{
    int size = 0, type = 0, block_class = 0, read = 0;
    tp_block_head_read(kWhereList, size, type, block_class, read);
    if (read < 0) {
        status = read;
        return nullptr;
    }
    polyline line;
    read = 0;
    switch (motion_family_of(type)) {
    case motion_family::line: line_polyline(type, size, start, start_vector, line, end, end_vector, read); break;
    case motion_family::string: string_polyline(type, size, start, start_vector, line, end, end_vector, read); break;
    case motion_family::arc:
        arc_polyline(type, divisions, start, start_vector, line, end, end_vector, arc, read);
        break;
    case motion_family::nurbs: nurbs_polyline(size, line, end, end_vector, read); break;
    case motion_family::other: return nullptr;
    }
    if (read >= 0) store_vectors(line, vector_array, capacity, read);
    float* points = nullptr;
    if (read >= 0) points = static_cast<float*>(DM_ALLOC(line.points.size() * sizeof(point3)));
    if (read >= 0 && !points) read = -1;
    if (read < 0) {
        status = read;
        return nullptr;
    }
    std::memcpy(points, line.points.data(), line.points.size() * sizeof(point3));
    count = static_cast<int>(line.points.size());
    status = 0;
    return points;
}
