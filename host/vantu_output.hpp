// The host's formatted-output layer (text lines written to output files and to the mode line).
#pragma once

// Starts the formatted-output layer; the module calls it once when the host attaches it.
void ofinit();
