// The host's formatted-output layer (text lines written to output files and to the mode line).
// Its file is a listing unit (vantu_listfile.hpp) that the module opens on the layer's unit;
// while it is open and ofmod has handed it to the host (mode 2), what the host writes for the
// module goes into it: the line segrun writes for the NC function it runs, and the pages a
// dialog shows in listing mode.
#pragma once

// Starts the formatted-output layer; the module calls it once when the host attaches it.
void ofinit();
// The layer's unit (the listing unit its file is opened on).
void ofgunt(int& unit);
// Ends the layer's use of its file: nothing more is written into it for the host (the module
// still closes the unit).
void ofloff();
