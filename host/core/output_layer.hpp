// The formatted-output layer's file inside the host: other components write the lines they
// produce for the module into it while the module has handed it over.
#pragma once

#include <string>

namespace vantu {
// True while the layer's unit is open and handed to the host (ofmod 2, not ofloff'ed).
bool output_layer_active();
// Appends the line to the layer's file when it is active; false when it is not.
bool output_layer_write(const std::string& line);
// Pages written in listing mode: a prompt written (ofwric) while the layer's file is open starts
// the capture of the page items placed after it; ofmod 2 and ofloff end it.
void output_layer_capture(bool on);
// Appends a placed page item when the layer captures pages.
void output_layer_page_line(const std::string& line);
// True while a file is open on the listing unit.
bool listing_unit_open(int unit);
}  // namespace vantu
