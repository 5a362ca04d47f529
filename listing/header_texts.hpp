// Text builders of the menus and listings: the six 22-character header fields of a tool path
// (tp_header_text, and tp_header_text_c as terminated strings) and the 19-character status text
// of a procedure (proc_status_text) from proc_table.
#pragma once

#include <string>

struct tp_header_fields {
    std::string name, size, bytes_left, type, level, macsys;  // 22 characters each
};

// The fields of tool-path entity `tool_path`; with `current` set the name and machine type come
// from NPT1 and RAXN and the size from the current list, else from the entity. The coordinate
// system and the level are the current ones for an entity id below 1, else the entity's own.
// Reads NPT1, RAXN and CLP1.
void tp_header_text(int tool_path, int current, tp_header_fields& fields);
// The same, each field as a terminated string of at most 22 characters (trailing blanks cut).
void tp_header_text_c(int tool_path, int current, tp_header_fields& fields);
// The status text of procedure n (1 to 201): "-----" and fourteen blanks, filled from the entry's
// columns; a number outside 1..201 leaves "-----" and blanks.
void proc_status_text(int procedure, std::string& text);
