// The holder entity of a mill (class 20, type 14): the record version and the count, the four
// arrays of 12 reals (bottom and top diameters, cone heights, total heights; entry 1 the shank),
// the shank mode and a second mode word.
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

namespace {

constexpr int kRead = 1, kWrite = 2, kCreate = 3, kReset = 4;
constexpr float kResetTotalHeight = 0.5f;

bool holders_in_use = false;

void write_holder(int version, holder_set& set, int& status)
{
    int head[2] = {version, set.count};
    eputi(2, head, status);
    for (auto* list : {&set.bottom_diameter, &set.top_diameter, &set.cone_height, &set.total_height})
        if (status == 0) eputr(kHolderSlots, list->data(), status);
    int tail[2] = {set.shank_mode, set.second_mode};
    if (status == 0) eputi(2, tail, status);
}

void read_holder(int& version, holder_set& set, int& status)
{
    int head[2] = {0, 0};
    egeti(2, head, status);
    holder_set read = set;
    for (auto* list : {&read.bottom_diameter, &read.top_diameter, &read.cone_height, &read.total_height})
        if (status == 0) egetr(kHolderSlots, list->data(), status);
    int tail[2] = {0, 0};
    if (status == 0) egeti(2, tail, status);
    if (status != 0) return;
    // The arrays hold 12 entries; a count beyond what the holder dialog allows is refused.
    if (head[1] > kMaxHolderCount) {
        eroutc("[dbdholdr] holder count out of range !", 0);
        status = -1;
        return;
    }
    version = head[0];
    read.count = head[1] < 1 ? 1 : head[1];
    read.shank_mode = tail[0] < 1 ? 1 : tail[0];
    read.second_mode = tail[1];
    set = read;
}

void reset_set(holder_set& set, float total_height)
{
    set.count = 1;
    set.bottom_diameter.fill(0.0f);
    set.top_diameter.fill(0.0f);
    set.cone_height.fill(0.0f);
    set.total_height.fill(total_height);
    set.shank_mode = 1;
    set.second_mode = 1;
    tool_block().holder_mode = 1;
}

// Creates a holder entity holding the set; the entity stays open.
void create_holder(int& holder_id, int version, holder_set& set, int& status)
{
    estore(kToolEntityClass, kHolderEntityType, holder_id, status);
    if (status != 0) {
        eroutc("dbdholdr: error in estore !", 0);
        status = -1;
        return;
    }
    write_holder(version, set, status);
}

}  // namespace

void holder_use_flag(int mode, int& value)
{
    if (mode == 1)
        value = holders_in_use ? 1 : 0;
    else if (mode == 2)
        holders_in_use = value != 0;
}

void dbdholdr(int mode, int& holder_id, int& version, holder_set& set, int& status)
{
    status = -1;
    int state = 0, close_status = 0, give_back = 0;
    eginfo(state);
    if (state == 2) return;
    if (set.count < 1) set.count = 1;
    if (set.shank_mode < 1) set.shank_mode = 1;
    if (mode == kReset) {
        reset_set(set, kResetTotalHeight);
        status = 0;
    } else if (mode == kCreate) {
        if (set.count > kMaxHolderCount)
            eroutc("[dbdholdr] holder count out of range !", 0);
        else
            create_holder(holder_id, version, set, status);
        eclose(close_status);
    } else if ((mode == kRead) || (mode == kWrite && holder_id >= 1)) {
        int open = 0;
        if (mode == kRead && holder_id < 0) {
            reset_set(set, 0.0f);
            create_holder(holder_id, version, set, open);
            eclose(close_status);
        }
        int entity_class = -1, entity_type = -1;
        if (open == 0) eopen(holder_id, entity_class, entity_type, open);
        if (open != 0) {
            eroutc("[dbdholdr] error in open holder entity !", 0);
        } else if (entity_class != kToolEntityClass || entity_type != kHolderEntityType) {
            eroutc("[dbdholdr] entity is not an holder !", 0);
        } else if (mode == kRead) {
            read_holder(version, set, status);
            if (status != 0 && status != -1) status = -1;
        } else if (set.count > kMaxHolderCount) {
            eroutc("[dbdholdr] holder count out of range !", 0);
        } else {
            write_holder(version, set, status);
            if (status != 0) status = -1;
        }
        eclose(close_status);
    }
    if (state == 1) esinfo(give_back);
}
