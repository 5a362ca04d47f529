// The pocket's parameter records as data: for each parameter code, where its values live (words
// of the parameter block, the per-contour arrays of the contour table, the entry points, the
// current tool) and how many there are. The put-parameters callback writes the records in the
// table's order, the read-parameters callback stores each code it reads where the table says.
#pragma once

#include <span>

enum class param_source {
    block,             // words of drelan_params from `index`: 1 value, or `count` adjacent words
    approach_retract,  // code 14: approach length, then retract length
    contour_offset,    // code 41: one value per contour
    contour_draft,     // code 142
    contour_type,      // code 263
    entry_count,       // code 219: the number of entry points
    entry_points,      // code 220: x, y, z of every entry point
    tool_id,           // code 198: the current tool of PRM9
};

struct param_row {
    int code;
    param_source source;
    int index;  // word index in drelan_params (source block)
    bool real;  // values are reals (deftyp 1), else integers (deftyp 0)
    int count;  // values of a block row
};

// The rows in the order the put-parameters callback writes them.
std::span<const param_row> pocket_param_rows();
// The row of a code, null when the code is none of the table's.
const param_row* find_param_row(int code);
// Rows left out of a template: the per-contour values and the tool.
bool param_row_in_template(const param_row& row);
