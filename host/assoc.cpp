// Associativity links (host/vantu_assoc.hpp), kept in the part file's "assoc" section as
// [[entity, code, target], ...], and the association states of curves ("assoc_states").
#include "host/vantu_assoc.hpp"

#include "host/control.hpp"
#include "host/control/assoc.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include "host/vantu_geom.hpp"

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace {

constexpr int kMissing = -5;
constexpr int kAnyEntity = -1;
// asdetl: mode 1 detaches one entity.
constexpr int kOneEntity = 1;

using assoc = vantu::control::assoc_link;

std::vector<assoc>& links()
{
    static auto* all = new std::vector<assoc>;
    return *all;
}

void add_link(const assoc& l)
{
    if (std::find(links().begin(), links().end(), l) == links().end()) links().push_back(l);
}

void reset_links() { links().clear(); }

void save_links(nlohmann::json& section)
{
    section = nlohmann::json::array();
    for (const assoc& l : links()) section.push_back({l.entity, l.code, l.target});
}

void load_links(const nlohmann::json& section)
{
    try {
        for (const auto& l : section) add_link({l.at(0).get<int>(), l.at(1).get<int>(), l.at(2).get<int>()});
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("assoc: ") + e.what());
    }
}

const bool assoc_registered = vantu::register_component({"assoc", reset_links, save_links, load_links, nullptr});

std::map<int, int>& states()
{
    static auto* all = new std::map<int, int>;
    return *all;
}

void reset_states() { states().clear(); }

void save_states(nlohmann::json& section)
{
    section = nlohmann::json::array();
    for (const auto& [entity, state] : states()) section.push_back({entity, state});
}

void load_states(const nlohmann::json& section)
{
    try {
        for (const auto& s : section) states()[s.at(0).get<int>()] = s.at(1).get<int>();
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("assoc_states: ") + e.what());
    }
}

const bool states_registered =
    vantu::register_component({"assoc_states", reset_states, save_states, load_states, nullptr});

// A chain of temporaries longer than this is a loop in the host's links.
constexpr int kMostTemporaries = 1000;

// The chain of temporaries from id (id first); empty when id names no entity.
std::vector<int> temporary_chain(int id)
{
    std::vector<int> chain;
    if (!vantu::find_entity(id)) return chain;
    chain.push_back(id);
    for (int k = 0; k < kMostTemporaries; ++k) {
        int tmp = -1, status = 0;
        get_set_idtmp(1, chain.back(), tmp, status);
        if (status != 0 || tmp <= 0 || std::find(chain.begin(), chain.end(), tmp) != chain.end()) break;
        chain.push_back(tmp);
    }
    return chain;
}

}  // namespace

void asattl(int entity_id, int code, int target, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("asattl"))
        status = *fault;
    else if (!vantu::find_entity(entity_id))
        status = kMissing;
    else
        add_link({entity_id, code, target});
    vantu::trace_call("asattl", std::to_string(entity_id) + "," + std::to_string(code) + "," + std::to_string(target),
                      status);
}

void ascopy(int from_entity, int from_target, int to_entity, int to_target)
{
    const std::vector<assoc> before = links();
    for (const assoc& l : before)
        if ((from_entity == kAnyEntity || l.entity == from_entity) && l.target == from_target)
            add_link({to_entity == kAnyEntity ? l.entity : to_entity, l.code, to_target});
    vantu::trace_call("ascopy", std::to_string(from_target) + "," + std::to_string(to_target), 0);
}

void ascopa(int from, int to, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("ascopa"))
        status = *fault;
    else if (!vantu::find_entity(to))
        status = kMissing;
    else {
        const std::vector<assoc> before = links();
        for (const assoc& l : before)
            if (l.entity == from) add_link({to, l.code, l.target});
    }
    vantu::trace_call("ascopa", std::to_string(from) + "," + std::to_string(to), status);
}

void asdeta(int id, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("asdeta"))
        status = *fault;
    else
        std::erase_if(links(), [id](const assoc& l) { return l.entity == id; });
    vantu::trace_call("asdeta", std::to_string(id), status);
}

void asdetl(int code, int target, int mode, int id, int& status)
{
    status = 0;
    const auto linked = [&](const assoc& l) {
        return l.code == code && l.target == target && (mode != kOneEntity || l.entity == id);
    };
    if (auto fault = vantu::fault_hit("asdetl"))
        status = *fault;
    else
        std::erase_if(links(), linked);
    vantu::trace_call("asdetl",
                      std::to_string(code) + "," + std::to_string(target) + "," + std::to_string(mode) + "," +
                          std::to_string(id),
                      status);
}

void asinqg(int owner, int sub_id, int curve, int& state, int& status)
{
    status = 0;
    state = kAssocUnchanged;
    if (auto fault = vantu::fault_hit("asinqg")) {
        status = *fault;
    } else if (!vantu::find_entity(curve)) {
        state = kAssocNotAvailable;
    } else if (auto it = states().find(curve); it != states().end()) {
        state = it->second;
    }
    vantu::trace_call("asinqg", std::to_string(owner) + "," + std::to_string(sub_id) + "," + std::to_string(curve),
                      status == 0 ? state : status);
}

void asattc(int curve, int code, int target, int procedure, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("asattc"))
        status = *fault;
    else
        add_link({curve, code, target});
    vantu::trace_call("asattc",
                      std::to_string(curve) + "," + std::to_string(code) + "," + std::to_string(target) + "," +
                          std::to_string(procedure),
                      status);
}

void asattc_idd(int curve, int temp_id, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("asattc_idd"))
        status = *fault;
    else if (!vantu::find_entity(temp_id))
        status = kMissing;
    else
        add_link({curve, 0, temp_id});
    vantu::trace_call("asattc_idd", std::to_string(curve) + "," + std::to_string(temp_id), status);
}

void last_geom_temp_id(int id, int& last, int& status)
{
    const std::vector<int> chain = temporary_chain(id);
    status = chain.empty() ? kMissing : 0;
    last = chain.empty() ? -1 : chain.back();
    vantu::trace_call("last_geom_temp_id", std::to_string(id), status);
}

void prev_geom_temp_id(int id, int& previous, int& status)
{
    const std::vector<int> chain = temporary_chain(id);
    status = chain.empty() ? kMissing : 0;
    previous = chain.size() >= 2 ? chain[chain.size() - 2] : -1;
    vantu::trace_call("prev_geom_temp_id", std::to_string(id), status);
}

namespace vantu::control {

std::vector<assoc_link> assoc_links() { return links(); }

void set_assoc_state(int entity, int state) { states()[entity] = state; }

}  // namespace vantu::control
