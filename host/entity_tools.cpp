// Entity calls used by the tool model (host/vantu_entity_ext.hpp): the put-aside stack of open
// entities, class and type queries, zero words, the part's entity by class and type.
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
#include <vector>

namespace {

constexpr int kNothingOpen = 0, kPutAside = 1, kCannotPutAside = 2;
// The tool code nests at most a few reads; a deeper stack means entities are never given back.
constexpr std::size_t kMaxPutAside = 8;
constexpr int kProgramVersion = 700;
constexpr int kProgramPatch = 0, kProgramService = 0;

struct aside_entry {
    int id;
    int position;
};

std::vector<aside_entry>& aside()
{
    static std::vector<aside_entry> stack;
    return stack;
}

void reset_aside() { aside().clear(); }
void report_aside(std::vector<std::string>& lines)
{
    if (!aside().empty())
        lines.push_back("eginfo: " + std::to_string(aside().size()) + " entities put aside were never given back");
}
const bool entity_tools_registered =
    vantu::register_component({"entity_aside", reset_aside, nullptr, nullptr, report_aside});

// Visibility texts of entities (evism), saved with the part as "visibility": {"id": "text"}.
// Entities deleted since are left out of the save.
constexpr std::size_t kVisibilityChars = 80;

std::map<int, std::string>& visibility()
{
    static auto* all = new std::map<int, std::string>;
    return *all;
}

void reset_visibility() { visibility().clear(); }

void save_visibility(nlohmann::json& section)
{
    section = nlohmann::json::object();
    for (const auto& [id, text] : visibility())
        if (vantu::find_entity(id)) section[std::to_string(id)] = text;
}

void load_visibility(const nlohmann::json& section)
{
    try {
        for (const auto& [key, text] : section.items()) visibility()[std::stoi(key)] = text.get<std::string>();
    } catch (const std::exception& e) {
        throw vantu::control::part_error(std::string("visibility: ") + e.what());
    }
}

const bool visibility_registered =
    vantu::register_component({"visibility", reset_visibility, save_visibility, load_visibility, nullptr});

}  // namespace

void eginfo(int& state)
{
    int id = 0, position = 0;
    eopen_block_get(id, position);
    if (vantu::fault_hit("eginfo") || (id != 0 && aside().size() >= kMaxPutAside)) {
        state = kCannotPutAside;
    } else if (id == 0) {
        state = kNothingOpen;
    } else {
        aside().push_back({id, position});
        eopen_block_clear();
        state = kPutAside;
    }
    vantu::trace_call("eginfo", std::to_string(id), state);
}

void esinfo(int& status)
{
    status = kEntityNotOpen;
    if (!aside().empty()) {
        aside_entry entry = aside().back();
        aside().pop_back();
        eopen_block_set(entry.id, entry.position, status);
    }
    vantu::trace_call("esinfo", "", status);
}

void egclty(int id, int& entity_class, int& entity_type, int& status)
{
    status = 0;
    if (const vantu::entity* e = vantu::find_entity(id)) {
        entity_class = e->entity_class;
        entity_type = e->type;
    } else {
        status = kEntityMissing;
    }
    vantu::trace_count("egclty");
}

void evism(int mode, int id, std::string& text, int& status)
{
    status = vantu::find_entity(id) ? 0 : kEntityMissing;
    if (status == 0 && mode == 2) {
        visibility()[id] = text.substr(0, kVisibilityChars);
    } else if (status == 0 && mode == 1) {
        auto it = visibility().find(id);
        text = it == visibility().end() ? std::string(" ") : it->second;
    } else if (status == 0) {
        status = kEntityNotOpen;
    }
    vantu::trace_call("evism", std::to_string(mode) + "," + std::to_string(id), status);
}

void elngth(int& count, int& status)
{
    status = kEntityNotOpen;
    if (const vantu::entity* e = vantu::find_entity(vantu::store().open_id)) {
        count = static_cast<int>(e->words.size());
        status = 0;
    }
    vantu::trace_count("elngth");
}

void ezeroi(int n, int& status)
{
    if (n < 0 || n > kMaxEntityWords) {
        status = kEntityNotOpen;
        return;
    }
    std::vector<word> zeros(static_cast<std::size_t>(n), 0);
    eputn(n, zeros.data(), status);
}

void seq_db_id(int entity_class, int entity_type, int& id, int& status)
{
    status = 1;
    for (const auto& [key, e] : vantu::store().entities) {
        if (e.entity_class == entity_class && e.type == entity_type) {
            id = key;
            status = 0;
            break;
        }
    }
    vantu::trace_call("seq_db_id", std::to_string(entity_class) + " " + std::to_string(entity_type), status);
}

int lastid()
{
    const auto& all = vantu::store().entities;
    return all.empty() ? 0 : all.rbegin()->first;
}

int asexsr(int id) { return vantu::find_entity(id) ? 1 : 0; }

int prgvrs() { return kProgramVersion; }

void prgrel(int& r1, int& r2, int& r3)
{
    r1 = kProgramVersion / 100;
    r2 = kProgramVersion / 10 % 10;
    r3 = kProgramVersion % 10;
}

int prgpsn() { return kProgramPatch; }
int prgsrn() { return kProgramService; }

void sgparm_to_main(int mode, int tool_class, const int* header_words, int holder_mode, int& status)
{
    status = 0;
    if (auto fault = vantu::fault_hit("sgparm_to_main")) status = *fault;
    std::string arguments = std::to_string(mode) + " " + std::to_string(tool_class);
    for (int i = 0; header_words && i < 12; ++i) arguments += " " + std::to_string(header_words[i]);
    arguments += " " + std::to_string(holder_mode);
    vantu::trace_call("sgparm_to_main", arguments, status);
}
