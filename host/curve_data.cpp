// The data doubles the host keeps beside its curve entities (edatad): three values per curve,
// saved with the part as "curve_data": [[id, d1, d2, d3], ...]. Unwritten curves answer their
// parameter range and extent.
#include "host/vantu_entity.hpp"
#include "host/vantu_entity_ext.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <array>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace {

constexpr int kRead = 1, kWrite = 2;
constexpr int kRefused = -1;

std::map<int, std::array<double, 3>>& data()
{
    static auto* all = new std::map<int, std::array<double, 3>>;
    return *all;
}

void reset_data() { data().clear(); }

void save_data(nlohmann::json& section)
{
    section = nlohmann::json::array();
    for (const auto& [id, d] : data()) section.push_back({id, d[0], d[1], d[2]});
}

void load_data(const nlohmann::json& section)
{
    try {
        for (const auto& d : section)
            data()[d.at(0).get<int>()] = {d.at(1).get<double>(), d.at(2).get<double>(), d.at(3).get<double>()};
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("curve_data: ") + e.what());
    }
}

const bool curve_data_registered = vantu::register_component({"curve_data", reset_data, save_data, load_data, nullptr});

}  // namespace

void edatad(int mode, int id, double (&values)[3], int& status)
{
    status = 0;
    const vantu::entity* e = vantu::find_entity(id);
    if (auto fault = vantu::fault_hit("edatad")) {
        status = *fault;
    } else if (e == nullptr) {
        status = kEntityMissing;
    } else if (e->entity_class != kCurveClass || (mode != kRead && mode != kWrite)) {
        status = kRefused;
    } else if (mode == kWrite) {
        data()[id] = {values[0], values[1], values[2]};
    } else if (auto it = data().find(id); it != data().end()) {
        for (int k = 0; k < 3; ++k) values[k] = it->second[static_cast<std::size_t>(k)];
    } else {
        double start = 0.0, end = 0.0;
        curve_limits(id, start, end, status);
        if (status != 0) {
            status = kRefused;
        } else {
            values[0] = start;
            values[1] = end;
            values[2] = end - start;
        }
    }
    vantu::trace_call("edatad", std::to_string(mode) + "," + std::to_string(id), status);
}
