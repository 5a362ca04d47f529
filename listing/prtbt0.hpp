// PRTBT0, the printer of the tool-path header block (type 0) in the listings; PRTBLK calls it.
#pragma once

#include "toolpath/tp_blocks.hpp"

// The header's names (MACSYS, level, tool-path name, machine type, UCS), origin and home in the
// form's lines: form 0 the HEADER record, 1 the names, the note on coordinates and the points,
// 2 the names alone, 3 one table row. The level and MACSYS are those of the tool path CLP1 opens
// (procedure_id -1), the current ones (0), or the entity's own (above 0). Reads CLP1.
void PRTBT0(int form, int procedure_id, int unit, int size, const tp_header_block& header, float scale);
