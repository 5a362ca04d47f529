// Parametric surface entities of the part file and their evaluation (host/vantu_surface_eval.hpp).
// In the "entities" section:
//   {"id": 30, "kind": "plane", "origin": [x, y, z], "u_axis": [..], "v_axis": [..]}
//        S(u, v) = origin + u u_axis + v v_axis
//   {"id": 31, "kind": "sphere", "centre": [x, y, z], "radius": r}
//        S(u, v) = centre + r (cos v cos u, cos v sin u, sin v): u the longitude, v the latitude
//        in radians; Su x Sv points outwards
//   {"id": 32, "kind": "bicubic", "points": [[x, y, z], ... 16]}
//        the Bezier patch of 4 x 4 control points, four rows along v of four points along u,
//        over s = (u - u start) / u extent and t likewise in v
// Each may give "u_range" and "v_range" ([start, end], default [0, 1]; the end differs from the
// start) and "range_check" (two flag words, default [0, 0]; 2 turns the range check of that
// direction off).
#include "host/vantu_surface_eval.hpp"

#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/part_surfaces.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_part_surfaces.hpp"
#include "host/vantu_vector_s.hpp"

#include <array>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace vantu {

namespace {

using json = nlohmann::json;
using vec = std::array<double, 3>;

constexpr int kBicubicPoints = 16;

[[noreturn]] void raise(const std::string& place, std::string_view field, std::string_view what)
{
    throw std::invalid_argument(place + " \"" + std::string(field) + "\": " + std::string(what));
}

double number(const json& value, const std::string& place, const char* field)
{
    if (!value.is_number() || !std::isfinite(value.get<double>()) || std::fabs(value.get<double>()) > kModelExtent)
        raise(place, field, "must be a number within the model extent");
    return value.get<double>();
}

void append_point(const json& value, const std::string& place, const char* field, std::vector<double>& out)
{
    if (!value.is_array() || value.size() != 3) raise(place, field, "must be an array of 3 numbers");
    for (const json& c : value) out.push_back(number(c, place, field));
}

const json& need(const json& object, const char* field, const std::string& place)
{
    auto it = object.find(field);
    if (it == object.end()) raise(place, field, "missing");
    return *it;
}

void read_range(const json& object, const char* field, const std::string& place, double* range)
{
    if (!object.contains(field)) return;
    const json& r = object[field];
    if (!r.is_array() || r.size() != 2) raise(place, field, "must be an array of 2 numbers");
    range[0] = number(r[0], place, field);
    range[1] = number(r[1], place, field);
    if (range[0] == range[1]) raise(place, field, "must not be empty");
}

int type_of(const std::string& kind)
{
    return kind == "plane" ? kPlaneSurfaceType : kind == "sphere" ? kSphereSurfaceType : kBicubicSurfaceType;
}

// The Bernstein weights of degree 3 at s and their derivatives.
void bernstein(double s, double* b, double* db)
{
    const double r = 1.0 - s;
    b[0] = r * r * r;
    b[1] = 3.0 * s * r * r;
    b[2] = 3.0 * s * s * r;
    b[3] = s * s * s;
    db[0] = -3.0 * r * r;
    db[1] = 3.0 * r * r - 6.0 * s * r;
    db[2] = 6.0 * s * r - 3.0 * s * s;
    db[3] = 3.0 * s * s;
}

void bicubic_at(const part_surface& f, double u, double v, vec& p, vec& pu, vec& pv)
{
    const double ue = f.u_range[1] - f.u_range[0], ve = f.v_range[1] - f.v_range[0];
    double bu[4], dbu[4], bv[4], dbv[4];
    bernstein((u - f.u_range[0]) / ue, bu, dbu);
    bernstein((v - f.v_range[0]) / ve, bv, dbv);
    p = pu = pv = {0.0, 0.0, 0.0};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            for (int k = 0; k < 3; ++k) {
                const double c = f.coefficients[static_cast<std::size_t>(3 * (4 * j + i) + k)];
                p[k] += bu[i] * bv[j] * c;
                pu[k] += dbu[i] * bv[j] * c / ue;
                pv[k] += bu[i] * dbv[j] * c / ve;
            }
}

// The point and both derivatives of the surface at (u, v), in model coordinates.
void evaluate(const part_surface& f, double u, double v, vec& p, vec& pu, vec& pv)
{
    const std::vector<double>& c = f.coefficients;
    if (f.type == kPlaneSurfaceType) {
        for (int k = 0; k < 3; ++k) {
            pu[k] = c[static_cast<std::size_t>(3 + k)];
            pv[k] = c[static_cast<std::size_t>(6 + k)];
            p[k] = c[static_cast<std::size_t>(k)] + u * pu[k] + v * pv[k];
        }
    } else if (f.type == kSphereSurfaceType) {
        const double r = c[3];
        p = {c[0] + r * std::cos(v) * std::cos(u), c[1] + r * std::cos(v) * std::sin(u), c[2] + r * std::sin(v)};
        pu = {-r * std::cos(v) * std::sin(u), r * std::cos(v) * std::cos(u), 0.0};
        pv = {-r * std::sin(v) * std::cos(u), -r * std::sin(v) * std::sin(u), r * std::cos(v)};
    } else {
        bicubic_at(f, u, v, p, pu, pv);
    }
}

const part_surface* parametric_of(int id, int& status)
{
    status = 0;
    const entity* e = find_entity(id);
    if (e == nullptr) {
        status = kEntityMissing;
        return nullptr;
    }
    if (!e->surface || e->surface->coefficients.empty()) {
        status = kNotThatSurface;
        return nullptr;
    }
    return e->surface.get();
}

const part_surface* surface_of_buffer(const word* buffer)
{
    if (buffer == nullptr || buffer[0] != kSurfaceBufferTag) return nullptr;
    int status = 0;
    return parametric_of(static_cast<int>(buffer[kSurfaceBufferId]), status);
}

}  // namespace

std::array<double, 3> parametric_point(const part_surface& surface, double u, double v)
{
    vec p{}, pu{}, pv{};
    evaluate(surface, u, v, p, pu, pv);
    return {p[0], p[1], p[2]};
}

bool is_parametric_kind(const std::string& kind) { return kind == "plane" || kind == "sphere" || kind == "bicubic"; }

void parametric_from_json(const json& object, const std::string& kind, const std::string& place, part_surface& s)
{
    s.type = type_of(kind);
    s.coefficients.clear();
    if (s.type == kPlaneSurfaceType) {
        append_point(need(object, "origin", place), place, "origin", s.coefficients);
        append_point(need(object, "u_axis", place), place, "u_axis", s.coefficients);
        append_point(need(object, "v_axis", place), place, "v_axis", s.coefficients);
    } else if (s.type == kSphereSurfaceType) {
        append_point(need(object, "centre", place), place, "centre", s.coefficients);
        const double r = number(need(object, "radius", place), place, "radius");
        if (!(r > 0.0)) raise(place, "radius", "must be above 0");
        s.coefficients.push_back(r);
    } else {
        const json& points = need(object, "points", place);
        if (!points.is_array() || points.size() != kBicubicPoints) raise(place, "points", "must hold 16 points");
        for (const json& p : points) append_point(p, place, "points", s.coefficients);
    }
    read_range(object, "u_range", place, s.u_range);
    read_range(object, "v_range", place, s.v_range);
    if (object.contains("range_check")) {
        const json& f = object["range_check"];
        if (!f.is_array() || f.size() != 2 || !f[0].is_number_integer() || !f[1].is_number_integer())
            raise(place, "range_check", "must be an array of 2 integers");
        s.flag_words[0] = f[0].get<int>();
        s.flag_words[1] = f[1].get<int>();
    }
}

void parametric_to_json(const part_surface& s, json& object)
{
    const std::vector<double>& c = s.coefficients;
    auto point = [&](std::size_t at) { return json::array({c[at], c[at + 1], c[at + 2]}); };
    if (s.type == kPlaneSurfaceType) {
        object["kind"] = "plane";
        object["origin"] = point(0);
        object["u_axis"] = point(3);
        object["v_axis"] = point(6);
    } else if (s.type == kSphereSurfaceType) {
        object["kind"] = "sphere";
        object["centre"] = point(0);
        object["radius"] = c[3];
    } else {
        object["kind"] = "bicubic";
        json points = json::array();
        for (std::size_t k = 0; k < kBicubicPoints; ++k) points.push_back(point(3 * k));
        object["points"] = std::move(points);
    }
    object["u_range"] = json::array({s.u_range[0], s.u_range[1]});
    object["v_range"] = json::array({s.v_range[0], s.v_range[1]});
    object["range_check"] = json::array({s.flag_words[0], s.flag_words[1]});
}

std::string describe_parametric(const part_surface& s)
{
    const char* name = s.type == kPlaneSurfaceType ? "plane" : s.type == kSphereSurfaceType ? "sphere" : "bicubic";
    char text[128];
    std::snprintf(text, sizeof text, "%s u %.4f .. %.4f, v %.4f .. %.4f", name, s.u_range[0], s.u_range[1],
                  s.v_range[0], s.v_range[1]);
    return text;
}

}  // namespace vantu

void surface_buffer_load(int id, word* buffer, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("surface_buffer_load")) status = *fault;
    const vantu::part_surface* s = status == 0 ? vantu::parametric_of(id, status) : nullptr;
    if (s != nullptr && buffer != nullptr) {
        const float range[6] = {
            static_cast<float>(s->u_range[0]), static_cast<float>(s->u_range[1] - s->u_range[0]), 0.0f,
            static_cast<float>(s->v_range[0]), static_cast<float>(s->v_range[1] - s->v_range[0]), 0.0f};
        buffer[0] = kSurfaceBufferTag;
        buffer[kSurfaceBufferId] = static_cast<word>(id);
        buffer[kSurfaceBufferType] = static_cast<word>(s->type);
        for (int k = 0; k < 6; ++k) buffer[kSurfaceBufferRange + k] = real_to_word(range[k]);
        buffer[kSurfaceBufferFlags] = static_cast<word>(s->flag_words[0]);
        buffer[kSurfaceBufferFlags + 1] = static_cast<word>(s->flag_words[1]);
    }
    vantu::trace_call("surface_buffer_load", std::to_string(id), status);
}

void surface_flag_words(int id, int& first, int& second, int& status)
{
    if (const vantu::part_surface* s = vantu::parametric_of(id, status)) {
        first = s->flag_words[0];
        second = s->flag_words[1];
    }
    vantu::trace_call("surface_flag_words", std::to_string(id), status);
}

void evsrf(int mode, const word* buffer, float u, float v, float* block)
{
    vantu::trace_count("evsrf");
    const vantu::part_surface* s = vantu::surface_of_buffer(buffer);
    if (s == nullptr || block == nullptr || (mode != 1 && mode != 2)) return;
    vantu::vec p, pu, pv;
    vantu::evaluate(*s, u, v, p, pu, pv);
    float model[9];
    for (int k = 0; k < 3; ++k) {
        model[k] = static_cast<float>(p[k]);
        model[3 + k] = static_cast<float>(pu[k]);
        model[6 + k] = static_cast<float>(pv[k]);
    }
    if (mode == 1) {
        std::copy(model, model + 9, block);
        return;
    }
    // Derivatives are directions: the map of their tips less the map of the origin.
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    float origin[3];
    mapm2w(zero, origin);
    mapm2w(model, block);
    for (int d = 1; d < 3; ++d) {
        mapm2w(model + 3 * d, block + 3 * d);
        for (int k = 0; k < 3; ++k) block[3 * d + k] -= origin[k];
    }
}

void evsrfn(int mode, const word* buffer, float u, float v, float* block, float* normal, int& status)
{
    status = -1;
    if (vantu::surface_of_buffer(buffer) == nullptr || block == nullptr || (mode != 1 && mode != 2)) return;
    evsrf(mode, buffer, u, v, block);
    float n[3];
    v3cros(block + 3, block + 6, n);
    const float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    status = -2;
    if (!(length > vantu::kRealNoLength)) return;
    for (int k = 0; k < 3; ++k) normal[k] = n[k] / length;
    status = 0;
}
