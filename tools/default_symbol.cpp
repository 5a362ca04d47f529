// SYTYPE: the default symbol of the current tool. The class routine draws into the symbol list;
// what it made becomes the slaves of a new master, or is removed again when anything failed.
// Reads current_tool (through the class routines).
#include "tools/default_symbol.hpp"
#include "tools/current_tool.hpp"

#include "host/vantu.hpp"

namespace {

constexpr int kFailed = -5;
constexpr int kRead = 1, kWrite = 2;

// The host's work-plane words, set to 0 and 0 while the symbol is drawn in world coordinates and
// given back on every way out.
class world_work_plane {
public:
    world_work_plane()
    {
        gswpld(kRead, saved_);
        int world[2] = {0, 0};
        gswpld(kWrite, world);
    }
    ~world_work_plane() { gswpld(kWrite, saved_); }
    world_work_plane(const world_work_plane&) = delete;
    world_work_plane& operator=(const world_work_plane&) = delete;

private:
    int saved_[2] = {0, 0};
};

void draw_class(int tool_class, symbol_list& list, int& status)
{
    switch (tool_class) {
    case kDrill: symbol_drill(list, status); break;
    case kMill: symbol_mill(list, status); break;
    case kLathe: symbol_lathe(list, status); break;
    case kPunch: symbol_punch(list, status); break;
    case kLatheDrill: symbol_lathe_drill(list, status); break;
    case kThread: symbol_thread(list, status); break;
    case kGroove: symbol_groove(list, status); break;
    default: symbol_wire(list, status); break;
    }
    // On return the count is the number of entities made.
    list.count -= 1;
}

void remove_drawn(symbol_list& list)
{
    for (int& id : list.ids) {
        int ignored = 0;
        if (id > 0) edelet(id, ignored);
        id = -1;
    }
}

}  // namespace

void SYTYPE(int tool_class, int& master_id, int& status)
{
    master_id = -1;
    status = 0;
    if (tool_class < 1 || tool_class > kToolClasses) return;
    world_work_plane world;
    symbol_list list;
    draw_class(tool_class, list, status);
    int master = -1;
    if (status >= 0 && list.count >= 1) GCSMAS(master, list.count, list.ids.data(), list.reference, status);
    if (status < 0 || master < 1) {
        // Nothing of a half-made symbol stays in the part, its slaves included.
        remove_drawn(list);
        if (master > 0) {
            int ignored = 0;
            edelet(master, ignored);
        }
        eroutc("SYTYPE, CANNOT CREATE DEFAULT TOOL SYMBOL", 0);
        status = kFailed;
        return;
    }
    master_id = master;
    status = 0;
}
