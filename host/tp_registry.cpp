// The tool-path registry of the host (host/vantu_tpreg.hpp): tool-path entities with their
// header words and the procedures they hold, the current tool path and the procedure being
// edited. The header words are kept as given; the module alone knows their layout.
#include "host/vantu_tp_tables.hpp"
#include "host/vantu_tpreg.hpp"

#include "host/control.hpp"
#include "host/control/tp_registry.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/json_read.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>

namespace {

constexpr int kNone = -1;
constexpr int kRead = 1, kWrite = 2;
constexpr int kRefused = -1, kNoSuchToolPath = -5;

constexpr int kProcedureEntry = 1;

struct tool_path {
    std::vector<word> header;
    std::vector<std::pair<int, int>> entries;  // (kind, entity id); kind 1 a host procedure

    bool holds_procedure(int proc_id) const
    {
        return std::any_of(entries.begin(), entries.end(),
                           [&](const auto& e) { return e.first == kProcedureEntry && e.second == proc_id; });
    }
    bool procedures_only() const
    {
        return std::all_of(entries.begin(), entries.end(), [](const auto& e) { return e.first == kProcedureEntry; });
    }
};

struct registry {
    std::map<int, tool_path> tool_paths;  // by entity id
    int current_tool_path = kNone;
    int current_procedure = kNone;
};

// Never destroyed, so module code running in static destructors can still ask it.
registry& state()
{
    static auto* r = new registry;
    return *r;
}

bool header_fits(const std::vector<word>& header)
{
    return header.size() <= static_cast<std::size_t>(kTpHeaderMaxWords);
}

bool entries_valid(const std::vector<std::pair<int, int>>& entries)
{
    return std::all_of(entries.begin(), entries.end(), [](const auto& e) { return e.first >= 1 && e.second >= 1; });
}

// ---- part file --------------------------------------------------------------------------------

void reset_state() { state() = registry{}; }

void save_state(nlohmann::json& section)
{
    const registry& r = state();
    section["current_tool_path"] = r.current_tool_path;
    section["current_procedure"] = r.current_procedure;
    section["tool_paths"] = nlohmann::json::object();
    for (const auto& [id, tp] : r.tool_paths) {
        nlohmann::json& entry = section["tool_paths"][std::to_string(id)];
        entry["header"] = tp.header;
        if (tp.procedures_only()) {
            entry["procedures"] = nlohmann::json::array();
            for (const auto& e : tp.entries) entry["procedures"].push_back(e.second);
        } else {
            entry["entries"] = tp.entries;
        }
    }
}

void load_tool_path(const std::string& key, const nlohmann::json& entry)
{
    const int id = std::stoi(key);
    const auto header = entry.value("header", std::vector<word>{});
    std::vector<std::pair<int, int>> entries;
    const std::string what = "tp_registry: tool path " + key;
    if (entry.contains("procedures")) {
        if (!entry["procedures"].is_array()) throw vantu::control::part_error(what + ": procedures are an array");
        for (const auto& p : entry["procedures"])
            entries.emplace_back(kProcedureEntry, vantu::json_int(p, what + " procedure"));
    }
    if (entry.contains("entries")) {
        if (!entry["entries"].is_array()) throw vantu::control::part_error(what + ": entries are an array");
        for (const auto& e : entry["entries"]) {
            if (!e.is_array() || e.size() != 2)
                throw vantu::control::part_error(what + ": an entry is a pair [kind, id]");
            entries.emplace_back(vantu::json_int(e[0], what + " entry kind"),
                                 vantu::json_int(e[1], what + " entry id"));
        }
    }
    if (!vantu::control::declare_tool_path_entries(id, header, entries))
        throw vantu::control::part_error(what +
                                         " needs an id of 1 or more, entry kinds and ids of 1 or more and at most " +
                                         std::to_string(kTpHeaderMaxWords) + " header words");
}

void load_state(const nlohmann::json& section)
{
    try {
        registry& r = state();
        if (section.contains("current_tool_path"))
            r.current_tool_path = vantu::json_int(section["current_tool_path"], "tp_registry: current_tool_path");
        if (section.contains("current_procedure"))
            r.current_procedure = vantu::json_int(section["current_procedure"], "tp_registry: current_procedure");
        if (section.contains("tool_paths"))
            for (const auto& [key, entry] : section["tool_paths"].items()) load_tool_path(key, entry);
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("tp_registry: ") + e.what());
    } catch (const std::logic_error& e) {
        throw vantu::control::part_error(std::string("tp_registry: bad number: ") + e.what());
    }
}

const bool tp_registry_registered =
    vantu::register_component({"tp_registry", reset_state, save_state, load_state, nullptr});

}  // namespace

void gs_proc_id(int mode, int& id)
{
    if (mode == kRead)
        id = state().current_procedure;
    else if (mode == kWrite)
        state().current_procedure = id;
    vantu::trace_call("gs_proc_id", std::to_string(mode), id);
}

void ncn_assoc_find_proc_tp(int proc_id, std::vector<int>& tp_ids, int& status)
{
    tp_ids.clear();
    if (auto fault = vantu::fault_hit("ncn_assoc_find_proc_tp"))
        status = *fault;
    else if (proc_id < 1)
        status = kRefused;
    else {
        for (const auto& [id, tp] : state().tool_paths)
            if (tp.holds_procedure(proc_id)) tp_ids.push_back(id);
        status = 0;
    }
    vantu::trace_call("ncn_assoc_find_proc_tp", std::to_string(proc_id), status);
}

void get_curr_tp_id(int& tp_id)
{
    tp_id = state().current_tool_path;
    vantu::trace_call("get_curr_tp_id", "", tp_id);
}

void get_part_tp_ids(std::vector<int>& ids)
{
    ids.clear();
    for (const auto& [id, path] : state().tool_paths) ids.push_back(id);
    vantu::trace_count("get_part_tp_ids");
}

void get_tp_info(int tp_id, int& count, int& status)
{
    auto it = state().tool_paths.find(tp_id);
    count = 0;
    if (auto fault = vantu::fault_hit("get_tp_info"))
        status = *fault;
    else if (it == state().tool_paths.end())
        status = kNoSuchToolPath;
    else {
        count = static_cast<int>(it->second.entries.size());
        status = 0;
    }
    vantu::trace_call("get_tp_info", std::to_string(tp_id), status);
}

void dbd_tp(int tp_id, std::vector<int>& entries, int& status)
{
    auto it = state().tool_paths.find(tp_id);
    entries.clear();
    if (auto fault = vantu::fault_hit("dbd_tp"))
        status = *fault;
    else if (it == state().tool_paths.end())
        status = kNoSuchToolPath;
    else {
        for (const auto& [kind, id] : it->second.entries) entries.insert(entries.end(), {kind, id});
        status = 0;
    }
    vantu::trace_call("dbd_tp", std::to_string(tp_id), status);
}

void get_set_tp_header(int mode, int tp_id, std::vector<word>& header, int& status)
{
    auto it = state().tool_paths.find(tp_id);
    if (auto fault = vantu::fault_hit("get_set_tp_header"))
        status = *fault;
    else if (mode != kRead && mode != kWrite)
        status = kRefused;
    else if (it == state().tool_paths.end())
        status = kNoSuchToolPath;
    else if (mode == kRead) {
        header = it->second.header;
        status = 0;
    } else if (!header_fits(header)) {
        status = kRefused;
    } else {
        it->second.header = header;
        status = 0;
    }
    vantu::trace_call("get_set_tp_header", std::to_string(mode) + "," + std::to_string(tp_id), status);
}

// ---- control ----------------------------------------------------------------------------------

namespace vantu::control {

bool declare_tool_path(int tp_id, const std::vector<word>& header, const std::vector<int>& procedures)
{
    std::vector<std::pair<int, int>> entries;
    for (int id : procedures) entries.emplace_back(kProcedureEntry, id);
    return declare_tool_path_entries(tp_id, header, entries);
}

bool declare_tool_path_entries(int tp_id, const std::vector<word>& header,
                               const std::vector<std::pair<int, int>>& entries)
{
    if (tp_id < 1 || !header_fits(header) || !entries_valid(entries)) return false;
    state().tool_paths[tp_id] = tool_path{header, entries};
    return true;
}

void set_current_tool_path(int tp_id) { state().current_tool_path = tp_id; }
void set_current_procedure(int proc_id) { state().current_procedure = proc_id; }
int current_procedure() { return state().current_procedure; }

std::vector<word> tool_path_header(int tp_id)
{
    auto it = state().tool_paths.find(tp_id);
    return it == state().tool_paths.end() ? std::vector<word>{} : it->second.header;
}

}  // namespace vantu::control
