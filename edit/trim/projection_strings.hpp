// The strings of the surface projection of a trim range: the touch strings the current tool
// leaves along one segment of the range's polyline, and the output strings built from them
// segment after segment (project_on_surf calls them). The output lives in three host arrays whose
// handles trim_words() keeps, so that they are closed on every way out of the projection.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>

// The touch query's room: strings and points of one segment.
inline constexpr int kTouchStringRoom = 25;
inline constexpr int kTouchPointRoom = 3000;

// The touch strings of one segment: their point counts, the tool-tip points and the contact
// normals.
struct touch_buffers {
    int strings = 0;
    int total = 0;
    std::array<int, kTouchStringRoom> counts{};
    std::array<point3, kTouchPointRoom> points{};
    std::array<point3, kTouchPointRoom> normals{};
};

// Zeroes the touch points, their vectors and the string counts.
void clear_touch_buffers(touch_buffers& touch);

// The projection's choices: 3 PROJ.:BLK BELOW SRF., 4 PROJ.:ALL BLK ON SRF., 5 CHECK MOTION BELOW
// SURF. (the path of 3, only marked).
inline constexpr int kProjectBelow = 3, kProjectAllOn = 4, kProjectCheck = 5;

// The output strings: points and vectors (12-byte elements) and the points of each string (4-byte
// elements), host arrays of trim_words().output_points, output_vectors and output_counts.
struct projection_output {
    int point_room = 0, string_room = 0;  // elements the arrays hold
    int points = 0, strings = 0;          // elements used

    point3* point_at() const;
    point3* vector_at() const;
    int* count_at() const;
    // The last point of the output (there must be one).
    const point3& last() const { return point_at()[points - 1]; }
};

// Opens the three arrays (50 elements each) into trim_words()'s handles and clears them; false
// when one is refused (the others opened stay for close_projection_output).
bool open_projection_output(projection_output& out, int& status);
// Closes the open ones and marks them closed.
void close_projection_output();
// Zeroes the start of the two point arrays and the first 50 string counts.
void clear_projection_output(projection_output& out);

// One segment of the polyline: its ends and their vectors.
struct projection_segment {
    point3 a, b, a_vector, b_vector;
};

// What one projection call carries from segment to segment.
struct projection_marks {
    int choice = kProjectBelow;
    bool warned = false;  // the gouging warning was shown in this call
    int gouging = 0;      // gouging touch points met
};

// Adds the segment's part of the new path to the output: the segment itself where no touch
// string lies over it, else the touch points, lifted (choices 3 and 5) only where the motion lies
// below them, or all of them (choice 4); where the surfaces end before the segment does, the rest
// of it stays as it was. The arrays grow first as the touch strings ask; a point
// at the x, y of the last output point that is no lower takes its place, so the new path never
// dips under a point it already holds. Under choice 5 each gouging point is marked and the warning
// shown once. Status 0; the refused growth's status.
void add_segment_strings(const projection_segment& segment, const touch_buffers& touch, projection_marks& marks,
                         projection_output& out, int& status);

// Appends a point to the last output string (the first, when there is none).
void output_append(projection_output& out, const point3& point, const point3& vector);
