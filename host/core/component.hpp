// Registry of the host stand-in's components. Each component (memory, list, entities, module
// data, messages, ...) keeps its state in its own file and registers how to reset it, how to
// save it into and load it from the part file, and what it has to report at the end of a run.
// Internal to the host: module code never includes this.
#pragma once

#include <iosfwd>
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

// A component whose section can be large (the tool path) writes it straight into the part file's
// stream instead of building it as a JSON tree: the text the part's JSON writer would give it, one
// blank of indent a level, the section's value standing at nesting depth `depth`. Its component
// then saves nothing through `save`.
struct section_writer {
    const char* name;  // key of its section in the part file
    void (*write)(std::ostream& out, int depth);
};

bool register_section_writer(const section_writer& w);

const std::vector<section_writer>& section_writers();

// Writes a JSON value in the part file's layout, the value standing at nesting depth `depth`.
void write_json(std::ostream& out, const nlohmann::json& value, int depth);

}  // namespace vantu
