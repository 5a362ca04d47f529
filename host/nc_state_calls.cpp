// The host calls behind the NC state blocks (host/vantu_ncstate.hpp): the view and the work
// plane, the NC function-name table, the tool instance, the display switches, the model frame,
// the bad-surface list, the message-window lines and the 8-character entity names.
#include "host/vantu_ncstate.hpp"

#include "host/control.hpp"
#include "host/control/nc_state.hpp"
#include "host/control/tp_display_host.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/json_read.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>

namespace {

constexpr int kFunctionNames = 100;
constexpr int kLastView = 47;
constexpr int kName8 = 8;
constexpr int kNoInstance = -1, kQueryInstance = -1, kReleaseInstance = -2;
constexpr int kRead = 1, kWrite = 2;

struct nc_state_host {
    int view = 0;
    std::map<int, std::string> function_names;  // by code 1..100
    std::set<int> user_functions;               // codes the user defined
    int max_columns = vantu::control::kDefaultMaxColumns;
    std::array<float, 3> model_origin{};
    int instance = kNoInstance;
    int work_plane = 0;
    std::array<int, 2> work_plane_words{};  // gswpld: 0, 0 makes entities in world coordinates
    float depth = 0.0f;
    std::map<int, int> symbols;
};

nc_state_host& state()
{
    static auto* s = new nc_state_host;
    return *s;
}

std::string padded(std::string_view text, std::size_t width)
{
    std::string out(text.substr(0, std::min(width, text.find('\0'))));
    out.resize(width, ' ');
    return out;
}

void reset_state() { state() = nc_state_host{}; }

void save_state(nlohmann::json& section)
{
    const nc_state_host& s = state();
    section["view"] = s.view;
    for (const auto& [code, name] : s.function_names) section["function_names"][std::to_string(code)] = name;
    if (!s.user_functions.empty()) section["user_functions"] = s.user_functions;
    section["model_origin"] = s.model_origin;
}

void load_state(const nlohmann::json& section)
{
    try {
        nc_state_host& s = state();
        if (section.contains("view")) s.view = vantu::json_int(section["view"], "nc_state: view");
        if (section.contains("function_names"))
            for (const auto& [code, name] : section["function_names"].items()) {
                const int c = std::stoi(code);
                if (c < 1 || c > kFunctionNames)
                    throw vantu::control::part_error("nc_state: function code " + code + " is not 1 to 100");
                s.function_names[c] = padded(name.get<std::string>(), kName8);
            }
        if (section.contains("user_functions"))
            for (const int code : section["user_functions"].get<std::vector<int>>()) {
                if (code < 1 || code > kFunctionNames)
                    throw vantu::control::part_error("nc_state: user function " + std::to_string(code) +
                                                     " is not 1 to 100");
                s.user_functions.insert(code);
            }
        if (section.contains("model_origin"))
            s.model_origin = vantu::json_floats<3>(section["model_origin"], "nc_state: model_origin");
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("nc_state: ") + e.what());
    } catch (const std::logic_error& e) {
        throw vantu::control::part_error(std::string("nc_state: bad number: ") + e.what());
    }
}

const bool nc_state_calls_registered =
    vantu::register_component({"nc_state", reset_state, save_state, load_state, nullptr});

}  // namespace

void gtncfn(int width, int count, char* names, int& status)
{
    if (width < 1 || count < 0 || (count > 0 && !names)) {
        status = -1;
        vantu::trace_call("gtncfn", std::to_string(width) + "," + std::to_string(count), status);
        return;
    }
    for (int k = 0; k < count; ++k) {
        auto it = state().function_names.find(k + 1);
        const std::string entry =
            padded(it == state().function_names.end() ? "" : it->second, static_cast<std::size_t>(width));
        std::copy(entry.begin(), entry.end(), names + static_cast<std::ptrdiff_t>(k) * width);
    }
    status = 0;
    vantu::trace_call("gtncfn", std::to_string(width) + "," + std::to_string(count), status);
}

int gnccod(int code)
{
    const int user = state().user_functions.count(code) != 0 ? 1 : 0;
    vantu::trace_call("gnccod", std::to_string(code), user);
    return user;
}

void gsvnum(int mode, int& view)
{
    if (mode == kRead)
        view = state().view;
    else if (mode == kWrite)
        state().view = view;
    vantu::trace_call("gsvnum", std::to_string(mode), view);
}

void tbinit() { vantu::trace_call("tbinit", "", 0); }

int tm_inst_id(int request)
{
    nc_state_host& s = state();
    if (request == kReleaseInstance)
        s.instance = kNoInstance;
    else if (request != kQueryInstance && request >= 0)
        s.instance = request;
    vantu::trace_call("tm_inst_id", std::to_string(request), s.instance);
    return s.instance;
}

void setwap(int view, int& status)
{
    status = view >= 1 && view <= kLastView ? 0 : -1;
    if (status == 0) state().work_plane = view;
    vantu::trace_call("setwap", std::to_string(view), status);
}

void setdsp(float depth)
{
    state().depth = depth;
    vantu::trace_call("setdsp", std::to_string(depth), 0);
}

void edsym(int item, int on)
{
    state().symbols[item] = on;
    vantu::trace_call("edsym", std::to_string(item) + "," + std::to_string(on), 0);
}

void gswpld(int mode, int (&words)[2])
{
    if (mode == kRead) {
        words[0] = state().work_plane_words[0];
        words[1] = state().work_plane_words[1];
    } else if (mode == kWrite) {
        state().work_plane_words = {words[0], words[1]};
    }
    vantu::trace_call("gswpld", std::to_string(mode) + "," + std::to_string(words[0]) + "," + std::to_string(words[1]),
                      0);
}

namespace vantu {

std::optional<work_plane> contour_work_plane()
{
    const std::array<int, 2>& words = state().work_plane_words;
    if (words[1] != kWorkPlaneOfUcs) return std::nullopt;
    const auto frame = frame_of_entity(words[0]);
    if (!frame) return std::nullopt;
    return work_plane{words[0], *frame};
}

}  // namespace vantu

namespace {

// The working view's coordinate system when its view pointer names one (a UCS made by xsys4
// or zsys3, taken through trchk, wvputc and setwv): world coordinates are then coordinates in it.
std::optional<vantu::frame3> work_view_frame() { return vantu::frame_of_entity(vantu::control::work_view().view); }

// Model to world: coordinates in the working view's system (whose origin and axes are model
// coordinates, as every entity's), or the model frame's origin added when the view has none.
template <typename real> void model_to_world(const real* model, real* world)
{
    const std::array<double, 3> m{model[0], model[1], model[2]};
    const auto frame = work_view_frame();
    for (std::size_t i = 0; i < 3; ++i) {
        double value = m[i] + state().model_origin[i];
        if (frame) {
            const vantu::point3& axis = i == 0 ? frame->x : i == 1 ? frame->y : frame->z;
            value = 0.0;
            for (std::size_t k = 0; k < 3; ++k) value += (m[k] - frame->origin[k]) * axis[k];
        }
        world[i] = static_cast<real>(value);
    }
}

// World to model: the inverse of model_to_world.
template <typename real> void world_to_model(const real* world, real* model)
{
    const std::array<double, 3> w{world[0], world[1], world[2]};
    const auto frame = work_view_frame();
    for (std::size_t i = 0; i < 3; ++i) {
        model[i] =
            static_cast<real>(frame ? frame->origin[i] + w[0] * frame->x[i] + w[1] * frame->y[i] + w[2] * frame->z[i]
                                    : w[i] - state().model_origin[i]);
    }
}

}  // namespace

void mapw2m(const float* world, float* model)
{
    vantu::trace_count("mapw2m");
    if (world && model) world_to_model(world, model);
}

void mapm2w(const float* model, float* world)
{
    vantu::trace_count("mapm2w");
    if (world && model) model_to_world(model, world);
}

void madw2m(const double* world, double* model)
{
    vantu::trace_count("madw2m");
    if (world && model) world_to_model(world, model);
}

void madm2w(const double* model, double* world)
{
    vantu::trace_count("madm2w");
    if (world && model) model_to_world(model, world);
}

void end_badsrf() { vantu::trace_call("end_badsrf", "", 0); }

int geval(float a, float b)
{
    vantu::trace_count("geval");
    return a >= b - vantu::kRealTolerance ? 1 : 0;
}

int maxcol() { return state().max_columns; }

void sheerx(std::string_view text)
{
    vantu::record_message("sheerx", text, text);
    vantu::trace_call("sheerx", text, 0);
}

void usrmes(std::string_view text)
{
    vantu::record_message("usrmes", text, text);
    vantu::trace_call("usrmes", text, 0);
}

void usrme5(std::string_view text)
{
    vantu::record_message("usrme5", text, text);
    vantu::trace_call("usrme5", text, 0);
}

// ---- control ----------------------------------------------------------------------------------

namespace vantu::control {
std::array<int, 2> work_plane_words() { return state().work_plane_words; }
void set_work_plane_words(const std::array<int, 2>& words) { state().work_plane_words = words; }
}  // namespace vantu::control

namespace vantu::control {

void set_view_number(int view) { state().view = view; }
void set_nc_function_name(int code, std::string_view name)
{
    if (code >= 1 && code <= kFunctionNames) state().function_names[code] = padded(name, kName8);
}
void set_user_nc_function(int code, bool user_defined)
{
    if (code < 1 || code > kFunctionNames) return;
    if (user_defined)
        state().user_functions.insert(code);
    else
        state().user_functions.erase(code);
}
void set_max_columns(int columns) { state().max_columns = columns; }
void set_model_origin(const std::array<float, 3>& origin) { state().model_origin = origin; }
int tool_instance() { return state().instance; }
int work_plane_view() { return state().work_plane; }
float display_depth() { return state().depth; }
int symbol_switch(int item)
{
    auto it = state().symbols.find(item);
    return it == state().symbols.end() ? -1 : it->second;
}

}  // namespace vantu::control
