// Control view of the tool-path display services (host/vantu_tpdisplay.hpp).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace vantu::control {

// Views the host knows: their matrix and name; a UCS entity's view.
void set_view(int view, const std::array<float, 9>& matrix, const std::string& name);
// A view of another kind than a MACSYS (3, which every view is until set).
void set_view_kind(int view, int kind);
void set_ucs_view(int ucs, int view);
void set_level_name(int level, const std::string& name);

struct work_view_record {
    int view = 0;        // "WVPTR"
    float depth = 0.0f;  // "DEPTH"
    int saves = 0, sets = 0;
};
work_view_record work_view();
// Axis symbols drawn by updax (origin and direction) and whether their display is on.
struct axis_symbol {
    std::array<float, 3> origin{}, direction{};
    float size = 0.0f;
};
const std::vector<axis_symbol>& axis_symbols();
int axis_display();
// The NC table id read last (0 before any read).
int nc_table_read();

}  // namespace vantu::control
