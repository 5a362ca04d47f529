// The trial-step control of the surface pass walk: a step tried between a lower and an upper value
// is held inside them and brought down towards a limit. The walk retries with the new step while
// the status is 0.
#pragma once

// t is the smaller of |m1| and |m2| with the sign of s. When t reaches the upper value b (|b| < |t|
// or t equal to b) and passes the lower value a (|a| > |t| or t equal to a) the step cannot change:
// status -1, s unchanged. Passing only the lower value moves t to a + 0.1 (b - a), reaching only
// the upper one to b - 0.1 (b - a). Then s becomes t when |t| <= limit, else it moves halfway from
// |s| to the limit, its sign kept. Status 0; -1 when s came out unchanged or an input is no number.
void pass_step_adjust(float a, float b, float m1, float limit, float m2, float& s, int& status);
