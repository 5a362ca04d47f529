// SHOWTL and the tool-axis frame. Reads PRM9 (the current tool id) and the tool's diameter.
#include "surfaces/tool_symbol.hpp"

#include "host/tolerance.hpp"
#include "host/vantu_display.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <cmath>

namespace {

constexpr int kCircleSegments = 24;
constexpr int kSymbolColour = 1;
constexpr float kFallbackRadius = 1.0f;
constexpr float kTwoPi = 6.2831853f;

float length_of(const float* v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

}  // namespace

bool tool_axis_frame(const float (&axis)[3], float (&matrix)[9])
{
    const float length = length_of(axis);
    if (!(length > vantu::kRealTolerance)) return false;
    const float z[3] = {axis[0] / length, axis[1] / length, axis[2] / length};
    // x: world X made square to z, or world Y when z runs nearly along X.
    const float base[3] = {std::fabs(z[0]) > 0.9f ? 0.0f : 1.0f, std::fabs(z[0]) > 0.9f ? 1.0f : 0.0f, 0.0f};
    const float along = base[0] * z[0] + base[1] * z[1];
    float x[3] = {base[0] - along * z[0], base[1] - along * z[1], -along * z[2]};
    const float xl = length_of(x);
    for (float& c : x) c /= xl;
    const float y[3] = {z[1] * x[2] - z[2] * x[1], z[2] * x[0] - z[0] * x[2], z[0] * x[1] - z[1] * x[0]};
    for (int k = 0; k < 3; ++k) {
        matrix[k] = x[k];
        matrix[3 + k] = y[k];
        matrix[6 + k] = z[k];
    }
    return true;
}

void SHOWTL(int /*kind*/, const float (&point)[3], const float (&axis)[3], int& figure, int& status)
{
    figure = -1;
    float frame[9];
    if (!tool_axis_frame(axis, frame)) {
        eroutc("SHOWTL, ERRORS IN CALCULATING TOOL ORIENTATION MATRIX", 0);
        status = -1;
        return;
    }
    float diameter = -1.0f;
    tool_get_diameter(PRM9().words[machine_params::kToolId], diameter);
    const float radius = diameter > 0.0f ? diameter / 2.0f : kFallbackRadius;
    int id = 0;
    gfgtmp(id);
    figopa(id, kSymbolColour, status);
    if (status != 0) {
        status = -1;
        return;
    }
    for (int i = 0; i <= kCircleSegments; ++i) {
        const float a = kTwoPi * static_cast<float>(i) / kCircleSegments;
        const float c = radius * std::cos(a), s = radius * std::sin(a);
        const float p[3] = {point[0] + c * frame[0] + s * frame[3], point[1] + c * frame[1] + s * frame[4],
                            point[2] + c * frame[2] + s * frame[5]};
        if (i == 0)
            moveto(p);
        else
            drawto(p);
    }
    const float top[3] = {point[0] + 2.0f * radius * frame[6], point[1] + 2.0f * radius * frame[7],
                          point[2] + 2.0f * radius * frame[8]};
    moveto(point);
    drawto(top);
    figcls(id);
    figure = id;
    status = 0;
}
