// The pass buffer: machining passes stored as sequential streams, so that one step writes passes
// (each a type, a number of strings, a point count per string and the strings' 3-D points, with
// an optional second point stream) and a later step reads them back in the same order. The
// procedure start marks it not initialised; the surface passes of area clearing write and read it.
#pragma once

inline constexpr int kPasbufEntriesMax = 2;
inline constexpr int kPasbufStreams = 5;
// Streams: first and second point stream (3 words a point), pass types, string counts per pass,
// point counts per string.
inline constexpr int kStreamPoints = 1;
inline constexpr int kStreamSecondPoints = 2;
inline constexpr int kStreamTypes = 3;
inline constexpr int kStreamStrings = 4;
inline constexpr int kStreamCounts = 5;
// Access modes.
inline constexpr int kPasbufGet = 1;
inline constexpr int kPasbufPut = 2;
inline constexpr int kPasbufCountUp = 3;

struct pasbuf_stream {
    int handle = -1;    // host array of 4-byte elements, -1 when none
    int capacity = 0;   // elements
    int cursor = 0;     // read cursor
    int written = 0;    // write count
    int last_read = 0;  // cursor of the last read
};

struct pasbuf_entry {
    pasbuf_stream streams[kPasbufStreams];
    int npass = 0;
};
static_assert(sizeof(pasbuf_entry) == 26 * 4, "a pass-buffer entry is 26 words");

struct pasbuf_state {
    int initialised = 0;
    int entries = 0;  // 0 to 2
    int current = 0;  // 0 after init
    pasbuf_entry entry[kPasbufEntriesMax];
};
extern pasbuf_state pasbuf_block;

// Mode 1 marks the package not initialised; other modes initialise it with n empty entries,
// closing the arrays the entries still hold (refused for more than 2 entries).
void pasbuf_init(int mode, int n, int& status);
// The report of a package that is not initialised: "pasbuf_pkg, USED BEFORE INITIALIZED", -1.
void pasbuf_pkg(int& status);
// Opens stream 1 to 5 of the current entry with one growth step, or grows it by one step.
void pasbuf_allocate(int stream, int& status);
// Put appends a pass type; get reads the next one.
void pasbuf_pastyp(int mode, int& type, int& status);
// Put appends a string count; count up adds one to the last one; get reads the next one.
void pasbuf_totstr(int mode, int& count, int& status);
// Put appends n point counts; get reads the next n.
void pasbuf_totnp(int mode, int n, int* counts, int& status);
// Put appends 3 x np floats to the first point stream (and to the second with `second`); get
// copies them from the read cursors without moving them.
void pasbuf_string(int mode, int second, int np, float* first_points, float* second_points, int& status);
// A whole pass: type, string count, point counts, then each string (get moves the point cursors).
void pasbuf_pass(int mode, int second, int* counts, int& strings, int& type, float* first_points, float* second_points,
                 int& status);
// Mode 1 reads the pass count, other modes set it.
void pasbuf_npass(int mode, int& count, int& status);
// 1 when nothing has been written to the first point stream.
void pasbuf_is_empty(int& flag, int& status);
// Starts a pass of the type with one empty string and counts it.
void pasbuf_new_pass(int type, int& status);
// Adds an empty string to the last pass.
void pasbuf_new_string(int& status);
