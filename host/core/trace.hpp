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

// The count of one host call, looked up by name once: the call sites of the highest-frequency
// calls (comparisons, vector routines, array addresses in the cutter kernels) keep one in a
// function-local static and bump it, which costs an increment instead of a hash lookup. The
// counts it bumps are the ones trace_count bumps and control::call_count reads; a reset sets them
// to zero but never removes them, so a handle stays valid for the life of the process.
class call_counter {
public:
    explicit call_counter(std::string_view name);
    void bump() { ++*count_; }

private:
    long* count_;
};

}  // namespace vantu

// Counts one call of a high-frequency host call through a call_counter kept at the call site.
#define VANTU_COUNT(name)                                                                                              \
    do {                                                                                                               \
        static ::vantu::call_counter vantu_call_counter_{name};                                                        \
        vantu_call_counter_.bump();                                                                                    \
    } while (0)
