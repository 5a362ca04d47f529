// A caller module of the tests that stands for the host's edit command of a tool path: its drelan
// restores the NC state as the procedure driver's start does, shows the procedure as the host
// shows the tool path of an opened part, and opens the manual editor, with every right but the
// seventh word, on the procedure the host placed the list on (hostrun --edit N). It adds no
// behaviour to the module and is never part of drelan.so.
#include "driver/nc_state_store.hpp"
#include "edit/manedt.hpp"
#include "host/vantu.hpp"
#include "listing/dsproc.hpp"
#include "nc_services/nc_state_blocks.hpp"

extern "C" int drelan_attach(int) { return 1; }

extern "C" void drelan()
{
    int status = 0;
    SEGSTR(kRestoreWithView, status);
    if (status < 0) return;
    const int procedure = EDA2().word_no(edit_state::kProcedureNumber);
    if (procedure < 1) {
        eroutc("tp_editor, NO PROCEDURE IS OPEN FOR EDITING", 0);
        return;
    }
    int draw = 1;
    DSPROC(draw, status);
    if (status < 0) return;
    const edit_perm rights{1, 1, 1, 1, 1, 1, 0};
    int start_at_end = 0, changed = 0;
    manedt(procedure, rights, start_at_end, 0, changed, status);
}
