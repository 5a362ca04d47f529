// Control calls of the host entities: build a part's entities from a test or the runner, look
// at what the module stored, opened or changed, and list them. The part-file section
// "entities" (a JSON array) holds the same state:
//   {"id": 7, "kind": "arc", "centre": [0, 0, 0], "radius": 5, "start_angle_deg": 0,
//    "end_angle_deg": 90, "normal": [0, 0, 1], "attributes": {"CO": 3}}
// kinds "point" ("point": [x, y, z]), "line" ("start", "end"), "arc" (as above; "normal"
// defaults to [0, 0, 1]), "circle" ("centre", "radius", optional "normal" and
// "start_angle_deg"), "spline" ("degree": 1..7, "knots": points + degree + 1 numbers,
// "points": [[x, y, z], ...], optional "weights": one above 0 per point, making it rational)
// and "words" ("class", "type", "words": integers, or {"real": r} for one
// 4-byte real, {"double": d} for two words, {"text": "ABCD"} for blank-padded 4-character
// words), and the surface kinds "height_grid" and "mesh" (host/part_surfaces.cpp) and "plane",
// "sphere" and "bicubic" (host/parametric_surfaces.cpp). "class" and "type" may be given for
// the curve and surface kinds and must then be theirs.
// Saving writes a curve entity by kind when its words are exactly one valid curve record, and
// as "words" otherwise, so that save and load give back the same words bit for bit.
#pragma once

#include "host/words.hpp"

#include <array>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantu::control {

struct entity_record {
    int id = 0;
    int entity_class = 0;
    int type = 0;
    std::vector<word> words;
    std::map<std::string, int> attributes;
};

using point3 = std::array<double, 3>;

// Ids of all entities, ascending.
std::vector<int> entity_ids();
std::optional<entity_record> get_entity(int id);

// Adding entities; each answers the new id. Bad geometry (a zero-length line, a radius not
// above 0, a zero normal, a sweep outside 0 < end - start <= 360, a value that is not finite)
// or a negative class or type throws std::invalid_argument.
int add_entity(int entity_class, int type, const std::vector<word>& words);
int add_point(const point3& point);
int add_line(const point3& start, const point3& end);
int add_arc(const point3& centre, double radius, double start_angle_deg, double end_angle_deg,
            const point3& normal = {0.0, 0.0, 1.0});
int add_circle(const point3& centre, double radius, const point3& normal = {0.0, 0.0, 1.0});
// A B-spline of the degree over the knots and control points; rational when weights are given
// (one per point). A spline that host/vantu_entity.hpp's layout refuses throws
// std::invalid_argument naming the field: "spline \"knots\": must never decrease".
int add_spline(int degree, const std::vector<double>& knots, const std::vector<point3>& points,
               const std::vector<double>& weights = {});
// Sets an attribute ("CL" and "TY" set the class and type); throws std::invalid_argument for an
// unknown id or a key that is not two letters or digits.
void set_attribute(int id, std::string_view key, int value);

// The open entity (0 when none) and its word cursor.
int open_entity();
int open_position();

// Points of a curve entity for drawing: lines by their ends, arcs in steps of at most 2
// degrees, splines within 1.5e-4 of their control points' box diagonal, a point entity as
// itself; empty for an entity that is not a valid curve.
std::vector<point3> curve_display_points(int id);

// One line per entity: id, class, type, kind with its geometry, attributes, word count.
std::string entities_text();

}  // namespace vantu::control
