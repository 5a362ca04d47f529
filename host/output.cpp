// The formatted-output layer of the host stand-in: its start is recorded so the attach order
// of the module can be checked.
#include "host/vantu_output.hpp"

#include "host/core/trace.hpp"

void ofinit() { vantu::trace_call("ofinit", "", 0); }
