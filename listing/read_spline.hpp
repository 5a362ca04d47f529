// The words of a NURBS spline block (type 5) after its type word: the block number, the order k,
// the point count n, per point a knot and the point, then k more knots. The spline display and
// the NURBS printer of the listings read them here.
#pragma once

#include <vector>

struct spline_words {
    int order = 0, count = 0;
    std::vector<float> knots, points;  // n + k knots; 3 n coordinates
};

// Reads the block from the source (a WHERE code of the word layer). Status 0; -1 for an order
// outside 2..8 or a count below the order or above 100000; the word layer's negative status
// when a word is missing (what was read stays).
void read_spline(int where, spline_words& s, int& number, int& status);
