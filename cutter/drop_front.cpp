// The drop front end (see the header). Untilted, the quadtree is searched highest height bound
// first (qt_box_drop_height of a node's or a triangle's box, nearest distance; then the plane and
// edge bounds of triangle_bounds), and a box or triangle whose bound cannot beat the best height
// found is never opened, so the best rises early and most bounds fall below it. A box bound
// is taken on the box widened by the rounding of the point to micrometres, over a top raised by
// the rounding of a height up to single precision (the XY contact meets only points of a
// triangle under the cutter); the triangle bounds allow for that rounding too, so the walk finds
// exactly the best height of all triangles.
#include "cutter/drop_front.hpp"

#include "cutter/drop_bounds.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "cutter/kernels/cutter_frame.hpp"
#include "cutter/kernels/triangle_drivers.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "cutter/torus_front.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/qt_geometry.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int kFound = 0;
constexpr int kNothingUnder = 1;
constexpr int kFailed = -1;
constexpr int kNearestDistance = 2;
constexpr float kMicrometresPerMillimetre = 1000.0f;
constexpr float kFoundBelow = -1.0e9f;
// A taper reaching this has no cone.
constexpr float kRightAngle = 1.5707963f;
constexpr float kHalfRightAngle = 0.5f * kRightAngle;
// Sizes of a cutter grown by a stock in single precision keep a tapered ball's corner on its
// radius only within their rounding.
constexpr float kSizeRounding = 1.0e-6f;
// Widening of a box for the height bound, in micrometres: the point's rounding to micrometres,
// with room to spare.
constexpr int kBoxSlack = 2;
// Raise of a box's top for the bound, relative to its height: a height rounded up to single
// precision, with room to spare.
constexpr float kRoundingSlack = 1.0e-4f;

int to_micrometres(float value)
{
    const double um = std::nearbyint(static_cast<double>(value) * kMicrometresPerMillimetre);
    return static_cast<int>(std::clamp(um, static_cast<double>(INT_MIN / 2), static_cast<double>(INT_MAX / 2)));
}

// The best contact found so far.
struct best_contact {
    float height = kNoHeight;
    float contact[3] = {0.0f, 0.0f, 0.0f};
    bool face = false;  // the contact is a face's
};

// One triangle through the driver; a higher height becomes the best, and so does a face contact
// at the height of an edge contact (the face is the one the cutter rests on; the order in which
// the triangles come is not to decide that).
void drop_on(const qt_entry& record, const float* corners, const float* point, const located_cutter& cutter,
             best_contact& best)
{
    const float pass_value = 0.0f;
    const int no_switch = 0;
    float height = 0.0f, contact[3], distance = 0.0f, value = 0.0f;
    int status = 0;
    triangle_drop_single(corners, corners + 3, corners + 6, record, point, cutter.type, no_switch, no_switch,
                         pass_value, cutter.diameter, cutter.corner, height, contact, distance, value, status);
    if (status == kDriverNoContact) return;
    const bool face = status == kXyFace || status == kXyFaceInside;
    if (!(height > best.height) && !(height == best.height && face && !best.face)) return;
    best.height = height;
    best.face = face;
    std::memcpy(best.contact, contact, sizeof best.contact);
}

// The search of the quadtree for an untilted cutter, highest bound first: nodes and triangles
// wait in a heap under the height bound of their box. A triangle taken from it the first time
// gets its own bounds (its plane, and its edges when only they can be met) and waits again under
// them; taken again, it is dropped on. Nothing is left to do once the highest bound waiting lies
// no higher than the best height, so on a steep or crowded model only the few triangles that
// may rise above the best are bounded one by one.
class quadtree_drop {
public:
    quadtree_drop(const float* point, const located_cutter& cutter, const float* nodes, const qt_entry* entries,
                  const int* list)
        : point_(point), cutter_(cutter), nodes_(nodes), entries_(entries), list_(list)
    {
        at_[0] = to_micrometres(point[0]);
        at_[1] = to_micrometres(point[1]);
    }

    void run(best_contact& best)
    {
        if (qt_nodes.nodes[0].subtree > 0) push_node(0, best);
        while (!waiting_.empty()) {
            std::pop_heap(waiting_.begin(), waiting_.end());
            const item next = waiting_.back();
            waiting_.pop_back();
            if (!(next.bound > best.height)) return;
            if (next.kind == kNode)
                expand(qt_nodes.nodes[next.index], best);
            else if (next.kind == kBoxed)
                bound_triangle(next, best);
            else
                drop(next.index, best);
        }
    }

private:
    // What waits: a node under its box bound, a triangle under its box bound, or a triangle under
    // its own bounds.
    static constexpr int kNode = 0, kBoxed = 1, kBounded = 2;
    struct item {
        float bound;
        int kind;
        int index;  // node number or triangle entry
        bool operator<(const item& other) const { return bound < other.bound; }
    };
    static constexpr std::size_t kWaitingReserve = 256;

    void wait(float bound, int kind, int index)
    {
        if (waiting_.empty()) waiting_.reserve(kWaitingReserve);
        waiting_.push_back({bound, kind, index});
        std::push_heap(waiting_.begin(), waiting_.end());
    }

    void push_node(int index, const best_contact& best)
    {
        const qt_node& node = qt_nodes.nodes[index];
        float bound = 0.0f;
        if (bound_of(node.box, node.top_z, bound) && bound > best.height) wait(bound, kNode, index);
    }

    // The node's own triangles under their box bounds, and its children.
    void expand(const qt_node& node, const best_contact& best)
    {
        for (int k = 0; k < node.count; ++k) {
            const int entry = list_[node.first + k];
            float corners[9];
            qt_entry_corners(nodes_, entries_[entry], corners);
            float bound = 0.0f;
            if (bound_of(entries_[entry].box, std::max({corners[2], corners[5], corners[8]}), bound) &&
                bound > best.height)
                wait(bound, kBoxed, entry);
        }
        const int index = static_cast<int>(&node - qt_nodes.nodes);
        for (int c = 4 * index + 1; c <= 4 * index + 4 && c < kQtNodes; ++c)
            if (qt_nodes.nodes[c].subtree > 0) push_node(c, best);
    }

    // The triangle's own bounds: the plane, and the edges when the face cannot be met.
    void bound_triangle(const item& boxed, const best_contact& best)
    {
        const qt_entry& record = entries_[boxed.index];
        float corners[9];
        qt_entry_corners(nodes_, record, corners);
        const triangle_bounds bounds(point_, {cutter_.type, cutter_.radius, cutter_.corner}, record, corners);
        float bound = std::min(boxed.bound, bounds.plane());
        if (bound > best.height) bound = std::min(bound, bounds.edges());
        if (bound > best.height) wait(bound, kBounded, boxed.index);
    }

    void drop(int entry, best_contact& best)
    {
        float corners[9];
        qt_entry_corners(nodes_, entries_[entry], corners);
        drop_on(entries_[entry], corners, point_, cutter_, best);
    }

    // The height bound of a box of triangles whose highest corner is top; false beyond reach.
    bool bound_of(const int* box, float top, float& bound) const
    {
        const int widened[4] = {box[0] - kBoxSlack, box[1] - kBoxSlack, box[2] + kBoxSlack, box[3] + kBoxSlack};
        const float raised = top + kRoundingSlack * (1.0f + std::fabs(top));
        int status = 0;
        qt_box_drop_height(at_, widened, raised, kNearestDistance, cutter_.radius, cutter_.corner, cutter_.type, bound,
                           status);
        return status == 0;
    }

    const float* point_;
    located_cutter cutter_;
    const float* nodes_;
    const qt_entry* entries_;
    const int* list_;
    int at_[2];
    std::vector<item> waiting_;  // a heap, highest bound on top
};

// The drop of a tilted cutter: every triangle turned into the frame, those in reach dropped.
bool tilted_drop(const float* point, const located_cutter& cutter, best_contact& best)
{
    const float reach = cutter.radius + kBoxSlack / kMicrometresPerMillimetre;
    std::vector<drop_candidate> candidates;
    int status = 0;
    elm2nd(point, reach, candidates, status);
    if (status != 0) return false;
    for (const drop_candidate& c : candidates) drop_on(c.record, c.corners, point, cutter, best);
    return true;
}

}  // namespace

void elm2nd(const float* point, const float& reach, std::vector<drop_candidate>& candidates, int& status)
{
    candidates.clear();
    const float* nodes = tri_model_nodes();
    const qt_entry* entries = tri_model_entries();
    if (nodes == nullptr || entries == nullptr) {
        status = kFailed;
        return;
    }
    const int at[2] = {to_micrometres(point[0]), to_micrometres(point[1])};
    const cutter_frame& frame = cutter_frame_block;
    for (int t = 0; t < tri_store_block.entry_count; ++t) {
        drop_candidate c{};
        int box[4];
        frame_triangle(frame.origin, frame.axis, nodes, entries[t], c.record, box, c.corners);
        float distance = 0.0f;
        int beyond = 0;
        qt_box_near_dist(box[0], box[1], box[2], box[3], at[0], at[1], reach, distance, beyond);
        if (beyond == 0) candidates.push_back(c);
    }
    status = 0;
}

float drop_station_spacing(float tolerance, float stock)
{
    const linnet_params& lp = linnet_params_block;
    const float bend = (lp.corner_radius > 0.0f ? lp.corner_radius : 0.5f * lp.diameter) + stock;
    return 2.0f * std::sqrt(std::max(tolerance, 0.0f) * std::max(bend, 0.0f));
}

float located_cutter::outer() const
{
    return tapered ? radius + cut_length * std::tan(taper) + flank_rounding * (1.0f - std::cos(taper)) : radius;
}

bool located_cutter_get(const char* caller, located_cutter& cutter)
{
    const linnet_params& lp = linnet_params_block;
    const bool tapered = lp.cutter_type > kCutterTapered;
    cutter = {tapered ? lp.cutter_type - kCutterTapered : lp.cutter_type,
              tapered,
              lp.diameter,
              lp.corner_radius,
              0.5f * lp.diameter,
              tapered ? lp.taper : 0.0f,
              lp.cut_length,
              tapered ? lp.flank_rounding : 0.0f};
    const bool sound_taper = !tapered || (lp.taper >= 0.0f && lp.taper < kRightAngle && lp.cut_length >= 0.0f);
    // A tapered corner meets the flank, which reaches D/2 at the tip's plane, r tan(pi/4 - a/2)
    // short of D/2: a tapered ball's corner is wider than D/2.
    const float corner_reach =
        tapered && sound_taper ? cutter.corner * std::tan(kHalfRightAngle - 0.5f * cutter.taper) : cutter.corner;
    if (cutter.type >= kCutterBall && cutter.type <= kCutterBullNose && cutter.radius > 0.0f && cutter.corner >= 0.0f &&
        corner_reach <= cutter.radius * (1.0f + kSizeRounding) && sound_taper)
        return true;
    eroutc((std::string(caller) + ", WRONG CUTTER").c_str(), 0);
    return false;
}

namespace {

// The drop of tool_drop_z_above with the touched point of the triangles.
void drop_touching_above(const float* point, float floor, float* result, float* normal, float* contact, int& status)
{
    const linnet_params& lp = linnet_params_block;
    located_cutter cutter{};
    if (!located_cutter_get("tool_drop_z_at_xy", cutter)) {
        status = kFailed;
        return;
    }
    const bool tapered = cutter.tapered;
    tri_model_arrays model;
    if (!tri_model_arrays_get("tool_drop_z_at_xy", model)) {
        status = kFailed;
        return;
    }
    const float* nodes = model.nodes;
    const qt_entry* entries = model.entries;
    const int* list = model.list;

    // The search keeps only heights above the best so far: started at the floor, it opens only the
    // boxes and triangles that may lift the cutter above it. A tilted cutter's heights are along
    // its axis: it is dropped in full and judged by its tip's height.
    const bool tilted = lp.tilted_axis != 0;
    best_contact best;
    if (!tilted) best.height = floor;
    float at[3] = {point[0], point[1], point[2]};
    if (tilted) frame_vector(point, lp.tool_axis, at);
    bool read = true;
    if (tapered) {
        int drop_status = 0;
        taper_drop_at(at, lp.tilted_axis, best.height, best.contact, drop_status);
        read = drop_status >= 0;
    } else if (tilted) {
        read = tilted_drop(at, cutter, best);
    } else {
        quadtree_drop(at, cutter, nodes, entries, list).run(best);
    }
    if (!read) {
        eroutc("tool_drop_z_at_xy, NO TRIANGLE MODEL", 0);
        status = kFailed;
        return;
    }
    if (!(best.height > kFoundBelow) || (!tilted && !(best.height > floor))) {
        status = kNothingUnder;
        return;
    }
    float tip[3] = {at[0], at[1], best.height}, towards[3];
    // The rounding over a tapered flank's top is the fillet there, its centre that far above the
    // flank's top.
    const float taper = cutter.taper, fillet = cutter.flank_rounding;
    const float fillet_centre = cutter.cut_length + fillet * std::sin(taper);
    int normal_status = 0;
    tool_contact_offset(cutter.diameter, cutter.corner, taper, fillet, fillet_centre, tip, best.contact, towards,
                        normal_status);
    if (tilted) {
        frame_vector_back(tip);
        frame_vector_back(towards);
        frame_vector_back(best.contact);
    }
    if (!(tip[2] > floor)) {
        status = kNothingUnder;
        return;
    }
    std::memcpy(result, tip, sizeof tip);
    std::memcpy(normal, towards, sizeof towards);
    std::memcpy(contact, best.contact, sizeof best.contact);
    status = kFound;
}

}  // namespace

void tool_drop_z_at_xy(const float* point, float* result, float* normal, int& status)
{
    tool_drop_z_above(point, kNoHeight, result, normal, status);
}

void tool_drop_z_above(const float* point, float floor, float* result, float* normal, int& status)
{
    float contact[3];
    drop_touching_above(point, floor, result, normal, contact, status);
}

void tool_drop_touching(const float* point, float* result, float* normal, float* contact, int& status)
{
    drop_touching_above(point, kNoHeight, result, normal, contact, status);
}
