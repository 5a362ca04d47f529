// The point tables' saved copies, change tests, reset and stores (least version, see the header).
#include "pocket/entry_pnt_tables_least.hpp"

#include "host/vantu_compare.hpp"

#include <algorithm>

namespace {

constexpr int kGuideStore = 1, kLoad = 1;

entry_pnt_tables g_tables;

void take_saved_copy(entry_pnt_set& set)
{
    set.saved_points = set.points;
    set.saved_count = set.count;
}

int unchanged(const entry_pnt_set& set)
{
    if (set.count != set.saved_count) return 0;
    // The count comes from the set itself; it never leaves the table's room.
    const int n = std::clamp(set.count, 0, kMaxEntryPnts);
    for (int i = 0; i < n; ++i)
        if (!eqpt3(set.points[static_cast<std::size_t>(i)].data(), set.saved_points[static_cast<std::size_t>(i)].data()))
            return 0;
    return 1;
}

}  // namespace

entry_pnt_tables& entry_pnts() { return g_tables; }

void save_pnt_tables()
{
    take_saved_copy(g_tables.working);
    take_saved_copy(g_tables.guide);
    take_saved_copy(g_tables.end);
}

int entry_pnts_unchanged() { return unchanged(g_tables.working); }

int guide_end_pnts_unchanged() { return unchanged(g_tables.guide) && unchanged(g_tables.end) ? 1 : 0; }

void save_entry_pnts(int which, int direction)
{
    entry_pnt_set& store = which == kGuideStore ? g_tables.guide : g_tables.end;
    if (direction == kLoad) g_tables.working = store;
    else store = g_tables.working;
    g_tables.symbol_kind = which;
}

void reset_entry_pnts()
{
    g_tables.working.count = 0;
    g_tables.working.saved_count = 0;
    g_tables.working.group_count = 0;
}

void pntlist_save() { g_tables.picked_saved_count = g_tables.picked_count; }

int pntlist_unchanged() { return g_tables.picked_count == g_tables.picked_saved_count ? 1 : 0; }
