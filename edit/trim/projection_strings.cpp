// The strings of the surface projection (see the header). A segment's touch points are taken in
// order; a point where the motion lies below the tool standing on the surfaces is a gouging point
// and is replaced by the touch point, a point where it does not stays on the motion. Where the
// motion passes from one kind to the other, the point where it crosses the surface is inserted.
#include "edit/trim/projection_strings.hpp"

#include "edit/trim/motion_walk.hpp"
#include "edit/trim/project_on_surf.hpp"
#include "edit/trim/trim_arrays.hpp"
#include "edit/trim/trim_state.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_surface_eval.hpp"
#include "pocket_arrays/segment_interpolate.hpp"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kStartElements = 50;
// Room kept beyond a segment's touch points: the start of the segment, the point under the first
// touch, a crossing and the points added once the polyline ends.
constexpr int kPointSlack = 6;
constexpr int kStringSlack = 2;
constexpr point3 kUp{0.0f, 0.0f, 1.0f};
constexpr const char* kGougeWarning = "WARNING: GOUGING!! (marked in red points) ";

void start_string(projection_output& out) { out.count_at()[out.strings++] = 0; }

void push(projection_output& out, const point3& point, const point3& vector)
{
    out.point_at()[out.points] = point;
    out.vector_at()[out.points] = vector;
    ++out.points;
    ++out.count_at()[out.strings - 1];
}

// The segment's height and vector at the x, y of `at`.
void motion_at(const projection_segment& s, const point3& at, float& z, point3& vector)
{
    int vertical = 0;
    segment_interpolate(s.a.data(), s.b.data(), s.a_vector.data(), s.b_vector.data(), at.data(), z, vector.data(),
                        vertical);
}

point3 on_motion(const projection_segment& s, const point3& at, point3& vector)
{
    point3 p{at[0], at[1], 0.0f};
    motion_at(s, at, p[2], vector);
    return p;
}

void grow_for(const touch_buffers& touch, projection_output& out, int& status)
{
    const trim_state& t = trim_words();
    int vector_room = out.point_room;
    const int points = out.points + 2 * touch.strings + touch.total + kPointSlack;
    array_room(t.output_points, out.point_room, points, status);
    if (status >= 0) array_room(t.output_vectors, vector_room, points, status);
    if (status >= 0) array_room(t.output_counts, out.string_room, out.strings + touch.strings + kStringSlack, status);
}

// The segment without touch strings goes in unchanged: it continues the last string from its
// start, or makes a string of its own.
void untouched_segment(const projection_segment& s, projection_output& out)
{
    if (out.points == 0 || eqpt3(out.last().data(), s.a.data()) == 0) {
        start_string(out);
        push(out, s.a, kUp);
        push(out, s.b, kUp);
        return;
    }
    push(out, s.b, s.b_vector);
}

// The crossing of the motion with the surface between two touch points: where the segment and
// the line through the touch points come closest. Nothing when they are parallel.
void add_crossing(const projection_segment& s, const point3& before, const point3& after, projection_output& out)
{
    point3 on_segment{}, on_touch{};
    float along = 0.0f, along_touch = 0.0f;
    int status = 0;
    dminll(s.a.data(), s.b.data(), before.data(), after.data(), on_segment.data(), on_touch.data(), along, along_touch,
           status);
    if (status < 0) return;
    point3 vector{};
    float z = 0.0f;
    motion_at(s, on_segment, z, vector);
    output_append(out, on_segment, vector);
}

void warn_and_mark(const point3& touch, float motion_z, projection_marks& marks)
{
    ++marks.gouging;
    if (marks.choice != kProjectCheck) return;
    if (!marks.warned) usmsgc(kGougeWarning);
    marks.warned = true;
    mark_gouge_point(touch, motion_z);
}

// Choices 3 and 5: each touch point on the surface where the motion gouges, else on the motion.
void below_surface(const projection_segment& s, const touch_buffers& touch, projection_marks& marks,
                   projection_output& out)
{
    const bool vertical = eqpt2(s.a.data(), s.b.data()) != 0;
    bool was_gouging = false;
    int at = 0;
    for (int j = 0; j < touch.strings; ++j) {
        for (int k = 0; k < touch.counts[std::size_t(j)]; ++k, ++at) {
            const point3& t = touch.points[std::size_t(at)];
            point3 vector{};
            const point3 motion = on_motion(s, t, vector);
            if (vertical && ltval(s.a[2], t[2]) != 0 && gtval(s.b[2], t[2]) != 0) {
                // A climb through the surface is cut where it comes out of it.
                output_append(out, t, vector);
                output_append(out, {t[0], t[1], s.b[2]}, vector);
                was_gouging = false;
                continue;
            }
            const bool gouging = ltval(motion[2], t[2]) != 0;
            if (at > 0 && gouging != was_gouging) add_crossing(s, touch.points[std::size_t(at - 1)], t, out);
            if (gouging) {
                output_append(out, t, touch.normals[std::size_t(at)]);
                warn_and_mark(t, motion[2], marks);
            } else {
                output_append(out, motion, vector);
            }
            was_gouging = gouging;
        }
        // A string that leaves the surface while gouging: down onto the motion there, and the
        // path goes on in a string of its own from the motion under the next string.
        if (j + 1 < touch.strings && was_gouging) {
            point3 vector{};
            output_append(out, on_motion(s, touch.points[std::size_t(at - 1)], vector), vector);
            start_string(out);
            output_append(out, on_motion(s, touch.points[std::size_t(at)], vector), vector);
            was_gouging = false;
        }
    }
}

// Choice 4: the touch strings in the segment's place, each further string in a string of its own
// joined at the motion's height.
void all_on_surface(const projection_segment& s, const touch_buffers& touch, projection_output& out)
{
    int at = 0;
    for (int j = 0; j < touch.strings; ++j) {
        point3 vector{};
        if (j > 0) {
            output_append(out, on_motion(s, touch.points[std::size_t(at - 1)], vector), vector);
            start_string(out);
            output_append(out, on_motion(s, touch.points[std::size_t(at)], vector), vector);
        }
        for (int k = 0; k < touch.counts[std::size_t(j)]; ++k, ++at)
            output_append(out, touch.points[std::size_t(at)], touch.normals[std::size_t(at)]);
    }
}

// Where the surfaces end before the segment does, the path goes onto the motion there and the rest
// of the segment stays as it was.
void leave_before_end(const projection_segment& s, const point3& last_touch, projection_output& out)
{
    if (eqpt2(last_touch.data(), s.b.data()) != 0) return;
    point3 vector{};
    output_append(out, on_motion(s, last_touch, vector), vector);
    output_append(out, s.b, s.b_vector);
}

}  // namespace

point3* projection_output::point_at() const { return static_cast<point3*>(mmcptr(trim_words().output_points)); }
point3* projection_output::vector_at() const { return static_cast<point3*>(mmcptr(trim_words().output_vectors)); }
int* projection_output::count_at() const { return static_cast<int*>(mmcptr(trim_words().output_counts)); }

void clear_touch_buffers(touch_buffers& touch)
{
    touch.strings = touch.total = 0;
    touch.counts.fill(0);
    touch.points.fill(point3{});
    touch.normals.fill(point3{});
}

bool open_projection_output(projection_output& out, int& status)
{
    trim_state& t = trim_words();
    const int sizes[3] = {int(sizeof(point3)), int(sizeof(point3)), int(sizeof(int))};
    int* opened[3] = {&t.output_points, &t.output_vectors, &t.output_counts};
    for (int k = 0; k < 3; ++k) {
        void* base = nullptr;
        MM_OPEN_ARRAY(sizes[k], kStartElements, *opened[k], base, status);
        if (status < 0) {
            *opened[k] = -1;
            return false;
        }
    }
    status = 0;
    out = projection_output{};
    out.point_room = out.string_room = kStartElements;
    clear_projection_output(out);
    return true;
}

void close_projection_output()
{
    trim_state& t = trim_words();
    close_arrays({&t.output_points, &t.output_vectors, &t.output_counts});
}

void clear_projection_output(projection_output& out)
{
    const std::size_t points = std::size_t(std::min(out.point_room, kStartElements));
    std::memset(out.point_at(), 0, points * sizeof(point3));
    std::memset(out.vector_at(), 0, points * sizeof(point3));
    std::memset(out.count_at(), 0, std::size_t(std::min(out.string_room, kStartElements)) * sizeof(int));
}

void output_append(projection_output& out, const point3& point, const point3& vector)
{
    if (out.strings == 0) start_string(out);
    if (out.count_at()[out.strings - 1] > 0 && eqpt2(out.last().data(), point.data()) != 0) {
        if (eqval(out.last()[2], point[2]) != 0) return;
        if (point[2] > out.last()[2]) {
            out.point_at()[out.points - 1] = point;
            out.vector_at()[out.points - 1] = vector;
            return;
        }
    }
    push(out, point, vector);
}

void add_segment_strings(const projection_segment& segment, const touch_buffers& touch, projection_marks& marks,
                         projection_output& out, int& status)
{
    grow_for(touch, out, status);
    if (status < 0) return;
    if (touch.strings == 0 || touch.total == 0) {
        untouched_segment(segment, out);
        return;
    }
    // The path reaches the segment's start (it may stand lifted over it already), then runs along
    // the motion to the first touch.
    if (out.points == 0 || eqpt2(out.last().data(), segment.a.data()) == 0)
        output_append(out, segment.a, segment.a_vector);
    point3 vector{};
    if (eqpt2(touch.points[0].data(), segment.a.data()) == 0)
        output_append(out, on_motion(segment, touch.points[0], vector), vector);
    if (marks.choice == kProjectAllOn)
        all_on_surface(segment, touch, out);
    else
        below_surface(segment, touch, marks, out);
    leave_before_end(segment, touch.points[std::size_t(touch.total - 1)], out);
}
