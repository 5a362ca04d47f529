// The entry, guide and end point tables of the pocket procedure as far as the procedure driver
// uses them: the sets with their saved copies, the change tests of the change analysis, and the
// reset and stores of the parameter load. Least version: the point dialog and the point input
// complete it and replace this file, keeping these names.
#pragma once

#include <array>

inline constexpr int kMaxEntryPnts = 700;

// One point set: the working set, the guide-point store and the end-point store alike.
struct entry_pnt_set {
    std::array<std::array<float, 3>, kMaxEntryPnts> points{};
    std::array<int, kMaxEntryPnts> symbol_ids{};
    std::array<int, kMaxEntryPnts> source_ids{};
    std::array<std::array<float, 3>, kMaxEntryPnts> saved_points{};
    std::array<int, kMaxEntryPnts> group_sizes{};
    int group_count = 0;
    int count = 0;        // 0 to 700
    int saved_count = 0;  // count when the saved copy was taken
};

struct entry_pnt_tables {
    entry_pnt_set working, guide, end;
    int symbol_kind = 0;   // the store last loaded or saved: 1 guide, 2 end
    // The picked-point list and its saved copy; nothing in the module fills it.
    int picked_count = 0, picked_saved_count = 0;
};

entry_pnt_tables& entry_pnts();

// Saved copies of all three sets := current.
void save_pnt_tables();
// 1 when the working set equals its saved copy (count and every point within the host's
// tolerance), else 0; guide_end_pnts_unchanged the same for both stores.
int entry_pnts_unchanged();
int guide_end_pnts_unchanged();
// Which 1 the guide store, otherwise the end store; direction 1 loads the store into the
// working set, otherwise saves the working set into it.
void save_entry_pnts(int which, int direction);
// Working count, saved count and group count := 0.
void reset_entry_pnts();
void pntlist_save();
int pntlist_unchanged();
