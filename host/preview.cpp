// Direction arrows (darrow), drawn as temporary figures of the display recorder, and edele1,
// which erases and deletes an entity. The arrows belong to the session.
#include "host/vantu_preview.hpp"

#include "host/core/component.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_display.hpp"
#include "host/vantu_entity.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace {

constexpr int kErase = 0, kDraw = 1;
constexpr int kArrowColour = 2;
constexpr float kArrowLength = 5.0f;  // model units: visible at part scale, never a tool size
constexpr float kHeadLength = 1.0f;

struct shown_arrow {
    std::array<float, 3> point;
    int figure;
};

std::vector<shown_arrow>& arrows()
{
    static auto* a = new std::vector<shown_arrow>;
    return *a;
}

void reset_state() { arrows().clear(); }

const bool preview_registered = vantu::register_component({"arrows", reset_state, nullptr, nullptr, nullptr});

// Draws the shaft and a two-stroke head in the figure; false when the direction has no length.
bool draw_arrow(const float* p, const float* d, int figure)
{
    const float length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
    if (!(length > vantu::kRealTolerance)) return false;
    const float u[3] = {d[0] / length, d[1] / length, d[2] / length};
    // A side direction for the head: across the arrow in the plane of the arrow and world Z (or X).
    float s[3] = {-u[1], u[0], 0.0f};
    float sl = std::sqrt(s[0] * s[0] + s[1] * s[1]);
    if (sl <= vantu::kRealTolerance) {
        s[0] = 0.0f;
        s[1] = -u[2];
        s[2] = u[1];
        sl = std::sqrt(s[1] * s[1] + s[2] * s[2]);
    }
    const float tip[3] = {p[0] + kArrowLength * u[0], p[1] + kArrowLength * u[1], p[2] + kArrowLength * u[2]};
    int status = 0;
    figopa(figure, kArrowColour, status);
    if (status != 0) return false;
    moveto(p);
    drawto(tip);
    for (const float side : {1.0f, -1.0f}) {
        float head[3];
        for (int k = 0; k < 3; ++k) head[k] = tip[k] - kHeadLength * u[k] + side * kHeadLength * 0.5f * s[k] / sl;
        moveto(tip);
        drawto(head);
    }
    figcls(figure);
    return true;
}

}  // namespace

void darrow(int mode, const float* point, const float* direction, int& status)
{
    status = -1;
    if (point && mode == kDraw && direction) {
        int figure = 0;
        gfgtmp(figure);
        if (draw_arrow(point, direction, figure)) {
            arrows().push_back({{point[0], point[1], point[2]}, figure});
            status = 0;
        }
    } else if (point && mode == kErase) {
        auto& shown = arrows();
        const auto it = std::find_if(shown.rbegin(), shown.rend(), [point](const shown_arrow& a) {
            return std::equal(a.point.begin(), a.point.end(), point);
        });
        if (it != shown.rend()) {
            figdel(it->figure, status);
            shown.erase(std::next(it).base());
        }
    }
    vantu::trace_call("darrow", std::to_string(mode), status);
}

void edele1(int id, int& status)
{
    int erased = 0;
    edisp(id, 0, erased);
    edelet(id, status);
    vantu::trace_call("edele1", std::to_string(id), status);
}
