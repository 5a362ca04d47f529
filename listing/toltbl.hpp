// TOLTBL, the tool list: the tools the motions of a tool path use, each once in the order first
// met, with their names and the parameter listing the tool dialog writes in its listing mode,
// into "<part>TOOLS_LIST" through the host's output-file layer. The service menu starts it.
#pragma once

// The tool-list slot that holds the tools while the list is written.
inline constexpr int kToolListingSlot = 4;

// mode 2 lists the current tool path, mode 1 the stored tool path `tool_path`. status 0, -1 when
// the file cannot be opened or closed, or the list position cannot be kept. "NOT IN MACSYS" for
// a tool path whose view is no MACSYS (no file). Keeps the list position and the procedure
// context. Reads NPT1 and proc_table.
void TOLTBL(int tool_path, int mode, int& status);
// Collects the tools of the procedures of the stored tool path into the slot. Status 0, -1 after
// its message.
void toltbl_ent(int tool_path, int slot, int& status);
