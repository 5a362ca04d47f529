// Reals as the host's fields show them: to the host's decimals of lengths or of general numbers.
// A value typed back as a field shows it is no change, though it differs from the value held in
// its last bits; the editor's depths and the machine-parameter page keep the value held then.
#pragma once

// What a real field shows: a length (lengths decimals) or another number (general decimals).
enum class shown_kind { length, general };

// The decimals the host shows a real of the kind with (gtdgts).
int shown_decimals(shown_kind kind);

// True when entered and shown read the same to the decimals given.
bool shows_as(float entered, float shown, int decimals);

// The value a field leaves after the user's answer: the value held before when the one entered
// reads as that value did, else the one entered.
float entered_value(float before, float entered, shown_kind kind);
