// Control calls of the host clock: a fixed time for reproducible transcripts and listings, and
// whether the host's wait really waits.
// The fixed time is a setting of the runner and the tests, not part of the host's state: it is
// kept across reset() and part loads until clear_fixed_time().
#pragma once

#include <string_view>

namespace vantu::control {

// Fixes the time host_local_time answers. A time that does not exist (month 13, 30 February,
// hour 24, a year outside 1..9999) is refused with a host error line and the clock unchanged.
void set_fixed_time(int year, int month, int day, int hour, int minute, int second);
// The same from "YYYY-MM-DDTHH:MM:SS" (a blank instead of the "T" is accepted); false, clock
// unchanged, for any other text.
bool set_fixed_time_text(std::string_view iso);
// Back to the system's local time.
void clear_fixed_time();
bool fixed_time_active();

// host_wait sleeps (at most a minute) only while real waits are on; off, the default, it is
// instant and only recorded. A setting like the fixed time: kept across reset().
void set_real_waits(bool on);

}  // namespace vantu::control
