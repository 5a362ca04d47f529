// The host clock: local time as year (four digits), month 1..12, day 1..31, hour, minute,
// second. The runner and the tests can fix it for reproducible output. And the host's wait.
#pragma once

void host_local_time(int (&out)[6]);

// Waits the given seconds (nothing for 0 or less), recorded. Under the runner and the tests the
// wait is instant unless real waits are switched on (host/control/clock.hpp).
void host_wait(float seconds);
