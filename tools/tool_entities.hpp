// Tool entity services: create, write and delete tool entities (host class 20, entity type = tool
// class), a tool's library name for the listings, and the name lookup across the tool tables.
#pragma once

#include "tools/tool_records.hpp"

#include <string>

// Creates a tool entity of the class with its 12 header words (-1). Status 0, or id -1 and -5.
void tool_entity_create(int tool_class, int& entity_id, int& status);
// Writes the 12 header words. Status 0, or -5 when the entity cannot be opened or is no tool.
void tool_header_put(int entity_id, const tool_header& header, int& status);
// Deletes the tool entity and its main, user and condition records.
void tool_delete(int entity_id, const tool_header& header);
// The tool's name from its main record, upper case (20 characters). Status 0, or negative.
void tool_library_name(int tool_id, std::string& name, int& status);
// Finds a tool by name (upper case, 20 characters compared) in the tool tables of classes 1..10,
// the given class first: the tool's id and its class as the list, or -1 and -1.
void tool_list_find_name(int list, std::string_view name, int& tool_id, int& found_list);
