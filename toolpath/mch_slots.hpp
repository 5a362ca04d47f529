// The 100 machine-parameter slots (mch_slots) and their writer: before every motion PUTMCH
// writes a parameter block (type 1) for each slot whose value changed since it was last written.
// Also the value kinds PRMDEF and MCHVAL.
#pragma once

#include "host/words.hpp"

#include <array>

inline constexpr int kSlotUnused = 0, kSlotExplicit = 1, kSlotComputed = 2;
inline constexpr int kForceWrite = 2, kForceDone = 1;

struct mch_slot {
    int status = kSlotUnused;  // 0 not used, 1 explicit value, 2 computed from PRM9 or WRMB
    int value = 0;             // status 1: the machine sub-type; slot 1: the feed mode
    int last = 0;              // status 1: the value last written
    int force = 0;             // 2: write at the next PUTMCH even without a change
};

// The slots 1 to 100 (index 0 unused) and the last-written copies of the computed slots.
struct mch_slot_table {
    static constexpr int kSlots = 100;
    std::array<mch_slot, kSlots + 1> slots{};
    float last_feed = 0.0f;            // slots 1 and 59
    float last_cutting_speed = 0.0f;   // slot 10, signed
    int last_spindle = 0;              // slot 2
    int last_direction = 0;            // slots 2 and 10
    int last_coolant = 0;              // slot 3
    int last_tool = 0;                 // slot 100
    std::array<word, 8> last_prm9{};   // slots 51 to 58
    std::array<word, 27> last_wrmb{};  // slots 11-16 and 20-40
};

mch_slot_table& mch_slots();

// Value kind of a parameter type: 1 real, 0 integer (unknown types reported, 0).
int PRMDEF(int prmtyp);
// Value of a machine sub-type; is_real tells which of the two values holds it.
void MCHVAL(int subtyp, int& is_real, int& int_value, float& real_value, int& status);

void PT1MCH(int display, int slot, int& status);
void PUTMCH(int& status);
