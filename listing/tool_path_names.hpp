// The names a listing heading shows for a tool path: its 8-character name, the name of its
// coordinate system and that system's kind (3 a MACSYS). The tool list and the procedure header
// list call it.
#pragma once

#include <string>

inline constexpr int kMacsysViewKind = 3;

struct tool_path_names {
    std::string name;    // 8 characters
    std::string macsys;  // 8 characters
    int view_kind = kMacsysViewKind;
};

// from_entity: the stored tool path (its header's name, its "VN" view); otherwise the current
// tool path (NPT1's name, the current view). Reads NPT1.
tool_path_names tool_path_names_of(int tool_path, bool from_entity);
