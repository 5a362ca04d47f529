// What the trimming and editing code sets up before it writes motions: the connection and
// approach settings of connect_params, and the machine-parameter slots (mch_slots) that decide
// which machine parameters the next motions carry for the machine type. Called by the
// reconnection, the surface projection, the trim action, the parameter edit, the go-motion
// insertion and the manual delete.
#pragma once

#include "host/words.hpp"

// Copies the values into connect_params_block() and clears its two flag words (skip-next-retract
// and surface-retract-written); the pair of reals goes to the two second lengths of the approach
// block.
void set_connect_params(int approach_kind, float approach_length, float arc_radius, float pair_first, float pair_second,
                        float z_up_distance, float tolerance, float line_net1, float line_net2, int surface_mode,
                        int list_count1, int list_count2, word height_word1, word height_word2);

// Every machine-parameter slot to status 0, last written value 0 and force word done (1). The
// slot values stay. Status 0.
void mch_status_clear(int& status);

// Clears the slots and sets them by the machine type of NPT1: milling (22 to 26) and lathe (31)
// compute feed, spindle, coolant, cutting speed, slot 55 and the tool; wire machines (61 to 80)
// their wire slots; every other machine the punching and nibbling slots. Mode 0 marks the slots
// the type writes with force word 1, any other mode with 2 (written at the next PUTMCH). The
// slots that attach an entity to the tool path are set only when there is one: slot 55 when PRM9's
// UCS word names a UCS entity, slot 100 when PRM9 names a tool; without them the motions go
// without those blocks, which PUTMCH could write only to fail on their association halfway
// through the writing. Status 0.
void trim_block_flags(int mode, int& status);
