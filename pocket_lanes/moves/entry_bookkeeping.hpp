// Entry bookkeeping of the pocket moves: the used-entry-point list that the point mover asks
// (mark_entry_point), the four work flags that the pocket drawing, the point mover and the twirl
// link share (the link flag, its source flag and the two kept link points) with the link points
// themselves, and the cutter-compensation side of the lead moves (set_cutcom_slot).
#pragma once

// A link point of motion-link mode 1: where a path ended or starts, and its direction there.
struct link_point {
    double point[3] = {0.0, 0.0, 0.0};
    double direction[3] = {0.0, 0.0, 0.0};
};

struct pocket_link_words {
    int link = 0;         // a link is pending: the next path is joined to the last one
    int link_source = 0;  // the last lane ended where a link may start
    int from_kept = 0;    // `from` holds the end of the last path
    int to_kept = 0;      // `to` holds the start of the next path
    link_point from;
    link_point to;
};
pocket_link_words& pocket_links();

// Clears the four flags (the link points stay as they are).
void reset_work_flags();

// The used-entry-point list: host arrays of points (elements of two floats) and of used flags
// (elements of one word), parallel, `count` entries. It starts empty and nothing in the module fills it.
struct used_entry_points {
    int points = -1;  // host array handle, -1 when not open
    int flags = -1;
    int count = 0;
};
used_entry_points& used_entry_list();

// Result 0 when the point (x, y; z not compared) is in the list and was used already, 1 when it
// was not used or is not in the list; a found point is marked used.
void mark_entry_point(const float* point, int& result);

// The CUT.COM slot (5) of the machine slots: value 9 for side -1, 10 for side 1, 11 for any
// other side; its status word is left as it is.
void set_cutcom_slot(int side);
