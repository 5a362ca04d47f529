// The triangle model of the part surfaces, least version: the control block (tri_store), the
// nodes (NODKEY: x, y, z floats per node, numbered from 1), the working triangle records of the
// quadtree (qt_entry) and the quadtree itself (qt_nodes), built from a list of nodes and
// triangles. The cutter location reads them; the surface triangulation and the manual editor
// complete this file (the control block's remaining words, normals and patch records).
#pragma once

#include <string_view>

// The working triangle record, 13 words.
struct qt_entry {
    signed char normal_source;  // first byte: 2 or -2 makes the XY contact try the edges first
    signed char flag_bytes[3];  // rest of the first word, 0
    int nodes[3];               // node numbers into NODKEY, from 1
    float normal[3];            // unit normal, z not negative
    float d;                    // plane constant: normal . X + d = 0
    int box[4];                 // xmin, ymin, xmax, ymax in micrometres
    int srf_record;             // patch record number (SRFKEY), 0 in the least model
};
static_assert(sizeof(qt_entry) == 13 * 4, "a quadtree triangle record is 13 words");

// A node of the quadtree, 9 words. Node 0 is the root; the children of node i are 4i+1 .. 4i+4
// (the quadrants of its cell: lower left, lower right, upper left, upper right), five levels
// below the root.
struct qt_node {
    int box[4];   // box of the triangles of its subtree, micrometres (meaningless when empty)
    float top_z;  // highest corner of the triangles of its subtree
    int first;    // first entry of its own triangles in the quadtree's triangle list
    int count;    // its own triangles
    int subtree;  // triangles of its whole subtree; 0: nothing below
    int level;    // 0 at the root
};
static_assert(sizeof(qt_node) == 9 * 4, "a quadtree node is 9 words");

inline constexpr int kQtNodes = 1365;
inline constexpr int kQtLevels = 6;

// The quadtree, with the root cell (the model's box in micrometres) beside it.
struct qt_nodes_block {
    qt_node nodes[kQtNodes];
    int root_box[4];  // x0, y0, x1, y1
};
extern qt_nodes_block qt_nodes;

// Walks the quadtree depth first from the root, skipping nodes with nothing below: `enter(node)`
// says whether a node is worth entering (its box, its top), `visit(node)` handles the node's own
// triangles and answers whether the walk goes on. At most three children wait per level.
template <class Enter, class Visit> void qt_walk(Enter&& enter, Visit&& visit)
{
    constexpr int kWalkStack = 4 * kQtLevels + 1;
    int stack[kWalkStack];
    int depth = 0;
    if (qt_nodes.nodes[0].subtree > 0) stack[depth++] = 0;
    while (depth > 0) {
        const int index = stack[--depth];
        const qt_node& node = qt_nodes.nodes[index];
        if (!enter(node)) continue;
        if (!visit(node)) return;
        for (int c = 4 * index + 1; c <= 4 * index + 4 && c < kQtNodes && depth < kWalkStack; ++c)
            if (qt_nodes.nodes[c].subtree > 0) stack[depth++] = c;
    }
}

// The three corners of a quadtree triangle record (x, y, z each) from the model's nodes.
inline void qt_entry_corners(const float* nodes, const qt_entry& entry, float* corners)
{
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 3; ++i) corners[3 * c + i] = nodes[3 * (entry.nodes[c] - 1) + i];
}

// The control block of the triangle model: host array handles (-1 when not open) and counts.
struct tri_store {
    int node_handle = -1;  // NODKEY
    int node_count = 0;
    int entry_handle = -1;  // qt_entry records
    int entry_count = 0;
    int list_handle = -1;         // triangle numbers (0-based entries) of the quadtree nodes
    float box[6] = {};            // xmin, ymin, zmin, xmax, ymax, zmax of the nodes
    float lane_tolerance = 0.0f;  // how closely the triangles stand for the surfaces: lanes laid on
                                  // the model are kept within it (set by the surface source; 0 from
                                  // tri_model_build until then)
    int grid_switch = 0;          // 1: heights come from the alternative grid drop (grid_drop_side);
                                  // no operation of this module sets it
};
extern tri_store tri_store_block;

// Builds the model from node_count nodes (x, y, z each) and triangle_count triangles (three node
// numbers from 1 each), replacing the one held. A triangle whose area vanishes keeps the normal
// (0, 0, 1). Status 0; -1 with "tri_model_build, WRONG NODE NUMBER" for a number outside the
// nodes or "tri_model_build, NO TRIANGLES" for no nodes or triangles (the model held stays), or
// "tri_model_build, DYNAMIC MEMORY PROBLEM" for a refused host array (no model is held then).
void tri_model_build(const float* nodes, int node_count, const int* triangles, int triangle_count, int& status);
// The lane tolerance of the model held (0 when none is held or no source set it), and its
// setting by the surface source after a build.
float tri_model_lane_tolerance();
void tri_model_lane_tolerance_set(float tolerance);
// The grid switch of the model held: 0 (off) unless set.
int tri_model_grid_switch();
// Gives back the model's arrays.
void tri_model_release(int& status);
// Puts the control block and the quadtree back to their load state without touching the host
// (after the host was reset).
void tri_model_module_reset();

// The box of a triangle in micrometres, one micrometre beyond its corners (9 floats):
// trunc(1000 min - 1), trunc(1000 max + 1) per axis (truncation towards zero).
void qt_triangle_box(const float* corners, int* box);

// The model's arrays, or null when no model is held or the host no longer knows the array.
const float* tri_model_nodes();
const qt_entry* tri_model_entries();
const int* tri_model_list();
// Whether a model is held whose arrays the host still knows (no message either way).
bool tri_model_held();
// The model's three arrays together, for a caller that walks the quadtree.
struct tri_model_arrays {
    const float* nodes = nullptr;
    const qt_entry* entries = nullptr;
    const int* list = nullptr;
};
// Reads the three arrays; false, with "<caller>, NO TRIANGLE MODEL" on the error channel, when
// any of them is missing.
bool tri_model_arrays_get(std::string_view caller, tri_model_arrays& arrays);
