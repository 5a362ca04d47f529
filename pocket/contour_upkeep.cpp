// Upkeep of the contour table: dropping invalid contours and duplicates, rebuilding first
// entries, kinds, order numbers and selection ranges, showing one contour alone, and gathering
// all contour curves into the gathered buffer.
#include "pocket/contour_upkeep.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_selection.hpp"
#include "pocket/contour_table.hpp"
#include "surfaces/geometry_access_least.hpp"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kFullRebuild = 1;
constexpr int kMessageModule = 331, kOneDuplicate = 34, kSeveralDuplicates = 35;
constexpr int kFullRoom = -10;  // the host's answer when the gathered records do not fit

contour_table& t = contour_table_block;
contour_buffers& b = contour_buffers_block;

// The loops of a planar face record, 1 for any other record.
int loops_of(const int* record)
{
    if (record == nullptr || record[0] != kFaceRecord) return 1;
    int loops = 0, status = 0;
    PLFGNG(record[1], loops, status);
    return status == kGoOn ? loops : 1;
}

// Pushes contour k's curves to the end of the selection list and records its range.
void push_one(int k)
{
    int* record = wire_record(k);
    if (record == nullptr) return;
    const int first = sllen() + 1;
    int count = 1, valid = 1;
    push_contours_to_pick(record, count, valid);
    t.valid[k] = valid;
    t.pick_first(k) = first;
    t.pick_last(k) = sllen();
}

// The curve ids of a record's items.
std::vector<int> curve_ids(const int* record)
{
    std::vector<int> ids;
    int n = 0, status = 0;
    dfdgnc(record, n, status);
    for (int k = 1; status == kGoOn && k <= n; ++k) {
        int entity = 0;
        double data[3];
        dfdget(record, k, entity, data, status);
        if (status == kGoOn) ids.push_back(entity);
    }
    return ids;
}

bool same_curves(int i, int j)
{
    const std::vector<int> a = curve_ids(wire_record(i)), c = curve_ids(wire_record(j));
    if (a.empty() || a.size() != c.size()) return false;
    return std::all_of(a.begin(), a.end(), [&](int id) { return std::find(c.begin(), c.end(), id) != c.end(); });
}

// Removes contour k through the host, which moves the later contours down.
bool remove_contour(int k)
{
    int status = 0;
    pktdel_by_OrderNum(k, status);
    return status == kGoOn;
}

// Appends one gathered record's owner values; false when the gathered arrays are full.
bool gathered_values(int record_number, int k)
{
    if (record_number < 1 || record_number > kMaxContours) return false;
    t.gathered_offset[record_number] = t.offset[k];
    t.gathered_draft[record_number] = t.draft[k];
    t.gathered_type[record_number] = t.type[k];
    t.gathered_part_stock[record_number] = t.part_stock[k];
    return true;
}

// Gathers contour k at entry `used` + 1, the buffers grown to hold it: answers the records
// written, or a negative host status; entries answers their length.
int gather_one(int k, int used, int& entries)
{
    int records = 1, second = 0;
    entries = 0;
    if (geometry_record(k) == nullptr) return kFailed;
    const int status = with_room(used + 1, [&](int room) {
        const int* record = geometry_record(k);
        int* out = buffer_entry(b.gathered, used + 1);
        int written = kFailed;
        if (record[0] == kFaceRecord)
            plfbuf(record[1], room, out, records, entries, written);
        else if (record[0] == kLoopRecord)
            ncs_explode_loop_to_wfbuf(record, room, out, entries, second, written);
        else
            dfccmn(record, room, out, entries, written);
        return written;
    });
    int* record = geometry_record(k);
    if (status == kGoOn && record[0] == kLoopRecord && second != record[kChainEntryWords]) {
        const double data[3] = {static_cast<double>(second), 0.0, kItemLoop};
        int rewritten = 0;
        dfdput(record, 1, record[1], data, rewritten);
        if (int* wire = wire_record(k)) dfdput(wire, 1, wire[1], data, rewritten);
        t.data_changed = 1;
    }
    return status == kGoOn ? records : status;
}

bool any_draft(const per_contour<float>& drafts, int n)
{
    return std::any_of(drafts.begin() + 1, drafts.begin() + 1 + n, [](float a) { return a != 0.0f; });
}

void gather_failed(int& status)
{
    eroutc("ERROR: TOO MANY CURVES IN CONTOUR", 0);
    status = kFailed;
    t.count = 0;
    t.gathered_count = 0;
}

}  // namespace

void contour_unpick_others(int k)
{
    const int n = contour_count();
    for (int j = 1; j <= n; ++j)
        if (j != k) delete_contour(t.pick_range.data(), n, j);
}

void contour_show_one(int index)
{
    const int k = index + 1;
    contour_unpick_others(k);
    if (k >= 1 && k <= contour_count() && t.pick_first(k) > t.pick_last(k)) push_one(k);
}

void contour_renumber()
{
    t.order[1] = 1;
    for (int k = 1; k <= contour_count(); ++k)
        t.order[k + 1] = t.order[k] + (t.kind[k] == kKindFace ? loops_of(geometry_record(k)) : 1);
}

void contour_table_rebuild(int mode, int& status)
{
    status = kGoOn;
    const int n = contour_count();
    if (n == 0) return;
    t.first_entry[1] = 1;
    if (mode == kFullRebuild) t.order[1] = 1;
    for (int k = 1; k <= n; ++k) {
        const int* record = geometry_record(k);
        const int length = record_length(record);
        if (length < 1 || t.first_entry[k] + length - 1 > contour_entries()) {
            status = kFailed;
            return;
        }
        if (t.pick_first(k) == 0 && t.pick_last(k) == -1) push_one(k);
        if (mode == kFullRebuild) {
            t.kind[k] = record[0] == kFaceRecord ? kKindFace : record[0] == kLoopRecord ? kKindLoop : kKindChain;
            t.order[k + 1] = t.order[k] + (t.kind[k] == kKindFace ? loops_of(record) : 1);
        }
        t.first_entry[k + 1] = t.first_entry[k] + length;
    }
}

void contour_drop_unkept(int& changed)
{
    contour_unpick_others(0);
    b.save = b.geometry;
    b.work = b.wire;
    const int n = contour_count();
    int kept = 0, next = 1;
    for (int k = 1; k <= n; ++k) {
        const int from = t.first_entry[k], length = t.first_entry[k + 1] - from;
        const int* saved = buffer_entry(b.save, from);
        if (t.valid[k] == 0) {
            int status = 0;
            ncs_table_delete_contour(saved, status);
            continue;
        }
        if (saved == nullptr || length < 1 || next + length - 1 > contour_entries()) break;
        std::copy(saved, saved + kChainEntryWords * length, buffer_entry(b.geometry, next));
        const int* wire = buffer_entry(b.work, from);
        std::copy(wire, wire + kChainEntryWords * length, buffer_entry(b.wire, next));
        contour_values_move(k, ++kept);
        t.first_entry[kept] = next;
        next += length;
        t.first_entry[kept + 1] = next;
    }
    t.count = kept;
    int status = 0;
    contour_table_rebuild(kFullRebuild, status);
    changed = 1;
}

void contour_remove_duplicates()
{
    if (contour_count() < 2) return;
    contour_table_register();
    int removed = 0;
    for (int i = 1; i < contour_count(); ++i) {
        bool remove_i = false;
        for (int j = i + 1; j <= contour_count(); ++j) {
            if ((t.by_criteria[i] != 0 && t.by_criteria[j] != 0) || !same_curves(i, j)) continue;
            if (t.by_criteria[j] == 0) {
                if (remove_contour(j)) {
                    ++removed;
                    --j;
                }
            } else {
                remove_i = true;
            }
        }
        if (remove_i && remove_contour(i)) {
            ++removed;
            --i;
        }
    }
    contour_renumber();
    if (removed == 1)
        msg_mdls(kMessageModule, kOneDuplicate);
    else if (removed > 1)
        msg_mdls(kMessageModule, kSeveralDuplicates, std::to_string(removed));
}

void contour_gather_curves(int contours_valid, int /*draft_field*/, int limit, int& status)
{
    status = kGoOn;
    t.draft_present = 0;
    // The draft-present flag says whether some contour has a draft angle, whatever the dialog
    // shows: pocket initialisation applies the drafts at every level only when it is set.
    if (contours_valid == 0) {
        t.draft_present = any_draft(t.draft, contour_count()) ? 1 : 0;
        return;
    }
    const int most_records = std::clamp(limit, 0, kMaxContours);
    int used = 0, records = 0;
    for (int k = 1; k <= contour_count(); ++k) {
        int entries = 0;
        const int written = gather_one(k, used, entries);
        if (written < 0 || records + written > most_records) {
            if (written == kFullRoom || written >= 0) return gather_failed(status);
            status = kFailed;
            t.count = 0;
            t.gathered_count = 0;
            return;
        }
        for (int r = 1; r <= written; ++r) gathered_values(records + r, k);
        records += written;
        used += entries;
    }
    t.gathered_count = records;
    t.draft_present = any_draft(t.gathered_draft, records) ? 1 : 0;
}

void pkt_reindex()
{
    const int n = contour_count();
    t.first_entry[1] = 1;
    for (int k = 1; k <= n; ++k) {
        t.kind[k] = kKindChain;
        t.order[k] = k;
        const int length = record_length(geometry_record(k));
        t.first_entry[k + 1] = t.first_entry[k] + std::max(length, 1);
    }
    t.order[n + 1] = n + 1;
}
