// The tool library: whole tools read and written as tool entities (tool_entity_io), tools found by
// name, free holder and register numbers, the shape shadow that tells whether an edit changed a
// tool's shape, the names of a symbol master, and the tool materials of "material.tol".
#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr int kEntityRead = 3, kEntityWrite = 6;  // tool_entity_io modes

// Mode 3 reads the tool (header, records, a mill's holders) into the current tool; a tool id
// below 1 gives the record defaults of a new tool. Mode 6 writes the current tool's records and
// header into the tool entity (and a mill's holder set into the holder entity). holder_id: the
// holder entity read (mode 3) or to be named in the header (mode 6). Status 0, or -5 (mode 6 then
// removes the records it appended). Reads and writes current_tool, tool_shape_records and
// holder_set; reads holder_use_flag.
void tool_entity_io(int mode, int tool_class, int tool_id, int& holder_id, int& status);

// Looks a name (at most 20 characters) up in the tool tables, the class's own first: result 0
// found in the class's own table, 1 in another class's (never for the cycle class 15), -1 none.
void tool_find_by_name(std::string_view name, int tool_class, int& tool_id, int& result);
// result 0 when a tool of classes 1..10 (for class 15 a drill cycle) has the name, 1 when none
// has, -5 on a read error.
void tool_name_in_use(std::string_view name, int tool_class, int& result);
// result 0 when a tool of the class's family has the holder number, 1 when none has, -5 on a
// read error. Both this and holder_number_free set the allowed-class flags to the family.
void holder_number_in_use(int tool_class, int holder, int& result);
// The smallest holder number from 1 up that no tool of the class's family has; a mill's DIMCMP,
// LENCMP and FIXCMP take it too. Status 0 or -5.
void holder_number_free(int tool_class, int& holder, int& status);
// The smallest register number no AGIE tool has as REGSTR, given to the current tool's REGSTR,
// GNRTOR, SFLUSH, OFFSET and PANGLE. Status 0, or -5 when there is no AGIE table.
void agie_register_free(int& status);
// The class name, 11 characters.
void class_name_text(int tool_class, std::string& text);

// Mode 1 keeps the shape fields of the current tool of the class; mode 2 sets changed to 1 when
// any of them differs from the kept ones (reals by neval), else 0.
void tool_shape_shadow(int mode, int tool_class, int& changed);

// Name (20 characters, upper case) and part file name (128 characters) of a symbol master. A
// master id below 1 or a master whose names cannot be read gives id -1, kind 9 (the default
// symbol), blanks and status -5.
void master_info(int& master_id, int& kind, std::string& name, std::string& file_name, int& status);

// The tool materials: entry 1 "DEFAULT", then up to 19 first words of "material.tol".
inline constexpr int kMaxMaterials = 20, kMaterialChars = 20;
struct tool_material_list {
    std::array<std::string, kMaxMaterials> names;
    int count = 0;
    int long_names = 0;  // a name longer than 10 characters: the menu is 20 wide
};
tool_material_list& tool_materials();
void material_list_load();
// Asks "TOOL MATERIAL:" in a data menu of the materials: status 0 with the name (20 characters,
// blank-padded), or -1 / -2 when the user backs out.
void material_menu(std::string& name, int& status);
