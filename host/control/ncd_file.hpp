// Control view of the tool path's display file (host/vantu_ncd_file.hpp): its blocks in file
// order with their addresses, attributes and points, the file as text, and the block a display
// pick meets.
#pragma once

#include "host/control/block_points.hpp"
#include "host/control/display.hpp"

#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

namespace vantu::control {

// A long tool path keeps one per move: the marks are flags and the points of a move lie inside
// the record (64 bytes).
struct ncd_block_record {
    int level = 0, block1 = 0, block2 = 0;
    int font = 0, colour = 0, pen = 0;
    bool blank = false, fast_blank = false;
    bool attention = false;  // shown in the attention colour
    char kind = 'M';         // M move, D drill stroke, A arc, S spline
    bool has_start = false;  // points begin with the start: there was a block or a pen before it
    // The start (the end of the block before it in the file, where the pen stood for the file's
    // first block), any arc or spline points, the end.
    block_points points;
};

// A deque: a long file grows without copying itself or keeping unused room.
const std::deque<ncd_block_record>& ncd_blocks();
// The view the display file is shown in (ncd_update_current_vptr), 0 before any.
int ncd_current_view();
// One line per block: "L/B1/B2 kind font F colour C pen P [blank] [fast blank] [attention]:
// x y z -> x y z".
std::string ncd_file_text();
void write_ncd_file_text(std::ostream& out);

// The block the next display pick meets (ncd_get_picked): the block number of its procedure
// block (0: none), its level (1 the procedure block, 2 a block under it) and its own block
// number. A script's pick of a block ({"pick": {"block": [procedure block, block]}}) sets it too.
void set_picked_key_block(int procedure_block, int level, int block_number);

}  // namespace vantu::control
