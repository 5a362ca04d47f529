// Merging of two sets of point strings: the second set is put in front of the first (MRGGST),
// joined to it first where its ends meet the tool position and the first set's start; and the
// opening of a gap at the front of a word array (insert_front_gap). The surface entry moves and
// the clearing code call them.
#pragma once

// A set of point strings: points of three floats (normals of three floats and one word per point
// parallel, may be null), a point count per string. Capacities: points in reals (for the second
// set, the most it may hold), strings.
struct point_string_set {
    float* points = nullptr;
    float* normals = nullptr;
    int* words = nullptr;
    int* counts = nullptr;
    int string_count = 0;
    int point_capacity = 0;
    int string_capacity = 0;
};

// Join modes and data kinds.
inline constexpr int kMergeJoinAtTool = 1;
inline constexpr int kMergeNormals = 1, kMergeNormalsAndWords = 3;

// Puts the second set in front of the first. Join mode 1 first joins where the second set starts
// at the tool position (DSP8) and ends at the first set's first point: a single string's inner
// points (or all but its last, when it does not start at the tool) go in front of the first
// string; otherwise the tool-position point is dropped and a last string that ends at the first
// point joins the first string. The rest goes in front, strings and counts. Data kind 1 moves the
// normals too, 3 normals and words. Status 0; -1 with "MRGGST - ONLY <n> NUMBER OF STRINGS ARE
// AVAILABLE", "MRGGST - MAXIMUM NUMBER OF POINTS  IN A STRING :<n>" or "MRGGST - MAXIMUM NUMBER
// OF POINTS  IN SECOND STRING:<n>" when the strings, 3 x all points or 3 x the second set's
// points exceed the capacities; nothing is changed then.
void MRGGST(int join_mode, int data_kind, point_string_set& first, point_string_set& second, int& status);

// Moves the `count` words of the array up by n (the last first), opening n words at its front.
// Status 0; -1 when count + n exceeds the capacity or n or count is negative (nothing moved).
void insert_front_gap(int* array, int capacity, int count, int n, int& status);
