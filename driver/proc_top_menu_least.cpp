// The top lines of a procedure parameter dialog (least version, see the header).
#include "driver/proc_top_menu_least.hpp"

#include "driver/interaction_modes.hpp"
#include "driver/nc_state_blocks.hpp"
#include "host/vantu.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kShowAgain = 0, kLeave = 1;

}  // namespace

void proc_top_menu(int /*kind*/, int page_count, const int* /*flags*/, int (&item_map)[kTopMenuItems], int& item_count,
                   int& status)
{
    std::fill(std::begin(item_map), std::end(item_map), 0);
    int mode = 0;
    begin_pick_mode(0, std::max(page_count, 1), mode, status);
    if (status < 0) return;
    std::string number;
    int length = 0;
    cvi2t(EDA2().word_no(edit_state::kProcedureNumber), number, length);
    int line = 0;
    modumc("PROCEDURE =" + number, 0);
    modmc("FREE TEXT", line);
    modmc("MACHINING PARAMS ...", line);
    modmc("SERVICE ...", line);
    item_map[kTopFreeText] = 2;
    item_map[kTopMachining] = 3;
    item_map[kTopService] = 4;
    item_count = 4;
    status = 0;
}

void proc_top_menu_do(int /*kind*/, const int (&item_map)[kTopMenuItems], int& answer, int& tool_changed, int& redisplay)
{
    tool_changed = 0;
    modif1(answer);
    const bool top_item = answer > 0 && std::find(std::begin(item_map), std::end(item_map), answer) != std::end(item_map);
    redisplay = top_item ? kShowAgain : kLeave;
}
