// The host's display recorder: temporary figures drawn with pen moves (gfgtmp, figopa, moveto,
// drawto, figcls, figdel) and the display of entities (edisp). Every call is kept as a line of
// the display transcript and every stroke in its figure; the picture is drawn from them in
// host/display_svg.cpp. Display state belongs to the session: it is not saved in the part file.
#include "host/vantu_display.hpp"
#include "host/vantu_entity.hpp"

#include "host/control/display.hpp"
#include "host/control/nc_state.hpp"
#include "host/control/ncd_file.hpp"
#include "host/control/status_line.hpp"
#include "host/control/tool_instance.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/message_log.hpp"
#include "host/core/pen.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>

namespace vantu {

namespace {

constexpr int kLastColour = 15;
constexpr int kImplicitFigure = 0;  // pen moves while no figure is open
constexpr int kWhicheverIsOpen = -1;
// Bounds that keep a runaway drawing loop from exhausting memory; what goes beyond is counted
// and reported at the end of the run.
constexpr std::size_t kMaxTranscriptLines = 1000000;
constexpr std::size_t kMaxStrokePoints = 5000000;
// Arcs drawn by dparca: about 5 degrees a step; setdel cuts an arc into at most this many steps.
constexpr float kArcDrawStep = 0.0872665f;
constexpr int kMostArcDrawSteps = 72;
constexpr int kMostArcSteps = 10000;
constexpr float kSmallestStep = 1e-6f;
// An angle that is a whole number of steps within float rounding takes no extra step.
constexpr float kWholeSlack = 1e-4f;

struct display_state {
    std::vector<control::figure_record> figures;
    int open_figure = -1;  // index into figures, -1 when none is open
    int next_temporary = -1;
    std::vector<int> displayed;  // entity ids, in the order first shown
    std::vector<std::string> transcript;
    std::size_t dropped_lines = 0;
    std::size_t stroke_points = 0;
    std::size_t dropped_points = 0;
};

display_state& state()
{
    static display_state s;
    return s;
}

void log_line(std::string line)
{
    display_state& s = state();
    if (s.transcript.size() < kMaxTranscriptLines)
        s.transcript.push_back(std::move(line));
    else
        ++s.dropped_lines;
}

std::string point_text(const float* p)
{
    char text[96];
    std::snprintf(text, sizeof text, "%.4f %.4f %.4f", static_cast<double>(p[0]), static_cast<double>(p[1]),
                  static_cast<double>(p[2]));
    return text;
}

control::figure_record* open_figure()
{
    display_state& s = state();
    return s.open_figure < 0 ? nullptr : &s.figures[static_cast<std::size_t>(s.open_figure)];
}

void close_open_figure()
{
    if (control::figure_record* f = open_figure()) f->open = false;
    state().open_figure = -1;
}

// Marks every earlier figure with this id deleted (a figure id names one figure on the screen).
bool delete_figures(int id)
{
    bool found = false;
    for (control::figure_record& f : state().figures) {
        if (f.id != id || f.deleted) continue;
        f.deleted = true;
        found = true;
    }
    return found;
}

void start_figure(int id, int colour)
{
    close_open_figure();
    delete_figures(id);
    control::figure_record f;
    f.id = id;
    f.colour = colour;
    f.open = true;
    state().figures.push_back(std::move(f));
    state().open_figure = static_cast<int>(state().figures.size()) - 1;
}

// A pen move: checks the point, opens the implicit figure when none is open, and records it.
void pen_move(const char* call, const float* point, bool draw)
{
    trace_count(call);
    if (!point || !std::isfinite(point[0]) || !std::isfinite(point[1]) || !std::isfinite(point[2])) {
        log_line(std::string(call) + " refused: " + (point ? "coordinate not finite" : "no point"));
        record_host_error(std::string(call) + ": point refused");
        return;
    }
    if (!open_figure()) {
        start_figure(kImplicitFigure, 0);
        log_line("figopa 0 colour 0 (implicit: " + std::string(call) + " with no figure open)");
    }
    log_line(std::string(call) + " " + point_text(point));
    // A figure the module opened is a drawing of its own (an arrow, a mark): its pen moves leave
    // the tool path's pen where it stood.
    if (open_figure()->id == kImplicitFigure) pen_moved(point);
    display_state& s = state();
    if (s.stroke_points >= kMaxStrokePoints) {
        ++s.dropped_points;
        return;
    }
    ++s.stroke_points;
    control::figure_record& f = *open_figure();
    const std::array<double, 3> p = {point[0], point[1], point[2]};
    if (!draw || f.strokes.empty())
        f.strokes.push_back({p});
    else
        f.strokes.back().push_back(p);
}

}  // namespace

}  // namespace vantu

using namespace vantu;

void gfgtmp(int& figure)
{
    figure = state().next_temporary--;
    log_line("gfgtmp " + std::to_string(figure));
    trace_call("gfgtmp", "", figure);
}

void figopa(int figure, int colour, int& status)
{
    status = 0;
    if (auto fault = fault_hit("figopa")) {
        status = *fault;
    } else if (figure == kImplicitFigure || colour < 0 || colour > kLastColour) {
        status = -1;
        record_host_error("figopa: figure " + std::to_string(figure) + " colour " + std::to_string(colour) +
                          " refused");
    } else {
        if (const control::figure_record* f = open_figure())
            log_line("figcls " + std::to_string(f->id) + " (implicit: figopa while it was open)");
        start_figure(figure, colour);
    }
    log_line("figopa " + std::to_string(figure) + " colour " + std::to_string(colour) +
             (status == 0 ? "" : " refused, status " + std::to_string(status)));
    trace_call("figopa", std::to_string(figure) + " " + std::to_string(colour), status);
}

void moveto(const float* point) { pen_move("moveto", point, false); }
void drawto(const float* point) { pen_move("drawto", point, true); }

void dparca(const float* centre, float radius, float start_angle, float sweep)
{
    vantu::trace_call("dparca", std::to_string(radius), 0);
    if (!centre || !(radius > 0.0f) || !std::isfinite(start_angle) || !std::isfinite(sweep)) return;
    const int steps = std::clamp(static_cast<int>(std::ceil(std::fabs(sweep) / kArcDrawStep)), 1, kMostArcDrawSteps);
    for (int i = 0; i <= steps; ++i) {
        const float t = start_angle + sweep * static_cast<float>(i) / static_cast<float>(steps);
        const float p[3] = {centre[0] + radius * std::cos(t), centre[1] + radius * std::sin(t), centre[2]};
        pen_move(i == 0 ? "moveto" : "drawto", p, i > 0);
    }
}

static void arc_steps(const char* call, float angle, float& step, int& steps)
{
    steps = 1;
    if (std::fabs(step) > kSmallestStep && std::fabs(step) < std::fabs(angle))
        steps = std::min(static_cast<int>(std::ceil(std::fabs(angle / step) - kWholeSlack)), kMostArcSteps);
    step = angle / static_cast<float>(steps);
    vantu::trace_count(call);
}

void setdel(float angle, float& step, int& steps) { arc_steps("setdel", angle, step, steps); }
void setdel_nc(float angle, float& step, int& steps) { arc_steps("setdel_nc", angle, step, steps); }

void figcls(int figure)
{
    const control::figure_record* f = open_figure();
    std::string line = "figcls " + std::to_string(figure);
    if (!f)
        line += ": no figure open";
    else if (figure != kWhicheverIsOpen && figure != f->id)
        line += ": figure " + std::to_string(f->id) + " was open";
    log_line(line);
    close_open_figure();
    trace_call("figcls", std::to_string(figure), 0);
}

void figdel(int figure, int& status)
{
    const control::figure_record* f = open_figure();
    if (f && f->id == figure) close_open_figure();
    status = delete_figures(figure) ? 0 : -1;
    log_line("figdel " + std::to_string(figure) + (status == 0 ? "" : ": no such figure"));
    trace_call("figdel", std::to_string(figure), status);
}

void figaro_par_get(int (&parameters)[6])
{
    static constexpr int kArrowParameters[6] = {100, 30, 20, 0, 2, 0};
    std::copy(std::begin(kArrowParameters), std::end(kArrowParameters), parameters);
    trace_call("figaro_par_get", "", 0);
}

void figarop(const int (&parameters)[6], const double* point, const double* direction, int& figure, int& status)
{
    constexpr double kTenth = 0.1;
    const double length = parameters[0] * kTenth, head = parameters[1] * kTenth, width = parameters[2] * kTenth;
    const double norm = direction ? std::hypot(direction[0], direction[1], direction[2]) : 0.0;
    status = -1;
    if (point && norm > 0.0 && length > 0.0 && head > 0.0 && width > 0.0) {
        const double u[2] = {direction[0] / norm, direction[1] / norm};
        const double tip[2] = {point[0] + length * u[0], point[1] + length * u[1]};
        const double base[2] = {tip[0] - head * u[0], tip[1] - head * u[1]};
        const float z = static_cast<float>(point[2]);
        auto at = [z](double x, double y) {
            return std::array<float, 3>{static_cast<float>(x), static_cast<float>(y), z};
        };
        gfgtmp(figure);
        const int colour = parameters[4] >= 0 && parameters[4] <= kLastColour ? parameters[4] : 0;
        figopa(figure, colour, status);
        if (status == 0) {
            moveto(at(point[0], point[1]).data());
            drawto(at(tip[0], tip[1]).data());
            drawto(at(base[0] - width / 2 * u[1], base[1] + width / 2 * u[0]).data());
            moveto(at(tip[0], tip[1]).data());
            drawto(at(base[0] + width / 2 * u[1], base[1] - width / 2 * u[0]).data());
            figcls(figure);
        }
    }
    trace_call("figarop", std::to_string(parameters[0]), status);
}

void edisp(int id, int mode, int& status)
{
    status = 0;
    std::vector<int>& shown = state().displayed;
    const auto it = std::find(shown.begin(), shown.end(), id);
    if (!find_entity(id)) {
        status = kEntityMissing;
    } else if (mode == 1) {
        if (it == shown.end()) shown.push_back(id);
    } else if (mode == 0) {
        if (it != shown.end()) shown.erase(it);
    } else {
        status = -1;
    }
    log_line("edisp " + std::to_string(id) + " " + std::to_string(mode) +
             (status == 0 ? "" : " refused, status " + std::to_string(status)));
    trace_call("edisp", std::to_string(id) + " " + std::to_string(mode), status);
}

namespace vantu::control {

const std::vector<figure_record>& figures() { return state().figures; }

std::vector<int> displayed_entities()
{
    std::vector<int> ids;
    for (int id : state().displayed)
        if (find_entity(id)) ids.push_back(id);
    return ids;
}

void write_display_text(std::ostream& out)
{
    for (const std::string& line : state().transcript) out << line << '\n';
    if (state().dropped_lines > 0) out << '(' << state().dropped_lines << " further lines not kept)\n";
    if (!ncd_blocks().empty()) {
        out << "display file:\n";
        write_ncd_file_text(out);
    }
    if (const auto at = tool_instance_position())
        out << "tool instance " << tool_instance() << " at " << point_text(at->data()) << '\n';
    out << status_line_text();
}

std::string display_text()
{
    std::ostringstream out;
    write_display_text(out);
    return std::move(out).str();
}

}  // namespace vantu::control

namespace vantu {

static void reset_display() { state() = display_state{}; }

static void report_display(std::vector<std::string>& lines)
{
    if (const control::figure_record* f = open_figure())
        lines.push_back("figure " + std::to_string(f->id) + " is still open");
    if (state().dropped_points > 0)
        lines.push_back("display: " + std::to_string(state().dropped_points) + " pen moves beyond " +
                        std::to_string(kMaxStrokePoints) + " points not kept");
}

static const bool display_registered = register_component({"display", reset_display, nullptr, nullptr, report_display});

}  // namespace vantu
