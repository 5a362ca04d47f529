// The host's message log, shared by the host components: the message calls record themselves
// here, and so do other components that show a line to the user (the interaction engine records
// its questions, the memory component its refusals). Tests and the runner read the log through
// host/control/messages.hpp. Internal to the host.
#pragma once

#include <string_view>

namespace vantu {

// Channel of the host's own diagnostics (a refused MM_CLOSE, an unknown module-data key
// length, ...): lines the host stand-in writes about misuse of its calls, kept apart from the
// module's own error channel so tests of module messages are not disturbed by them.
inline constexpr std::string_view kHostErrorChannel = "host_error";

// Appends one message: channel (normally the call's name), the text argument as sent and the
// whole line as a user sees it.
void record_message(std::string_view channel, std::string_view text, std::string_view line);

// Records a host diagnostic on kHostErrorChannel (text and line alike).
void record_host_error(std::string_view line);

}  // namespace vantu
