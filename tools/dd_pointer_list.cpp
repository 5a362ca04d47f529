// The pointer list of the data dictionary (class 16, type 3): runs of entity ids that records
// refer to through an association word. DDINI1 creates the list empty; pointer_list_add stores a
// run, GETASS reads the ids of an association back and PLDELE releases the run of a deleted record.
//
// Layout of the list entity, in integers: word 0 holds how many words after it are in use; runs
// follow, each a count n and n ids. A released run keeps its place with its count negated, and
// released runs at the end of the list are cut off, so the list shrinks again as records go.
//
// An association word is 0 (no ids), a single entity id (kAssociationRun clear), or, with
// kAssociationRun set, the position of a run's count word in the list (1 or more).
#include "tools/data_dictionary.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kGetIds = 1, kGetCount = 2;
constexpr int kOpenFailed = -1, kWrongEntity = -2;

// Reads the whole list (header word included) and answers its entity id. The used-word count
// must fit the entity. Status 0, kOpenFailed or kWrongEntity.
void load_list(int& list_id, std::vector<int>& words, int& status)
{
    int found = 0;
    seq_db_id(kDdClass, kDdPointerListType, list_id, found);
    int entity_class = -1, entity_type = -1, close_status = 0;
    status = kOpenFailed;
    if (found == 0) eopen(list_id, entity_class, entity_type, status);
    if (status != 0) {
        status = kOpenFailed;
    } else if (entity_class != kDdClass || entity_type != kDdPointerListType) {
        status = kWrongEntity;
    } else {
        int length = 0;
        elngth(length, status);
        words.assign(static_cast<std::size_t>(std::max(length, 0)), 0);
        if (status == 0 && length > 0) egeti(length, words.data(), status);
        if (status != 0 || length < 1 || words[0] < 0 || words[0] > length - 1) status = kOpenFailed;
    }
    eclose(close_status);
}

void store_list(int list_id, const std::vector<int>& words, int& status)
{
    int entity_class = 0, entity_type = 0, close_status = 0;
    eopen(list_id, entity_class, entity_type, status);
    if (status == 0) eputi(static_cast<int>(words.size()), words.data(), status);
    eclose(close_status);
}

// Words a run takes (count word included); a released run counts as its live size.
long run_size(int count) { return std::labs(static_cast<long>(count)) + 1; }

// Start (count word) of the run an association names, when a run begins there (the runs are
// walked from the start, so a position inside another run's ids is refused) and it is live and
// inside the used part of the list; 0 otherwise.
int live_run(const std::vector<int>& words, int association)
{
    long start = association & ~kAssociationRun;
    long used = words[0];
    long at = 1;
    while (at < start && at <= used) at += run_size(words[static_cast<std::size_t>(at)]);
    if (at != start || start > used) return 0;
    int count = words[static_cast<std::size_t>(start)];
    if (count < 1 || count > used - start) return 0;
    return static_cast<int>(start);
}

// Cuts released runs off the end of the list.
void shorten(std::vector<int>& words)
{
    long used = words[0];
    long keep = 0;
    for (long at = 1; at <= used;) {
        int count = words[static_cast<std::size_t>(at)];
        if (count > 0) keep = std::min(at + run_size(count) - 1, used);
        at += run_size(count);
    }
    words[0] = static_cast<int>(keep);
}

}  // namespace

void PLOPEN(int& list_id, std::vector<int>& words, int& status)
{
    load_list(list_id, words, status);
    if (status == kOpenFailed) eroutc("PLOPEN - CAN NOT OPEN POINTER LIST", 0);
    if (status == kWrongEntity) eroutc("PLOPEN - WRONG CLASS OR TYPE FOR POINTER LIST", 0);
    if (status != 0) status = -1;
}

void pointer_list_add(const std::vector<int>& ids, int& association, int& status)
{
    association = 0;
    status = 0;
    for (int id : ids) {
        if (id < 1 || (id & kAssociationRun) != 0) {
            eroutc("pointer_list_add - INVALID ENTITY ID", 0);
            status = -1;
            return;
        }
    }
    if (ids.size() <= 1) {
        if (!ids.empty()) association = ids.front();
        return;
    }
    int list_id = -1;
    std::vector<int> words;
    PLOPEN(list_id, words, status);
    if (status != 0) return;
    int start = words[0] + 1;
    std::size_t end = static_cast<std::size_t>(start) + ids.size();
    if (end >= static_cast<std::size_t>(kAssociationRun)) {
        eroutc("pointer_list_add - POINTER LIST FULL", 0);
        status = -1;
        return;
    }
    words.resize(std::max(words.size(), end + 1));
    words[static_cast<std::size_t>(start)] = static_cast<int>(ids.size());
    std::copy(ids.begin(), ids.end(), words.begin() + start + 1);
    words[0] = static_cast<int>(end);
    store_list(list_id, words, status);
    if (status != 0) {
        status = -1;
        return;
    }
    association = kAssociationRun | start;
}

void GETASS(int mode, int association, int capacity, std::vector<int>& ids, int& count, int& status)
{
    ids.clear();
    count = 0;
    if ((mode != kGetIds && mode != kGetCount) || capacity < 0 || (mode == kGetIds && capacity < 1)) {
        eroutc("GETASS - INVALID INPUT", 0);
        status = -1;
        return;
    }
    status = 2;
    if (association <= 0) return;
    if ((association & kAssociationRun) == 0) {
        count = 1;
        if (mode == kGetIds) ids.push_back(association);
        status = 0;
        return;
    }
    int list_id = -1;
    std::vector<int> words;
    PLOPEN(list_id, words, status);
    if (status != 0) return;
    int start = live_run(words, association);
    if (start == 0) {
        eroutc("GETASS - CORRUPTED DATA STRUCTURE", 0);
        status = -1;
        return;
    }
    count = words[static_cast<std::size_t>(start)];
    if (mode == kGetIds) {
        int given = std::min(count, capacity);
        ids.assign(words.begin() + start + 1, words.begin() + start + 1 + given);
    }
    status = mode == kGetIds && count > capacity ? 1 : 0;
}

void PLDELE(int association, int& status)
{
    status = 0;
    if (association <= 0 || (association & kAssociationRun) == 0) return;
    int list_id = -1;
    std::vector<int> words;
    load_list(list_id, words, status);
    if (status != 0) {
        eroutc("PLDELE - CAN NOT OPEN POINTER LIST ENTITY", 0);
        status = -1;
        return;
    }
    int start = live_run(words, association);
    if (start == 0) {
        eroutc("PLDELE - CORRUPTED DATA STRUCTURE", 0);
        status = -1;
        return;
    }
    int& count = words[static_cast<std::size_t>(start)];
    count = -count;
    shorten(words);
    store_list(list_id, words, status);
    if (status != 0) status = -1;
}
