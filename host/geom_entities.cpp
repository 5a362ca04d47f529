// Geometry entities of the procedures (host/vantu_geom.hpp): kinds read from the entity words,
// the temporary links and the recorded lengths, which persist in the part file's
// "geom_entities" section as {"temporaries": [[id, tmp], ...], "lengths": [[id, length], ...]}.
#include "host/vantu_geom.hpp"

#include "host/control.hpp"
#include "host/control/geom_entities.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <map>
#include <nlohmann/json.hpp>
#include <string>

namespace {

constexpr int kRead = 1, kWrite = 2;
constexpr int kNone = -1;
constexpr int kRefused = -1, kMissing = -5;

struct geom_state {
    std::map<int, int> temporaries;
    std::map<int, int> lengths;
};

geom_state& state()
{
    static auto* s = new geom_state;
    return *s;
}

bool faulted(const char* call, int& status)
{
    if (auto fault = vantu::fault_hit(call)) {
        status = *fault;
        return true;
    }
    return false;
}

std::string args(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

void geometry_kind(const char* call, int id, int& kind, int& status)
{
    status = 0;
    if (!faulted(call, status)) {
        const vantu::entity* e = vantu::find_entity(id);
        if (!e)
            status = kMissing;
        else if (e->entity_class != kGeometryClass || e->type != kGeometryType ||
                 e->words.size() <= static_cast<std::size_t>(kGeometryKindWord))
            status = kRefused;
        else
            kind = e->words[kGeometryKindWord];
    }
    vantu::trace_call(call, std::to_string(id), status);
}

void reset_state() { state() = geom_state{}; }

void save_state(nlohmann::json& section)
{
    section["temporaries"] = nlohmann::json::array();
    for (const auto& [id, tmp] : state().temporaries) section["temporaries"].push_back({id, tmp});
    section["lengths"] = nlohmann::json::array();
    for (const auto& [id, length] : state().lengths) section["lengths"].push_back({id, length});
}

void load_state(const nlohmann::json& section)
{
    try {
        for (const auto& pair : section.value("temporaries", nlohmann::json::array()))
            state().temporaries[pair.at(0).get<int>()] = pair.at(1).get<int>();
        for (const auto& pair : section.value("lengths", nlohmann::json::array()))
            state().lengths[pair.at(0).get<int>()] = pair.at(1).get<int>();
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("geom_entities: ") + e.what());
    }
}

const bool geom_entities_registered =
    vantu::register_component({"geom_entities", reset_state, save_state, load_state, nullptr});

}  // namespace

void get_geom_info(int id, int& kind, int& status) { geometry_kind("get_geom_info", id, kind, status); }
void get_geom_type(int id, int& type, int& status) { geometry_kind("get_geom_type", id, type, status); }

void get_set_idtmp(int mode, int id, int& tmp, int& status)
{
    status = 0;
    if (faulted("get_set_idtmp", status)) {
    } else if (!vantu::find_entity(id)) {
        status = kMissing;
    } else if (mode == kRead) {
        auto it = state().temporaries.find(id);
        tmp = it == state().temporaries.end() ? kNone : it->second;
    } else if (mode == kWrite) {
        if (tmp > 0)
            state().temporaries[id] = tmp;
        else
            state().temporaries.erase(id);
    } else {
        status = kRefused;
    }
    vantu::trace_call("get_set_idtmp", args(mode, id), status);
}

void cpy_geom(int from, int to, int& status)
{
    status = 0;
    if (!faulted("cpy_geom", status)) {
        const vantu::entity* source = vantu::find_entity(from);
        vantu::entity* target = vantu::find_entity(to);
        if (!source || !target)
            status = kMissing;
        else
            target->words = source->words;
    }
    vantu::trace_call("cpy_geom", args(from, to), status);
}

void update_geom_length(int id, int length, int& status)
{
    status = 0;
    if (!faulted("update_geom_length", status)) {
        if (vantu::find_entity(id))
            state().lengths[id] = length;
        else
            status = kMissing;
    }
    vantu::trace_call("update_geom_length", args(id, length), status);
}

void egsize(int id, int& size, int& status)
{
    status = 0;
    if (!faulted("egsize", status)) {
        const vantu::entity* e = vantu::find_entity(id);
        if (e)
            size = static_cast<int>(e->words.size());
        else
            status = kMissing;
    }
    vantu::trace_count("egsize");
}

int entsta(int id)
{
    const int exists = vantu::find_entity(id) ? 1 : 0;
    vantu::trace_call("entsta", std::to_string(id), exists);
    return exists;
}

namespace vantu::control {

int geometry_temporary(int id)
{
    auto it = state().temporaries.find(id);
    return it == state().temporaries.end() ? -1 : it->second;
}

int geometry_length(int id)
{
    auto it = state().lengths.find(id);
    return it == state().lengths.end() ? -1 : it->second;
}

}  // namespace vantu::control
