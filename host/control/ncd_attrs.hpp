// Control view of the display-file attributes (host/vantu_ncdisplay.hpp).
#pragma once

namespace vantu::control {

struct ncd_attributes {
    int blank = 0;
    int fast_blank = 0;
    int font = 0;
    int colour = 0;
    int pen = 0;
};

ncd_attributes ncd_current_attrs();

}  // namespace vantu::control
