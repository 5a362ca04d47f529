// SETMOD: stores the current modal value of one machine-parameter type in DSM4, WRMB or DSP8.
// The parameter-block and header handlers of the block display call it, and so do the modal
// setters of the motion output when they write a parameter block.
#pragma once

// Reads PRM9 (spin direction, cutter-compensation switch). An unknown type reports
// "SETMOD: WRONG PARAMETER" with the type and stores nothing.
void SETMOD(int prmtyp, int int_value, float real_value);
