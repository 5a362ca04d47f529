// The host clock: local time as year (four digits), month 1..12, day 1..31, hour, minute,
// second. The runner and the tests can fix it for reproducible output.
#pragma once

void host_local_time(int (&out)[6]);
