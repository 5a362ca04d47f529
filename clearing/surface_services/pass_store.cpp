// The pass store (see the header): storps checks a call, plans how its passes join the bank,
// switches banks when a set is finished, and appends.
#include "clearing/surface_services/pass_store.hpp"

#include "clearing/surface_services/pass_store_cleanup.hpp"
#include "host/vantu.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

pass_store_state pass_store;

namespace {

constexpr int kRefused = -1;
constexpr int kRecordFloats = 3;
constexpr int kRecordBytes = kRecordFloats * static_cast<int>(sizeof(float));
// Two points nearer than this (model units) are one point: a pass that starts where the last one
// ended shares that point.
constexpr float kSamePoint = 0.001f;
// Normals of a shared point whose dot product is above this are taken as one; the second copy of
// the point is then dropped.
constexpr float kSameNormal = 0.993f;
// Working diameter when the current tool is no mill or has no diameter: a continuation test with
// a zero or negative diameter would glue every call to the last pass.
constexpr float kNoMillDiameter = 10.0f;

float working_diameter()
{
    float diameter = -1.0f;
    tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    return diameter > 0.0f ? diameter : kNoMillDiameter;
}

// How the points of a call join a bank.
struct append_plan {
    std::vector<int> counts;  // the call's passes that hold points, in order
    bool continues = false;   // the first of them lengthens the bank's last pass
    bool drop_first = false;  // its first point is the bank's last point, stored once
    int pass_total = 0;       // passes of the bank afterwards
};

append_plan plan_append(const pass_bank& bank, const float* bank_points, const float* bank_normals, const float* points,
                        const float* normals, int pass_count, const int* counts)
{
    append_plan plan;
    for (int p = 0; p < pass_count; ++p)
        if (counts[p] > 0) plan.counts.push_back(counts[p]);
    if (bank.point_count > 0 && !plan.counts.empty()) {
        const float* last = bank_points + kRecordFloats * (bank.point_count - 1);
        const float gap = dist3(last, points);
        plan.continues = gap <= working_diameter();
        plan.drop_first = plan.continues && gap < kSamePoint &&
                          v3dot(bank_normals + kRecordFloats * (bank.point_count - 1), normals) > kSameNormal;
    }
    plan.pass_total = bank.pass_count + static_cast<int>(plan.counts.size()) - (plan.continues ? 1 : 0);
    return plan;
}

bool call_sound(int set_number, const float* points, const float* normals, int pass_count, const int* counts,
                int point_count)
{
    if (set_number < 0 || pass_count < 0 || point_count < 0) return false;
    if (point_count > 0 && (points == nullptr || normals == nullptr)) return false;
    if (pass_count > 0 && counts == nullptr) return false;
    long sum = 0;
    for (int p = 0; p < pass_count; ++p) {
        if (counts[p] < 0) return false;
        sum += counts[p];
    }
    return sum == point_count;
}

void close_handle(int& handle, int& status)
{
    if (handle == kPassStoreClosed) return;
    int closed = 0;
    MM_CLOSE(handle, closed);
    handle = kPassStoreClosed;
    if (closed != 0 && status >= 0) status = closed < 0 ? closed : kRefused;
}

// Opens the array, or grows it to hold at least records.
void hold_records(int& handle, int records, int& status)
{
    void* base = nullptr;
    if (handle == kPassStoreClosed) {
        MM_OPEN_ARRAY(kRecordBytes, records, handle, base, status);
        if (status < 0) handle = kPassStoreClosed;
        return;
    }
    const int missing = records - MM_CUR_N_ENTRIES(handle);
    if (missing > 0) MM_RESIZE_ARRAY(handle, missing, base, status);
}

void hold_bank_records(pass_bank& bank, int records, int& status)
{
    hold_records(bank.points_handle, records, status);
    if (status >= 0) hold_records(bank.normals_handle, records, status);
    if (status < 0) eroutc("storps,dynamic memory error", 0);
}

void append(pass_bank& bank, const append_plan& plan, const float* points, const float* normals, int point_count)
{
    const int first = plan.drop_first ? 1 : 0, copied = point_count - first;
    float* bank_points = static_cast<float*>(mmcptr(bank.points_handle));
    float* bank_normals = static_cast<float*>(mmcptr(bank.normals_handle));
    const std::size_t bytes = static_cast<std::size_t>(copied) * kRecordBytes;
    if (copied > 0) {
        std::memcpy(bank_points + kRecordFloats * bank.point_count, points + kRecordFloats * first, bytes);
        std::memcpy(bank_normals + kRecordFloats * bank.point_count, normals + kRecordFloats * first, bytes);
    }
    std::size_t next = 0;
    if (plan.continues) bank.pass_point_counts[bank.pass_count - 1] += plan.counts[next++] - first;
    while (next < plan.counts.size()) bank.pass_point_counts[bank.pass_count++] = plan.counts[next++];
    bank.point_count += copied;
}

// The set in the current bank is finished: opens the arrays of the next set, searches the finished
// one, gives back the set before it and makes the next set current. The store is unchanged when a
// step fails before the switch.
void start_set(float tolerance, int set_number, int records, int link_flag, int& status)
{
    pass_bank fresh;
    hold_bank_records(fresh, records, status);
    if (status >= 0 && pass_store.set_count >= 1) pass_set_cleanup(tolerance, link_flag, status);
    pass_bank& other = pass_store.banks[1 - pass_store.bank];
    if (status >= 0) {
        close_handle(other.points_handle, status);
        close_handle(other.normals_handle, status);
        if (status < 0) eroutc("storps,Close dynamic memory error", 0);
    }
    if (status < 0) {
        int ignored = 0;
        close_handle(fresh.points_handle, ignored);
        close_handle(fresh.normals_handle, ignored);
        return;
    }
    other = fresh;
    pass_store.bank = 1 - pass_store.bank;
    pass_store.set_count += 1;
    pass_store.set_number = set_number;
}

}  // namespace

pass_set_view pass_bank_view(int bank)
{
    const pass_bank& b = pass_store.banks[bank];
    if (b.points_handle == kPassStoreClosed || b.normals_handle == kPassStoreClosed) return {};
    return {static_cast<const float*>(mmcptr(b.points_handle)), static_cast<const float*>(mmcptr(b.normals_handle)),
            b.pass_count, b.pass_point_counts};
}

void pass_store_reset(int& status) { status = 0; }

void storps(float tolerance, int set_number, const float* points, const float* normals, int pass_count,
            const int* pass_point_counts, int point_count, int link_flag, int& status)
{
    status = 0;
    if (!call_sound(set_number, points, normals, pass_count, pass_point_counts, point_count)) {
        eroutc("storps,BAD PASS DATA", 0);
        status = kRefused;
        return;
    }
    if (pass_store.set_count == 0) {
        pass_store.set_number = -1;
        pass_store.bank = 1;
        pass_store_reset(status);
        if (status < 0) return;
    }
    const bool new_set = set_number != pass_store.set_number;
    const pass_set_view current = pass_bank_view(pass_store.bank);
    const pass_bank empty;
    const pass_bank& joined = new_set ? empty : pass_store.banks[pass_store.bank];
    const append_plan plan =
        plan_append(joined, current.points, current.normals, points, normals, pass_count, pass_point_counts);
    if (plan.pass_total > kPassStoreMostPasses) {
        eroutc("storps,UP TO 50 PASSES IN A SET", 0);
        status = kRefused;
        return;
    }
    if (new_set)
        start_set(tolerance, set_number, point_count, link_flag, status);
    else
        hold_bank_records(pass_store.banks[pass_store.bank], joined.point_count + point_count, status);
    if (status < 0) return;
    append(pass_store.banks[pass_store.bank], plan, points, normals, point_count);
}

void pass_store_close(int& status)
{
    status = 0;
    for (pass_bank& bank : pass_store.banks) {
        close_handle(bank.points_handle, status);
        close_handle(bank.normals_handle, status);
    }
    pass_store = pass_store_state{};
}
