// The polygon-buffer package: six growable buffers of plane polygons selected by index, one
// current at a time. The pocket procedure, the region to clean and the contour orientation of
// the pocket driver, the direction arrows, the hatch clearing, the trimming and the cutter
// location hand polygon sets from one step to the next through it: one step fills a buffer (from
// stored contours or point by point), another reads it back, draws it, tests a point against it
// or takes its largest polygon as the outer boundary.
//
// A buffer is a run of 32-bit words: the count of polygon 1, its points as x, y single-precision
// words, the count of polygon 2, ... A polygon whose count is below 1 occupies its count word
// only. Polygon and point numbers count from 1; the caller keeps the polygon count.
#pragma once

#include "host/words.hpp"

inline constexpr int kPolbufCount = 6;
// Handle of a buffer that is not initialised (after a mode-1 open, and at module load).
inline constexpr int kPolbufNotInitialised = -99;
// Growth step of a buffer, in words.
inline constexpr int kPolbufStepWords = 1000;
// Open mode that only marks the buffers not initialised; release mode that closes the arrays.
inline constexpr int kPolbufMark = 1;
inline constexpr int kPolbufClose = 1;

struct polbuf_descriptor {
    int capacity = 0;                    // words of the buffer's array
    int handle = kPolbufNotInitialised;  // host array of words; -1 when it has no array
    int npol = 0;                        // polygon count, kept by the caller
};

struct polbuf_state {
    int current = 0;                // current buffer, 0 after every open
    int in_use[kPolbufCount] = {};  // 1 = in use; an open marks buffer 0 only
    float pair[2] = {0.0f, 0.0f};   // hatch direction (cos, sin) of area clearing
    polbuf_descriptor buffers[kPolbufCount];
    float origin[2] = {0.0f, 0.0f};  // origin of the hatch frame, zero after a mode-2 open
};
extern polbuf_state polbuf_block;

// Mode 1 marks every buffer not initialised (nothing closed); other modes open each buffer with
// `size` words, empty, buffer 0 current and in use (mode 2 also zeroes the pair and the origin).
void polbuf_open_all(int mode, int size, int& status);
// polbuf_release_pol for buffers 0 to 5; stops at the first failure.
void polbuf_release_all(int mode, int& status);
// Mode 1 closes the buffer's array, other modes only free the buffer; its in-use flag clears.
void polbuf_release_pol(int index, int mode, int& status);
// The report of a package that is not initialised: "[POLBUF_PKG] USED BEFORE INITIALIZED", -1.
void POLBUF_PKG(int& status);
// Mode 1 answers the current index; other modes make buffer `index` current and in use.
void polbuf_select(int mode, int& index, int& status);
// Takes a buffer: refused (-1) when it is already in use, yet taken and made current either way.
void POLB_PKG(int index, int& status);

// Address in the current buffer of polygon n (below 2: the first): mode 1 its count word, other
// modes its first point. Null (status -1) when not initialised or outside the buffer. Points
// are words: read them with word_to_real.
word* polbuf_get_ptr(int mode, int n, int& status);
void polbuf_get_size(int& capacity, int& status);
// Enlarges the current buffer by k x 1000 words.
void polbuf_grow(int k, int& status);
// Fills polygon n of the current buffer from a stored contour (chain record) through the host's
// dfcpol, the value passed on as its chord tolerance; the buffer grows to hold the polygon.
void polbuf_from_curve(int n, const int* contour, float value, int& status);
// Stores the point count of polygon n; refused when the polygon would not fit in the buffer.
void polbuf_set_np(int n, int count, int& status);
void polbuf_get_np(int n, int& count, int& status);
void polbuf_set_npol(int count, int& status);
void polbuf_get_npol(int& count, int& status);
// Stores point i of polygon n, growing the buffer until it fits; the count stays as it was.
void polbuf_set_point(int n, int i, float x, float y, int& status);
// Reads point i (1 to the polygon's count) of polygon n.
void polbuf_get_point(int n, int i, float& x, float& y, int& status);
void polbuf_set_pair(float first, float second, int& status);
void polbuf_get_pair(float& first, float& second, int& status);
void polbuf_get_dval(float& x, float& y, int& status);

// Composite routines over whole buffers (polbuf_sets.cpp).
// Draws each polygon of the current buffer in the next display colour.
void polbuf_draw_all(float z, int& status);
// Copies the source buffer's polygons into the target buffer, which is left current; stops at
// the first failure.
void polbuf_copy(int source, int target, int& status);
// The polygon of the current buffer with the largest absolute area, -1 when there is none.
void polbuf_largest(int& n);
// 1 when the point lies in the region of buffer 1 (its largest polygon the outer boundary, the
// others islands), within the tolerance of every boundary; else 0. The selection is kept.
int polbuf_point_in(const float* point, float tolerance, int& status);
