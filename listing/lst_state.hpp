// lst_state, the state the listings share: the tool-path origin, the type printed last, the
// current procedure number, the fixed-width columns the field writers fill, and the procedure
// list being written (its unit and the tool paths it is listing, so that a nested tool path
// appends to it and none is listed twice), and the tool paths the procedure header list walks.
#pragma once

#include <array>
#include <string>
#include <vector>

struct listing_state {
    std::array<float, 3> origin{};                         // the tool-path origin (listing form)
    int last_type = -1;                                    // the block type printed last (markers: 900 and more)
    int procedure = 0;                                     // the current procedure number
    int line = 1;                                          // the line counter of the listing file
    std::string block_column = std::string(6, ' ');        // block number
    std::string proc_block_column = std::string(11, ' ');  // procedure and block number
    std::string coordinate_column = std::string(48, ' ');  // coordinates
    std::string line_buffer = std::string(80, ' ');
    int proc_list_unit = -1;             // the procedure list's open unit; -1 when none is written
    std::vector<int> proc_list_paths;    // tool paths being listed (0: the current list)
    std::vector<int> header_list_paths;  // stored tool paths the procedure header list is walking
};
listing_state& lst_state();
