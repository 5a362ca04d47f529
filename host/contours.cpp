// The host's directory names (cad_name) and the curve sets of contours (dfdgnc, dfdget).
// Curve sets belong to the part: they are saved in and loaded from the part file.
#include "host/control.hpp"
#include "host/control/curve_sets.hpp"
#include "host/core/component.hpp"
#include "host/core/contour_records.hpp"
#include "host/core/curve_set_runs.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/files.hpp"
#include "host/core/json_read.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_contours.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <utility>

namespace vantu {
namespace {

std::map<int, curve_set_view>& curve_sets()
{
    static std::map<int, curve_set_view> sets;
    return sets;
}

// The run of the set defined last, which the next set may share (see curve_set_runs.hpp).
std::shared_ptr<curve_run>& last_run()
{
    static std::shared_ptr<curve_run> run;
    return run;
}

void reset_sets()
{
    curve_sets().clear();
    last_run().reset();
}

void store_set(int set, curve_run curves)
{
    if (std::optional<curve_set_view> view = view_of(last_run(), curves)) {
        curve_sets()[set] = std::move(*view);
        return;
    }
    curve_set_view own{std::make_shared<curve_run>(std::move(curves))};
    last_run() = own.curves;
    curve_sets()[set] = std::move(own);
}

// The sets in the part file's layout, curve by curve: a pocket of a long outline keeps hundreds
// of thousands of curves, never built as one JSON tree. Each set is {"curves": [[entity, start
// parameter, end parameter, orientation], ...], "set": number}.
void write_sets(std::ostream& out, int depth)
{
    if (curve_sets().empty()) {
        out << "[]";
        return;
    }
    const std::string item(static_cast<std::size_t>(depth + 1), ' '), member(item + ' '), curve(member + ' ');
    const char* separator = "[\n";
    for (const auto& [set, curves] : curve_sets()) {
        out << separator << item << "{\n" << member << "\"curves\": ";
        separator = ",\n";
        const char* curve_separator = "[\n";
        for (std::size_t k = 0; k < curves.size(); ++k) {
            const control::curve_in_set c = curves[k];
            out << curve_separator << curve;
            curve_separator = ",\n";
            write_json(out, nlohmann::json{c.entity, c.start, c.end, c.orientation}, depth + 3);
        }
        out << (curves.size() == 0 ? "[]" : "\n" + member + "]");
        out << ",\n" << member << "\"set\": " << set << '\n' << item << '}';
    }
    out << '\n' << std::string(static_cast<std::size_t>(depth), ' ') << ']';
}

// One curve of a set: [entity, start parameter, end parameter, orientation]; the entity must
// exist (the entities load before the curve sets).
control::curve_in_set curve_of(const nlohmann::json& c, const std::string& where)
{
    if (!c.is_array() || c.size() != 4)
        throw control::part_error(where + ": a curve is [entity, start, end, orientation]");
    const control::curve_in_set curve{json_int(c[0], where), json_number(c[1], where), json_number(c[2], where),
                                      json_number(c[3], where)};
    if (find_entity(curve.entity) == nullptr)
        throw control::part_error(where + ": entity " + std::to_string(curve.entity) + " does not exist");
    return curve;
}

void load_sets(const nlohmann::json& section)
{
    reset_sets();
    if (!section.is_array()) throw control::part_error("curve_sets: an array of sets is expected");
    for (const auto& item : section) {
        if (!item.is_object() || !item.contains("set") || !item.contains("curves") || !item["curves"].is_array())
            throw control::part_error("curve_sets: a set is {\"set\": n, \"curves\": [...]}");
        const int set = json_int(item["set"], "curve_sets: \"set\"");
        const std::string where = "curve_sets: set " + std::to_string(set);
        std::vector<control::curve_in_set> curves;
        for (const auto& c : item["curves"]) curves.push_back(curve_of(c, where));
        store_set(set, std::move(curves));
    }
}

const bool contours_registered = register_component({"curve_sets", reset_sets, nullptr, load_sets, nullptr}) &&
                                 register_section_writer({"curve_sets", write_sets});

}  // namespace

int unused_curve_set()
{
    const auto& sets = curve_sets();
    if (sets.empty()) return 1;
    const int last = sets.rbegin()->first;
    return last < std::numeric_limits<int>::max() ? std::max(1, last + 1) : 0;  // 0: none left
}

bool remove_curve_set(int set) { return curve_sets().erase(set) > 0; }

bool put_curve(int set, int k, int entity, const double* data)
{
    const auto it = curve_sets().find(set);
    if (it == curve_sets().end() || k < 1 || k > static_cast<int>(it->second.size()) || data == nullptr) return false;
    it->second.own()[static_cast<std::size_t>(k - 1)] = {entity, data[0], data[1], data[2]};
    return true;
}

namespace control {
void define_curve_set(int set, std::vector<curve_in_set> curves) { store_set(set, std::move(curves)); }
}  // namespace control

}  // namespace vantu

void cad_name(int code, std::string& directory, int& status)
{
    status = 0;
    directory.clear();
    if (auto fault = vantu::fault_hit("cad_name")) {
        status = *fault;
    } else if (code != kCadNameDebugDirectory) {
        status = -1;
    } else {
        const std::string& out = vantu::output_directory();
        directory = out.empty() ? std::string(".") : out;
        while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
    }
    vantu::trace_call("cad_name", std::to_string(code), status);
}

void dfdgnc(int set, int& count, int& status)
{
    const auto& sets = vantu::curve_sets();
    const auto it = sets.find(set);
    count = it == sets.end() ? 0 : static_cast<int>(it->second.size());
    status = it == sets.end() ? -1 : 0;
    vantu::trace_count("dfdgnc");
}

void dfdget(int set, int k, int& entity, double* data, int& status)
{
    const auto& sets = vantu::curve_sets();
    const auto it = sets.find(set);
    status = -1;
    entity = 0;
    if (it != sets.end() && k >= 1 && k <= static_cast<int>(it->second.size()) && data != nullptr) {
        const vantu::control::curve_in_set c = it->second[static_cast<std::size_t>(k - 1)];
        entity = c.entity;
        data[0] = c.start;
        data[1] = c.end;
        data[2] = c.orientation;
        status = 0;
    }
    vantu::trace_count("dfdget");
}
