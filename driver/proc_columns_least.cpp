// The procedure-table columns of the status line (least version, see the header).
#include "driver/proc_columns_least.hpp"

#include "driver/nc_state_texts.hpp"
#include "host/vantu_messages.hpp"

#include <array>
#include <cstddef>

namespace {
std::array<proc_columns_entry, proc_summary_table::kProcedures + 1> g_columns;
}  // namespace

proc_columns_entry* proc_columns(int position)
{
    if (position < 1 || position > proc_summary_table::kProcedures) {
        erou1c("PROCEDURE TABLE, POSITION OUT OF RANGE:", position);
        return nullptr;
    }
    return &g_columns[static_cast<std::size_t>(position)];
}
