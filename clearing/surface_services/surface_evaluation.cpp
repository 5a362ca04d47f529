// Evaluation of one surface held in a surface buffer (see the header). Blocks are in world
// coordinates except inside NRMSR1, which works in model coordinates as SRFUV1 hands it.
#include "clearing/surface_services/surface_evaluation.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_vector_s.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

// A normal whose cosine with the vertical is at most this (about one degree off horizontal) is a
// steep face: the vertical foot step would run away, so SRFUV1 resolves it by a nearest-point
// search first.
constexpr float kSteepCosine = 0.0175f;
constexpr int kSteepAttempts = 5;
constexpr int kFootSteps = 25;
// Foot found when the squared offset on the tangent plane over the net's scale is below this.
constexpr float kFootFound = 1.0e-7f;
// A derivative shorter than this gives no parameter step in its direction.
constexpr float kShortDerivative = 1.0e-6f;
constexpr float kNrmsr1Tolerance = 0.001f;  // SRFUV1's nearest-point search on a steep face
constexpr int kNearestSteps = 8;
constexpr int kNearestQuarterings = 3;
constexpr float kHeldAtEnd = 0.00001f;  // a parameter this near a range end is held there
constexpr float kRadiusNote = 0.001f;   // curvature note: distance this near the tool radius
constexpr float kNoNode = 99999.0f;
constexpr float kNodeHit = 0.05f;  // a net node this near the position ends the scan
constexpr float kCoarseFactor = 1.5f;
constexpr int kBisections = 15;
constexpr float kSteepLift = 0.5f;  // tangent plane without z: the target this above S

struct ranges {
    float u_low, u_high, v_low, v_high, u_start, u_extent, v_start, v_extent;
};

bool read_ranges(const surface_buffer& buffer, ranges& r)
{
    float record[6];
    int status = 0;
    srfbuf_access_real(kSrfbufRangeRecord, buffer, record, status);
    if (status != 0) return false;
    r.u_start = record[0];
    r.u_extent = record[1];
    r.v_start = record[3];
    r.v_extent = record[4];
    r.u_low = std::min(record[0], record[0] + record[1]);
    r.u_high = std::max(record[0], record[0] + record[1]);
    r.v_low = std::min(record[3], record[3] + record[4]);
    r.v_high = std::max(record[3], record[3] + record[4]);
    return true;
}

bool bad_buffer(const surface_buffer& buffer, ranges& r, const char* routine)
{
    if (read_ranges(buffer, r)) return false;
    eroutc(std::string(routine) + " - BAD FORMAT OF SURFACE BUFFER", 0);
    return true;
}

float dot3(const float* a, const float* b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
float length3(const float* a) { return std::sqrt(dot3(a, a)); }

void evaluate(int mode, const surface_buffer& buffer, float u, float v, surface_block& block)
{
    float words[9];
    std::copy(block.point, block.point + 3, words);
    std::copy(block.du, block.du + 3, words + 3);
    std::copy(block.dv, block.dv + 3, words + 6);
    evsrf(mode, buffer.words, u, v, words);
    std::copy(words, words + 3, block.point);
    std::copy(words + 3, words + 6, block.du);
    std::copy(words + 6, words + 9, block.dv);
}

// Maps a model-coordinate block to world coordinates (the derivatives as directions).
void block_to_world(const surface_block& model, surface_block& world)
{
    const float zero[3] = {0.0f, 0.0f, 0.0f};
    float origin[3];
    mapm2w(zero, origin);
    surface_block out;
    mapm2w(model.point, out.point);
    mapm2w(model.du, out.du);
    mapm2w(model.dv, out.dv);
    for (int k = 0; k < 3; ++k) {
        out.du[k] -= origin[k];
        out.dv[k] -= origin[k];
    }
    world = out;
}

// One parameter against its range: clamped to the end it passed, remembering the side; when both
// sides have been reached the parameter goes to the middle and both marks are cleared.
bool clamp_to_range(float& value, float low, float high, bool& hit_low, bool& hit_high)
{
    bool hit = false;
    if (value > high && !eqval(value, high)) {
        value = high;
        hit_high = hit = true;
    } else if (value < low && !eqval(value, low)) {
        value = low;
        hit_low = hit = true;
    }
    if (hit_low && hit_high) {
        value = 0.5f * (low + high);
        hit_low = hit_high = false;
    }
    return hit;
}

bool in_range(float value, float low, float high)
{
    return (value >= low || eqval(value, low)) && (value <= high || eqval(value, high));
}

void note_curved_surface(const surface_buffer& buffer)
{
    int id = 0, type_word = 0;
    srfbuf_get_id(buffer, id, type_word);
    surface_eval_state& s = surface_eval();
    if (std::find(s.warned_surfaces, s.warned_surfaces + s.warned_count, id) != s.warned_surfaces + s.warned_count)
        return;
    user1c("[NRMSR1]CURVATURE OF SURFACE, ID=", 'I', id, " HAS A VALUE CLOSE TO THE TOOL RADIUS");
    if (s.warned_count < kMostWarnedSurfaces) s.warned_surfaces[s.warned_count++] = id;
}

// The steep-face step of SRFUV1: the target on the tangent plane straight over or under the
// target point, resolved by the nearest-point search in model coordinates. False when the search
// may stop with the current foot (the offset is vertical and in range).
struct foot_search {
    const surface_buffer& buffer;
    int u_flag, v_flag, orientation;
    const float* target;
};

void nearest_on_steep_face(const foot_search& f, float& u, float& v, surface_block& block, const float* normal)
{
    float w[3] = {f.target[0], f.target[1], block.point[2] + kSteepLift};
    if (normal[2] != 0.0f)
        w[2] = -((f.target[0] * normal[0] + f.target[1] * normal[1] - dot3(normal, block.point)) / normal[2]);
    float model_target[3];
    mapw2m(w, model_target);
    surface_block model;
    evaluate(1, f.buffer, u, v, model);
    float distance = 0.0f;
    int status = 0;
    NRMSR1(kNrmsr1Tolerance, model_target, f.buffer, f.u_flag, f.v_flag, u, v, model, distance, status);
    block_to_world(model, block);
}

}  // namespace

surface_eval_state& surface_eval()
{
    static surface_eval_state state;
    return state;
}

void block_normal(const surface_block& block, int orientation, float* normal, int& status)
{
    float n[3];
    if (orientation == 1)
        v3cros(block.du, block.dv, n);
    else
        v3cros(block.dv, block.du, n);
    const float length = length3(n);
    status = -1;
    if (!(length > kShortDerivative * kShortDerivative)) return;
    for (int k = 0; k < 3; ++k) normal[k] = n[k] / length;
    status = 0;
}

void coarse_net_fill(const surface_buffer& buffer, int orientation, int& status)
{
    ranges r{};
    status = -1;
    if (!read_ranges(buffer, r)) return;
    coarse_net_state net;
    for (int i = 0; i < kNetNodes; ++i)
        for (int j = 0; j < kNetNodes; ++j) {
            surface_block block;
            const float u = r.u_start + static_cast<float>(i) * (r.u_extent / (kNetNodes - 1));
            const float v = r.v_start + static_cast<float>(j) * (r.v_extent / (kNetNodes - 1));
            evaluate(2, buffer, u, v, block);
            float* node = net.nodes[i][j];
            node[0] = block.point[0];
            node[1] = block.point[1];
            int normal_status = 0;
            block_normal(block, orientation, node + 2, normal_status);
        }
    // The foot test is absolute: a scale of 1 square unit stops the foot search within 3e-4 units
    // of the vertical through the target, well inside any pass tolerance.
    net.foot_scale = 1.0f;
    surface_eval().coarse_net = net;
    status = 0;
}

void SRFRNG(float u, float v, const surface_buffer& buffer, int u_flag, int v_flag, int& status)
{
    ranges r{};
    status = -1;
    if (bad_buffer(buffer, r, "SRFRNG")) return;
    if ((u_flag == 0 || in_range(u, r.u_low, r.u_high)) && (v_flag == 0 || in_range(v, r.v_low, r.v_high))) status = 0;
}

void SRFUV1(int u_flag, int v_flag, int orientation, float, float, float foot_scale, float& u, float& v,
            const surface_buffer& buffer, const float* target, surface_block& block, float* normal, int& status)
{
    ranges r{};
    status = -1;
    if (bad_buffer(buffer, r, "SRFUV1")) return;
    const float scale = foot_scale > 0.0f ? foot_scale : 1.0f;
    const foot_search search{buffer, u_flag, v_flag, orientation, target};
    float cu = u, cv = v, previous_u = u, previous_v = v;
    const float entry_u = u, entry_v = v;
    bool u_low = false, u_high = false, v_low = false, v_high = false;
    status = 0;
    for (int steps = 0;;) {
        float d[3] = {target[0] - block.point[0], target[1] - block.point[1], target[2] - block.point[2]};
        int normal_status = 0;
        block_normal(block, orientation, normal, normal_status);
        if (normal_status != 0) {
            status = -1;
            break;
        }
        float c = -normal[2];
        bool vertical_foot = false;
        for (int attempt = 0; std::fabs(c) <= kSteepCosine; ++attempt) {
            if (attempt == kSteepAttempts) {
                status = -1;
                break;
            }
            if (c <= 0.0f) {
                const float dl = length3(d);
                int range_status = -1;
                SRFRNG(cu, cv, buffer, u_flag, v_flag, range_status);
                // |unit(D) x Z| is the horizontal share of unit(D).
                if (dl > 0.0f && std::hypot(d[0], d[1]) / dl <= kSteepCosine && range_status == 0) {
                    vertical_foot = true;
                    break;
                }
            }
            nearest_on_steep_face(search, cu, cv, block, normal);
            for (int k = 0; k < 3; ++k) d[k] = target[k] - block.point[k];
            block_normal(block, orientation, normal, normal_status);
            if (normal_status != 0) {
                status = -1;
                break;
            }
            c = -normal[2];
        }
        if (status != 0 || vertical_foot) break;
        const float lambda = -dot3(normal, d) / c;
        const float e[3] = {d[0], d[1], d[2] - lambda};
        if (dot3(e, e) / scale < kFootFound) break;
        const float su = length3(block.du), sv = length3(block.dv);
        cu += su > kShortDerivative ? dot3(block.du, e) / (su * su) : 0.0f;
        cv += sv > kShortDerivative ? dot3(block.dv, e) / (sv * sv) : 0.0f;
        bool hit = false;
        if (u_flag != 0) hit = clamp_to_range(cu, r.u_low, r.u_high, u_low, u_high);
        if (v_flag != 0) hit = clamp_to_range(cv, r.v_low, r.v_high, v_low, v_high) || hit;
        if (!hit && cu == previous_u && cv == previous_v) break;
        if (++steps > kFootSteps) {
            if (hit) {
                status = -2;
            } else {
                if (cu != entry_u)
                    status = -1;
                else if (cu == previous_u)
                    status = 0;
                if (cv != entry_v)
                    status = -1;
                else if (cv == previous_v)
                    status = 0;
            }
            break;
        }
        previous_u = cu;
        previous_v = cv;
        evaluate(2, buffer, cu, cv, block);
    }
    u = cu;
    v = cv;
}

void RGHNET(const float* position, const surface_buffer& buffer, int, float& u, float& v, surface_block& block,
            float& net_value, float& half_u, float& half_v, int& status)
{
    ranges r{};
    status = -1;
    if (bad_buffer(buffer, r, "RGHNET")) return;
    const coarse_net_state& net = surface_eval().coarse_net;
    net_value = net.foot_scale;
    half_u = r.u_extent / (2 * (kNetNodes - 1));
    half_v = r.v_extent / (2 * (kNetNodes - 1));
    float best = kNoNode;
    int best_i = -1, best_j = -1;
    for (int i = 0; i < kNetNodes && best >= kNodeHit; ++i)
        for (int j = 0; j < kNetNodes; ++j) {
            const float* node = net.nodes[i][j];
            if (!(node[4] > 0.0f)) continue;  // horizontal or facing down
            const float distance = std::fabs(node[0] - position[0]) + std::fabs(node[1] - position[1]);
            if (distance < best) {
                best = distance;
                best_i = i;
                best_j = j;
                if (best < kNodeHit) break;
            }
        }
    if (best_i < 0) return;
    u = r.u_start + static_cast<float>(best_i) * (r.u_extent / (kNetNodes - 1));
    v = r.v_start + static_cast<float>(best_j) * (r.v_extent / (kNetNodes - 1));
    evaluate(2, buffer, u, v, block);
    const float step_u = r.u_extent / (kNetNodes - 1), step_v = r.v_extent / (kNetNodes - 1);
    const float nu = in_range(u + step_u, r.u_low, r.u_high) ? u + step_u : u - step_u;
    const float nv = in_range(v + step_v, r.v_low, r.v_high) ? v + step_v : v - step_v;
    surface_block next;
    evaluate(2, buffer, nu, nv, next);
    const float spacing = std::fabs(next.point[0] - block.point[0]) + std::fabs(next.point[1] - block.point[1]);
    status = spacing < kCoarseFactor * best ? -1 : 0;
}

void NRMSR1(float tolerance, const float* point, const surface_buffer& buffer, int u_flag, int v_flag, float& u,
            float& v, surface_block& block, float& distance, int& status)
{
    ranges r{};
    status = -1;
    if (bad_buffer(buffer, r, "NRMSR1")) return;
    float best = 1.0e20f, best_u = u, best_v = v;
    surface_block best_block = block;
    float cu = u, cv = v, start_u = u, start_v = v, fu = 0.0f, fv = 0.0f;
    bool u_held = false, v_held = false, converged = false, held_end = false;
    int quarterings = 0;
    for (int steps = 0;; ++steps) {
        float d[3] = {point[0] - block.point[0], point[1] - block.point[1], point[2] - block.point[2]};
        const float radius = length3(d);
        if (radius > 0.0f)
            for (float& c : d) c /= radius;
        if (steps >= 2 && (u_held || v_held)) {
            held_end = true;
            break;
        }
        float next_u = cu, next_v = cv;
        if (steps == 0 || radius < best) {
            best = radius;
            best_u = cu;
            best_v = cv;
            best_block = block;
            const float su = length3(block.du), sv = length3(block.dv);
            if (su == 0.0f || sv == 0.0f) {
                eroutc("NRMSRF: ZERO DERIVATIVES !", 0);
                return;
            }
            const float a = dot3(d, block.du) / su, b = dot3(d, block.dv) / sv;
            if (std::fabs(a) < tolerance && std::fabs(b) < tolerance && steps >= 1) {
                converged = true;
                break;
            }
            fu = a / su;
            fv = b / sv;
            next_u = cu + radius * fu;
            next_v = cv + radius * fv;
        } else if (radius > best) {
            if (++quarterings > kNearestQuarterings) break;
            fu /= 4.0f;
            fv /= 4.0f;
            next_u = best_u + radius * fu;
            next_v = best_v + radius * fv;
        } else {
            if (steps >= 2) break;
            next_u = cu + radius * fu;
            next_v = cv + radius * fv;
        }
        if (steps + 1 > kNearestSteps) break;
        start_u = cu;
        start_v = cv;
        if (u_flag != 0) {
            if (next_u <= r.u_low + kHeldAtEnd)
                next_u = r.u_low, u_held = true;
            else if (next_u >= r.u_high - kHeldAtEnd)
                next_u = r.u_high, u_held = true;
        }
        if (v_flag != 0) {
            if (next_v <= r.v_low + kHeldAtEnd)
                next_v = r.v_low, v_held = true;
            else if (next_v >= r.v_high - kHeldAtEnd)
                next_v = r.v_high, v_held = true;
        }
        cu = next_u;
        cv = next_v;
        evaluate(1, buffer, cu, cv, block);
    }
    if (!converged && held_end) {
        status = u_held && v_held ? -5 : u_held ? -4 : -3;
        u = start_u;
        v = start_v;
        return;
    }
    status = converged ? 0 : -2;
    if (!converged) {
        float diameter = -1.0f;
        tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
        if (diameter > 0.0f && std::fabs(best - 0.5f * diameter) <= kRadiusNote) note_curved_surface(buffer);
    }
    u = best_u;
    v = best_v;
    block = best_block;
    distance = best;
    if (best < tolerance) status = 1;
}

void normal_turn_bisect(const surface_buffer& buffer, const surface_contact& a, const surface_contact& b,
                        int orientation, surface_contact& result, int& status)
{
    surface_contact near = a, far = b;
    for (int k = 0; k < kBisections; ++k) {
        if (eqpt3(near.block.point, far.block.point) || (near.u == far.u && near.v == far.v)) {
            result = near;
            status = 0;
            return;
        }
        surface_contact middle;
        middle.u = 0.5f * (near.u + far.u);
        middle.v = 0.5f * (near.v + far.v);
        float words[9];
        int normal_status = 0;
        evsrfn(2, buffer.words, middle.u, middle.v, words, middle.normal, normal_status);
        std::copy(words, words + 3, middle.block.point);
        std::copy(words + 3, words + 6, middle.block.du);
        std::copy(words + 6, words + 9, middle.block.dv);
        if (orientation != 1)
            for (float& c : middle.normal) c = -c;
        if (middle.normal[0] * near.normal[0] + middle.normal[1] * near.normal[1] >= 0.0f)
            near = middle;
        else
            far = middle;
    }
    status = -1;
}
