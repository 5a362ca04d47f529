// The entry-point list of a procedure: the points at which the tool enters the material during a
// pocket execution, one per x, y position, kept with the lowest z seen there. The pocket
// initialisation resets it for each pocket, the pocket engine adds to it and the pocket clean-up
// releases it.
#pragma once

struct nc_entry {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;  // the z of the entry
};

// A host dynamic array of 12-byte records, opened with 10 entries and grown by 10.
struct entry_point_list {
    int handle = -1;  // -1: not open
    int capacity = 0;
    int count = 0;
};

inline constexpr int kEntryRecordBytes = 12;
inline constexpr int kEntryGrowth = 10;

entry_point_list& nc_entr();

// Empties the list: the caller's count word, the handle, capacity and count. An array still open
// is closed first, so a reset per pocket never leaves one behind.
void nc_entr_reset(int& count);
// Closes the array when open. Status 0, or -1 with "nc_entr_rel, CLOSE DYNAMIC MEMORY ERROR"
// (the list then stays as it was).
void nc_entr_rel(int& status);
// Adds the point (x, y, z); a point at the x, y of an entry lowers that entry's z to the point's
// when the point is not higher, and adds nothing. Status 0, or -1 when memory cannot be had (the
// earlier entries stay).
void nc_entr_add(const float (&point)[3], int& status);
// Entry n (0 to count - 1). Status 0; -1 for an n outside the list.
void nc_entr_get(int n, nc_entry& entry, int& status);
