// The milling statement: the cutting motion a computing routine hands over as point strings.
// MILBF2 cuts a statement into its strings and MILST2 writes one string: its markers, the
// retract and approach (or a plunge) onto its first point, then the points as lines, one point
// string or fitted splines (output form of PRM9 word 22: 1 fitted splines, 2 point strings), with
// the Z shift of the motion output added. The UP/DOWN buffers, the pocket drawing and the
// clearing passes call them.
#pragma once

#include "toolpath/tp_blocks.hpp"

// A statement: points, directions and (optionally) normals of all strings one after another.
struct milling_statement {
    int code = 1;  // 2: a GO string; above 10: a plunge is allowed; negative: see MILBF2
    int dimension = 1;
    int approach = 0;  // 1: retract and approach before the first string
    const point3* points = nullptr;
    const point3* directions = nullptr;
    const point3* normals = nullptr;  // may be null
    int strings = 0;
    const int* counts = nullptr;  // points of each string
    // The three motion codes: start marker, end marker and their bracket (the surface clearing
    // writes 15, 16, 8 inside a pass and 5, 6, 3 on its last segment).
    int marker_code = 0;      // the start marker (0: none)
    int end_marker_code = 0;  // the end marker; 0: the code after the start marker
    int marker_id = 0;        // the bracket of the two markers
    // The pass the strings belong to, handed to the marker writer as the value word of both
    // markers (a marker block keeps it where its code carries a value).
    int pass_number = 0;
};

// One string of a statement.
struct milling_string {
    int code = 1;
    int dimension = 1;
    int approach = 0;
    int first_string = 0;  // 1: the string starts a statement of the clearing (marked)
    const point3* points = nullptr;
    const point3* directions = nullptr;
    const point3* normals = nullptr;
    int count = 0;
    int marker_code = 0;
    int end_marker_code = 0;
    int marker_id = 0;
    int pass_number = 0;
};

// Writes the strings in order: the caller's approach flag for the first, 1 for each later one
// (0 for statement code 13); while the clearing mode is 3 a negative code marks the first
// string. The execution display mode is restored after each string. Dimension 3 is reported and
// taken as 1. Status: the first negative status of a string.
void MILBF2(const milling_statement& statement, int& status);
// Writes one string; a list failure reports "MILST2, ERROR IN LIST" with status -1. Reads
// PRM9 word 22, DSP8, the approach block (the height of a GO string), connect_params, the fit
// buffer and the Z shift of the motion output. Leaves the feed mode of its last move in force.
void MILST2(const milling_string& string, int& status);
