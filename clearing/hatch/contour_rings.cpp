// The contour rings of the hatch ends: built from the segment list through per-contour edge
// arrays, sorted along each contour, kept in record arrays that never move.
#include "clearing/hatch/contour_rings.hpp"

#include "clearing/hatch/hatch_segments.hpp"
#include "host/vantu.hpp"

#include <algorithm>

hatch_rings hatch_rings_block;

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kForward = 1;
constexpr int kKeepRings = 0;
// The edge arrays start with room for 10 ends and grow by 10.
constexpr int kEdgeGrowth = 10;
constexpr int kRingRecordsPerBlock = 32;

template <class T> T* array_of(int handle) { return static_cast<T*>(mmcptr(handle)); }

// Distance of an end from the first vertex of its segment (0 for a segment outside the contour).
float along_segment(const hatch_contours& contours, const hatch_end& e)
{
    if (e.segment < 1 || e.segment > contours.size(e.contour)) return 0.0f;
    const float vertex[2] = {contours.x(e.contour, e.segment), contours.y(e.contour, e.segment)};
    const float point[2] = {e.x, e.y};
    return dist2_c(vertex, point);
}

// Where an end stands along its contour.
struct ring_key {
    int segment;
    float along;
    int index;
};

// -1 when a comes first along the contour, 1 when b does; equal distances by creation index, so
// that the order is total.
int key_order(const ring_key& a, const ring_key& b)
{
    if (a.segment != b.segment) return a.segment < b.segment ? -1 : 1;
    if (!eqval(a.along, b.along)) return a.along < b.along ? -1 : 1;
    return a.index < b.index ? -1 : 1;
}

bool add_edge_room(contour_ring& r)
{
    if (r.edge_count % kEdgeGrowth != 0) return true;
    void* base = nullptr;
    int status = 0;
    int* handles[3] = {&r.edge_handle, &r.index_handle, &r.record_table_handle};
    const int sizes[3] = {static_cast<int>(sizeof(hatch_end)), static_cast<int>(sizeof(int)),
                          static_cast<int>(sizeof(hatch_end*))};
    for (int a = 0; a < 3 && status == 0; ++a) {
        if (r.edge_count == 0) {
            int handle = -1;
            MM_OPEN_ARRAY(sizes[a], kEdgeGrowth, handle, base, status);
            if (status == 0) *handles[a] = handle;
        } else {
            MM_RESIZE_ARRAY(*handles[a], kEdgeGrowth, base, status);
        }
    }
    return status == 0;
}

// Copies contour k's ends into ring records in their order along the contour.
int sort_into_ring(const hatch_contours& contours, int k)
{
    contour_ring& r = hatch_rings_block.contours[static_cast<std::size_t>(k)];
    const hatch_end* edges = array_of<hatch_end>(r.edge_handle);
    int* indices = array_of<int>(r.index_handle);
    auto** records = array_of<hatch_end*>(r.record_table_handle);
    std::vector<ring_key> keys(static_cast<std::size_t>(r.edge_count));
    for (int i = 0; i < r.edge_count; ++i)
        keys[static_cast<std::size_t>(i)] = {edges[i].segment, along_segment(contours, edges[i]), i};
    std::stable_sort(indices, indices + r.edge_count, [&keys](int a, int b) {
        return key_order(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)]) < 0;
    });
    for (int j = 0; j < r.edge_count; ++j) {
        const int index = indices[j];
        auto* record = static_cast<hatch_end*>(MM_FALLOC(r.ring_handle));
        if (record == nullptr) return kFailed;
        *record = edges[index];
        record->previous = r.last;
        record->next = nullptr;
        if (r.last != nullptr)
            r.last->next = record;
        else
            r.first = record;
        r.last = record;
        records[index] = record;
        ++r.ring_size;
    }
    return kGoOn;
}

// Every ring end learns the record of its partner.
int link_partners()
{
    auto& all = hatch_rings_block.contours;
    for (contour_ring& r : all) {
        hatch_end* e = r.first;
        for (int j = 0; j < r.ring_size && e != nullptr; ++j, e = e->next) {
            const int k = e->partner_contour;
            if (k < 1 || k >= static_cast<int>(all.size())) return kFailed;
            const contour_ring& other = all[static_cast<std::size_t>(k)];
            if (e->partner_index < 0 || e->partner_index >= other.edge_count) return kFailed;
            e->partner = array_of<hatch_end*>(other.record_table_handle)[e->partner_index];
        }
    }
    return kGoOn;
}

int build_rings(const hatch_contours& contours, const hatch_segment* head)
{
    auto& all = hatch_rings_block.contours;
    all.assign(static_cast<std::size_t>(contours.count) + 1, contour_ring{});
    for (int k = 1; k <= contours.count; ++k) {
        int handle = -1, status = 0;
        MM_OPEN_FDS(static_cast<int>(sizeof(hatch_end)), kRingRecordsPerBlock, handle, status);
        if (status != 0) return kFailed;
        all[static_cast<std::size_t>(k)].ring_handle = handle;
    }
    for (const hatch_segment* s = head; s != nullptr; s = s->next) {
        int first = 0, second = 0;
        if (add_edge(s->contour1, s->x1, s->y1, s->segment1, s->mark1, first, 1) != kGoOn) return kFailed;
        if (add_edge(s->contour2, s->x2, s->y2, s->segment2, s->mark2, second, 0) != kGoOn) return kFailed;
        contour_ring& r1 = all[static_cast<std::size_t>(s->contour1)];
        contour_ring& r2 = all[static_cast<std::size_t>(s->contour2)];
        hatch_end& e1 = array_of<hatch_end>(r1.edge_handle)[first];
        hatch_end& e2 = array_of<hatch_end>(r2.edge_handle)[second];
        e1.partner_contour = s->contour2;
        e1.partner_index = second;
        e2.partner_contour = s->contour1;
        e2.partner_index = first;
        ++r1.start_count;
    }
    for (int k = 1; k <= contours.count; ++k)
        if (all[static_cast<std::size_t>(k)].edge_count > 0 && sort_into_ring(contours, k) != kGoOn) return kFailed;
    return link_partners();
}

}  // namespace

contour_ring* ring_of(int contour)
{
    auto& all = hatch_rings_block.contours;
    return contour >= 1 && contour < static_cast<int>(all.size()) ? &all[static_cast<std::size_t>(contour)] : nullptr;
}

int clr_build_edges(const hatch_contours& contours, const hatch_segment* head)
{
    int status = 0;
    clrels(1, status);
    if (status != kGoOn) return kFailed;
    const int built = build_rings(contours, head);
    clrels(kKeepRings, status);
    return built == kGoOn && status == kGoOn ? kGoOn : kFailed;
}

void edge_fill(hatch_end& end, float x, float y, int contour, int segment, int mark, int start_flag)
{
    end = hatch_end{1, start_flag, x, y, segment, contour, mark, nullptr, nullptr, nullptr, 0, -1};
}

int add_edge(int contour, float x, float y, int segment, int mark, int& index, int start_flag)
{
    contour_ring* r = ring_of(contour);
    if (r == nullptr || !add_edge_room(*r)) {
        eroutc("add_edge,dynamic memory error", 0);
        return kFailed;
    }
    index = r->edge_count;
    edge_fill(array_of<hatch_end>(r->edge_handle)[index], x, y, contour, segment, mark, start_flag);
    array_of<int>(r->index_handle)[index] = index;
    ++r->edge_count;
    return kGoOn;
}

int edge_compare(const hatch_contours& contours, const hatch_end& a, int index_a, const hatch_end& b, int index_b)
{
    return key_order({a.segment, along_segment(contours, a), index_a},
                     {b.segment, along_segment(contours, b), index_b});
}

int edge_before(const hatch_contours& contours, const hatch_end& fresh, const hatch_end& ring_end, int& same)
{
    same = 0;
    if (fresh.segment != ring_end.segment) return fresh.segment > ring_end.segment ? 1 : 0;
    const float a = along_segment(contours, fresh), b = along_segment(contours, ring_end);
    if (eqval(a, b)) {
        same = 1;
        return 0;
    }
    return a > b ? 1 : 0;
}

int insert_start_edge(const hatch_contours& contours, int contour, float x, float y, int segment, int mark,
                      hatch_end*& record, int& same)
{
    same = 0;
    contour_ring* r = ring_of(contour);
    if (r == nullptr || r->ring_handle == -1) return kFailed;
    hatch_end fresh{};
    edge_fill(fresh, x, y, contour, segment, mark, 0);
    // The slot: the first ring end the new end does not come after, or past the last end.
    hatch_end* at = r->first;
    bool after_last = false;
    for (int passed = 0; at != nullptr && passed <= r->ring_size; ++passed) {
        int equal = 0;
        const int after = edge_before(contours, fresh, *at, equal);
        if (equal != 0) {
            record = at;
            same = 1;
            return kGoOn;
        }
        if (after == 0) break;
        if (at == r->last) {
            after_last = true;
            break;
        }
        at = at->next;
    }
    auto* made = static_cast<hatch_end*>(MM_FALLOC(r->ring_handle));
    if (made == nullptr) return kFailed;
    *made = fresh;
    if (r->first == nullptr) {
        r->first = r->last = made;
    } else if (after_last || at == nullptr) {
        made->previous = r->last;
        r->last->next = made;
        r->last = made;
    } else {
        made->next = at;
        made->previous = at->previous;
        if (at->previous != nullptr)
            at->previous->next = made;
        else
            r->first = made;
        at->previous = made;
    }
    ++r->ring_size;
    record = made;
    return kGoOn;
}

void close_edge_rings(int direction)
{
    for (contour_ring& r : hatch_rings_block.contours) {
        if (r.first == nullptr) continue;
        r.last->next = r.first;
        r.first->previous = r.last;
        r.entry = r.first;
        r.walk_direction = direction;
    }
}

void clrels(int mode, int& status)
{
    status = kGoOn;
    auto& all = hatch_rings_block.contours;
    for (contour_ring& r : all) {
        int* handles[4] = {&r.edge_handle, &r.index_handle, &r.record_table_handle, &r.ring_handle};
        const int closing = mode != kKeepRings ? 4 : 3;
        for (int a = 0; a < closing; ++a) {
            if (*handles[a] == -1) continue;
            int closed = 0;
            MM_CLOSE(*handles[a], closed);
            *handles[a] = -1;
            if (closed != 0) {
                eroutc("clrels,Close dynamic memory error", 0);
                status = kFailed;
                return;
            }
        }
        r.edge_count = 0;
    }
    if (mode != kKeepRings) all.clear();
}

hatch_end* edge_step(const hatch_end* end, int direction)
{
    if (end == nullptr) return nullptr;
    return direction == kForward ? end->next : end->previous;
}

int contour_has_edges(int contour)
{
    const contour_ring* r = ring_of(contour);
    return r != nullptr ? r->ring_size : 0;
}

hatch_end* contour_last_edge(int contour)
{
    const contour_ring* r = ring_of(contour);
    return r != nullptr ? r->last : nullptr;
}
