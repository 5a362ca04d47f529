// Input preparation of the pocket engine: the pocket frame (origin at the lower corner of the
// outer contour's box), the engine contour tables that say where each contour's points begin in
// the contour point array, and the conversion of the contours' curves into points and arc
// records. The pocket procedure calls pocket_prepare before the lane engine; other callers load
// their own point contours with contour_box (pocket/contour_box.hpp).
#pragma once

#include <vector>

// Contour types.
inline constexpr int kContourPart = 1;
inline constexpr int kContourStock = 2;

// Largest contour count (outer contour and islands) the driver accepts; the tables have one row
// more, since a count of n also writes row n + 1 (the next free point index).
inline constexpr int kContourMax = 16667;
inline constexpr int kContourRows = kContourMax + 1;

// Level of the outer contour; island j has level kIslandLevelBase + j (9999 + its contour number).
inline constexpr int kOuterLevel = 1;
inline constexpr int kIslandLevelBase = 10000;

struct pocket_frame {
    double origin[3];  // the outer contour's box minimum; main-array points are relative to it
    double box_min[3];
    double box_max[3];
    double size;  // the smaller of the box's width and height (read by cmtpk1)
    double origin_copy[3];
    double matrix[3][3];  // display matrix
    int matrix_ready;     // 1 once the display matrix is prepared
};
extern pocket_frame pocket_frame_block;

struct pocket_box {
    int main_size = 0;  // room of the main point array (kept by pokmain_grow)
    // Half the size the computation asked for: the lanes the contours make must fit below it (a
    // pocket whose contours need more is computed again with more room).
    int half_size = 0;
    int first_output_lane = 0;  // lanes from here on are cut chains (set by cmtpk1, cutting)
    int island_count = 0;       // the engine's own island count
    // Where contour_box puts the next contour of a set: its contour number and the index of its
    // first contour point. A new set (first 1) starts both at 1.
    int next_contour = 1;
    int next_contour_point = 1;
};
extern pocket_box pocket_box_block;

// The engine contour tables, rows 1-based (index 0 unused); contour k owns contour points
// first[k] .. first[k + 1] - 1.
struct pkcont_tables {
    int count;  // contours = islands + 1
    int islands;
    int level[kContourRows + 1];
    int parent[kContourRows + 1];
    int first[kContourRows + 1];
    int status[kContourRows + 1];
    int type[kContourRows + 1];  // kContourPart or kContourStock
    int stock_islands;
    int part_islands;
    int outer_type;
};
extern pkcont_tables pkcont_tables_block;

// Pocket mode: 0 the pocket procedure itself; other callers do not see the engine's messages.
extern int pocket_mode_word;
void get_pocket_mode(int& mode);

void pocket_frame_reset();

// The pocket's contours: per contour number (1-based, index 0 unused) its type and curve set.
struct pocket_contours {
    const int* type;
    const int* curve_set;
    int numbers;  // highest contour number + 1 (size of both arrays)
};

// Prepares the outer contour and the islands (contour numbers) into the contour point array
// and the contour tables. Status 0 or negative. Reads pocket_work.tolerance and side_step (the
// conversion of the curves) and pocket_state.pocket_dimension (points in 2-D or 3-D).
void pocket_prepare(int outer, int islands, const int* island_numbers, const pocket_contours& contours, int& status);
// Appends the points of one contour (curve set) at index.
void contour_to_points(int curve_set, double tolerance, double side_step, int& index, int& status);
// Converts one curve (data: start parameter, end parameter, orientation value) without its
// start point.
void PKCNV2(const double* data, int entity, double tolerance, double side_step, int& index, int& status);
// Polyline of a curve from t0 to t1 within tolerance (crvpld2) into points, dimension doubles a
// point, the room growing to what the curve needs; count answers the points. Status 0 or -1.
void curve_polyline(int entity, double t0, double t1, double tolerance, int dimension, std::vector<double>& points,
                    int& count, int& status);
// Converts a polyline entity into points; 2-D or 3-D by pocket_state.pocket_dimension.
void pkcnv_polyline(int entity, const double* data, double tolerance, int& index, int& status);
void pkcnv_arc(int entity, const double* data, double tolerance, int& index, int& status);
// 0 when the entity is an arc whose radius is 1000 side steps or more (treated as points), else 1.
int pkcnv_open_entity(int entity, double side_step);
void pkcont_fill(int outer_type, int stock, int part, int& status);
// Box (xmin, ymin, zmin, xmax, ymax, zmax) of all curves of a curve set.
void contour_curve_box(int reserved, int curve_set, float* box, int& status);
