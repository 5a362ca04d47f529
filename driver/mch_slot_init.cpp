// INITMC's table of slots per machine-parameter type (the variants by W, word 3 of PRM9), UPDCMC
// and NXTCNT. The slot table's "code" is the machine sub-type a status-1 slot writes (the slot's
// value) and its "value" the last written value.
#include "driver/mch_slot_init.hpp"

#include "host/vantu.hpp"
#include "nc_services/machining_type.hpp"
#include "toolpath/assoc_to_cur_list.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <cstdlib>
#include <span>

namespace {

constexpr int kFailed = -1;
constexpr int kAnyW = 0, kWOne = 1, kWTwo = 2, kWOther = 3;
constexpr int kWWord = 3;

// Slots first..last get the status and code; keep_force leaves their force entry at 1.
struct slot_setting {
    int first, last;
    int status;
    int code;
    bool keep_force;
};
constexpr slot_setting S(int slot, int status, int code = 0) { return {slot, slot, status, code, slot == 5}; }

// clang-format off
constexpr slot_setting kCat1[] = {S(1, 1, 1), S(2, 1, 5), S(3, 1, 6), S(5, 1), S(10, 1, 7), S(55, 1, 21), S(59, 1, 27), S(100, 1, 12)};
constexpr slot_setting kCat2[] = {S(1, 1, 1), S(2, 1, 5), S(3, 1, 6), S(10, 1, 7), S(55, 1, 21), S(59, 1, 27), S(100, 1, 12)};
constexpr slot_setting kCat3[] = {S(1, 2, 1), S(2, 2), S(3, 2), S(10, 2), S(55, 2), S(59, 2, 27), S(100, 2)};
constexpr slot_setting kCat4[] = {S(1, 1, 1), S(2, 1, 5), S(3, 1, 6), S(10, 1, 7), S(55, 1, 21), S(59, 1, 27)};
constexpr slot_setting kCat6[] = {S(1, 1, 1), S(2, 1, 5), S(3, 1, 6), S(55, 1, 21), S(59, 1, 27), S(100, 1, 12)};
constexpr slot_setting kCat16[] = {{51, 51, 2, 0, true}, S(52, 1, 14), S(53, 1, 16), {54, 54, 2, 0, true}, S(55, 1, 21), S(100, 1, 12)};
constexpr slot_setting kCat17[] = {S(52, 1, 14), S(53, 1, 16), S(55, 2), S(100, 2)};
constexpr slot_setting kCat19[] = {{11, 16, 2, 0, true}, {20, 40, 2, 0, true}, S(55, 2), S(100, 2)};
constexpr slot_setting kCat20W1[] = {S(1, 2, 1), S(3, 2), S(9, 1, 18), S(10, 2), S(55, 2), S(100, 2)};
constexpr slot_setting kCat20Other[] = {S(1, 2, 1), S(2, 2), S(3, 2), S(9, 1, 19), S(55, 2), S(100, 2)};
constexpr slot_setting kCat21W1[] = {S(1, 1, 1), S(3, 1, 6), S(5, 1), S(9, 1, 18), S(10, 1, 7), S(55, 1, 21), S(100, 1, 12)};
constexpr slot_setting kCat21W2[] = {S(1, 1, 1), S(2, 1, 5), S(3, 1, 6), S(5, 1), S(9, 1, 19), S(55, 1, 21), S(100, 1, 12)};
constexpr slot_setting kCat23W1[] = {S(1, 1, 1), S(3, 1, 6), S(9, 1, 18), S(10, 1, 7), S(55, 1, 21), S(100, 1, 12)};
constexpr slot_setting kCat23W2[] = {S(1, 1, 1), S(2, 1, 5), S(3, 1, 6), S(9, 1, 19), S(55, 1, 21), S(100, 1, 12)};
constexpr slot_setting kCat24Extra[] = {S(56, 1, 22), S(57, 1, 23), S(58, 1, 24)};
constexpr slot_setting kCat25Extra[] = {S(4, 1, 8)};
constexpr slot_setting kCat26[] = {S(1, 1, 1), S(2, 1, 5), S(3, 1, 6), S(5, 1), S(10, 1, 7), S(55, 1, 21), S(59, 1, 27), S(100, 1, 12)};
constexpr slot_setting kNone[] = {S(0, 0)};
// clang-format on

// One row of the table: its categories, the W it applies to, and its slots; a row may start from
// the slots of another category (base) and add its own.
struct initmc_row {
    int first_category, last_category;
    int w;
    int base_category;
    std::span<const slot_setting> slots;
};

constexpr initmc_row kRows[] = {
    {1, 1, kAnyW, 0, kCat1},           {2, 2, kAnyW, 0, kCat2},      {3, 3, kAnyW, 0, kCat3},
    {4, 4, kAnyW, 0, kCat4},           {6, 6, kAnyW, 0, kCat6},      {16, 16, kAnyW, 0, kCat16},
    {17, 18, kAnyW, 0, kCat17},        {19, 19, kAnyW, 0, kCat19},   {20, 20, kWOne, 0, kCat20W1},
    {20, 20, kWOther, 0, kCat20Other}, {21, 22, kWOne, 0, kCat21W1}, {21, 22, kWTwo, 0, kCat21W2},
    {23, 23, kWOne, 0, kCat23W1},      {23, 23, kWTwo, 0, kCat23W2}, {24, 24, kAnyW, 23, kCat24Extra},
    {25, 25, kAnyW, 21, kCat25Extra},  {26, 26, kAnyW, 0, kCat26},
};

// Category 2 also carries slot 5 for the machining type of NC functions 34 and 38.
constexpr int kCat2Slot5Type = 13;
// Categories 21 to 25 take the W = 1 row for any W other than 1 or 2, without slots 2 and 10 and
// with code 19 for slot 9.
constexpr int kByWFirst = 21, kByWLast = 25;

bool w_matches(int row_w, int w)
{
    if (row_w == kAnyW) return true;
    if (row_w == kWOne || row_w == kWTwo) return w == row_w;
    return w != kWOne;
}

const initmc_row* find_row(int category, int w)
{
    for (const initmc_row& row : kRows)
        if (category >= row.first_category && category <= row.last_category && w_matches(row.w, w)) return &row;
    return nullptr;
}

void set_slot(const slot_setting& s, int slot, bool other_w)
{
    if (other_w && (slot == 2 || slot == 10)) return;
    mch_slot& entry = mch_slots().slots[static_cast<std::size_t>(slot)];
    entry.status = s.status;
    entry.value = other_w && slot == 9 ? 19 : s.code;
    if (!s.keep_force) entry.force = kForceWrite;
}

void apply_row(const initmc_row& row, int category, int w)
{
    const bool other_w = category >= kByWFirst && category <= kByWLast && w != kWOne && w != kWTwo;
    const int row_w = other_w ? kWOne : w;
    if (row.base_category != 0)
        if (const initmc_row* base = find_row(row.base_category, row_w)) apply_row(*base, row.base_category, w);
    for (const slot_setting& s : row.slots)
        for (int slot = s.first; slot <= s.last && slot >= 1 && slot <= mch_slot_table::kSlots; ++slot)
            set_slot(s, slot, other_w);
}

void clear_slots()
{
    for (mch_slot& s : mch_slots().slots) {
        s.status = kSlotUnused;
        s.last = 0;
        s.value = 0;
        s.force = kForceDone;
    }
}

}  // namespace

void INITMC(int category)
{
    clear_slots();
    const int w = PRM9().words[kWWord];
    const bool other_w = category >= kByWFirst && category <= kByWLast && w != kWOne && w != kWTwo;
    const initmc_row* row = find_row(category, other_w ? kWOne : w);
    if (!row) {
        erou1c("INITMC, FOR CODE=", category);
        eroutc("NO INITIALIZATION IS DONE", 0);
        return;
    }
    apply_row(*row, category, w);
    if (category == 2 && machining_type() == kCat2Slot5Type) set_slot(S(5, 1), 5, false);
}

void UPDCMC(int& status)
{
    constexpr int kMachineTableSegment = 23;
    constexpr int kEntityItems[] = {10, 47};
    int length = 0;
    lacces(0, length);
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status < 0 || block_class != kClassProcedure) {
        eroutc("UPDCMC-THE CURRENT BLOCK IS NOT A PROCEDURE", 0);
        status = kFailed;
        return;
    }
    for (int item : kEntityItems) {
        int count = 0, value_type = 0;
        word value = 0;
        TPGETC(kWhereList, kMachineTableSegment, item, count, value_type, &value, 1, status);
        if (status < 0) return;
        if (status == 0 && count == 1) {
            assoc_to_cur_list(value, status);
            if (status < 0) return;
        }
    }
    status = 0;
}

void NXTCNT(int code, int n, int& status)
{
    const int wanted = std::abs(n);
    int length = 0;
    lacces(2, length);
    int jump = length < 0 ? length : 0;
    // The first block is the tool-path header; the search starts after it.
    if (jump == 0) tp_list_jump(1, jump);
    int found = 0;
    // A jump answers 1 when it lands on the last block, which is still read.
    while (jump == 0 || jump == 1) {
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) {
            jump = status;
            break;
        }
        if (block_class == code && ++found >= wanted) {
            lacces(0, length);
            status = 0;
            return;
        }
        if (jump == 1) break;
        tp_list_jump(1, jump);
    }
    if (n > 0) eroutc("NXTCNT, ERROR IN LIST", 0);
    status = jump < 0 ? jump : kFailed;
}
