// The entry, guide and end points of the pocket procedure: one working point set on which every
// operation acts and two stores of the same shape, each point shown as a tool symbol and, when
// taken from a model entity, recorded in the host's associativity table; the point dialog and
// the interactive point input; the change tests of the change analysis; the entry-point request
// flag of the pocket lanes; and the choice of the entry point of one pocket region. The pocket
// dialog, the pocket callbacks, the driver's parameter load and change analysis call them.
#pragma once

#include <array>

inline constexpr int kMaxEntryPnts = 700;

// Point kinds of the dialogs.
inline constexpr int kEndPoints = 0, kEntryPoints = 1, kGuidePoints = 2;
// Entry type of the associativity table for the points of a procedure.
inline constexpr int kPointAssociation = 17;

// One point set: the working set, the guide-point store and the end-point store alike.
struct entry_pnt_set {
    std::array<std::array<float, 3>, kMaxEntryPnts> points{};
    // Figure id of each point's tool symbol (the host's figure ids are negative); 0 when none.
    std::array<int, kMaxEntryPnts> symbol_ids{};
    // Entity each point was taken from (point, circle, pattern); -1 for an indicated point.
    std::array<int, kMaxEntryPnts> source_ids{};
    std::array<std::array<float, 3>, kMaxEntryPnts> saved_points{};
    std::array<int, kMaxEntryPnts> group_sizes{};  // points added by each add step, in order
    int group_count = 0;
    int count = 0;        // 0 to 700; the group sizes add up to it
    int saved_count = 0;  // count when the saved copy was taken
};

struct entry_pnt_tables {
    entry_pnt_set working, guide, end;
    int symbol_kind = 0;  // the store last loaded or saved: 1 guide, 2 end
    // The picked-point list and its saved copy; nothing in the module fills it.
    int picked_count = 0, picked_saved_count = 0;
    int request_flag = 0;  // the entry-point request flag of the pocket lanes
};

entry_pnt_tables& entry_pnts();

// ---- the working set ------------------------------------------------------------------------
// Appends n points (3 floats each) with their source ids as one group. Mode 1 draws each point's
// symbol (SHOWTL), stopping at the first drawing failure, whose status it returns: the points
// drawn so far stay and form the group. Refused with "NO MORE THAN" 700 "ENTRY POINTS ARE
// PERMITTED." when the count would pass 700 (nothing added, status -1).
void add_entry_pnts(int mode, int n, const float* points, const int* sources, int& status);
// Mode 0 deletes every symbol and empties the set; 1 deletes every symbol only; 2 removes the
// last group with its symbols; 3 deletes and draws again every symbol.
void del_pnt_symbols(int mode);
int get_n_entry_pnts();
int get_n_guide_pnts();
int get_n_end_pnts();
// The 1-based index of the point whose symbol has that figure id, -1 when none.
int find_pnt_by_symbol(int symbol);
// Deletes point index (1 .. count) and its symbol; the later points move down and all points
// left form one group. Any other index does nothing.
void delete_entry_pnt(int index);
// Point index (1 .. count) into point; any other index leaves it untouched.
void get_entry_pnt(int index, float* point);
// Source id of point index (0 .. count - 1); -1 for any other index.
int get_pnt_source(int index);
// Copies the count points of the working set (3 floats each) into buffer.
void copy_entry_pnts(float* buffer);
// Moves point index (1 .. count) to the new point, drawing its symbol there, when it differs.
void move_entry_pnt(int index, const float* point);

// ---- saved copies, stores and change tests ---------------------------------------------------
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
// The entry-point request flag: cleared at procedure start; mode 1 reads it into value, other
// modes store value.
void entpnt_flag_reset();
void entpnt_flag_gs(int mode, int& value);

// ---- the entry point of a region ---------------------------------------------------------------
// 1 when the point lies inside the outer contour's polygon and outside every island's polygon
// (polygons of the current region of the levels package, contour id c being polygon c - 1).
int point_in_region(int outer, int island_count, const int* islands, const float* point);
// The working point nearest to the reference point (x, y) among those inside the region, status
// 0. None inside: mode 1 gives status -1; other modes status 1 and the nearest point of all. No
// points at all: "get_entry_point_polg, THERE ARE NO ENTRY POINTS", status -1.
void get_entry_point_polg(int mode, int outer, int island_count, const int* islands, const double* reference,
                          double* result, int& status);

// ---- dialogs -------------------------------------------------------------------------------------
// The point dialog of a kind (0 end points, otherwise entry or guide points by the host's NC
// sub-code): add, delete and move points; answers the count; status -1 when no point is left.
int pnt_dialog(int kind, int input_mode, int start_empty, int& changed, int& status);
void pnt_delete_dialog(int& changed);
void pnt_modify_dialog(int kind, int& changed);
// Interactive point input of a kind (0 end, 1 entry, 2 guide): single points, point entities,
// circle centres and (input mode not 0) point patterns. Status 0 when points exist.
void GETPMP(int kind, int input_mode, int& changed, int& status);
