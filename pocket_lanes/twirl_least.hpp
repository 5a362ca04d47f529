// The twirl-spline words of the pocket entry: whether a twirl approach was requested and whether
// one was made, and the display of the twirl spline. The surface link of the approach and
// retract motions drives them. Least version until the twirl code is built: the two words, and a
// twirl display that answers that no twirl was made.
#pragma once

// Clears the two words.
void twirl_flags_reset();
int twirl_requested_get();
// Sets the requested flag and answers it.
int twirl_requested_set(int value);
// The made flag: 1 at load.
int twirl_made_get();
void twirl_made_set(int value);
// Shows the twirl spline of the selector; status non-zero when no twirl was made (always, here).
void twirl_spline_show(int selector, int& work, int& status);
