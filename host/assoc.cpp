// Associativity links (host/vantu_assoc.hpp), kept in the part file's "assoc" section as
// [[entity, code, target], ...].
#include "host/vantu_assoc.hpp"

#include "host/control.hpp"
#include "host/control/assoc.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>

namespace {

constexpr int kMissing = -5;
constexpr int kAnyEntity = -1;

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

const bool registered = vantu::register_component({"assoc", reset_links, save_links, load_links, nullptr});

}  // namespace

void asattl(int entity_id, int code, int target, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("asattl")) status = *fault;
    else if (!vantu::find_entity(entity_id)) status = kMissing;
    else add_link({entity_id, code, target});
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
    if (auto fault = vantu::fault_hit("ascopa")) status = *fault;
    else if (!vantu::find_entity(to)) status = kMissing;
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
    if (auto fault = vantu::fault_hit("asdeta")) status = *fault;
    else std::erase_if(links(), [id](const assoc& l) { return l.entity == id; });
    vantu::trace_call("asdeta", std::to_string(id), status);
}

namespace vantu::control {

std::vector<assoc_link> assoc_links() { return links(); }

}  // namespace vantu::control
