// Control view of the tool path's display file (host/vantu_ncd_file.hpp): its blocks in file
// order with their addresses, attributes and points, and the file as text.
#pragma once

#include "host/control/display.hpp"

#include <string>
#include <vector>

namespace vantu::control {

struct ncd_block_record {
    int level = 0, block1 = 0, block2 = 0;
    char kind = 'M';   // M move, D drill stroke, A arc, S spline
    int blank = 0, fast_blank = 0, font = 0, colour = 0, pen = 0;
    polyline3 points;  // the start (where the pen stood), any arc or spline points, the end
};

const std::vector<ncd_block_record>& ncd_blocks();
// The view the display file is shown in (ncd_update_current_vptr), 0 before any.
int ncd_current_view();
// One line per block: "L/B1/B2 kind font F colour C pen P [blank] [fast blank]: x y z -> x y z".
std::string ncd_file_text();

}  // namespace vantu::control
