// Writing symbol masters: GCSMAS groups slave entities under a master record (class 14, type 9)
// and DELSLV deletes the slaves a master lists before it is rewritten.
//
// Master record: one integer 0, a 3 x 3 unit matrix (9 reals), the reference point (3 reals), the
// slave count n, the n slave ids and a terminating -1. A type-4 master holds one more word behind
// its slave ids.
#include "tools/default_symbol.hpp"

#include "host/vantu.hpp"

#include <cstdlib>
#include <vector>

namespace {

constexpr int kLocalMasterType = 1, kTwinMasterType = 4;
constexpr int kHeadWords = 13;  // the integer 0 and the 12 reals before the slave count
constexpr int kSet = 2, kGet = 1;
constexpr int kOwnerGroup = 68, kOwnerMessage = 29;

void fail(const char* message, int& status)
{
    eroutc(message, 0);
    status = -1;
}

bool owned_here(int master_id)
{
    int owner = 0, status = 0, application = 0;
    eattc(master_id, kGet, "PR", owner, status);
    gsappl(1, application);
    return owner == application;
}

void write_master(int slave_count, const int* slaves, const std::array<float, 3>& reference, int& status)
{
    const int head = 0, terminator = -1;
    const float unit[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    eputi(1, &head, status);
    if (status == 0) eputr(9, unit, status);
    if (status == 0) eputr(3, reference.data(), status);
    if (status == 0) eputi(1, &slave_count, status);
    if (status == 0) eputi(slave_count, slaves, status);
    if (status == 0) eputi(1, &terminator, status);
}

}  // namespace

void GCSMAS(int& master_id, int slave_count, const int* slaves, const std::array<float, 3>& reference, int& status)
{
    status = -1;
    if (slave_count < 1 || !slaves) return fail("GCSMAS - Invalid count", status);
    int entity_class = -1, entity_type = -1;
    if (master_id < 1) {
        estore(kSymbolMasterClass, kSymbolMasterType, master_id, status);
        if (status != 0) {
            master_id = -1;
            return fail("GCSMAS - Can not create master entity", status);
        }
    } else {
        DELSLV(master_id, slave_count, status);
        if (status != 0) return fail("GCSMAS - Can not delete slaves", status);
        eopen(master_id, entity_class, entity_type, status);
        if (status != 0) return fail("GCSMAS - Can not open master entity", status);
        if (entity_class != kSymbolMasterClass ||
            (entity_type != kLocalMasterType && entity_type != kSymbolMasterType)) {
            int closed = 0;
            eclose(closed);
            return fail("GCSMAS - Wrong class or type", status);
        }
        if (entity_type == kLocalMasterType) {
            int type = kSymbolMasterType, set = 0;
            eattc(master_id, kSet, "TY", type, set);
        }
    }
    write_master(slave_count, slaves, reference, status);
    int closed = 0;
    eclose(closed);
    if (status != 0) return fail("GCSMAS - Can not open master entity", status);
    for (int i = 0; i < slave_count; ++i) {
        int slave = 1, set = 0;
        eattc(slaves[i], kSet, "SL", slave, set);
    }
}

void DELSLV(int master_id, int new_count, int& status)
{
    status = -1;
    if (master_id > 0 && !owned_here(master_id)) {
        msg_mdls(kOwnerGroup, kOwnerMessage);
        return;
    }
    const int id = std::abs(master_id);
    int entity_class = -1, entity_type = -1, length = 0;
    eopen(id, entity_class, entity_type, status);
    if (status != 0) return fail("DELSLV - CAN NOT OPEN MASTER ENTITY", status);
    int closed = 0;
    if (entity_class != kSymbolMasterClass ||
        (entity_type != kLocalMasterType && entity_type != kTwinMasterType && entity_type != kSymbolMasterType)) {
        eclose(closed);
        return fail("DELSLV - WRONG CLASS OR TYPE", status);
    }
    int count = 0;
    elngth(length, status);
    if (status == 0) eskipi(kHeadWords, status);
    if (status == 0) egeti(1, &count, status);
    // The list holds at most the words behind the count.
    const int listed = entity_type == kTwinMasterType ? count + 1 : count;
    if (status != 0 || count < 0 || listed > length - kHeadWords - 1) {
        eclose(closed);
        return fail("DELSLV - CAN NOT OPEN MASTER ENTITY", status);
    }
    std::vector<int> ids(static_cast<std::size_t>(listed));
    egeti(listed, ids.data(), status);
    if (status == 0) eskipi(-listed, status);
    if (status == 0) ezeroi(listed, status);
    if (status == 0 && new_count > count) ezeroi(new_count - count, status);
    eclose(closed);
    if (status != 0) return fail("DELSLV - CAN NOT OPEN MASTER ENTITY", status);
    // The extra word of a type-4 master is no slave.
    for (int k = 0; k < count; ++k) {
        int ignored = 0;
        if (ids[static_cast<std::size_t>(k)] > 0) edelet(ids[static_cast<std::size_t>(k)], ignored);
    }
    status = 0;
}
