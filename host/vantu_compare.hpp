// Single-precision comparisons with the host's tolerance (host/tolerance.hpp) and the word/text
// moves. The comparisons answer non-zero for true.
#pragma once

#include "host/words.hpp"

int eqval(float a, float b);                // |a - b| <= tolerance
int eqval0(float a);                        // |a| <= tolerance
int neval0(float a);                        // not eqval0
int gtval0(float a);                        // a > tolerance
int neval(float a, float b);                // not eqval
int gtval(float a, float b);                // a > b + tolerance
int leval0(float a);                        // a <= tolerance: zero or below
int ltval0(float a);                        // a < -tolerance
int leval(float a, float b);                // a <= b + tolerance: not gtval
int ltval(float a, float b);                // a < b - tolerance
int eqpt2(const float* p, const float* q);  // two 2-D points equal within tolerance
int eqpt3(const float* p, const float* q);  // two 3-D points equal within tolerance
// Distance of two 2-D points, taken in double and answered in single precision.
float dist2_c(const float* p, const float* q);

// Copies count words as 4 * count characters into text (no terminator), and back.
void movi2t(const word* words, int count, char* text);
void movt2i(const char* text, int count, word* words);
