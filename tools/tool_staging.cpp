// Staging slots of the tool records: copies of the working record line and definition, so that
// a tool's main record, its cutting conditions and its user record can be open at once.
#include "tools/data_dictionary.hpp"
#include "tools/tool_records.hpp"

#include <memory>

namespace {

struct staging_slot {
    dd_record_line line;
    dd_record_type type;
    bool filled = false;
};

constexpr int kSlotNumbers[] = {1, 2, 3, 6, 7, 8};

staging_slot* slot_for(int slot)
{
    static auto* slots = new std::array<staging_slot, 6>;
    for (std::size_t k = 0; k < std::size(kSlotNumbers); ++k)
        if (kSlotNumbers[k] == slot) return &(*slots)[k];
    return nullptr;
}

}  // namespace

void toolrec_stage(int op, int slot)
{
    staging_slot* s = slot_for(slot);
    if (!s) return;
    if (op == 6) {
        s->line = dd_line();
        s->type = dd_type();
        s->filled = true;
    } else {
        dd_line() = s->line;
        dd_type() = s->type;
    }
}

bool toolrec_slot_filled(int slot)
{
    staging_slot* s = slot_for(slot);
    return s && s->filled;
}

void toolrec_slot_clear(int slot)
{
    if (staging_slot* s = slot_for(slot)) s->filled = false;
}

void toolrec_open(int slot, int table_id, int record_id, int& status)
{
    status = kToolNotRead;
    if (table_id < 1) return;
    dd_type().table_id = table_id;
    int loaded = 0;
    NGGDE1(loaded);
    if (loaded < 0) return;
    if (record_id >= 1) {
        int record = record_id;
        int read = 0;
        NGREM1(kDdRead, record, read);
        if (read == kDdFreeRecord) {
            status = read;
            return;
        }
        if (read != 0) return;
    } else {
        dd_line_defaults();
    }
    dd_type().record_id = record_id;
    toolrec_stage(6, slot);
    status = 0;
}

void toolrec_put(int slot, int& record_id, int& status)
{
    toolrec_stage(0, slot);
    int record = record_id;
    NGREM1(record_id < 1 ? kDdAppend : kDdRewrite, record, status);
    if (status != 0) {
        status = kToolNotRead;
        return;
    }
    record_id = record;
    dd_type().record_id = record;
    toolrec_stage(6, slot);
}
