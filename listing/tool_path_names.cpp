// tool_path_names_of (see the header).
#include "listing/tool_path_names.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kNameChars = 8;

}  // namespace

tool_path_names tool_path_names_of(int tool_path, bool from_entity)
{
    tool_path_names n;
    int view = 0, status = 0;
    if (from_entity) {
        std::vector<word> header;
        get_set_tp_header(1, tool_path, header, status);
        char chars[kNameChars] = {};
        if (status == 0 && header.size() >= 2) std::memcpy(chars, header.data(), sizeof chars);
        n.name = std::string(chars, kNameChars);
        eattc(tool_path, 1, "VN", view, status);
    } else {
        const tp_header_state& h = NPT1();
        n.name =
            word_to_text4(h.at(tp_header_state::kMacsysName)) + word_to_text4(h.at(tp_header_state::kMacsysName + 1));
        gsvnum(1, view);
    }
    n.name = n.name.substr(0, n.name.find('\0'));
    n.name.resize(kNameChars, ' ');
    gvtdat(view, n.macsys);
    gvtknd(view, n.view_kind);
    return n;
}
