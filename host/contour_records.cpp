// Contour-data records read and written in the module's buffers: what a record holds
// (record_at), its items (dfdgnc, dfdget, dfdput on a record), the gathering of chains and
// planar faces (dfccmn, plfbuf), the stored-record conversion (dfcglr, dfcr2d) and the
// projection of a point onto a curve (crvprw).
#include "host/core/contour_records.hpp"

#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/tolerance.hpp"
#include "host/vantu_contours.hpp"
#include "host/vantu_entity.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vantu {

namespace {

constexpr int kEntryWords = kChainEntryWords;

int chain_length(const int* entry)
{
    if (entry == nullptr || entry[0] < 1 || entry[1] != 1) return 0;
    int count = 0, status = 0;
    dfdgnc(entry[0], count, status);
    return status == 0 ? count : 0;
}

}  // namespace

std::vector<int> face_loop_sets(int face)
{
    const entity* e = find_entity(face);
    if (e == nullptr || e->entity_class != kPlanarFaceClass || e->type != kPlanarFaceType || e->words.empty())
        return {};
    const int loops = e->words[0];
    if (loops < 1 || static_cast<std::size_t>(loops) >= e->words.size()) return {};
    std::vector<int> sets(e->words.begin() + 1, e->words.begin() + 1 + loops);
    for (const int set : sets) {
        int count = 0, status = 0;
        dfdgnc(set, count, status);
        if (status != 0 || count < 1) return {};
    }
    return sets;
}

record_info record_at(const int* entry)
{
    record_info info;
    if (entry == nullptr) return info;
    switch (entry[0]) {
    case kFaceRecord:
        if (!face_loop_sets(entry[1]).empty()) info = {record_kind::face, 1, entry[1]};
        break;
    case kLoopRecord:
        if (entry[1] > 0) info = {record_kind::loop, 2, entry[1]};
        break;
    case kSetRecord: {
        const int groups = entry[1];
        if (groups < 1 || groups > kSetRecordMost) break;
        int length = 1;
        for (int g = 0; g < groups; ++g) {
            const int n = chain_length(entry + kEntryWords * length);
            if (n < 1) return info;
            length += n;
        }
        info = {record_kind::set, length, groups};
        break;
    }
    default:
        if (const int n = chain_length(entry); n > 0) info = {record_kind::chain, n, entry[0]};
    }
    return info;
}

}  // namespace vantu

using vantu::record_at;
using vantu::record_kind;

void dfdgnc(const int* record, int& count, int& status)
{
    const vantu::record_info r = record_at(record);
    count = r.kind == record_kind::chain                                   ? r.length
            : (r.kind == record_kind::face || r.kind == record_kind::loop) ? 1
                                                                           : 0;
    status = count > 0 ? 0 : -1;
    vantu::trace_count("dfdgnc");
}

void dfdget(const int* record, int k, int& entity, double* data, int& status)
{
    const vantu::record_info r = record_at(record);
    entity = 0;
    status = -1;
    if (data == nullptr) {
    } else if (r.kind == record_kind::chain && k >= 1 && k <= r.length) {
        const int* item = record + kChainEntryWords * (k - 1);
        dfdget(item[0], item[1], entity, data, status);
    } else if (r.kind == record_kind::face && k == 1) {
        entity = r.id;
        data[0] = data[1] = 0.0;
        data[2] = kItemFace;
        status = 0;
    } else if (r.kind == record_kind::loop && k == 1) {
        entity = r.id;
        data[0] = record[kChainEntryWords];
        data[1] = 0.0;
        data[2] = kItemLoop;
        status = 0;
    }
    vantu::trace_count("dfdget");
}

void dfdput(int* record, int k, int entity, const double* data, int& status)
{
    status = -1;
    const vantu::record_info r = record_at(record);
    if (data == nullptr) {
    } else if (r.kind == record_kind::loop && k == 1 && std::isfinite(data[0])) {
        record[kChainEntryWords] = static_cast<int>(data[0]);
        status = 0;
    } else if (r.kind == record_kind::chain && k >= 1 && k <= r.length) {
        const int* item = record + kChainEntryWords * (k - 1);
        if (vantu::put_curve(item[0], item[1], entity, data)) status = 0;
    }
    vantu::trace_call("dfdput", std::to_string(k) + "," + std::to_string(entity), status);
}

void dfccmn(const int* record, int room, int* out, int& length, int& status)
{
    const vantu::record_info r = record_at(record);
    length = 0;
    status = -1;
    if (auto fault = vantu::fault_hit("dfccmn")) {
        status = *fault;
    } else if (r.kind == record_kind::chain) {
        if (r.length > room || out == nullptr) {
            status = kRecordNoRoom;
        } else {
            std::copy(record, record + kChainEntryWords * r.length, out);
            length = r.length;
            status = 0;
        }
    }
    vantu::trace_call("dfccmn", std::to_string(room), status);
}

void plfbuf(int face, int room, int* out, int& records, int& length, int& status)
{
    const std::vector<int> sets = vantu::face_loop_sets(face);
    records = 0;
    length = 0;
    status = -1;
    if (auto fault = vantu::fault_hit("plfbuf")) {
        status = *fault;
    } else if (!sets.empty()) {
        long needed = 0;
        for (const int set : sets) {
            int n = 0, s = 0;
            dfdgnc(set, n, s);
            needed += n;
        }
        if (needed > room || out == nullptr) {
            status = kRecordNoRoom;
        } else {
            for (const int set : sets) {
                int n = 0, s = 0;
                dfdgrc(set, room - length, out + kChainEntryWords * length, n, s);
                length += n;
            }
            records = static_cast<int>(sets.size());
            status = 0;
        }
    }
    vantu::trace_call("plfbuf", std::to_string(face) + "," + std::to_string(room), status);
}

void dfcglr(const int* record, int& length, int& status)
{
    length = record_at(record).length;
    status = length > 0 ? 0 : -1;
    vantu::trace_count("dfcglr");
}

void dfcr2d(const int* record, int room, int* out, int& length, int& status)
{
    dfcglr(record, length, status);
    if (auto fault = vantu::fault_hit("dfcr2d")) {
        status = *fault;
    } else if (status == 0 && (length > room || out == nullptr)) {
        status = kRecordNoRoom;
    } else if (status == 0) {
        std::copy(record, record + kChainEntryWords * length, out);
    }
    if (status != 0) length = 0;
    vantu::trace_call("dfcr2d", std::to_string(room), status);
}

namespace {

// Squared distance from the point to the curve's point at t.
double distance2(int id, double t, const float* point)
{
    double p[3];
    int status = 0;
    evcrvd(id, t, p, nullptr, status);
    if (status != 0) return HUGE_VAL;
    double d = 0.0;
    for (int i = 0; i < 3; ++i) d += (p[i] - point[i]) * (p[i] - point[i]);
    return d;
}

// Samples the range, then narrows around the best sample by golden sections.
double nearest_parameter(int id, double t0, double t1, const float* point)
{
    constexpr int kSamples = 256;
    constexpr int kNarrowings = 80;
    double best = t0, best_d = HUGE_VAL;
    for (int i = 0; i <= kSamples; ++i) {
        const double t = t0 + (t1 - t0) * i / kSamples;
        const double d = distance2(id, t, point);
        if (d < best_d) {
            best_d = d;
            best = t;
        }
    }
    const double step = (t1 - t0) / kSamples;
    double a = std::max(t0, best - step), b = std::min(t1, best + step);
    const double g = (std::sqrt(5.0) - 1.0) / 2.0;
    for (int i = 0; i < kNarrowings; ++i) {
        const double c = b - g * (b - a), d = a + g * (b - a);
        if (distance2(id, c, point) < distance2(id, d, point))
            b = d;
        else
            a = c;
    }
    return (a + b) / 2.0;
}

}  // namespace

void crvprw(int id, const float* point, double& parameter, int& status)
{
    double t0 = 0.0, t1 = 0.0;
    curve_limits(id, t0, t1, status);
    if (status == 0 && point != nullptr) {
        parameter = nearest_parameter(id, std::min(t0, t1), std::max(t0, t1), point);
        // A full circle answers within one turn from 0, as its seam lies at parameter 0.
        if (t1 - t0 >= 2.0 * std::numbers::pi - vantu::kDoubleTolerance) {
            parameter = std::fmod(parameter, 2.0 * std::numbers::pi);
            if (parameter < 0.0) parameter += 2.0 * std::numbers::pi;
        }
    } else if (status == 0) {
        status = -1;
    }
    if (status != 0) status = -1;
    vantu::trace_count("crvprw");
}
