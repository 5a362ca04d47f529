// Offset pieces: the filter of the pieces that one offset leaves (pieces that hold another, small
// pieces near a larger one, slivers beside the previous lane), their order, the removal of
// crossing pieces and the reach of a loop from a chain. The one-offset step calls them; the
// measures between lanes are in lane_measures.hpp.
#pragma once

#include "pocket_arrays/pokarr.hpp"

// A piece set: closed loops one after another in `points`, with parallel per-piece lists
// (0-based here) of point count, kind, signed area and a value that travels with the piece.
struct piece_set {
    pokarr* points;
    int* counts;
    int* kinds;
    double* areas;
    int* extra;
};

// Status of the piece routines besides 0.
inline constexpr int kPiecesCross = 1;
inline constexpr int kPiecesMemory = 11;
inline constexpr int kPiecesSurfaceDrop = 19;
// Most pieces of a set.
inline constexpr int kPiecesMax = 7000;

// Filters the set in place: containment, small pieces near larger ones, slivers beside the
// previous lane, then the order. d the offset distance, tool_radius Rt, width w, area limit L.
// Status 0; 11 memory or more than kPiecesMax pieces; 19 a failed surface drop. Reads
// pocket_work (engine_step, surface_reduction, tolerance) and pocket_state.pocket_dimension.
void offset_pieces_filter(int order_flag, const pokarr& previous, double width, double area_limit, double d,
                          double tool_radius, int wanted_kind, int& piece_count, const piece_set& set, int& status);
// Removes piece `index` (0-based), whose points start at `first`.
void piece_remove(int index, int first, const piece_set& set, int& piece_count);
// Order flag 0: the largest piece, the others of its kind, the rest; 1: the others first.
void pieces_reorder(int order_flag, int piece_count, const piece_set& set, int& status);
// Removes the smaller of the first crossing pair until none cross; status 1 (nothing removed)
// when level is above 1, mode is not 0 and two pieces cross.
void pieces_uncross(int& piece_count, const piece_set& set, int level, int mode, int& status);
// The largest distance of the loop's vertices from the chain; flag 1 as soon as it passes the
// limit.
void loop_dist_exceeds(const double* chain_x, const double* chain_y, int chain_count, const double* x, const double* y,
                       int count, double limit, double& value, int& flag);
