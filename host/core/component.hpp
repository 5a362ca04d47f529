// Registry of the host stand-in's components. Each component (memory, list, entities, module
// data, messages, ...) keeps its state in its own file and registers how to reset it, how to
// save it into and load it from the part file, and what it has to report at the end of a run.
// Internal to the host: module code never includes this.
#pragma once

#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

namespace vantu {

struct component {
    const char* name;                                     // key of its section in the part file
    void (*reset)();                                      // back to the state of a fresh host
    void (*save)(nlohmann::json& section);                // may be null: nothing persisted
    void (*load)(const nlohmann::json& section);          // may be null; throws part_error
    void (*end_report)(std::vector<std::string>& lines);  // may be null: what was left behind
};

// Registers a component; called from a static initialiser of the component's file.
bool register_component(const component& c);

const std::vector<component>& components();

}  // namespace vantu
