// lst_state, the state the listing printers share: the tool-path origin, the type printed last,
// the current procedure number and the fixed-width columns the field writers fill. Least version
// until the tool-path listing is built: the state block alone.
#pragma once

#include <array>
#include <string>

struct listing_state {
    std::array<float, 3> origin{};     // the tool-path origin (listing form)
    int last_type = -1;                // the block type printed last (markers: 900 and more)
    int procedure = 0;                 // the current procedure number
    int line = 1;                      // the line counter of the listing file
    std::string block_column = std::string(6, ' ');     // block number
    std::string proc_block_column = std::string(11, ' ');  // procedure and block number
    std::string coordinate_column = std::string(48, ' ');  // coordinates
    std::string line_buffer = std::string(80, ' ');
};
listing_state& lst_state();
