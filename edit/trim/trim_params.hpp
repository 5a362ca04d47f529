// The trimming page's ten stored words ("ZQA1") and the words the driver sets at every entry.
#pragma once

#include "host/words.hpp"

#include <array>

inline constexpr int kTrimParamWords = 10;

// The ten words of trim_words() in their stored order: connect mode, operation, delete mode,
// projection mode, side (integers), INC. CLEAR, CONT. OFFSET, REF.SRF.OFFSET, Z PLANE, DELTA Z
// (reals).
std::array<word, kTrimParamWords> trim_params_pack();
void trim_params_unpack(const std::array<word, kTrimParamWords>& words);

// Reads "ZQA1" over the page's words when it is stored; stores them.
void trim_params_read();
void trim_params_store();

// The defaults of every entry: the ten words, CLEAR (the clearance height above the tool path's
// origin Z), FEED (the base feed), DOWN FEED % and PLUNGE FEED % (the feed percentages of PRM9),
// and the words of the run (the clear warning among them).
void trim_entry_defaults();
