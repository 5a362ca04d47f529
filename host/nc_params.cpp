// The host's NC services behind the tool-path word layer: the procedure parameter line, the tool
// path's version, old-real conversion into expressions, procedure parameters, stored read
// transformations, the machine-table extension and the procedure manager's open procedure. The
// version, the transformations and the extension are part of the tool path and persist in the
// part file's "nc_params" section; the open procedure lasts for the session.
#include "host/vantu_nc.hpp"

#include "host/vantu_entity.hpp"

#include "host/control.hpp"
#include "host/control/nc.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/json_read.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cmath>
#include <map>
#include <nlohmann/json.hpp>
#include <tuple>
#include <utility>

namespace {

constexpr int kIntegerType = 0, kRealType = 1;
constexpr int kExprValueType = 23;  // word of an expression holding its value's type

struct transformation {
    std::array<float, 9> matrix{};
    std::array<float, 3> translation{};
    std::string name;  // 4 characters, blanks when none
};

struct nc_state {
    std::vector<word> param_line;
    std::size_t line_at = 0;
    int version = vantu::control::kDefaultToolpathVersion;
    // Parameters by entity id (kParamOpenProcedure: the open procedure), class, type and code.
    std::map<std::tuple<int, int, int, int>, std::vector<word>> params;
    std::map<int, transformation> transformations;
    // The copies of the procedure being displayed: each is displayed once more through its
    // transformation; copy_at counts the copies handed out by cltran (0: the original).
    std::vector<transformation> copies;
    std::size_t copy_at = 0;
    std::vector<word> table_ext;          // empty: never stored
    bool proc_open = false;               // set_open_proc .. reset_open_proc
    std::pair<int, int> met_proc{0, -1};  // the last mrm_proc: procedure type, block number
};

nc_state& state()
{
    static nc_state* s = new nc_state;
    return *s;
}

word as_type(word stored, int type)
{
    // The parameter line holds integers; a real asked for is the integer's value.
    return type == kRealType ? real_to_word(static_cast<float>(stored)) : stored;
}

void reset_nc() { state() = nc_state{}; }

void save_nc(nlohmann::json& section)
{
    const nc_state& s = state();
    section["version"] = s.version;
    if (!s.table_ext.empty()) section["machine_table_ext"] = s.table_ext;
    for (const auto& [id, t] : s.transformations)
        section["transformations"].push_back(
            {{"id", id}, {"matrix", t.matrix}, {"translation", t.translation}, {"name", t.name}});
}

void load_nc(const nlohmann::json& section)
{
    try {
        nc_state& s = state();
        if (section.contains("version")) s.version = vantu::json_int(section["version"], "nc_params: version");
        if (section.contains("machine_table_ext")) {
            s.table_ext = section["machine_table_ext"].get<std::vector<word>>();
            if (s.table_ext.size() != static_cast<std::size_t>(kMachineTableExtWords))
                throw vantu::control::part_error("nc_params: machine_table_ext needs 10 words");
        }
        if (section.contains("transformations"))
            for (const auto& t : section["transformations"])
                s.transformations[vantu::json_int(t.at("id"), "nc_params: transformation id")] = {
                    vantu::json_floats<9>(t.at("matrix"), "nc_params: transformation matrix"),
                    vantu::json_floats<3>(t.at("translation"), "nc_params: transformation translation"),
                    t.value("name", std::string())};
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("nc_params: ") + e.what());
    }
}

const bool nc_params_registered = vantu::register_component({"nc_params", reset_nc, save_nc, load_nc, nullptr});

}  // namespace

void nu_parm_get_line(word* values, int n, int type, int& status)
{
    vantu::trace_count("nu_parm_get_line");
    nc_state& s = state();
    status = 0;
    if (auto fault = vantu::fault_hit("nu_parm_get_line")) {
        status = *fault;
        return;
    }
    if (n < 0 || (n > 0 && !values)) {
        status = -1;
        return;
    }
    if (static_cast<std::size_t>(n) > s.param_line.size() - s.line_at) {
        status = -2;
        return;
    }
    for (int i = 0; i < n; ++i) values[i] = as_type(s.param_line[s.line_at + i], type);
    s.line_at += static_cast<std::size_t>(n);
}

void tp_vnum_get(int& version)
{
    vantu::trace_count("tp_vnum_get");
    version = state().version;
}

void tp_vnum_set(int version)
{
    vantu::trace_call("tp_vnum_set", std::to_string(version), 0);
    state().version = version;
}

void rel_nc_init_expr(word* values, int n, int& status)
{
    vantu::trace_call("rel_nc_init_expr", std::to_string(n), 0);
    status = 0;
    if (n < 0 || (n > 0 && !values)) {
        status = -1;
        return;
    }
    // Expression k starts at word 24k, never below real k, so working from the last expression
    // back reads every real before its word is overwritten.
    for (int k = n / kExpressionWords - 1; k >= 0; --k) {
        word value = values[k];
        word* expression = values + k * kExpressionWords;
        std::fill(expression, expression + kExpressionWords, 0);
        expression[0] = value;
        expression[kExprValueType] = kRealType;
    }
}

void gs_param(int mode, int id, int param_class, int type, int code, word* values, int capacity, int& count,
              int& status)
{
    count = 0;
    status = 0;
    if (mode == kParamGetInteger) capacity = std::min(capacity, 1);
    if ((mode != kParamGetInteger && mode != kParamGetArray && mode != kParamSet) || capacity < 0 ||
        (capacity > 0 && !values) || (mode != kParamGetArray && capacity < 1)) {
        status = -1;
    } else if (mode == kParamSet) {
        state().params[{id, param_class, type, code}].assign(values, values + capacity);
        count = capacity;
    } else if (auto it = state().params.find({id, param_class, type, code}); it == state().params.end()) {
        status = 1;
    } else {
        count = static_cast<int>(it->second.size());
        std::copy_n(it->second.begin(), std::min(count, capacity), values);
    }
    vantu::trace_call("gs_param",
                      std::to_string(mode) + "," + std::to_string(id) + "," + std::to_string(param_class) + "," +
                          std::to_string(type) + "," + std::to_string(code),
                      status);
}

// The transformation of the copy being displayed: the identity for the original.
static transformation current_copy()
{
    const nc_state& s = state();
    if (s.copy_at == 0 || s.copy_at > s.copies.size()) return {{1, 0, 0, 0, 1, 0, 0, 0, 1}, {}, {}};
    return s.copies[s.copy_at - 1];
}

void cltrin(int id, float* matrix, float* translation, int& status)
{
    vantu::trace_call("cltrin", std::to_string(id), 0);
    status = 0;
    if (!matrix || !translation) {
        status = -1;
        return;
    }
    if (id == kCopyTransformation) {
        const transformation t = current_copy();
        std::copy(t.matrix.begin(), t.matrix.end(), matrix);
        std::copy(t.translation.begin(), t.translation.end(), translation);
        return;
    }
    auto it = state().transformations.find(id);
    if (it == state().transformations.end()) {
        status = -5;
        return;
    }
    std::copy(it->second.matrix.begin(), it->second.matrix.end(), matrix);
    std::copy(it->second.translation.begin(), it->second.translation.end(), translation);
}

void dbttna(int id, std::string& name)
{
    auto it = state().transformations.find(id);
    name = it == state().transformations.end() ? std::string() : it->second.name.substr(0, 4);
    name.resize(4, ' ');
    vantu::trace_count("dbttna");
}

void cltran(float* matrix, float* translation, int& status)
{
    nc_state& s = state();
    status = 1;
    if (s.copy_at < s.copies.size()) {
        ++s.copy_at;
        status = 0;
    } else {
        s.copy_at = 0;
    }
    const transformation t = current_copy();
    if (matrix) std::copy(t.matrix.begin(), t.matrix.end(), matrix);
    if (translation) std::copy(t.translation.begin(), t.translation.end(), translation);
    vantu::trace_call("cltran", std::to_string(s.copy_at), status);
}

void plg_mchtbl_mdput(const word* values, int n, int& status)
{
    vantu::trace_call("plg_mchtbl_mdput", std::to_string(n), 0);
    status = 0;
    if (n != kMachineTableExtWords || !values) {
        status = -1;
        return;
    }
    state().table_ext.assign(values, values + n);
}

void plg_mchtbl_mdget(word* values, int n, int& status)
{
    vantu::trace_call("plg_mchtbl_mdget", std::to_string(n), 0);
    status = 0;
    if (n != kMachineTableExtWords || !values)
        status = -1;
    else if (state().table_ext.empty())
        status = 1;
    else
        std::copy(state().table_ext.begin(), state().table_ext.end(), values);
}

void set_open_proc()
{
    vantu::trace_call("set_open_proc", "", 0);
    state().proc_open = true;
}

int is_open_proc() { return state().proc_open ? 1 : 0; }

void reset_open_proc()
{
    vantu::trace_call("reset_open_proc", "", 0);
    state().proc_open = false;
}

void lclrnw(int& status)
{
    int id = 0, position = 0;
    eopen_block_get(id, position);
    status = 0;
    if (auto fault = vantu::fault_hit("lclrnw"))
        status = *fault;
    else if (id == 0)
        status = -1;
    vantu::trace_call("lclrnw", std::to_string(id) + "," + std::to_string(position), status);
}

void mrm_proc(int procedure_type, int block_number)
{
    vantu::trace_call("mrm_proc", std::to_string(procedure_type) + "," + std::to_string(block_number), 0);
    state().met_proc = {procedure_type, block_number};
}

namespace vantu::control {

void set_param_line(std::vector<word> words)
{
    state().param_line = std::move(words);
    state().line_at = 0;
}

int param_line_position() { return static_cast<int>(state().line_at); }

void set_toolpath_version(int version) { state().version = version; }

void set_proc_param(int id, int param_class, int type, int code, std::vector<word> words)
{
    state().params[{id, param_class, type, code}] = std::move(words);
}

void set_proc_param_text(int id, int param_class, int type, int code, std::string_view text)
{
    std::vector<word> words;
    for (std::size_t i = 0; i < text.size(); i += 4) words.push_back(text4_to_word(text.substr(i, 4)));
    set_proc_param(id, param_class, type, code, std::move(words));
}

void set_copy_transformations(const std::vector<std::pair<std::array<float, 9>, std::array<float, 3>>>& copies)
{
    state().copies.clear();
    for (const auto& [matrix, translation] : copies) state().copies.push_back({matrix, translation, {}});
    state().copy_at = 0;
}

void set_transformation_name(int id, const std::string& name) { state().transformations[id].name = name; }

void set_read_transformation(int id, const std::array<float, 9>& matrix, const std::array<float, 3>& translation)
{
    transformation& t = state().transformations[id];
    t.matrix = matrix;
    t.translation = translation;
}

std::vector<word> machine_table_ext() { return state().table_ext; }

std::pair<int, int> last_met_procedure() { return state().met_proc; }

}  // namespace vantu::control
