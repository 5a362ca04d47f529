// The point sets of the pocket: adding, deleting, reading and moving points with their symbols,
// the saved copies and change tests, the stores, and the entry-point request flag.
#include "pocket/entry_pnt_tables.hpp"

#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "surfaces/tool_symbol.hpp"

#include <algorithm>
#include <string>

namespace {

constexpr int kGuideStore = 1, kLoad = 1, kGet = 1;
constexpr int kDraw = 1;
constexpr int kDeleteAll = 0, kSymbolsOnly = 1, kLastGroup = 2, kRedraw = 3;
constexpr int kNoSymbol = 0;
constexpr int kSymbolMachiningType = 13;
constexpr float kSymbolAxis[3] = {0.0f, 0.0f, 1.0f};

entry_pnt_tables g_tables;

entry_pnt_set& working() { return g_tables.working; }

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
        if (!eqpt3(set.points[i].data(), set.saved_points[i].data())) return 0;
    return 1;
}

// Draws the symbol of point i of the working set; false when the host cannot form it.
bool draw_symbol(int i, int& status)
{
    entry_pnt_set& w = working();
    const int kind = machining_type() == kSymbolMachiningType ? 2 * g_tables.symbol_kind - 1 : 1;
    const float point[3] = {w.points[i][0], w.points[i][1], w.points[i][2]};
    int figure = kNoSymbol;
    SHOWTL(kind, point, kSymbolAxis, figure, status);
    w.symbol_ids[i] = status == 0 ? figure : kNoSymbol;
    return status == 0;
}

void delete_symbol(int i)
{
    int& id = working().symbol_ids[i];
    if (id != kNoSymbol) {
        int status = 0;
        figdel(id, status);
        id = kNoSymbol;
    }
}

// All points left form one group.
void one_group()
{
    entry_pnt_set& w = working();
    w.group_count = w.count > 0 ? 1 : 0;
    w.group_sizes[0] = w.count;
}

bool valid_index(int index) { return index >= 1 && index <= working().count; }

}  // namespace

entry_pnt_tables& entry_pnts() { return g_tables; }

void add_entry_pnts(int mode, int n, const float* points, const int* sources, int& status)
{
    entry_pnt_set& w = working();
    status = 0;
    if (n < 1 || points == nullptr || sources == nullptr) return;
    if (w.count + n > kMaxEntryPnts || w.group_count >= kMaxEntryPnts) {
        user1c("NO MORE THAN", 'I', kMaxEntryPnts, "ENTRY POINTS ARE PERMITTED.");
        status = -1;
        return;
    }
    for (int i = 0; i < n; ++i) {
        std::copy(points + 3 * i, points + 3 * i + 3, w.points[w.count + i].begin());
        w.source_ids[w.count + i] = sources[i];
        w.symbol_ids[w.count + i] = kNoSymbol;
    }
    int added = n;
    if (mode == kDraw) {
        added = 0;
        while (added < n && draw_symbol(w.count + added, status)) ++added;
    }
    // A drawing failure keeps the points drawn so far, and the group records just those.
    w.count += added;
    if (added > 0) w.group_sizes[w.group_count++] = added;
}

void del_pnt_symbols(int mode)
{
    entry_pnt_set& w = working();
    w.count = std::clamp(w.count, 0, kMaxEntryPnts);
    if (mode == kLastGroup) {
        if (w.group_count < 1) return;
        const int n = std::clamp(w.group_sizes[--w.group_count], 0, w.count);
        for (int i = w.count - n; i < w.count; ++i) delete_symbol(i);
        w.count -= n;
        return;
    }
    for (int i = 0; i < w.count; ++i) delete_symbol(i);
    if (mode == kDeleteAll) {
        w.count = 0;
        w.group_count = 0;
    } else if (mode == kRedraw) {
        int status = 0;
        for (int i = 0; i < w.count; ++i) draw_symbol(i, status);
    }
}

int get_n_entry_pnts() { return g_tables.working.count; }
int get_n_guide_pnts() { return g_tables.guide.count; }
int get_n_end_pnts() { return g_tables.end.count; }

int find_pnt_by_symbol(int symbol)
{
    const entry_pnt_set& w = working();
    for (int i = 0; i < w.count && i < kMaxEntryPnts; ++i)
        if (symbol != kNoSymbol && w.symbol_ids[i] == symbol) return i + 1;
    return -1;
}

void delete_entry_pnt(int index)
{
    if (!valid_index(index)) return;
    entry_pnt_set& w = working();
    delete_symbol(index - 1);
    for (int i = index; i < w.count; ++i) {
        w.points[i - 1] = w.points[i];
        w.symbol_ids[i - 1] = w.symbol_ids[i];
        w.source_ids[i - 1] = w.source_ids[i];
    }
    --w.count;
    one_group();
}

void get_entry_pnt(int index, float* point)
{
    if (valid_index(index) && point)
        std::copy(working().points[index - 1].begin(), working().points[index - 1].end(), point);
}

int get_pnt_source(int index) { return valid_index(index + 1) ? working().source_ids[index] : -1; }

void copy_entry_pnts(float* buffer)
{
    const entry_pnt_set& w = working();
    for (int i = 0; buffer && i < w.count && i < kMaxEntryPnts; ++i)
        std::copy(w.points[i].begin(), w.points[i].end(), buffer + 3 * i);
}

void move_entry_pnt(int index, const float* point)
{
    if (!valid_index(index) || point == nullptr || eqpt3(working().points[index - 1].data(), point)) return;
    delete_symbol(index - 1);
    std::copy(point, point + 3, working().points[index - 1].begin());
    int status = 0;
    draw_symbol(index - 1, status);
}

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
    if (direction == kLoad)
        g_tables.working = store;
    else
        store = g_tables.working;
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

void entpnt_flag_reset() { g_tables.request_flag = 0; }

void entpnt_flag_gs(int mode, int& value)
{
    if (mode == kGet)
        value = g_tables.request_flag;
    else
        g_tables.request_flag = value;
}
