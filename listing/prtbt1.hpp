// PRTBT1, the printer of a machine-parameter block (type 1) in the listings; PRTBLK calls it.
#pragma once

// The parameter's DEFPNM label and its value as the type shows it (feeds as lengths times the
// scale, FAST and MAX_FEED, spin directions, coolant, CUT.COM side, tool name, UCS name, ...).
// A value outside its type's name table prints no line. Form 0 ends with the block number.
// A UCS (type 55) with an id above 0 moves lst_state's origin to the UCS origin. Reads PRM9's
// cutter-compensation word and the model datum "USUN".
void PRTBT1(int form, int unit, int number, int prmtyp, int int_value, float real_value, float scale);
