// The progress line in the host's main window: an activity word, a label ("PERCENT DONE=" or a
// stage label) and a counter. Long computations reset it, set the activity and the counts, call
// prog_percent or prog_stage as they go (which also give the user the chance to pause) and close
// it at the end; the execution wrapper closes it after every execution. prog_paint draws it.
#pragma once

#include <string>

inline constexpr int kProgActivityChars = 20;
inline constexpr int kProgTextChars = 40;

// Painter modes.
inline constexpr int kPaintRemove = 0, kPaintWhole = 1, kPaintLabelCounter = 2, kPaintCounter = 3, kPaintActivity = 4;
// Activity kinds with a word of their own (any other kind is "M A C H I N I N G").
inline constexpr int kActivityComputing = 2, kActivityPocketing = 3, kActivityExecuting = 5;

struct prog_state {
    int total = 0;  // the count to reach; 0: no percentage
    int done = 0;
    int last_shown = -1;   // the last percentage or stage count painted; -1: none since a reset
    std::string activity;  // blank-padded to 20 for the kinds; at most 40 characters
    std::string label;     // at most 40 characters
    std::string counter;   // at most 40 characters
};
prog_state& progress();

// Paints the line: mode 0 removes it; otherwise between the host's paint brackets after blanking
// its area, modes 1 and 4 the first text, modes 1 and 2 the second and third, mode 3 the third.
// Each text starts after the ones before it. A length outside 0..40 is taken as the nearest.
void prog_paint(int mode, const std::string& first, const std::string& second, const std::string& third);

void prog_reset_text();             // clears the texts, paints mode 4
void prog_redraw();                 // paints mode 1
void prog_clear_texts();            // clears the texts without painting
void prog_close();                  // paints mode 0, then clears the texts
void prog_set_activity(int kind);   // the kind's word, paints mode 4
void prog_activity_text(int kind);  // the kind's word, without painting
void prog_reset_all();              // counts and label and counter cleared, last shown -1; paints mode 4
// Mode 1 total := value, 2 done := value, 3 total + 1, 4 done + 1; other modes nothing.
void prog_count_set(int mode, int value);
// The percentage of done in total, truncated to a multiple of 5 (100 when done equals total),
// painted only when it grows. Reads the machining type; a display break opens the execution menu.
void prog_percent(int kind);
// Every tenth patch (stage mode 1: the total; others: done, and at the end) a stage count.
void prog_stage(int kind, int stage_mode);
// The loop texts of the lane engine: kinds 0 and 1 the loop total, 2 the executing word, 3 and 4
// the offsets, others nothing; then prog_loops_paint.
void prog_loops_text(int kind, int loop_total, int count);
// The counter becomes the count; paint kind 0 shows the line with the text as activity, 1 updates
// the counter, 2 removes the line with the text as activity; other kinds paint nothing.
void prog_loops_paint(int paint_kind, const std::string& text, int count);
