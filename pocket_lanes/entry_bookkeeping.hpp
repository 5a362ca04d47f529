// Entry bookkeeping of the pocket moves: the four work flags that the pocket drawing, the point
// mover and the twirl link share (the link flag, its source flag and the two kept link points),
// with the link points themselves. reset_work_flags clears the flags.
#pragma once

// A link point of motion-link mode 1: where a path ended or starts, and its direction there.
struct link_point {
    double point[3] = {0.0, 0.0, 0.0};
    double direction[3] = {0.0, 0.0, 0.0};
};

struct pocket_link_words {
    int link = 0;           // a link is pending: the next path is joined to the last one
    int link_source = 0;    // the last lane ended where a link may start
    int from_kept = 0;      // `from` holds the end of the last path
    int to_kept = 0;        // `to` holds the start of the next path
    link_point from;
    link_point to;
};
pocket_link_words& pocket_links();

// Clears the four flags (the link points stay as they are).
void reset_work_flags();
