// The procedure manager's run services (host/vantu_proc_run.hpp): the open tool path, the
// procedure's label, number, colour and pen, its geometry, the criteria masks and the template
// operations that call the module's callbacks. Answers come from the flag registry and from the
// state below; every call is traced.
#include "host/vantu_proc_run.hpp"

#include "host/control/proc_run.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/flags.hpp"
#include "host/core/message_log.hpp"
#include "host/core/output_layer.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_procrec.hpp"
#include "host/vantu_template.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr int kGet = 1, kSet = 2;
constexpr int kReadProc = 1, kSetProc = 3, kRestoreProc = 4;
constexpr int kLabelChars = 19;
constexpr int kNormalReadMode = 1000;
constexpr int kTemplateRead = 10, kTemplateWrite = 11;

struct proc_run_host {
    std::string label;
    int current_number = 0;
    int parm_number = 0;
    int read_mode = kNormalReadMode;
    std::pair<int, int> edited_colour_pen{1, 1};
    std::pair<int, int> colour_pen{0, 0};
    std::pair<int, int> kept_colour_pen{0, 0};
    bool masks_created = false;
    std::string crit_file_name;
    int crit_file = 0;
};

proc_run_host& state()
{
    static auto* s = new proc_run_host;
    return *s;
}

void reset_state() { state() = proc_run_host{}; }

const bool proc_run_calls_registered = vantu::register_component({"proc_run", reset_state, nullptr, nullptr, nullptr});

void traced(const char* call, const std::string& arguments = "", int result = 0)
{
    vantu::trace_call(call, arguments, result);
}

int flag_call(const char* call, const char* flag)
{
    const int value = vantu::flag_get(flag);
    traced(call, "", value);
    return value;
}

// A mask word of a geometry type; a type outside 0..4 reads 0 and takes nothing.
// A template operation: refused without an open template file, else the callback's status.
template <typename Call> void template_operation(const char* name, int nc_function, int& status, Call call)
{
    int file = 0;
    get_template_file_ptr(file);
    if (const auto fault = vantu::fault_hit(name))
        status = *fault;
    else if (file == 0)
        status = -1;
    else
        call();
    traced(name, std::to_string(nc_function), status);
}

}  // namespace

// ---- the run ----------------------------------------------------------------------------------

int lopnls() { return flag_call("lopnls", "tp_open"); }
int is_create_from_TPtemplate() { return flag_call("is_create_from_TPtemplate", "create_from_tp_template"); }

void nu_set_pname(std::string_view label)
{
    state().label = std::string(label.substr(0, kLabelChars));
    traced("nu_set_pname", state().label);
}

void set_curr_proc_number(int number)
{
    state().current_number = number;
    traced("set_curr_proc_number", std::to_string(number));
}

int get_curr_proc_number()
{
    traced("get_curr_proc_number", "", state().current_number);
    return state().current_number;
}

void set_MainProcBlkToMain() { traced("set_MainProcBlkToMain"); }
void set_GlobalParameters_ToMain() { traced("set_GlobalParameters_ToMain"); }

void nu_parm_set_proc_num(int number)
{
    state().parm_number = number;
    traced("nu_parm_set_proc_num", std::to_string(number));
}

void nu_sgcd_set_code(int nc_function) { traced("nu_sgcd_set_code", std::to_string(nc_function)); }
void set_type_mach_param(int mach_param_type) { traced("set_type_mach_param", std::to_string(mach_param_type)); }
void nu_mod_set_flag(int flag) { traced("nu_mod_set_flag", std::to_string(flag)); }
void ncd_init_curr_attrs() { traced("ncd_init_curr_attrs"); }
void prwait() { traced("prwait"); }

// The texts cut to their lengths and trailing blanks, joined by one blank.
static std::string mode_line(std::initializer_list<std::pair<std::string_view, int>> pieces)
{
    std::string line;
    for (const auto& [text, length] : pieces) {
        const std::string_view cut =
            text.substr(0, std::min(text.size(), static_cast<std::size_t>(std::max(length, 0))));
        const std::size_t end = cut.find_last_not_of(' ');
        if (end == std::string_view::npos) continue;
        line += (line.empty() ? "" : " ") + std::string(cut.substr(0, end + 1));
    }
    return line;
}

void usrer5(std::string_view text1, std::string_view text2, std::string_view text3, int length1, int length2,
            int length3)
{
    const std::string line = mode_line({{text1, length1}, {text2, length2}, {text3, length3}});
    vantu::record_message("usrer5", line, line);
    traced("usrer5", line);
}

void usrer4(std::string_view text1, std::string_view text2, int length1, int length2)
{
    const std::string line = mode_line({{text1, length1}, {text2, length2}});
    vantu::record_message("usrer4", line, line);
    traced("usrer4", line);
}

// ---- colour and pen -------------------------------------------------------------------------------

void gs_proc_color_pen(int mode, int& colour, int& pen)
{
    proc_run_host& s = state();
    if (mode == kReadProc) {
        colour = s.edited_colour_pen.first;
        pen = s.edited_colour_pen.second;
    } else if (mode == kSetProc) {
        s.kept_colour_pen = s.colour_pen;
        s.colour_pen = {colour, pen};
    } else if (mode == kRestoreProc) {
        s.colour_pen = s.kept_colour_pen;
    }
    traced("gs_proc_color_pen", std::to_string(mode) + "," + std::to_string(colour) + "," + std::to_string(pen));
}

// ---- geometry ---------------------------------------------------------------------------------------

int if_geom_by_crit() { return flag_call("if_geom_by_crit", "geom_by_crit"); }

void get_geom_buf(int proc_id, std::vector<int>& ids, int& status)
{
    nc_proc_record record;
    int id = proc_id;
    if (const auto fault = vantu::fault_hit("get_geom_buf"))
        status = *fault;
    else
        dbd_proc(1, id, record, status);
    if (status == 0) ids = record.geometry_ids;
    traced("get_geom_buf", std::to_string(proc_id), status);
}

void nc_surf_gs_part2(int mode, int value)
{
    traced("nc_surf_gs_part2", std::to_string(mode) + "," + std::to_string(value));
}
void nc_surf_dela(int which) { traced("nc_surf_dela", std::to_string(which)); }
void init_badsrf() { traced("init_badsrf"); }
void update_tp_flags() { traced("update_tp_flags"); }

void ncd_delete_block_or_proc(int block_number, int& status)
{
    const auto fault = vantu::fault_hit("ncd_delete_block_or_proc");
    status = fault ? *fault : 0;
    traced("ncd_delete_block_or_proc", std::to_string(block_number), status);
}

// ---- criteria masks -----------------------------------------------------------------------------

void tp_crit_list_gs(int mode, int& value)
{
    if (mode == kGet)
        value = vantu::flag_get("crit_list");
    else if (mode == kSet)
        vantu::flag_set("crit_list", value);
    traced("tp_crit_list_gs", std::to_string(mode), value);
}

void nc_geomsk_lst_init_all()
{
    state().masks_created = true;
    traced("nc_geomsk_lst_init_all");
}

void nc_geomsk_lst_destroy_all()
{
    state().masks_created = false;
    traced("nc_geomsk_lst_destroy_all");
}

// ---- templates ------------------------------------------------------------------------------------

void set_Template_ReadMode(int mode)
{
    state().read_mode = mode;
    traced("set_Template_ReadMode", std::to_string(mode));
}

int get_Template_ReadMode()
{
    traced("get_Template_ReadMode", "", state().read_mode);
    return state().read_mode;
}

int get_Template_ReadProcColor() { return flag_call("get_Template_ReadProcColor", "template_colour"); }
int get_Template_ReadProcPen() { return flag_call("get_Template_ReadProcPen", "template_pen"); }

static void read_through(int nc_function, template_read_fn read, int& status)
{
    int where = kTemplateRead, type = nc_function, version = 0, before_515 = 0, length = 0;
    status = 0;
    read(where, type, version, before_515, length, status);
}

static void write_through(int nc_function, template_put_fn put_parameters, template_put_fn put_geometry, int& status)
{
    int type = nc_function, where = kTemplateWrite, counter = 0;
    status = 0;
    put_parameters(type, where, counter, status);
    if (status != 0) return;
    counter = 0;
    put_geometry(type, where, counter, status);
}

void template_MultiMngTpRead_PROCdata(int nc_function, template_read_fn read, int& status)
{
    template_operation("template_MultiMngTpRead_PROCdata", nc_function, status,
                       [&] { read_through(nc_function, read, status); });
}

void template_MultiTPRead_PROCdata(int nc_function, template_read_fn read, int& status)
{
    template_operation("template_MultiTPRead_PROCdata", nc_function, status,
                       [&] { read_through(nc_function, read, status); });
}

void template_MultiMngTpWrite_PROCdata(int nc_function, template_put_fn put_parameters, template_put_fn put_geometry,
                                       int& status)
{
    template_operation("template_MultiMngTpWrite_PROCdata", nc_function, status,
                       [&] { write_through(nc_function, put_parameters, put_geometry, status); });
}

void template_MultiTPWrite_PROCdata(int nc_function, template_put_fn put_parameters, template_put_fn put_geometry,
                                    int& status)
{
    template_operation("template_MultiTPWrite_PROCdata", nc_function, status,
                       [&] { write_through(nc_function, put_parameters, put_geometry, status); });
}

// The template operations of a parameter dialog's TEMPLATE lines: the same reads and writes on the
// open template file, between the switches of the host's path to the template folder.
void template_read_PROCparam(int nc_function, template_read_fn read, int& status)
{
    template_operation("template_read_PROCparam", nc_function, status,
                       [&] { read_through(nc_function, read, status); });
}

void template_write_PROCparam(int nc_function, template_put_fn put_parameters, template_put_fn put_geometry,
                              int& status)
{
    template_operation("template_write_PROCparam", nc_function, status,
                       [&] { write_through(nc_function, put_parameters, put_geometry, status); });
}

void pct_ncpath_set_tpldir() { traced("pct_ncpath_set_tpldir"); }
void pct_ncpath_ret_curdir() { traced("pct_ncpath_ret_curdir"); }
void tmpl_init_loadParam() { traced("tmpl_init_loadParam"); }
void load_from_tmpl_mode_set(int mode) { traced("load_from_tmpl_mode_set", std::to_string(mode)); }
void set_display_proc_number(int number) { traced("set_display_proc_number", std::to_string(number)); }

// ---- criteria lists of a tool path ----------------------------------------------------------------

void tp_file_name_gs(int mode, std::string& name)
{
    if (mode == kGet)
        name = state().crit_file_name;
    else
        state().crit_file_name = name;
    traced("tp_file_name_gs", std::to_string(mode) + "," + name);
}

void tp_file_ptr_set(int handle)
{
    state().crit_file = handle;
    traced("tp_file_ptr_set", std::to_string(handle));
}

void segrun(int nc_function, int& status)
{
    status = 0;
    if (const auto fault = vantu::fault_hit("segrun")) status = *fault;
    // The stand-in runs nothing; a procedure listing its parameters gets one line naming it.
    else
        vantu::output_layer_write("     PARAMETERS OF NC FUNCTION " + std::to_string(nc_function));
    traced("segrun", std::to_string(nc_function), status);
}

int drlsnm() { return flag_call("drlsnm", "drill_points"); }

// ---- control ------------------------------------------------------------------------------------

namespace vantu::control {
std::string proc_label() { return state().label; }
int proc_parm_number() { return state().parm_number; }
int criteria_file_handle() { return state().crit_file; }
void set_edited_proc_colour_pen(int colour, int pen) { state().edited_colour_pen = {colour, pen}; }
std::pair<int, int> proc_colour_pen() { return state().colour_pen; }
bool masks_created() { return state().masks_created; }
}  // namespace vantu::control
