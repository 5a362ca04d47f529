// Tool symbols: the placement data of symbol masters (host class 14), the symbol instance
// (class 13, type 2) that shows a master at a position, and the interactive placement of the
// tool dialog's symbol page. The tool display places its instance through tool_display_frame.
#pragma once

#include <string>

inline constexpr int kInstanceClass = 13, kSymbolInstanceType = 2;

// True for class 14 with type 1, 4 or 9: masters whose placement data are their own record.
bool is_class14_type149(int entity_class, int entity_type);
// The head of a master record of type 1, 4 or 9; `extra` is written only for type 4.
void GIMASH(int master_id, int& head, float (&matrix)[9], float (&point)[3], int& slave_count, int& extra, int& status);
// The placement data of a master of any kind; resolved_id is written when the master refers to
// another one. Status 0, or -1 with "GTMSTR - ILLEGAL MASTER ENTITY".
void GTMSTR(int master_id, float (&point)[3], float (&matrix)[9], int& resolved_id, int& status);
// Creates (id below 1) or rewrites a symbol instance: master id, matrix, position and scale.
// A negative id also sets the new instance's display attributes to 0 and attaches it to the
// master. Status 0, or -1.
void store_c13_entity(int& instance_id, int master_id, const float (&matrix)[9], const float (&position)[3],
                      float scale, int type, int& status);
// The names of a symbol master as MSNAME gives them; status 1 (nothing read) when the part has
// no name table.
void symbol_master_name(int master_id, int& kind, std::string& file_name, std::string& name, int& status);
// Creates or updates the tool instance from the master's own frame turned by `orientation`, at
// `origin` (model coordinates), and records its position and axis for the motion display.
void tool_display_frame(int& instance_id, int master_id, const float (&orientation)[9], const float (&origin)[3],
                        float scale, int& status);
// Places one instance of the master at a point the user indicates (id 0 when none was placed).
void TLDSYM(int master_id, float scale, int& instance_id);
