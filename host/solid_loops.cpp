// Loops of solids as the contour services see them: each loop has an id, a second identifier
// that a solid update changes, the edges a user can pick and the curve set its edges explode
// into. Loops belong to the part: saved in and loaded from the part file as
//   "solid_loops": [{"loop": 900, "second": 1, "set": 5, "edges": [31, 32, 33]}]
#include "host/control.hpp"
#include "host/control/contours.hpp"
#include "host/core/component.hpp"
#include "host/core/contour_records.hpp"
#include "host/core/faults.hpp"
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_contours.hpp"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace vantu {

namespace {

using control::solid_loop_data;

std::map<int, solid_loop_data>& loops()
{
    static std::map<int, solid_loop_data> l;
    return l;
}

// The loop an edge belongs to, null when none.
const solid_loop_data* loop_of(int edge)
{
    for (const auto& [id, loop] : loops())
        if (std::find(loop.edges.begin(), loop.edges.end(), edge) != loop.edges.end()) return &loop;
    return nullptr;
}

void reset_loops() { loops().clear(); }

void save_loops(nlohmann::json& section)
{
    section = nlohmann::json::array();
    for (const auto& [id, l] : loops())
        section.push_back({{"loop", l.loop}, {"second", l.second}, {"set", l.set}, {"edges", l.edges}});
}

void load_loops(const nlohmann::json& section)
{
    try {
        if (!section.is_array()) return;
        for (const auto& item : section) {
            solid_loop_data l;
            l.loop = item.at("loop").get<int>();
            l.second = item.value("second", 1);
            l.set = item.at("set").get<int>();
            l.edges = item.value("edges", std::vector<int>{});
            control::define_solid_loop(l);
        }
    } catch (const nlohmann::json::exception& e) {
        throw control::part_error(std::string("solid_loops: ") + e.what());
    }
}

const bool solid_loops_registered = register_component({"solid_loops", reset_loops, save_loops, load_loops, nullptr});

}  // namespace

bool solid_loop(int loop, int& set, int& second)
{
    const auto it = loops().find(loop);
    if (it == loops().end()) return false;
    set = it->second.set;
    second = it->second.second;
    return true;
}

namespace control {

void define_solid_loop(const solid_loop_data& loop)
{
    if (loop.loop > 0) loops()[loop.loop] = loop;
}

}  // namespace control

}  // namespace vantu

int ncs_id_is_not_solid(int id)
{
    const int key = id < 0 ? -id : id;
    return vantu::loops().count(key) != 0 || vantu::loop_of(key) != nullptr ? 0 : 1;
}

void ncs_loop_of_edge(int edge, int& loop, int& second, int& status)
{
    const vantu::solid_loop_data* l = vantu::loop_of(edge);
    status = l ? 0 : -1;
    if (l) {
        loop = l->loop;
        second = l->second;
    }
    vantu::trace_call("ncs_loop_of_edge", std::to_string(edge), status);
}

void ncs_explode_loop_to_wfbuf(const int* record, int room, int* out, int& length, int& second, int& status)
{
    const vantu::record_info r = vantu::record_at(record);
    int set = 0;
    length = 0;
    status = -1;
    if (auto fault = vantu::fault_hit("ncs_explode_loop_to_wfbuf")) {
        status = *fault;
    } else if (r.kind == vantu::record_kind::loop && vantu::solid_loop(r.id, set, second)) {
        dfdgrc(set, room, out, length, status);
        if (status == -2) status = kRecordNoRoom;
        if (status != 0) length = 0;
    }
    vantu::trace_call("ncs_explode_loop_to_wfbuf", std::to_string(r.id), status);
}

void ncs_table_delete_contour(const int* record, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("ncs_table_delete_contour")) status = *fault;
    vantu::trace_call("ncs_table_delete_contour", std::to_string(record ? record[1] : 0), status);
}

void ncs_table_aso_test(int kind, int id, int next_id, int& ok)
{
    const auto known = [](int key) { return ncs_id_is_not_solid(key) == 0; };
    ok = known(id) && (kind != 4 || next_id == 0 || known(next_id)) ? 1 : 0;
    vantu::trace_call("ncs_table_aso_test",
                      std::to_string(kind) + "," + std::to_string(id) + "," + std::to_string(next_id), ok);
}

void ncs_update_contour(int* record, int& status)
{
    const vantu::record_info r = vantu::record_at(record);
    status = r.kind == vantu::record_kind::none ? -1 : 0;
    int set = 0, second = 0;
    if (r.kind == vantu::record_kind::loop && vantu::solid_loop(r.id, set, second)) record[kChainEntryWords] = second;
    vantu::trace_call("ncs_update_contour", std::to_string(r.id), status);
}

void ncs_find_dupl_loops(const int* records, int count, int* flags)
{
    std::vector<int> sets;
    const int* at = records;
    for (int k = 0; k < count && at != nullptr && flags != nullptr; ++k) {
        const vantu::record_info r = vantu::record_at(at);
        int set = 0, second = 0;
        flags[k] = 0;
        if (r.kind == vantu::record_kind::loop && vantu::solid_loop(r.id, set, second)) {
            flags[k] = std::find(sets.begin(), sets.end(), set) != sets.end() ? 1 : 0;
            sets.push_back(set);
        }
        if (r.length < 1) break;
        at += kChainEntryWords * r.length;
    }
    vantu::trace_call("ncs_find_dupl_loops", std::to_string(count), 0);
}
