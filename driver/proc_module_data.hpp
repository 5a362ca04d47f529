// The parameter block of a procedure type as module data of the part: saved under the type code
// at the end of every run, so that the next new procedure starts from the last parameters, and
// loaded at the start of a run together with the tool, the point tables and the EDA2 record.
#pragma once

#include "host/words.hpp"
#include "nc_services/proc_type_table.hpp"

#include <string_view>

inline constexpr int kModuleDataLoad = 1, kModuleDataSave = 2, kModuleDataLoadTemplate = 3;
// Status of a load for a template-create run when no tool could be chosen or made current.
inline constexpr int kNoToolForTemplate = -11;

// Mode 2 saves: the defaults callback (mode 2), the block_length words of block under the type
// code, the machine table for machining type 38, and EDA2 with its editing and view-only words
// cleared under "EDA2". Modes 1 and 3 load: EDA2 from module data, the tool (tool_choose, or the
// current tool of PRM9 made current again for a view-only procedure), the point tables, then
// mode := 1 and the defaults callback (mode 1); for a new procedure the stored block (a shorter
// record fills only its words, a longer one no more than the block), the tool values and, for
// machining type 38, the machine table. Status 0, the failing status, or kNoToolForTemplate.
void proc_module_data(int& mode, std::string_view type_code, int block_length, word* block, defaults_callback defaults,
                      int& status);
