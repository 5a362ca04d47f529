// The pocket's own parameter records read back from a procedure block, its contour geometry
// entity or a template (read parameters): each code is stored where the table of
// param_records.hpp puts it, the codes of older blocks are taken as the current ones, bad counts
// are refused. Writes drelan_params_current, the contour table and its buffers and the entry
// points; reads the flag globals (the geometry entity of the procedure).
#include "pocket/pocket_callbacks.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_orientation.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/contour_upkeep.hpp"
#include "pocket/dialog_items.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/param_records.hpp"
#include "pocket/region_table.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <vector>

namespace {

using P = drelan_params;
using S = param_source;

constexpr int kGoOn = 0, kFailed = -1;
constexpr int kEntryPointsUsed = 2;
constexpr int kGeometryKind = 10003;
constexpr int kGeometryCode = 305, kCountCode = 35;
constexpr int kGeometryHeadWords = 6;
constexpr int kMethodCode = 211, kMethodContourOnly = 3;
constexpr int kHatching = 1, kLanes = 2, kContourOnly = 3;
constexpr int kProcedureTypeLanes = 2, kProcedureTypeHatch = 3;
constexpr int kFirstSignedVersion = 600;
constexpr int kMostEntryValues = 3 * kMaxEntryPnts;
constexpr int kMostGeometryWords = kChainEntryWords * kContourEntriesMost;
// Codes written by older versions that the reader passes over.
constexpr int kSkippedCodes[] = {21, 37, 38, 10003};

contour_table& t = contour_table_block;
contour_buffers& b = contour_buffers_block;
P& params() { return drelan_params_current; }

// ---- read parameters --------------------------------------------------------------------------

// The records of one source: the list or an entity count the words left; the procedure line and
// the template are read until they end.
struct record_reader {
    int where = kWhereList;
    int* left = nullptr;  // words left, null when the source is read to its end
    bool ended = false;
    bool read_failed = false;  // the source refused a read (not the records' content)

    bool unbounded() const { return left == nullptr; }
    bool more() const { return !ended && (unbounded() || *left > 0); }
    void count(int words)
    {
        if (left) *left -= words;
    }
    // code and value count of the next record; false at the end of the source or on an error.
    bool head(int& code, int& n, int& status)
    {
        word words[kRecordHeadWords] = {};
        tpget(where, 1, kTypeInteger, &words[0], status);
        if (status == kTpShort && unbounded()) {
            ended = true;
            status = kGoOn;
            return false;
        }
        for (int i = 1; i < kRecordHeadWords && status >= 0; ++i) tpget(where, 1, kTypeInteger, &words[i], status);
        if (status < 0 || words[1] < 1) {
            read_failed = true;
            status = kFailed;
            return false;
        }
        code = words[0];
        n = words[1] - 1;
        count(kRecordHeadWords + n);
        return true;
    }
    void values(int n, int type, word* out, int& status)
    {
        if (n > 0) tpget(where, n, type, out, status);
        if (status < 0) read_failed = true;
    }
    void skip(int n, int& status)
    {
        if (n > 0) TPSKIP(where, n, status);
        if (status < 0) read_failed = true;
    }
};

// What a read found besides the block's words.
struct read_state {
    bool reference_z = false;    // code 205 was read
    bool geometry = false;       // code 305 was read
    bool tables_follow = false;  // code 31: the entry-point tables follow the records
    int entry_count = 0;
    std::vector<int> gathered_order;  // code 184
};

// Reads n values of the type into out, keeping `room` of them and dropping the rest.
void read_kept(record_reader& r, int n, int type, int room, word* out, int& status)
{
    const int kept = std::min(n, room);
    r.values(kept, type, out, status);
    if (status >= 0) r.skip(n - kept, status);
}

void read_entry_points(record_reader& r, int n, read_state& s, int& status)
{
    std::vector<word> words(static_cast<std::size_t>(n));
    r.values(n, kTypeReal, words.data(), status);
    if (status < 0) return;
    const int points = std::min(n / 3, s.entry_count);
    std::vector<float> xyz(words.size());
    std::transform(words.begin(), words.end(), xyz.begin(), word_to_real);
    std::vector<int> sources(static_cast<std::size_t>(std::max(points, 1)), -1);
    reset_entry_pnts();
    if (points > 0) add_entry_pnts(0, points, xyz.data(), sources.data(), status);
}

// The largest value count a record of the code may have, -1 when the code has no limit here.
int count_limit(int code, const param_row* row)
{
    if (code == kGeometryCode) return kMostGeometryWords;
    if (row == nullptr) return -1;
    switch (row->source) {
    case S::contour_offset:
    case S::contour_draft:
    case S::contour_type: return kMaxContours;
    case S::entry_points: return kMostEntryValues;
    default: return -1;
    }
}

// One value read as an integer.
int read_integer(record_reader& r, int n, int& status)
{
    word value = 0;
    read_kept(r, n, kTypeInteger, 1, &value, status);
    return value;
}

// A record of a code of the table.
void read_row(record_reader& r, const param_row& row, int n, read_state& s, int& status)
{
    P& p = params();
    const int type = row.real ? kTypeReal : kTypeInteger;
    switch (row.source) {
    case S::block:
        read_kept(r, n, type, row.count, p.words + row.index, status);
        if (row.code == kMethodCode && p.at(P::kMethod) == kMethodContourOnly) {
            p.at(P::kMethod) = kLanes;
            p.at(P::kPasses) = kContourOnly;
        }
        if (row.index == P::kReferenceZ) s.reference_z = true;
        return;
    case S::approach_retract: {
        word pair[2] = {p.at(P::kApproachLength), p.at(P::kRetractLength)};
        read_kept(r, n, kTypeReal, 2, pair, status);
        p.at(P::kApproachLength) = pair[0];
        p.at(P::kRetractLength) = pair[1];
        return;
    }
    case S::contour_offset:
    case S::contour_draft: {
        std::vector<word> words(static_cast<std::size_t>(n));
        r.values(n, kTypeReal, words.data(), status);
        auto& target = row.source == S::contour_offset ? t.offset : t.draft;
        for (int k = 1; k <= n; ++k)
            target[static_cast<std::size_t>(k)] = word_to_real(words[static_cast<std::size_t>(k - 1)]);
        return;
    }
    case S::contour_type: r.values(n, kTypeInteger, t.type.data() + 1, status); return;
    case S::entry_count: {
        const int count = read_integer(r, n, status);
        if (count < 0 || count > kMaxEntryPnts) {
            erou1c("[block_read_drelan, ]TOO MANY VALUES. CODE=", row.code);
            status = kFailed;
        }
        s.entry_count = status >= 0 ? count : 0;
        return;
    }
    case S::entry_points: read_entry_points(r, n, s, status); return;
    case S::tool_id:
        // The procedure's tool comes back with its machine table; the record only documents it.
        r.skip(n, status);
        return;
    }
}

// Codes of older blocks.
bool read_older(record_reader& r, int code, int n, read_state& s, int& status)
{
    P& p = params();
    switch (code) {
    case 31:
        r.skip(n, status);
        s.tables_follow = true;
        return true;
    case 36: p.at(P::kEntryMode) = read_integer(r, n, status) != 0 ? kEntryPointsUsed : 1; return true;
    case 179:
        if (read_integer(r, n, status) == 2 && p.at(P::kMethod) != kHatching) {
            p.at(P::kMethod) = kLanes;
            p.at(P::kPasses) = kContourOnly;
        }
        return true;
    case 184: {
        std::vector<word> order(static_cast<std::size_t>(std::min(n, kMaxContours)));
        read_kept(r, n, kTypeInteger, kMaxContours, order.data(), status);
        s.gathered_order.assign(order.begin(), order.end());
        return true;
    }
    default: return false;
    }
}

// One record; status -1 for an unknown code outside template and procedure-line reads.
void read_record(record_reader& r, int code, int n, read_state& s, int& status)
{
    const param_row* row = find_param_row(code);
    const int limit = count_limit(code, row);
    if (limit >= 0 && n > limit) {
        erou1c("[block_read_drelan, ]TOO MANY VALUES. CODE=", code);
        status = kFailed;
        return;
    }
    if (row != nullptr) return read_row(r, *row, n, s, status);
    if (code == kCountCode) {
        const int count = read_integer(r, n, status);
        if (count < 0 || count > kMaxContours) {
            erou1c("[block_read_drelan, ]TOO MANY VALUES. CODE=", code);
            status = kFailed;
            return;
        }
        t.count = count;
        return;
    }
    if (code == kGeometryCode) {
        contour_buffers_reserve((n + 1) / kChainEntryWords);
        r.values(n, kTypeGeometry, b.geometry.data(), status);
        s.geometry = true;
        return;
    }
    if (std::find(std::begin(kSkippedCodes), std::end(kSkippedCodes), code) != std::end(kSkippedCodes))
        return r.skip(n, status);
    if (read_older(r, code, n, s, status)) return;
    if (r.where == kWhereParamLine || r.where == kWhereTemplateRead) return r.skip(n, status);
    erou1c("[block_read_drelan, ]WRONG CODE. CODE=", code);
    status = kFailed;
}

void read_records(record_reader& r, read_state& s, int& status)
{
    // Code 31 is the last record: the entry-point tables take the words after it.
    while (status >= 0 && r.more() && !s.tables_follow) {
        int code = 0, n = 0;
        if (!r.head(code, n, status)) break;
        read_record(r, code, n, s, status);
    }
}

void report_read_error(int where)
{
    if (where == kWhereList || where == kWhereListNumbered || where == kWhereListWorld)
        eroutc("[block_read_drelan, ]ERRORS IN LIST", 0);
    else if (where == kWhereTemplateRead)
        eroutc("[block_read_drelan, ]ERRORS IN TEMPLATE LIST", 0);
    else
        eroutc("CANNOT READ FROM FILE|READING TERMINATED", 0);
}

// The contour geometry entity of the procedure (its last temporary when it has one).
void read_geometry_entity(read_state& s, int& status)
{
    int id = kNoEntity, flag = 0;
    geom_pair_get(kGeometryKind, proc_flags().pairs, id, flag);
    if (id <= 0) return;
    int last = id;
    last_geom_temp_id(id, last, status);
    if (status != kGoOn) return;
    int size = 0, entity_class = 0, entity_type = 0;
    egsize(last, size, status);
    if (status == kGoOn) eopen(last, entity_class, entity_type, status);
    if (status != kGoOn) return;
    int left = size - kGeometryHeadWords;
    eskipn(kGeometryHeadWords, status);
    record_reader r{kWhereEntity, &left};
    if (status == kGoOn) read_records(r, s, status);
    int closed = 0;
    eclose(closed);
}

// The entry-point tables that older blocks hold after their records: a count and the points.
void read_tables_after(record_reader& r, read_state& s, int& status)
{
    int count = 0;
    tp_get_int(r.where, count, status);
    r.count(1);
    if (status < 0) r.read_failed = true;
    if (status < 0 || count < 0 || count > kMaxEntryPnts) {
        status = kFailed;
        return;
    }
    s.entry_count = count;
    r.count(3 * count);
    read_entry_points(r, 3 * count, s, status);
}

// Records of the geometry buffer copied to the wire buffer, or the other way round, with the
// table's first entries, kinds and valid flags.
void contour_records_copy(bool from_geometry, int& status)
{
    int entry = 1;
    const int n = contour_count();
    t.first_entry[1] = 1;
    for (int k = 1; k <= n; ++k) {
        int* geometry = buffer_entry(b.geometry, entry);
        int* wire = buffer_entry(b.wire, entry);
        int length = 0;
        if (geometry != nullptr) dfdgld(from_geometry ? geometry : wire, length, status);
        if (geometry == nullptr || status != kGoOn || length < 1 || entry + length - 1 > contour_entries()) {
            status = kFailed;
            return;
        }
        if (from_geometry) {
            std::copy(geometry, geometry + kChainEntryWords * length, wire);
            ncs_update_contour(wire, status);
            if (status != kGoOn) return;
        } else {
            std::copy(wire, wire + kChainEntryWords * length, geometry);
        }
        t.valid[static_cast<std::size_t>(k)] = 1;
        t.kind[static_cast<std::size_t>(k)] = geometry[0] == kFaceRecord   ? kKindFace
                                              : geometry[0] == kLoopRecord ? kKindLoop
                                                                           : kKindChain;
        t.pick_first(k) = 0;
        t.pick_last(k) = -1;
        entry += length;
        t.first_entry[static_cast<std::size_t>(k) + 1] = entry;
    }
    contour_renumber();
}

// A hatch procedure written before version 600 had offsets of one sign and no drafts.
void sign_old_offsets(int& status)
{
    const int n = contour_count();
    if (n < 1) return;
    const int outer = region_outer_id(1);
    std::vector<int> orientation(static_cast<std::size_t>(n), 1);
    contour_offsets_signed(n, orientation.data(), outer, t.offset.data() + 1, 0.0f, status);
    std::fill(t.draft.begin() + 1, t.draft.begin() + 1 + n, 0.0f);
}

void after_records(int procedure_type, int version, int before_515, const read_state& s, int& status)
{
    P& p = params();
    const int n = contour_count();
    if (!s.reference_z) p.at(P::kReferenceZ) = p.at(P::kTopZ);
    if (version < 0 && procedure_type == kProcedureTypeLanes) {
        std::fill(t.offset.begin() + 1, t.offset.begin() + 1 + n, p.real(P::kNewOffset));
        std::fill(t.draft.begin() + 1, t.draft.begin() + 1 + n, p.real(P::kNewDraft));
    }
    for (std::size_t i = 0; i < s.gathered_order.size() && i < kMaxContours; ++i) {
        const int from = s.gathered_order[i];
        if (from < 1 || from > kMaxContours) continue;
        t.gathered_offset[i + 1] = t.offset[static_cast<std::size_t>(from)];
        t.gathered_draft[i + 1] = t.draft[static_cast<std::size_t>(from)];
    }
    if (before_515 != 0) {
        contours_to_double(n, b.geometry.data(), status);
        if (status != kGoOn) return;
    }
    if (n > 0) contour_records_copy(s.geometry, status);
    if (status != kGoOn) return;
    if (procedure_type == kProcedureTypeHatch && version < kFirstSignedVersion) sign_old_offsets(status);
}

}  // namespace

void block_read_drelan(int& where, int& procedure_type, int& version, int& before_515, int& segment_length, int& status)
{
    P& p = params();
    status = kGoOn;
    p.at(P::kPasses) = 1;
    p.set_real(P::kExtraOffset, 0.0f);
    if (procedure_type == kProcedureTypeLanes) p.at(P::kMethod) = kLanes;
    if (procedure_type == kProcedureTypeHatch) p.at(P::kMethod) = kHatching;
    const bool to_end = where == kWhereParamLine || where == kWhereTemplateRead;
    record_reader r{where, to_end ? nullptr : &segment_length};
    read_state s;
    read_records(r, s, status);
    if (status >= 0 && s.tables_follow) read_tables_after(r, s, status);
    if (status < 0 && r.read_failed) report_read_error(where);
    const bool from_list = where == kWhereList || where == kWhereListNumbered || where == kWhereListWorld;
    if (status >= 0 && from_list) read_geometry_entity(s, status);
    if (status < 0) {
        status = kFailed;
        return;
    }
    after_records(procedure_type, version, before_515, s, status);
    if (status != kGoOn) status = kFailed;
}
