// The "entities" section of the part file and the text listing of the entities. A person
// writes the section by hand (curves by their geometry, other entities by their words); the host
// saves it so that loading gives back every word bit for bit. Format: host/control/entities.hpp.
#include "host/control/entities.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/part_surfaces.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_entity.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>

namespace vantu {

namespace {

using json = nlohmann::json;

// A failure in one field of one entity: "entities[3] \"radius\": must be above 0".
struct field_error {
    std::size_t index;

    [[noreturn]] void raise(std::string_view field, std::string_view what) const
    {
        std::string place = "entities[" + std::to_string(index) + "]";
        if (!field.empty()) place += " \"" + std::string(field) + "\"";
        throw std::invalid_argument(place + ": " + std::string(what));
    }
};

const json& required(const json& object, const char* field, const field_error& where)
{
    auto it = object.find(field);
    if (it == object.end()) where.raise(field, "missing");
    return *it;
}

int integer_field(const json& value, const char* field, const field_error& where)
{
    if (!value.is_number_integer()) where.raise(field, "must be an integer");
    const auto v = value.get<long long>();
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        where.raise(field, "out of the 32-bit range");
    return static_cast<int>(v);
}

double number_field(const json& value, const char* field, const field_error& where)
{
    if (!value.is_number()) where.raise(field, "must be a number");
    return value.get<double>();
}

point3 point_field(const json& value, const char* field, const field_error& where)
{
    if (!value.is_array() || value.size() != 3) where.raise(field, "must be an array of 3 numbers");
    point3 p;
    for (std::size_t i = 0; i < 3; ++i) p[i] = number_field(value[i], field, where);
    return p;
}

// One word of a "words" list: an integer (also an unsigned 32-bit value), or {"real": r},
// {"double": d} (two words), {"text": "ABCD"} (4 characters a word, blank-padded).
void append_words(const json& item, std::vector<word>& words, const field_error& where)
{
    if (item.is_number_integer()) {
        const auto v = item.get<long long>();
        if (v < std::numeric_limits<word>::min() || v > std::numeric_limits<std::uint32_t>::max())
            where.raise("words", "integer out of the 32-bit range");
        words.push_back(static_cast<word>(static_cast<std::uint32_t>(v)));
    } else if (item.is_object() && item.size() == 1 && item.contains("real")) {
        const double real = number_field(item["real"], "words", where);
        if (std::fabs(real) > std::numeric_limits<float>::max()) where.raise("words", "a real beyond a float");
        words.push_back(real_to_word(static_cast<float>(real)));
    } else if (item.is_object() && item.size() == 1 && item.contains("double")) {
        word pair[2];
        double_to_words(number_field(item["double"], "words", where), pair);
        words.insert(words.end(), pair, pair + 2);
    } else if (item.is_object() && item.size() == 1 && item.contains("text") && item["text"].is_string()) {
        const std::string text = item["text"].get<std::string>();
        for (std::size_t i = 0; i < text.size(); i += 4)
            words.push_back(text4_to_word(std::string_view(text).substr(i, 4)));
    } else {
        where.raise("words", "each word is an integer, {\"real\": r}, {\"double\": d} or {\"text\": \"...\"}");
    }
    if (words.size() > static_cast<std::size_t>(kMaxEntityWords))
        where.raise("words", "more than " + std::to_string(kMaxEntityWords) + " words");
}

// Fields allowed per kind, so that a misspelt field is reported rather than ignored.
const std::set<std::string>& allowed_fields(const std::string& kind)
{
    static const std::map<std::string, std::set<std::string>> fields = {
        {"point", {"point"}},
        {"line", {"start", "end"}},
        {"arc", {"centre", "radius", "start_angle_deg", "end_angle_deg", "normal"}},
        {"circle", {"centre", "radius", "start_angle_deg", "normal"}},
        {"spline", {"degree", "knots", "points", "weights"}},
        {"words", {"words"}},
        {"height_grid", {"origin", "cell_size", "nodes", "heights", "heights_file"}},
        {"mesh", {"file"}},
        {"plane", {"origin", "u_axis", "v_axis", "u_range", "v_range", "range_check"}},
        {"sphere", {"centre", "radius", "u_range", "v_range", "range_check"}},
        {"bicubic", {"points", "u_range", "v_range", "range_check"}},
    };
    return fields.at(kind);
}

curve_geometry arc_fields(const json& object, bool circle, const field_error& where)
{
    curve_geometry g;
    g.kind = curve_kind::arc;
    g.centre = point_field(required(object, "centre", where), "centre", where);
    g.radius = number_field(required(object, "radius", where), "radius", where);
    if (!(g.radius > 0.0)) where.raise("radius", "must be above 0");
    g.normal = object.contains("normal") ? point_field(object["normal"], "normal", where) : point3{0.0, 0.0, 1.0};
    if (!(std::hypot(g.normal[0], g.normal[1], g.normal[2]) > 0.0)) where.raise("normal", "must not be zero");
    if (circle) {
        g.start_deg = object.contains("start_angle_deg")
                          ? number_field(object["start_angle_deg"], "start_angle_deg", where)
                          : 0.0;
        g.end_deg = g.start_deg + 360.0;
    } else {
        g.start_deg = number_field(required(object, "start_angle_deg", where), "start_angle_deg", where);
        g.end_deg = number_field(required(object, "end_angle_deg", where), "end_angle_deg", where);
        const double sweep = g.end_deg - g.start_deg;
        if (!(sweep > 0.0 && sweep <= 360.0))
            where.raise("end_angle_deg", "must lie above start_angle_deg by at most 360");
    }
    return g;
}

std::vector<double> number_list(const json& value, const char* field, const field_error& where)
{
    if (!value.is_array()) where.raise(field, "must be an array of numbers");
    std::vector<double> numbers;
    numbers.reserve(value.size());
    for (const json& item : value) numbers.push_back(number_field(item, field, where));
    return numbers;
}

// A spline's fields, checked as the entity record would be, so that the fault names its field.
curve_geometry spline_fields(const json& object, const field_error& where)
{
    curve_geometry g;
    g.kind = curve_kind::spline;
    spline_data& s = g.spline;
    s.degree = integer_field(required(object, "degree", where), "degree", where);
    s.knots = number_list(required(object, "knots", where), "knots", where);
    const json& points = required(object, "points", where);
    if (!points.is_array()) where.raise("points", "must be an array of [x, y, z] points");
    s.points.reserve(points.size());
    for (const json& point : points) s.points.push_back(point_field(point, "points", where));
    if (object.contains("weights")) s.weights = number_list(object["weights"], "weights", where);
    if (object.contains("weights") && s.weights.empty()) where.raise("weights", "must hold one weight per point");
    if (const auto fault = check_spline(s)) where.raise(fault->field, fault->reason);
    return g;
}

curve_geometry curve_fields(const json& object, const std::string& kind, const field_error& where)
{
    curve_geometry g;
    if (kind == "spline") {
        g = spline_fields(object, where);
    } else if (kind == "point") {
        g.kind = curve_kind::point;
        g.start = point_field(required(object, "point", where), "point", where);
    } else if (kind == "line") {
        g.kind = curve_kind::line;
        g.start = point_field(required(object, "start", where), "start", where);
        g.end = point_field(required(object, "end", where), "end", where);
    } else {
        g = arc_fields(object, kind == "circle", where);
    }
    return g;
}

// The field to blame for a curve record that does not decode: values the JSON reader took as
// infinite, a line shorter than the host's tolerance, an arc too small or with a start angle so
// large that a full turn no longer adds to it.
const char* degenerate_field(const curve_geometry& g)
{
    const auto finite = [](const point3& p) {
        return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
    };
    switch (g.kind) {
    case curve_kind::point: return "point";
    case curve_kind::line: return finite(g.start) ? "end" : "start";
    case curve_kind::arc:
        if (!finite(g.centre)) return "centre";
        if (!(g.radius > kDoubleTolerance) || !std::isfinite(g.radius)) return "radius";
        if (!(std::hypot(g.normal[0], g.normal[1], g.normal[2]) > kDoubleTolerance)) return "normal";
        return "start_angle_deg";
    case curve_kind::spline: return "points";
    }
    return "kind";
}

// Why a curve beyond the model extent is refused: its polyline would have no bound, or a value
// derived from it (a length, a parameter) would not be a number the part file can hold.
std::string beyond_model_text()
{
    char text[64];
    std::snprintf(text, sizeof text, "beyond the model extent of %g", kModelExtent);
    return text;
}

void attribute_fields(const json& object, entity& e, const field_error& where)
{
    if (!object.contains("attributes")) return;
    const json& attributes = object["attributes"];
    if (!attributes.is_object()) where.raise("attributes", "must be an object");
    for (const auto& [key, value] : attributes.items()) {
        const bool valid = key.size() == 2 && std::isalnum(static_cast<unsigned char>(key[0])) &&
                           std::isalnum(static_cast<unsigned char>(key[1]));
        if (!valid) where.raise("attributes", "key \"" + key + "\" is not two letters or digits");
        if (key == "CL" || key == "TY") where.raise("attributes", "\"" + key + "\" is given as \"class\" / \"type\"");
        e.attributes[key] = integer_field(value, "attributes", where);
    }
}

// A kind that fixes the class and type lets the part file give them only as they are.
void kind_class_given(const json& object, const entity& e, const std::string& kind, const field_error& where)
{
    if (object.contains("class") && integer_field(object["class"], "class", where) != e.entity_class)
        where.raise("class", "must be " + std::to_string(e.entity_class) + " for a " + kind);
    if (object.contains("type") && integer_field(object["type"], "type", where) != e.type)
        where.raise("type", "must be " + std::to_string(e.type) + " for a " + kind);
}

entity entity_from_json(const json& object, const field_error& where)
{
    if (!object.is_object()) where.raise("", "an entity is a JSON object");
    const json& kind_value = required(object, "kind", where);
    if (!kind_value.is_string()) where.raise("kind", "must be a text");
    const std::string kind = kind_value.get<std::string>();
    if (kind != "point" && kind != "line" && kind != "arc" && kind != "circle" && kind != "spline" && kind != "words" &&
        !is_surface_kind(kind))
        where.raise("kind", "must be \"line\", \"arc\", \"circle\", \"spline\", \"point\", \"words\", "
                            "\"height_grid\", \"mesh\", \"plane\", \"sphere\" or \"bicubic\"");
    for (const auto& [field, value] : object.items()) {
        const bool common = field == "id" || field == "kind" || field == "class" || field == "type" ||
                            field == "attributes" || field == "comment";
        if (!common && !allowed_fields(kind).count(field)) where.raise(field, "unknown for kind \"" + kind + "\"");
    }
    entity e;
    e.id = integer_field(required(object, "id", where), "id", where);
    if (e.id < 1) where.raise("id", "must be a positive integer");
    if (is_surface_kind(kind)) {
        surface_from_json(object, kind, "entities[" + std::to_string(where.index) + "]", e);
        kind_class_given(object, e, kind, where);
    } else if (kind == "words") {
        e.entity_class = integer_field(required(object, "class", where), "class", where);
        e.type = integer_field(required(object, "type", where), "type", where);
        if (e.entity_class < 0) where.raise("class", "must not be negative");
        if (e.type < 0) where.raise("type", "must not be negative");
        const json& words = required(object, "words", where);
        if (!words.is_array()) where.raise("words", "must be an array");
        for (const json& item : words) append_words(item, e.words, where);
        // Words that hold a curve record are that curve to every caller.
        const auto g = decode_curve(e);
        if (g && field_beyond_model(*g)) where.raise("words", beyond_model_text());
    } else {
        const curve_geometry g = curve_fields(object, kind, where);
        if (const char* field = field_beyond_model(g)) where.raise(field, beyond_model_text());
        encode_curve(g, e);
        if (!decode_curve(e)) where.raise(degenerate_field(g), "degenerate " + kind + " geometry");
        kind_class_given(object, e, kind, where);
    }
    attribute_fields(object, e, where);
    return e;
}

json point_json(const point3& p) { return json::array({p[0], p[1], p[2]}); }

// The curve fields of a valid curve record.
void curve_to_json(const curve_geometry& g, json& object)
{
    switch (g.kind) {
    case curve_kind::point:
        object["kind"] = "point";
        object["point"] = point_json(g.start);
        return;
    case curve_kind::line:
        object["kind"] = "line";
        object["start"] = point_json(g.start);
        object["end"] = point_json(g.end);
        return;
    case curve_kind::arc:
        // A circle is written as one only when loading it gives the same end angle back.
        object["kind"] = g.end_deg == g.start_deg + 360.0 ? "circle" : "arc";
        object["centre"] = point_json(g.centre);
        object["radius"] = g.radius;
        object["start_angle_deg"] = g.start_deg;
        if (g.end_deg != g.start_deg + 360.0) object["end_angle_deg"] = g.end_deg;
        object["normal"] = point_json(g.normal);
        return;
    case curve_kind::spline: {
        object["kind"] = "spline";
        object["degree"] = g.spline.degree;
        object["knots"] = g.spline.knots;
        json points = json::array();
        for (const point3& p : g.spline.points) points.push_back(point_json(p));
        object["points"] = std::move(points);
        if (!g.spline.weights.empty()) object["weights"] = g.spline.weights;
        return;
    }
    }
}

json entity_to_json(const entity& e)
{
    json object = json::object();
    object["id"] = e.id;
    object["class"] = e.entity_class;
    object["type"] = e.type;
    if (e.surface) {
        surface_to_json(*e.surface, object);
    } else if (is_exact_curve(e)) {
        curve_to_json(*decode_curve(e), object);
    } else {
        object["kind"] = "words";
        object["words"] = e.words;
    }
    if (!e.attributes.empty()) object["attributes"] = e.attributes;
    return object;
}

std::string format_point(const point3& p)
{
    char text[96];
    std::snprintf(text, sizeof text, "(%.4f, %.4f, %.4f)", p[0], p[1], p[2]);
    return text;
}

std::string describe_curve(const curve_geometry& g)
{
    char text[96];
    switch (g.kind) {
    case curve_kind::point: return "point " + format_point(g.start);
    case curve_kind::line: return "line " + format_point(g.start) + " to " + format_point(g.end);
    case curve_kind::arc:
        std::snprintf(text, sizeof text, " radius %.4f angles %.4f to %.4f deg normal ", g.radius, g.start_deg,
                      g.end_deg);
        return "arc centre " + format_point(g.centre) + text + format_point(g.normal);
    case curve_kind::spline: {
        double start = 0.0, end = 0.0;
        spline_range(g.spline, start, end);
        std::snprintf(text, sizeof text, "spline degree %d, %zu points, parameters %.4f to %.4f%s", g.spline.degree,
                      g.spline.points.size(), start, end, g.spline.weights.empty() ? "" : ", rational");
        return text;
    }
    }
    return {};
}

}  // namespace

void save_entities(json& section)
{
    section = json::array();
    for (const auto& [id, e] : store().entities) section.push_back(entity_to_json(e));
}

void load_entities(const json& section)
{
    if (!section.is_array()) throw std::invalid_argument("\"entities\" must be an array");
    for (std::size_t i = 0; i < section.size(); ++i) {
        const field_error where{i};
        entity e = entity_from_json(section[i], where);
        if (!insert_entity(std::move(e))) where.raise("id", "used by an earlier entity");
    }
}

namespace control {

std::string entities_text()
{
    std::string text;
    for (const auto& [id, e] : store().entities) {
        text += "entity " + std::to_string(id) + " class " + std::to_string(e.entity_class) + " type " +
                std::to_string(e.type) + ": ";
        const auto g = decode_curve(e);
        text += e.surface ? describe_surface(*e.surface) : g ? describe_curve(*g) : "words";
        for (const auto& [key, value] : e.attributes) text += " " + key + "=" + std::to_string(value);
        text += " (" + std::to_string(e.words.size()) + " words)\n";
    }
    return text;
}

}  // namespace control

}  // namespace vantu
