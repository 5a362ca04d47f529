// Which lane of a range is cut first: the one that starts nearest to the pocket's restart point.
// The lane engine's common loops and one offset call it once the first lanes of a pocket are known.
#pragma once

// Of lanes first .. last, the one that starts nearest to the pocket's restart point (reads
// pocket_work.restart_point) takes level 1 (the first on ties), and the first lane of the range
// that had level 1 takes its former level. Nothing changes unless first is below last and some
// lane of the range has level 1, or when no lane comes within 1e7. Status 0, or the status of a
// failed lane read.
void nearest_lane_to_restart(int first, int last, int& status);
