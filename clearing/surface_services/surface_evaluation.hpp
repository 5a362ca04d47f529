// Evaluation of one surface held in a surface buffer, for the point strings of srflin: the range
// check (SRFRNG), the foot straight below or above a point (SRFUV1), the coarse start from the
// net of the surface (RGHNET), the nearest surface point (NRMSR1) and the bisection between two
// contacts whose normals turn apart (normal_turn_bisect). srflin fills the coarse net before each
// hatch line (coarse_net_fill) and clears the list of surfaces warned about.
#pragma once

#include "clearing/surface_services/surface_pass_state.hpp"
#include "surfaces/surface_buffer_least.hpp"

inline constexpr int kNetNodes = 10;  // nodes per row and rows of the coarse net
inline constexpr int kMostWarnedSurfaces = 5000;

// The coarse net of the surface of the current hatch line: node (i, j) stands for
// u = u start + i u extent / 9, v = v start + j v extent / 9 and holds the surface point's x, y
// and the unit normal (oriented as the line's orientation flag says). foot_scale follows the net:
// the squared-distance scale of SRFUV1's foot test, always above 0.
struct coarse_net_state {
    float nodes[kNetNodes][kNetNodes][5] = {};
    float foot_scale = 1.0f;
};

// The module state of the surface evaluation: the coarse net and the surfaces NRMSR1 has noted
// as curved like the tool (at most kMostWarnedSurfaces ids; beyond that none is added).
struct surface_eval_state {
    coarse_net_state coarse_net;
    int warned_surfaces[kMostWarnedSurfaces] = {};
    int warned_count = 0;
};
surface_eval_state& surface_eval();

// The unit normal of a surface block: Su x Sv for orientation 1, Sv x Su otherwise. Status 0; -1
// for parallel derivatives (normal untouched).
void block_normal(const surface_block& block, int orientation, float* normal, int& status);

// Fills the coarse net of the buffer's surface (evaluated in world coordinates). Status 0; -1 for
// a bad buffer (the net is left as it was).
void coarse_net_fill(const surface_buffer& buffer, int orientation, int& status);

// Status 0 when every flagged parameter lies within its range (the ends count as inside within the
// host tolerance), else -1; a bad buffer gives "SRFRNG - BAD FORMAT OF SURFACE BUFFER" and -1.
void SRFRNG(float u, float v, const surface_buffer& buffer, int u_flag, int v_flag, int& status);

// The foot of target on the surface along the vertical, from the start (u, v, block): on return u,
// v, block (world coordinates) and normal belong to the foot. Status 0 found, -1 not found, -2 the
// search ended on a range limit. A bad buffer gives "SRFUV1 - BAD FORMAT OF SURFACE BUFFER", -1,
// u and v unchanged.
void SRFUV1(int u_flag, int v_flag, int orientation, float half_u, float half_v, float foot_scale, float& u, float& v,
            const surface_buffer& buffer, const float* target, surface_block& block, float* normal, int& status);

// The coarse start for position (x, y): the upward net node nearest to it gives u, v and the block;
// net_value := the net's foot scale, half_u and half_v half a net spacing. Status 0 usable, -1 when
// no node faces upwards or the net is too coarse there.
void RGHNET(const float* position, const surface_buffer& buffer, int orientation, float& u, float& v,
            surface_block& block, float& net_value, float& half_u, float& half_v, int& status);

// The surface point nearest to point (model coordinates) from (u, v, block): status 1 found within
// tolerance of the point, 0 found, -2 no convergence, -3 / -4 / -5 ended with v / u / both held at
// a range end, -1 zero derivatives or a bad buffer. Reads the current tool's diameter for the
// curvature note.
void NRMSR1(float tolerance, const float* point, const surface_buffer& buffer, int u_flag, int v_flag, float& u,
            float& v, surface_block& block, float& distance, int& status);

// Halves the parameter interval between contacts A and B until the normal turns (x, y) against
// A's: the result is the last midpoint on A's side. Status 0; -1 after 15 halvings.
struct surface_contact {
    surface_block block;
    float u = 0.0f, v = 0.0f;
    float normal[3] = {0.0f, 0.0f, 0.0f};
};
void normal_turn_bisect(const surface_buffer& buffer, const surface_contact& a, const surface_contact& b,
                        int orientation, surface_contact& result, int& status);
