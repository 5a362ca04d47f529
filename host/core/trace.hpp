// Call trace of the host stand-in. Ordinary calls are recorded with their name, key arguments
// and result when tracing is on; high-frequency calls (word reads, comparisons) are only
// counted. Tests read the trace to check call orders that the module must keep.
#pragma once

#include <string>
#include <string_view>

namespace vantu {

// Records one call (when tracing is on) and counts it (always).
void trace_call(std::string_view name, std::string_view arguments, int result);

// Counts one call without recording it.
void trace_count(std::string_view name);

}  // namespace vantu
