// The module's contour table as the host's contour services see it: registered by address
// (pkt_set_to_main, cntbuf_set_to_main) and changed in place (pktdel_by_OrderNum); the loops it
// holds (ncs_table_loopedge_in_table); and the geometry criteria that find contours (the active
// mask, its change state, the search and the found contours), which belong to the part.
#include "host/control.hpp"
#include "host/control/contours.hpp"
#include "host/control/entities.hpp"
#include "host/core/component.hpp"
#include "host/core/contour_records.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_selection.hpp"

#include <algorithm>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>

namespace vantu {

namespace {

struct registered_table {
    int* count = nullptr;
    int* pick_ranges = nullptr;
    int* first = nullptr;
    float* offsets = nullptr;
    float* drafts = nullptr;
    int* types = nullptr;
    int* part_stock = nullptr;
    int* kinds = nullptr;
    int* by_criteria = nullptr;
    int* wire = nullptr;
    int* geometry = nullptr;
    int entries = kContourBufferEntries;  // entries each record buffer holds
};

registered_table& table()
{
    static registered_table t;
    return t;
}

control::criteria_data& criteria_state()
{
    static control::criteria_data c;
    return c;
}

int last_search = 0;  // contours found by the last search

void reset_contour_services()
{
    table() = registered_table{};
    criteria_state() = control::criteria_data{};
    last_search = 0;
}

void save_criteria(nlohmann::json& section)
{
    const control::criteria_data& c = criteria_state();
    section = {{"active", c.active},
               {"changed", c.changed},
               {"checked", c.checked},
               {"list_count", c.list_count},
               {"found", c.found}};
    for (std::size_t type = 0; type < c.masks.size(); ++type)
        if (!c.masks[type].empty() || c.type_active[type] != 0 || c.type_changed[type] != 0)
            section["types"].push_back({{"type", type},
                                        {"active", c.type_active[type]},
                                        {"changed", c.type_changed[type]},
                                        {"masks", c.masks[type]}});
}

void load_criteria(const nlohmann::json& section)
{
    try {
        if (!section.is_object()) return;
        control::criteria_data c;
        c.active = section.value("active", 0);
        c.changed = section.value("changed", 0);
        c.checked = section.value("checked", 0);
        c.list_count = section.value("list_count", 0);
        c.found = section.value("found", std::vector<int>{});
        for (const auto& t : section.value("types", nlohmann::json::array())) {
            const int type = t.at("type").get<int>();
            if (type < 0 || type >= static_cast<int>(c.masks.size())) throw control::part_error("criteria: bad type");
            c.type_active[static_cast<std::size_t>(type)] = t.value("active", 0);
            c.type_changed[static_cast<std::size_t>(type)] = t.value("changed", 0);
            c.masks[static_cast<std::size_t>(type)] = t.value("masks", std::vector<std::array<int, 8>>{});
        }
        criteria_state() = c;
    } catch (const nlohmann::json::exception& e) {
        throw control::part_error(std::string("criteria: ") + e.what());
    }
}

const bool contour_registry_registered =
    register_component({"criteria", reset_contour_services, save_criteria, load_criteria, nullptr});

// The registered first entries are increasing and stay inside the buffers.
bool first_entries_sound(const registered_table& t)
{
    const int n = *t.count;
    if (n < 1 || n > kContourTableMost || t.first[1] != 1) return false;
    for (int k = 1; k <= n; ++k)
        if (t.first[k + 1] <= t.first[k]) return false;
    return t.first[n + 1] - 1 <= t.entries;
}

// Moves the entries of contours k + 1 .. n of a buffer down over contour k's.
void close_records(int* buffer, const int* first, int k, int n)
{
    const long from = kChainEntryWords * static_cast<long>(first[k + 1] - 1);
    const long to = kChainEntryWords * static_cast<long>(first[k] - 1);
    const long words = kChainEntryWords * static_cast<long>(first[n + 1] - first[k + 1]);
    std::memmove(buffer + to, buffer + from, sizeof(int) * static_cast<std::size_t>(words));
}

template <class T> void shift_down(T* values, int k, int n)
{
    for (int j = k; j < n; ++j) values[j] = values[j + 1];
}

// Takes contour k's range out of the selection list; later ranges move down with it.
void drop_selection_range(const registered_table& t, int k, int n)
{
    int* range = t.pick_ranges + 2 * k;
    const int first = range[0], last = range[1];
    if (first < 1 || first > last) return;
    int status = 0;
    sldelr(first, last, status);
    if (status != 0) return;
    for (int j = 1; j <= n; ++j) {
        int* r = t.pick_ranges + 2 * j;
        if (j != k && r[0] > last) {
            r[0] -= last - first + 1;
            r[1] -= last - first + 1;
        }
    }
}

}  // namespace

namespace control {

void define_criteria(const criteria_data& c) { criteria_state() = c; }
const criteria_data& criteria() { return criteria_state(); }

int add_planar_face(const std::vector<int>& loop_sets)
{
    std::vector<word> words{static_cast<word>(loop_sets.size())};
    words.insert(words.end(), loop_sets.begin(), loop_sets.end());
    return add_entity(kPlanarFaceClass, kPlanarFaceType, words);
}

}  // namespace control

}  // namespace vantu

void pkt_set_to_main(int* count, int* pick_ranges, int* first_entries, float* offsets, float* drafts, int* types,
                     int* part_stock, int* kinds, int* by_criteria)
{
    vantu::registered_table& t = vantu::table();
    t.count = count;
    t.pick_ranges = pick_ranges;
    t.first = first_entries;
    t.offsets = offsets;
    t.drafts = drafts;
    t.types = types;
    t.part_stock = part_stock;
    t.kinds = kinds;
    t.by_criteria = by_criteria;
    vantu::trace_call("pkt_set_to_main", std::to_string(count ? *count : 0), 0);
}

void cntbuf_set_to_main(int* wire, int* geometry, int* /*work*/)
{
    vantu::table().wire = wire;
    vantu::table().geometry = geometry;
    vantu::table().entries = kContourBufferEntries;
    vantu::trace_call("cntbuf_set_to_main", "", 0);
}

void cntbuf_set_size(int entries)
{
    vantu::table().entries = std::max(entries, kContourBufferEntries);
    vantu::trace_call("cntbuf_set_size", std::to_string(entries), 0);
}

void pktdel_by_OrderNum(int k, int& status)
{
    const vantu::registered_table& t = vantu::table();
    status = -1;
    if (auto fault = vantu::fault_hit("pktdel_by_OrderNum")) {
        status = *fault;
    } else if (t.count && t.first && t.wire && t.geometry && t.pick_ranges && k >= 1 && k <= *t.count &&
               vantu::first_entries_sound(t)) {
        const int n = *t.count;
        const int length = t.first[k + 1] - t.first[k];
        vantu::drop_selection_range(t, k, n);
        vantu::close_records(t.wire, t.first, k, n);
        vantu::close_records(t.geometry, t.first, k, n);
        for (int j = k + 1; j <= n; ++j) t.first[j] = t.first[j + 1] - length;
        for (int j = k; j < n; ++j) {
            t.pick_ranges[2 * j] = t.pick_ranges[2 * j + 2];
            t.pick_ranges[2 * j + 1] = t.pick_ranges[2 * j + 3];
        }
        t.pick_ranges[2 * n] = 0;
        t.pick_ranges[2 * n + 1] = -1;
        vantu::shift_down(t.offsets, k, n);
        vantu::shift_down(t.drafts, k, n);
        vantu::shift_down(t.types, k, n);
        vantu::shift_down(t.part_stock, k, n);
        vantu::shift_down(t.kinds, k, n);
        vantu::shift_down(t.by_criteria, k, n);
        *t.count = n - 1;
        status = 0;
    }
    vantu::trace_call("pktdel_by_OrderNum", std::to_string(k), status);
}

int ncs_table_loopedge_in_table(int edge)
{
    const vantu::registered_table& t = vantu::table();
    int loop = 0, second = 0, status = 0;
    ncs_loop_of_edge(edge, loop, second, status);
    if (status != 0 || !t.count || !t.geometry || !vantu::first_entries_sound(t)) return 0;
    for (int k = 1; k <= *t.count; ++k) {
        const int* record = t.geometry + kChainEntryWords * (t.first[k] - 1);
        if (record[0] == kLoopRecord && record[1] == loop) return 1;
    }
    return 0;
}

// ---- geometry criteria ------------------------------------------------------------------------

namespace {

constexpr int kContourGeometry = 2;
constexpr int kGet = 1;

constexpr int kGeometryTypes = 5;

// The flag of the type: the contours' own field, or the type's entry of the others' table.
void get_or_set(int mode, int type, int& value, int& field, std::array<int, 5>& others)
{
    if (type < 0 || type >= kGeometryTypes) {
        if (mode == kGet) value = 0;
        return;
    }
    int& flag = type == kContourGeometry ? field : others[static_cast<std::size_t>(type)];
    if (mode == kGet)
        value = flag;
    else
        flag = value;
}

}  // namespace

void active_mask_gs(int mode, int type, int& value)
{
    get_or_set(mode, type, value, vantu::criteria_state().active, vantu::criteria_state().type_active);
    vantu::trace_call("active_mask_gs", std::to_string(mode) + "," + std::to_string(value), 0);
}

void crit_gs_change(int mode, int type, int& value)
{
    get_or_set(mode, type, value, vantu::criteria_state().changed, vantu::criteria_state().type_changed);
    vantu::trace_call("crit_gs_change", std::to_string(mode) + "," + std::to_string(value), 0);
}

int nc_geomsk_lst_count(int type)
{
    const vantu::control::criteria_data& c = vantu::criteria_state();
    if (type < 0 || type >= kGeometryTypes) return 0;
    const int records = static_cast<int>(c.masks[static_cast<std::size_t>(type)].size());
    return type == kContourGeometry && records == 0 ? c.list_count : records;
}

void nc_geomsk_lst_get_data(int type, int n, word (&record)[8], int& status)
{
    const vantu::control::criteria_data& c = vantu::criteria_state();
    status = -1;
    if (const auto fault = vantu::fault_hit("nc_geomsk_lst_get_data"))
        status = *fault;
    else if (type >= 0 && type < kGeometryTypes && n >= 0 &&
             n < static_cast<int>(c.masks[static_cast<std::size_t>(type)].size())) {
        const auto& mask = c.masks[static_cast<std::size_t>(type)][static_cast<std::size_t>(n)];
        std::copy(mask.begin(), mask.end(), record);
        status = 0;
    }
    vantu::trace_call("nc_geomsk_lst_get_data", std::to_string(type) + "," + std::to_string(n), status);
}

void geomsk_search_curves(int mode)
{
    if (mode == 1) vantu::last_search = static_cast<int>(vantu::criteria_state().found.size());
    vantu::trace_call("geomsk_search_curves", std::to_string(mode), 0);
}

void find_cont_by_crit(int append, int hand_picked, int& found, int& status)
{
    const vantu::control::criteria_data& c = vantu::criteria_state();
    status = 0;
    if (auto fault = vantu::fault_hit("find_cont_by_crit")) {
        status = *fault;
        found = 0;
    } else {
        vantu::last_search = c.active ? static_cast<int>(c.found.size()) : 0;
        found = vantu::last_search;
    }
    vantu::trace_call("find_cont_by_crit", std::to_string(append) + "," + std::to_string(hand_picked), status);
}

int get_num_cnt() { return vantu::last_search; }

void fill_cnt_buf(int i, int room, int* record, int& length, int& status)
{
    const auto& found = vantu::criteria_state().found;
    length = 0;
    if (i < 1 || i > vantu::last_search || i > static_cast<int>(found.size())) {
        status = -11;
    } else {
        dfdgrc(found[static_cast<std::size_t>(i - 1)], room, record, length, status);
        if (status == -2) status = kRecordNoRoom;
        if (status != 0) length = 0;
    }
    vantu::trace_call("fill_cnt_buf", std::to_string(i), status);
}

void compare_cnt(const int* record, int& found)
{
    const vantu::record_info r = vantu::record_at(record);
    const auto& sets = vantu::criteria_state().found;
    found = r.kind == vantu::record_kind::chain && std::find(sets.begin(), sets.end(), r.id) != sets.end() ? 1 : 0;
    vantu::trace_call("compare_cnt", std::to_string(r.id), found);
}

int chk_crit_gs(int type) { return type == kContourGeometry ? vantu::criteria_state().checked : 0; }
