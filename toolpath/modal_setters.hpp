// The modal values of the motions that follow: the feed mode and the punch and nibble values of
// the machine slots, and the current values shown in the machine status line (each stored with
// SETMOD and refreshing its field). The machining functions call them before their moves.
#pragma once

// The feed mode of the following moves (value of machine slot 1): 1 base feed; 2, 3, 25 and 26 a
// percentage of it; 4 rapid; 27 the stored feed.
void set_mch_change_mode(int feed_mode);
// The value of machine slot 53 (PUNCH) and 52 (NIBBL).
void set_punch_slot(int value);
void set_nibble_slot(int value);

void set_cur_feed(int window, float feed);
void set_cur_spin(int window, int spin);
void set_cur_spin_vc(int window, int spin, float cutting_speed);
void set_cur_vc(int window, float cutting_speed);
void set_cur_coolant(int window, int coolant);
void set_cur_nibbling(int window, int value);
void set_cur_punch(int window, int value);
void set_cur_tool(int window, int tool);
