// The triangle model of the part surfaces, least version (see the header): the arrays of the
// model in host dynamic arrays, their triangle records with plane and box, and the quadtree.
// A triangle goes into the deepest quadtree cell at least as large as its box that holds its
// box's centre; each node keeps the box and the highest corner of its whole subtree, so a
// search can skip a subtree whose box is out of reach or too low.
#include "surfaces/tri_store_least.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

tri_store tri_store_block;
qt_nodes_block qt_nodes;

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr float kMicrometresPerMillimetre = 1000.0f;
// A normal shorter than this (twice the area of the triangle, in square millimetres) is not
// formed: the triangle has no area and keeps (0, 0, 1).
constexpr double kNoArea = 1.0e-12;

tri_store& store = tri_store_block;

void fail(const char* text, int& status)
{
    eroutc(text, 0);
    status = kFailed;
}

// Base address of an open model array holding at least `count` elements, else null.
void* array_of(int handle, int count)
{
    if (handle < 0 || MM_CUR_N_ENTRIES(handle) < count) return nullptr;
    return mmcptr(handle);
}

void close_array(int& handle)
{
    int status = 0;
    if (handle >= 0 && mmcptr(handle) != nullptr) MM_CLOSE(handle, status);
    handle = -1;
}

bool open_array(int element_size, int count, int& handle, void*& base, int& status)
{
    MM_OPEN_ARRAY(element_size, count, handle, base, status);
    if (status == 0 && base != nullptr) return true;
    handle = -1;
    fail("tri_model_build, DYNAMIC MEMORY PROBLEM", status);
    return false;
}

// The record of one triangle: its plane with the normal turned upwards, and its box.
qt_entry triangle_record(const float* nodes, const int* numbers)
{
    qt_entry e{};
    float corners[9];
    for (int k = 0; k < 3; ++k) {
        e.nodes[k] = numbers[k];
        std::memcpy(corners + 3 * k, nodes + 3 * (numbers[k] - 1), 3 * sizeof(float));
    }
    double u[3], v[3];
    for (int k = 0; k < 3; ++k) {
        u[k] = static_cast<double>(corners[3 + k]) - corners[k];
        v[k] = static_cast<double>(corners[6 + k]) - corners[k];
    }
    double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
    const double length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (length > kNoArea) {
        const double sign = n[2] < 0.0 ? -1.0 : 1.0;
        for (double& c : n) c *= sign / length;
    } else {
        n[0] = n[1] = 0.0;
        n[2] = 1.0;
    }
    for (int k = 0; k < 3; ++k) e.normal[k] = static_cast<float>(n[k]);
    e.d = static_cast<float>(-(n[0] * corners[0] + n[1] * corners[1] + n[2] * corners[2]));
    qt_triangle_box(corners, e.box);
    return e;
}

float top_of(const float* nodes, const qt_entry& e)
{
    float top = nodes[3 * (e.nodes[0] - 1) + 2];
    for (int k = 1; k < 3; ++k) top = std::max(top, nodes[3 * (e.nodes[k] - 1) + 2]);
    return top;
}

// Cell size of a level along one axis of the root box, in micrometres.
double cell_size(int low, int high, int level) { return (static_cast<double>(high) - low) / (1 << level); }

// The node of the deepest cell at least as large as the box that holds the box's centre.
int node_for_box(const int* box)
{
    const int* root = qt_nodes.root_box;
    const double width = static_cast<double>(box[2]) - box[0], height = static_cast<double>(box[3]) - box[1];
    int level = 0;
    while (level + 1 < kQtLevels && cell_size(root[0], root[2], level + 1) >= width &&
           cell_size(root[1], root[3], level + 1) >= height)
        ++level;
    const double cx = 0.5 * (static_cast<double>(box[0]) + box[2]), cy = 0.5 * (static_cast<double>(box[1]) + box[3]);
    const int cells = 1 << level;
    auto cell_of = [cells](double centre, int low, double size) {
        if (!(size > 0.0)) return 0;
        return std::clamp(static_cast<int>(std::floor((centre - low) / size)), 0, cells - 1);
    };
    const int ix = cell_of(cx, root[0], cell_size(root[0], root[2], level));
    const int iy = cell_of(cy, root[1], cell_size(root[1], root[3], level));
    int node = 0;
    for (int l = level - 1; l >= 0; --l) node = 4 * node + 1 + ((ix >> l) & 1) + 2 * ((iy >> l) & 1);
    return node;
}

void build_quadtree(const float* nodes, const qt_entry* entries, int count, int* list)
{
    std::memset(&qt_nodes, 0, sizeof qt_nodes);
    int* root = qt_nodes.root_box;
    root[0] = root[1] = INT_MAX;
    root[2] = root[3] = INT_MIN;
    for (int t = 0; t < count; ++t) {
        root[0] = std::min(root[0], entries[t].box[0]);
        root[1] = std::min(root[1], entries[t].box[1]);
        root[2] = std::max(root[2], entries[t].box[2]);
        root[3] = std::max(root[3], entries[t].box[3]);
    }
    for (int i = 0, level = 0, next_level = 1; i < kQtNodes; ++i) {
        if (i == next_level) next_level = 4 * next_level + 1, ++level;
        qt_nodes.nodes[i].level = level;
    }
    std::vector<int> home(static_cast<std::size_t>(count));
    for (int t = 0; t < count; ++t) {
        home[t] = node_for_box(entries[t].box);
        ++qt_nodes.nodes[home[t]].count;
    }
    for (int i = 0, first = 0; i < kQtNodes; ++i) {
        qt_nodes.nodes[i].first = first;
        first += qt_nodes.nodes[i].count;
    }
    std::vector<int> filled(kQtNodes, 0);
    for (int t = 0; t < count; ++t) list[qt_nodes.nodes[home[t]].first + filled[home[t]]++] = t;

    // Subtree boxes, tops and counts, children before parents.
    for (int i = kQtNodes - 1; i >= 0; --i) {
        qt_node& node = qt_nodes.nodes[i];
        node.box[0] = node.box[1] = INT_MAX;
        node.box[2] = node.box[3] = INT_MIN;
        node.top_z = -HUGE_VALF;
        node.subtree = node.count;
        auto widen = [&node](const int* box, float top) {
            node.box[0] = std::min(node.box[0], box[0]);
            node.box[1] = std::min(node.box[1], box[1]);
            node.box[2] = std::max(node.box[2], box[2]);
            node.box[3] = std::max(node.box[3], box[3]);
            node.top_z = std::max(node.top_z, top);
        };
        for (int k = 0; k < node.count; ++k) {
            const qt_entry& e = entries[list[node.first + k]];
            widen(e.box, top_of(nodes, e));
        }
        for (int c = 4 * i + 1; c <= 4 * i + 4 && c < kQtNodes; ++c) {
            const qt_node& child = qt_nodes.nodes[c];
            if (child.subtree == 0) continue;
            node.subtree += child.subtree;
            widen(child.box, child.top_z);
        }
    }
}

}  // namespace

void qt_triangle_box(const float* corners, int* box)
{
    for (int axis = 0; axis < 2; ++axis) {
        const float low = std::min({corners[axis], corners[3 + axis], corners[6 + axis]});
        const float high = std::max({corners[axis], corners[3 + axis], corners[6 + axis]});
        box[axis] = static_cast<int>(kMicrometresPerMillimetre * low - 1.0f);
        box[2 + axis] = static_cast<int>(kMicrometresPerMillimetre * high + 1.0f);
    }
}

void tri_model_build(const float* nodes, int node_count, const int* triangles, int triangle_count, int& status)
{
    status = kGoOn;
    if (nodes == nullptr || triangles == nullptr || node_count < 1 || triangle_count < 1) {
        fail("tri_model_build, NO TRIANGLES", status);
        return;
    }
    for (long k = 0; k < 3L * triangle_count; ++k) {
        if (triangles[k] < 1 || triangles[k] > node_count) {
            fail("tri_model_build, WRONG NODE NUMBER", status);
            return;
        }
    }
    tri_model_release(status);
    void* node_base = nullptr;
    void* entry_base = nullptr;
    void* list_base = nullptr;
    if (!open_array(3 * sizeof(float), node_count, store.node_handle, node_base, status) ||
        !open_array(sizeof(qt_entry), triangle_count, store.entry_handle, entry_base, status) ||
        !open_array(sizeof(int), triangle_count, store.list_handle, list_base, status)) {
        int ignored = 0;
        tri_model_release(ignored);
        return;
    }
    float* stored_nodes = static_cast<float*>(node_base);
    std::memcpy(stored_nodes, nodes, sizeof(float) * 3 * static_cast<std::size_t>(node_count));
    store.node_count = node_count;
    store.lane_tolerance = 0.0f;
    for (int axis = 0; axis < 3; ++axis) {
        store.box[axis] = store.box[3 + axis] = nodes[axis];
        for (int k = 1; k < node_count; ++k) {
            store.box[axis] = std::min(store.box[axis], nodes[3 * k + axis]);
            store.box[3 + axis] = std::max(store.box[3 + axis], nodes[3 * k + axis]);
        }
    }
    qt_entry* entries = static_cast<qt_entry*>(entry_base);
    for (int t = 0; t < triangle_count; ++t) entries[t] = triangle_record(stored_nodes, triangles + 3 * t);
    store.entry_count = triangle_count;
    build_quadtree(stored_nodes, entries, triangle_count, static_cast<int*>(list_base));
}

void tri_model_release(int& status)
{
    status = kGoOn;
    close_array(store.node_handle);
    close_array(store.entry_handle);
    close_array(store.list_handle);
    tri_model_module_reset();
}

bool tri_model_held()
{
    return store.entry_count > 0 && tri_model_nodes() != nullptr && tri_model_entries() != nullptr &&
           tri_model_list() != nullptr;
}

float tri_model_lane_tolerance() { return store.lane_tolerance; }

void tri_model_lane_tolerance_set(float tolerance) { store.lane_tolerance = tolerance; }

int tri_model_grid_switch() { return store.grid_switch; }

void tri_model_module_reset()
{
    store = tri_store{};
    std::memset(&qt_nodes, 0, sizeof qt_nodes);
}

const float* tri_model_nodes() { return static_cast<const float*>(array_of(store.node_handle, store.node_count)); }
const qt_entry* tri_model_entries()
{
    return static_cast<const qt_entry*>(array_of(store.entry_handle, store.entry_count));
}
const int* tri_model_list() { return static_cast<const int*>(array_of(store.list_handle, store.entry_count)); }

bool tri_model_arrays_get(std::string_view caller, tri_model_arrays& arrays)
{
    arrays = {tri_model_nodes(), tri_model_entries(), tri_model_list()};
    if (arrays.nodes != nullptr && arrays.entries != nullptr && arrays.list != nullptr) return true;
    eroutc(std::string(caller) + ", NO TRIANGLE MODEL", 0);
    return false;
}
