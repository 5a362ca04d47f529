// Tool-path display services of the host (host/vantu_tpdisplay.hpp): units and decimals, the
// display switches, the work view, views and levels, the axis symbol and the NC table. Views and
// level names come from the tests and the runner; the rest is display state of the session.
#include "host/vantu_tpdisplay.hpp"

#include "host/control/tp_display_host.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <map>

namespace {

// The host's display tolerance of curves, in model units.
constexpr float kDisplayTolerance = 0.01f;
constexpr int kViewNameChars = 8, kLevelNameChars = 6;

constexpr int kMacsysView = 3;  // the kind of a view that is a MACSYS

struct view_record {
    std::array<float, 9> matrix{};
    std::string name;
};

struct display_host_state {
    std::map<int, view_record> views;
    std::map<int, int> view_kinds;  // views of another kind than a MACSYS
    std::map<int, int> ucs_views;
    std::map<int, std::string> levels;
    vantu::control::work_view_record prepared, current;
    std::vector<vantu::control::axis_symbol> axes;
    int axis_on = 1;
    int transformations_shown = 1;
    bool table_initialised = false;
    int table_id = 0, table_read = 0;
};

display_host_state& state()
{
    static auto* s = new display_host_state;
    return *s;
}

void reset_state() { state() = display_host_state{}; }

const bool tp_display_host_registered =
    vantu::register_component({"tp_display_host", reset_state, nullptr, nullptr, nullptr});

std::string padded(const std::string& text, int width)
{
    std::string out = text.substr(0, static_cast<std::size_t>(width));
    out.resize(static_cast<std::size_t>(width), ' ');
    return out;
}

}  // namespace

void set_fdflg_on()
{
    vantu::flag_set("no_fast_display", 1);
    vantu::trace_call("set_fdflg_on", "", 0);
}

void set_fdflg_off()
{
    vantu::flag_set("no_fast_display", 0);
    vantu::trace_call("set_fdflg_off", "", 0);
}

void calculate_partbox(int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("calculate_partbox")) status = *fault;
    vantu::trace_call("calculate_partbox", "", status);
}

void update_min_max_pz() { vantu::trace_call("update_min_max_pz", "", 0); }

// Millimetres of a length unit code (1 MM, 2 CM, 3 INCH, 4 FEET, 5 M); 1 for any other code.
float unit_millimetres(int code)
{
    static const float factors[] = {1.0f, 1.0f, 10.0f, 25.4f, 304.8f, 1000.0f};
    return code >= 1 && code <= 5 ? factors[code] : 1.0f;
}

void gtmesu(float& factor)
{
    factor = unit_millimetres(vantu::flag_get("unit_code"));
    vantu::trace_count("gtmesu");
}

int nu_sgcd_find_unit()
{
    vantu::trace_count("nu_sgcd_find_unit");
    const int code = vantu::flag_get("display_unit");
    return code >= 1 && code <= 5 ? code : 0;
}

void getunt(int& unit, float& factor)
{
    const int display = nu_sgcd_find_unit();
    const int code = display != 0 ? display : vantu::flag_get("unit_code");
    unit = code >= 1 && code <= 5 ? code : 1;
    factor = unit_millimetres(unit);
    vantu::trace_count("getunt");
}

void gtdgts(int& general, int& lengths, int& axis)
{
    general = vantu::flag_get("decimals");
    lengths = vantu::flag_get("length_decimals");
    axis = vantu::flag_get("axis_decimals");
    vantu::trace_count("gtdgts");
}

int get_fdflg()
{
    vantu::trace_count("get_fdflg");
    return vantu::flag_get("no_fast_display") != 0 ? 1 : 0;
}

void srfdds(float& tolerance) { tolerance = kDisplayTolerance; }

void rdrint_int() { vantu::trace_count("rdrint_int"); }

void gtdas(int& bytes, int& status)
{
    bytes = vantu::flag_get("free_space");
    status = bytes > 0 ? 0 : -1;
    if (status != 0) bytes = 0;
    vantu::trace_call("gtdas", "", status);
}

void wvputc(std::string_view key, word value, int& status)
{
    status = 0;
    if (key == "WVPTR")
        state().prepared.view = value;
    else if (key == "DEPTH")
        state().prepared.depth = word_to_real(value);
    else
        status = -1;
    vantu::trace_call("wvputc", key, status);
}

void wvsave()
{
    ++state().prepared.saves;
    vantu::trace_call("wvsave", "", 0);
}

void setwv()
{
    display_host_state& s = state();
    const int sets = s.current.sets + 1;
    s.current = s.prepared;
    s.current.sets = sets;
    vantu::trace_call("setwv", std::to_string(s.current.view), 0);
}

void trget(int view, float* matrix, int& status)
{
    auto it = state().views.find(view);
    status = it != state().views.end() && matrix ? 0 : -1;
    if (status == 0) std::copy(it->second.matrix.begin(), it->second.matrix.end(), matrix);
    vantu::trace_call("trget", std::to_string(view), status);
}

void trchk(int ucs, int& view, int& status)
{
    auto it = state().ucs_views.find(ucs);
    status = it != state().ucs_views.end() ? 0 : -3;
    if (status == 0) {
        view = it->second;
    } else if (vantu::frame_of_entity(ucs)) {
        view = ucs;
        status = 0;
    }
    vantu::trace_call("trchk", std::to_string(ucs), status);
}

void trfque(int& on) { on = state().transformations_shown; }

void trfoff()
{
    state().transformations_shown = 0;
    vantu::trace_call("trfoff", "", 0);
}

void trfon()
{
    state().transformations_shown = 1;
    vantu::trace_call("trfon", "", 0);
}

void gvtdat(int view, std::string& name)
{
    auto it = state().views.find(view);
    name = padded(it == state().views.end() ? "" : it->second.name, kViewNameChars);
}

void gvtknd(int view, int& kind)
{
    auto it = state().view_kinds.find(view);
    kind = it == state().view_kinds.end() ? kMacsysView : it->second;
    vantu::trace_call("gvtknd", std::to_string(view), kind);
}

void gsname(int level, std::string& name)
{
    auto it = state().levels.find(level);
    name = padded(it == state().levels.end() ? "" : it->second, kLevelNameChars);
}

void setuap(int mode, int view, float level)
{
    vantu::trace_call("setuap", std::to_string(mode) + "," + std::to_string(view) + "," + std::to_string(level), 0);
}

void dspax(int on)
{
    state().axis_on = on;
    vantu::trace_call("dspax", std::to_string(on), 0);
}

void updax(const float* origin, const float* direction, float size)
{
    if (!origin || !direction) return;
    state().axes.push_back({{origin[0], origin[1], origin[2]}, {direction[0], direction[1], direction[2]}, size});
    vantu::trace_call("updax", std::to_string(size), 0);
}

int ncs_table_initialized() { return state().table_initialised ? 1 : 0; }

void ncs_table_init()
{
    state().table_initialised = true;
    vantu::trace_call("ncs_table_init", "", 0);
}

void ncs_table_set_table_id(int id) { state().table_id = id; }

void ncs_table_read_table(int& status)
{
    status = state().table_id != 0 ? 0 : -1;
    if (status == 0) state().table_read = state().table_id;
    vantu::trace_call("ncs_table_read_table", std::to_string(state().table_id), status);
}

namespace vantu::control {

void set_view(int view, const std::array<float, 9>& matrix, const std::string& name)
{
    state().views[view] = {matrix, name};
}
void set_view_kind(int view, int kind) { state().view_kinds[view] = kind; }
void set_ucs_view(int ucs, int view) { state().ucs_views[ucs] = view; }
void set_level_name(int level, const std::string& name) { state().levels[level] = name; }
work_view_record work_view() { return state().current; }
const std::vector<axis_symbol>& axis_symbols() { return state().axes; }
int axis_display() { return state().axis_on; }
int nc_table_read() { return state().table_read; }

}  // namespace vantu::control
