// Contours in the host selection list: pushing a record's curves (chains, faces by their loops,
// loops of solids by their exploded edges) and its end check curves, taking a contour's range
// out with the later ranges renumbered, and splitting a picked set of contours.
#include "pocket/contour_selection.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kEdgeKind = 4, kEdgeType = 2;
constexpr int kNoCheckCurve = -2, kUnknownCheckCurve = -1;
// The open code whose ends carry no check curves to push.
constexpr int kOpenWithoutChecks = 1;

// The curve's point at the middle of the range, as floats; false when it cannot be evaluated.
bool middle_point(int entity, double t0, double t1, float* point)
{
    double p[3];
    int status = 0;
    evcrvd(entity, (t0 + t1) / 2.0, p, nullptr, status);
    for (int i = 0; status == kGoOn && i < 3; ++i) point[i] = static_cast<float>(p[i]);
    return status == kGoOn;
}

// Pushes every curve of a chain record with the point at the middle of its range.
void push_chain_curves(const int* chain, int& valid)
{
    int n = 0, status = 0;
    dfdgnc(chain, n, status);
    for (int k = 1; status == kGoOn && k <= n; ++k) {
        int entity = 0;
        double data[3];
        float point[3] = {0, 0, 0};
        dfdget(chain, k, entity, data, status);
        if (status != kGoOn || entity <= 0 || !middle_point(entity, data[0], data[1], point)) {
            valid = 0;
            return;
        }
        slpsh3(entity, point, status);
        if (status != kGoOn) valid = 0;
    }
}

// A loop's exploded edges by their unique ids; the last edge is left out when it repeats the
// first.
void push_loop_edges(const int* loop, int& valid)
{
    std::vector<int> wire;
    int length = 0, second = 0;
    int status = with_local_room(wire, [&](int room, int* out) {
        int s = 0;
        ncs_explode_loop_to_wfbuf(loop, room, out, length, second, s);
        return s;
    });
    if (status != kGoOn || length < 1) {
        valid = 0;
        return;
    }
    std::vector<int> edges;
    for (int k = 1; k <= length; ++k) {
        int entity = 0;
        double data[3];
        dfdget(wire.data(), k, entity, data, status);
        if (status != kGoOn || entity <= 0) {
            valid = 0;
            return;
        }
        edges.push_back(entity);
    }
    if (edges.size() > 1 && edges.back() == edges.front()) edges.pop_back();
    for (const int e : edges) pickm_push(kEdgeKind, ncs_obj_uid(e), kEdgeType, status);
}

// A face's loops, each as its chain record.
void push_face_loops(int face, int& valid)
{
    std::vector<int> loops;
    int records = 0, length = 0;
    const int status = with_local_room(loops, [&](int room, int* out) {
        int s = 0;
        plfbuf(face, room, out, records, length, s);
        return s;
    });
    if (status != kGoOn) {
        valid = 0;
        return;
    }
    const int* at = loops.data();
    for (int r = 0; r < records; ++r) {
        push_chain_curves(at, valid);
        at += kChainEntryWords * record_length(at);
    }
}

}  // namespace

void push_contour_curves(const int* record, int& valid)
{
    int entity = 0, status = 0;
    double data[3];
    dfdget(record, 1, entity, data, status);
    if (status != kGoOn || entity == 0) {
        valid = 0;
    } else if (data[2] == kItemLoop) {
        if (ncs_id_is_not_solid(entity < 0 ? -entity : entity) == 0)
            push_loop_edges(record, valid);
        else
            valid = 0;
    } else if (data[2] == kItemFace) {
        push_face_loops(entity, valid);
    } else {
        push_chain_curves(record, valid);
    }
}

void push_chain_end(const int* record, int end, int& valid)
{
    int open = 0, status = 0;
    dfdgoc(record, open, status);
    if (status != kGoOn || open == kOpenWithoutChecks) return;
    int curve = kNoCheckCurve;
    double parameter = 0.0;
    dfdgcc(record, end, curve, parameter, status);
    if (status != kGoOn || curve == kNoCheckCurve || curve == kUnknownCheckCurve) return;
    float point[3] = {0, 0, 0};
    if (curve < 1 || !middle_point(curve, parameter, parameter, point)) {
        valid = 0;
        return;
    }
    slpsh3(curve, point, status);
    if (status != kGoOn) valid = 0;
}

void push_contours_to_pick(const int* records, int& count, int& valid)
{
    valid = 1;
    const int wanted = count;
    count = 0;
    long used = 0;
    for (const int* record = records; count < wanted && record != nullptr; ++count) {
        const int length = record_length(record);
        if (length < 1 || used + length > contour_entries()) {
            valid = 0;
            break;
        }
        push_contour_curves(record, valid);
        push_chain_end(record, 1, valid);
        push_chain_end(record, 2, valid);
        used += length;
        record += kChainEntryWords * length;
    }
}

void selection_range_delete(int* pick_ranges, int count, int k)
{
    if (pick_ranges == nullptr || k < 1 || k > count) return;
    int* range = pick_ranges + 2 * k;
    const int first = range[0], last = range[1];
    if (first > last) return;
    int status = 0;
    sldelr(first, last, status);
    range[0] = 0;
    range[1] = -1;
    if (status != kGoOn) return;
    const int removed = last - first + 1;
    for (int j = 1; j <= count; ++j) {
        int* r = pick_ranges + 2 * j;
        if (r[0] > last) {
            r[0] -= removed;
            r[1] -= removed;
        }
    }
}

void delete_contour(int* pick_ranges, int count, int k) { selection_range_delete(pick_ranges, count, k); }

void copy_contour_set(int* record, int& number, int& status)
{
    int open = 0, groups = 0, curves = 0;
    dfdgoc(record, open, status);
    if (status != kGoOn || open == 0) {
        status = kFailed;
        return;
    }
    dfdgng(record, groups, curves, status);
    if (status != kGoOn) return;
    groups = std::min(groups, number);
    contour_buffer& work = contour_buffers_block.work;
    const int* group = record[0] == kSetRecord ? record + kChainEntryWords : record;
    int used = 0;
    for (int g = 0; g < groups; ++g) {
        const int length = record_length(group);
        if (length < 1 || used + length > contour_entries()) {
            status = kFailed;
            return;
        }
        std::copy(group, group + kChainEntryWords * length, work.begin() + kChainEntryWords * used);
        used += length;
        group += kChainEntryWords * length;
    }
    std::copy(work.begin(), work.begin() + kChainEntryWords * used, record);
    number = groups;
    status = kGoOn;
}
