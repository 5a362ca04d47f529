// The modal display state at the editor's cursor: after a move the last parameter block of each
// modal type before the cursor is applied again (PRVMCH), so that feed, spin, coolant, tool and
// the others shown are those in force there. The types depend on the machine type of NPT1.
#include "edit/editor/cursor_routines.hpp"

#include "edit/editor/machining_state.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/nc_state_blocks.hpp"

namespace {

// Display mode of PRVMCH for the cursor moves.
constexpr int kCursorMoveMode = 3;

constexpr int kMillTypes[] = {1, 2, 3, 5, 100, 10, 55};
constexpr int kPunchTypes[] = {52, 53, 100, 55};
constexpr int kLatheTypes[] = {1, 2, 3, 100, 55};
constexpr int kWireTypes[] = {100, 55, 11, 12, 13, 14, 15, 16, 20, 21, 22, 23, 24, 25,
                              26,  27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39};

}  // namespace

std::span<const int> updbot_prm_types(int machine_type)
{
    if (machine_type >= 22 && machine_type <= 26) return kMillTypes;
    if (machine_type == 12 || machine_type == 13) return kPunchTypes;
    if (machine_type == 31) return kLatheTypes;
    if (machine_type >= 61 && machine_type <= 80) return kWireTypes;
    return {};
}

void UPDBOT(int& status)
{
    if (status >= 0) {
        const std::span<const int> types = updbot_prm_types(NPT1().machine_type());
        if (types.empty()) return;
        PRVMCH(kCursorMoveMode, static_cast<int>(types.size()), types.data(), status);
        if (status >= 0) return;
    }
    eroutc("UPDBOT, ERRORS IN LIST", 0);
    status = -1;
}
