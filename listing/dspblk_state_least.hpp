// The state of the block display: first-block flags, font, colour and pen taken from DSP8.
// Least version until the tool-path display is built: it remembers the source mode it was
// initialised with and nothing else.
#pragma once

void dspblk_init_state(int source_mode);
// The source mode of the last initialisation (0 before any).
int dspblk_source_mode();
