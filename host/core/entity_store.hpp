// The host's entity store, shared by the entity calls (host/entity.cpp), the curve evaluation
// (host/entity_curves.cpp), the part-file section (host/entity_part.cpp) and the display
// recorder. Internal to the host: module code never includes this.
#pragma once

#include "host/words.hpp"

#include <array>
#include <cstddef>
#include <map>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <vector>

namespace vantu {

using point3 = std::array<double, 3>;

struct part_surface;  // host/core/part_surfaces.hpp

struct entity {
    int id = 0;
    int entity_class = 0;
    int type = 0;
    std::vector<word> words;
    std::map<std::string, int, std::less<>> attributes;  // two-character keys; never "CL"/"TY"
    std::shared_ptr<const part_surface> surface;         // the data of a surface entity, else null
};

// Curve geometry decoded from an entity's words (layouts in host/vantu_entity.hpp).
enum class curve_kind { point, line, arc, spline };

// A B-spline of degree 1..kSplineMaxDegree: n control points, n + degree + 1 knots, and one
// weight per control point when it is rational (weights empty: not rational).
struct spline_data {
    int degree = 0;
    std::vector<double> knots;
    std::vector<point3> points;
    std::vector<double> weights;
};

// What is wrong with a spline: the part-file field to blame ("degree", "knots", "points",
// "weights") and a short reason.
struct spline_fault {
    std::string field;
    std::string reason;
};

// A coordinate system of the part: its origin and unit axes in world coordinates.
struct frame3 {
    point3 origin{};
    point3 x{1.0, 0.0, 0.0}, y{0.0, 1.0, 0.0}, z{0.0, 0.0, 1.0};
};

// The coordinate system of a UCS entity (class 8, type 1: a real, the origin, the axes row by row
// as reals, the name in two words and one more word), as xsys4 makes them; nothing for another
// entity or one whose axes are not a rotation.
std::optional<frame3> frame_of_entity(int id);

// A point of world coordinates in the coordinates of the frame, and back.
point3 into_frame(const frame3& f, const point3& world);
point3 out_of_frame(const frame3& f, const point3& local);

// The plane the contour services work in (gswpld: a UCS entity and kWorkPlaneOfUcs): the UCS and
// its frame; nothing for world coordinates (or words that name no UCS).
struct work_plane {
    int ucs = 0;
    frame3 frame;
};
std::optional<work_plane> contour_work_plane();

struct curve_geometry {
    curve_kind kind = curve_kind::point;
    point3 start{};   // point: the point; line: start
    point3 end{};     // line: end
    point3 centre{};  // arc
    point3 normal{};  // arc, as stored (not necessarily unit length)
    double radius = 0.0;
    double start_deg = 0.0;
    double end_deg = 0.0;
    spline_data spline;  // spline
    // The coordinate system the record lies in when the entity's "RP" names one: the curve is
    // evaluated there and its points and derivatives carried into world coordinates.
    std::optional<frame3> placed;
};

struct entity_store {
    std::map<int, entity> entities;
    long long next_id = 1;  // ids are never reused within a session; beyond INT_MAX none is left
    int open_id = 0;        // 0: no entity open
    int open_position = 0;  // word cursor of the open entity
};

entity_store& store();

// The entity with that id, or null.
entity* find_entity(int id);

// Adds an entity with a given id (part file, control); false when the id is not positive or
// already taken.
bool insert_entity(entity e);

// Geometry of a point, line or arc entity whose words hold a valid record (finite values, a
// line of non-zero length, an arc with a positive radius, a non-zero normal and
// 0 < end - start <= 360 degrees); nothing otherwise. Words after the record are allowed.
std::optional<curve_geometry> decode_curve(const entity& e);
// The part-file field ("point", "start", "end", "centre", "radius", "points") of the first
// coordinate or radius of a curve that lies beyond the model extent (kModelExtent) or is not a
// number; null when the whole record lies within it. The part reader refuses such a curve.
const char* field_beyond_model(const curve_geometry& g);
// The words, class and type of a curve record.
void encode_curve(const curve_geometry& g, entity& e);
// Whether the entity's words are exactly one valid curve record (nothing after it).
bool is_exact_curve(const entity& e);

// Points of a curve between parameters t0 and t1 with a chord error of at most tolerance
// (host/vantu_entity.hpp, crvpld2); the limit caps the count. Status as crvpld2.
std::vector<point3> sample_curve(const curve_geometry& g, double t0, double t1, double tolerance, long limit,
                                 long& needed, int& status);
// Parameter range of a curve.
void curve_range(const curve_geometry& g, double& start, double& end);

// ---- splines (host/entity_spline.cpp) ----
// The first fault of a spline (degree out of range, knot or point counts that do not match,
// knots that decrease or leave no parameter range, an inner knot repeated more than degree
// times, values that are not finite, weights not above 0, a record too long for an entity);
// nothing when it is valid.
std::optional<spline_fault> check_spline(const spline_data& s);
// Reads a spline record from words (the layout in host/vantu_entity.hpp); false when the words
// are too few for the counts they give or the counts are not whole numbers in range. The
// spline itself is not checked (check_spline). used answers the record's word count.
bool read_spline(const std::vector<word>& words, spline_data& s, std::size_t& used);
void write_spline(const spline_data& s, std::vector<word>& words);
// Parameter range of a valid spline: knots[degree] .. knots[n].
void spline_range(const spline_data& s, double& start, double& end);
// Point and derivative of a valid spline at a parameter inside its range (de Boor).
void spline_point(const spline_data& s, double t, point3& point, point3& derivative);
// Parameters of a polyline of a valid spline from t0 to t1 (either order, both inside the
// range; the first is t0, the last t1): every knot interval is cut into a few spans, and a span
// is halved until the curve at its quarter, middle and three-quarter parameters lies within the
// tolerance of the matching point of its chord. Stops once it holds more than most entries.
std::vector<double> spline_parameters(const spline_data& s, double t0, double t1, double tolerance, std::size_t most);

// The "entities" section of the part file (host/entity_part.cpp). Loading throws
// std::invalid_argument naming the entity's index and the field.
void save_entities(nlohmann::json& section);
void load_entities(const nlohmann::json& section);

}  // namespace vantu
