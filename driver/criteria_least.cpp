// Criteria re-activation and list, least version (see the header).
#include "driver/criteria_least.hpp"

#include "host/vantu.hpp"

namespace {
constexpr int kGet = 1, kSet = 2;
constexpr int kCriteriaTypes = 4;   // part and check surfaces, closed and open contours
}  // namespace

void crit_activate(int /*mode*/, int /*apply*/, int& status)
{
    status = 0;
    for (int type = 0; type < kCriteriaTypes; ++type) {
        int active = 0;
        active_mask_gs(kGet, type, active);
        if (!active) continue;
        int change = 0;
        if (nc_geomsk_lst_count(type) == 0) {
            int off = 0;
            active_mask_gs(kSet, type, off);
            crit_gs_change(kSet, type, change);
            continue;
        }
        crit_gs_change(kGet, type, change);
        if (status == 0) status = change;
    }
}

void proc_criteria_list(int /*nc_function*/, int /*word*/, int& status) { status = 0; }
