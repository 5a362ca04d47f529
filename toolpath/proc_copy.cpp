// cpbt12, both ways.
#include "toolpath/proc_copy.hpp"

#include "host/vantu.hpp"
#include "nc_services/fnc_names.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/proc_geom_entities.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <string>
#include <vector>

namespace {

constexpr int kFailed = -1, kNoLine = -2;
constexpr int kFromRecord = 1;
constexpr int kRead = 1, kWrite = 2;
constexpr int kAppend = 1;
constexpr int kMaxGeometries = 12;
constexpr int kWarningGroup = 351, kWarningFrame = 13;
constexpr int kGeometryUnread = 14, kNoMachineParams = 15, kNoLocalParams = 16, kNoMotions = 17;
constexpr int kMotionClass = 9, kMotionType = 8;
constexpr int kStoredWithoutMotions = 2, kGeometryMissing = 2;
constexpr int kGlobals = 24, kFlags = 27, kMachineTable = 23, kOwnParams = 25;
constexpr int kSublistItem = 1;

// A warning of the copy, shown inside the frame text with the procedure's name.
void warn(int number, int procedure_type)
{
    std::string text, name;
    msg_get(kWarningGroup, number, text);
    get_nc_function_name_c(procedure_type, name);
    msg_mdls(kWarningGroup, kWarningFrame, name + ": " + text);
}

void put_words(int where, const std::vector<word>& words, int& status)
{
    if (status >= 0 && !words.empty()) TPPUT(where, static_cast<int>(words.size()), kTypeInteger, words.data(), status);
}

void put_segment(int where, int code, const std::vector<word>& words, int& status)
{
    const word head[2] = {code, static_cast<word>(words.size())};
    if (status >= 0) TPPUT(where, 2, kTypeInteger, head, status);
    put_words(where, words, status);
}

// ---- from the record into the list ---------------------------------------------------------

struct record_parts {
    nc_proc_record record;
    geom_pair_words pairs{};
    bool geometry_lost = false;
    std::vector<word> machine, local;
};

void read_parameter_records(record_parts& p)
{
    int count = 0, status = 0;
    if (p.record.mchprm_id >= 1) {
        get_mchprm_info(p.record.mchprm_id, count, status);
        if (status >= 0) dbd_mchprm(kRead, p.record.mchprm_id, p.machine, status);
        if (status < 0) p.machine.clear();
    }
    if (p.machine.empty()) warn(kNoMachineParams, p.record.proc_type);
    if (p.record.lclprm_id > 0) {
        status = 0;
        get_lclprm_info(p.record.lclprm_id, count, status);
        if (status >= 0) dbd_lclprm(kRead, p.record.lclprm_id, p.local, status);
        if (status < 0) {
            p.local.clear();
            warn(kNoLocalParams, p.record.proc_type);
        }
    }
}

bool read_record(int id, record_parts& p, int& status)
{
    int globals = 0, geometries = 0, further = 0;
    get_proc_info(id, globals, geometries, further, status);
    if (status < 0) return false;
    if (geometries > kMaxGeometries) {
        status = kFailed;
        return false;
    }
    dbd_proc(kRead, id, p.record, status);
    if (status < 0) return false;
    geom_pairs_init(p.pairs);
    for (int geometry : p.record.geometry_ids) {
        int kind = 0, read = 0;
        get_geom_info(geometry, kind, read);
        if (read < 0)
            p.geometry_lost = true;
        else
            geom_flag_update(1, kind, geometry, p.pairs);
    }
    if (p.geometry_lost) warn(kGeometryUnread, p.record.proc_type);
    read_parameter_records(p);
    return true;
}

void write_block(int to, int id, const record_parts& p, int& status)
{
    const nc_proc_record& r = p.record;
    const word head[3] = {12, r.block_number, r.proc_type};
    TPPUT(to, 3, kTypeInteger, head, status);
    put_segment(to, kGlobals, r.global_words, status);
    if (status >= 0) wflags_from(0, id, 0, 0, 0, 0, p.pairs, status);
    put_segment(to, kMachineTable, p.machine, status);
    put_segment(to, kOwnParams, p.local, status);
    if (status >= 0) put_zero_lst(status);
    int closed = 0;
    lclos(closed);
}

// A motion entity that is gone or of another kind is dropped; the block then reads as stored
// without motions.
int checked_motion(int id, const nc_proc_record& r, int& status)
{
    if (r.motion_id <= 0) return -1;
    int entity_class = 0, type = 0, read = 0;
    if (entsta(r.motion_id) > 0) {
        eattc(r.motion_id, kRead, "CL", entity_class, read);
        eattc(r.motion_id, kRead, "TY", type, read);
        if (entity_class == kMotionClass && type == kMotionType) return r.motion_id;
    }
    warn(kNoMotions, r.proc_type);
    int none = -1;
    get_set_movmnt_id(kWrite, id, none);
    const word stored = kStoredWithoutMotions;
    TPCHNN(kWhereList, kGlobals, 44, kTypeInteger, &stored, 1, status);
    return -1;
}

void record_to_list(int to, int& status)
{
    const int id = proc_copy_words().record_id;
    record_parts p;
    if (!read_record(id, p, status)) return;
    lcreat(kAppend, status);
    if (status < 0) {
        eroutc("cpbt12 - CANNOT APPEND LINE TO LIST", 0);
        status = kNoLine;
        return;
    }
    write_block(to, id, p, status);
    if (status < 0) return;
    proc_copy_words().motion_id = checked_motion(id, p.record, status);
    if (status >= 0 && p.geometry_lost) {
        const word lost = kGeometryMissing;
        TPCHNN(kWhereList, kGlobals, 119, kTypeInteger, &lost, 1, status);
    }
}

// ---- from the list into the records --------------------------------------------------------

// Reads a segment's length and words (code already read); a length the line cannot hold fails.
void read_run(std::vector<word>& words, int& status)
{
    int length = 0;
    tp_get_int(kWhereList, length, status);
    if (status >= 0 && (length < 0 || length > vantu::kListMaxLineWords)) status = kFailed;
    if (status < 0) return;
    words.assign(static_cast<std::size_t>(length), 0);
    if (length > 0) tpget(kWhereList, length, kTypeInteger, words.data(), status);
}

void skip_run(int& status)
{
    int length = 0;
    tp_get_int(kWhereList, length, status);
    if (status >= 0 && length > 0) TPSKIP(kWhereList, length, status);
}

// Segment 23 or 25: stored as a new record of its kind when its option word asks for it.
void store_parameters(bool changed, int kind, int& record_id, int& status)
{
    int code = 0;
    tp_get_int(kWhereList, code, status);
    if (status < 0) return;
    if (!changed) return skip_run(status);
    std::vector<word> words;
    read_run(words, status);
    if (status < 0) return;
    if (record_id > 0) {
        int deleted = 0;
        delete_nc_entity(record_id, kind, deleted);
    }
    record_id = 0;
    if (kind == kNcEntityMachineParams)
        dbd_mchprm(kWrite, record_id, words, status);
    else
        dbd_lclprm(kWrite, record_id, words, status);
    if (status >= 0) add_nc_entity(record_id, kind, status);
}

struct list_flags {
    word options[6] = {};
    geom_pair_words pairs{};
};

void read_flag_segment(list_flags& f, int& status)
{
    int code = 0;
    tp_get_int(kWhereList, code, status);
    if (status >= 0 && code != kFlags) status = kFailed;
    int length = 0;
    if (status >= 0)
        get_flags(f.options[1], f.options[0], f.options[2], f.options[3], f.options[4], f.options[5], f.pairs.data(),
                  length, status);
    if (status < 0) {
        eroutc("cpbt12, ERRORS IN LIST", 0);
        status = kFailed;
    }
}

// The procedure record the block belongs to: the one its option word 1 names, or a new one.
int record_for(const list_flags& f, nc_proc_record& record, int& status)
{
    int id = f.options[0];
    if (id > 0) {
        int globals = 0, geometries = 0, further = 0, found = 0;
        get_proc_info(id, globals, geometries, further, found);
        if (found >= 0) dbd_proc(kRead, id, record, found);
        if (found < 0) id = 0;
    }
    if (id <= 0 || f.options[1] != 0) {
        id = 0;
        record = nc_proc_record{};
        dbd_proc(kWrite, id, record, status);
        if (status >= 0) add_nc_entity(id, kNcEntityProcedure, status);
    }
    return id;
}

void list_to_records(int from, int& status)
{
    const int where = from == kWhereListWorld || from == kWhereListNumbered ? kWhereList : from;
    nc_proc_record record;
    int number = 0, type = 0, segment_code = 0;
    tp_get_int(where, number, status);
    if (status >= 0) tp_get_int(where, type, status);
    if (status >= 0) tp_get_int(where, segment_code, status);
    std::vector<word> globals;
    if (status >= 0) read_run(globals, status);
    if (status < 0) return;
    list_flags f;
    read_flag_segment(f, status);
    if (status < 0) return;
    proc_copy_words().option6 = f.options[5];
    const int id = record_for(f, record, status);
    if (status < 0) return;
    proc_copy_words().record_id = id;
    store_parameters(f.options[kOptMachine - 1] != 0, kNcEntityMachineParams, record.mchprm_id, status);
    if (status >= 0)
        store_parameters(f.options[kOptRecompute - 1] != 0, kNcEntityLocalParams, record.lclprm_id, status);
    if (status < 0) return;
    int count = 0, stored = 0;
    geom_id_list ids{};
    save_geom_entities(f.pairs, count, ids, stored);
    if (stored < 0) warn(kGeometryUnread, type);
    int n = 0, deftyp = 0;
    word link[vantu::kSublistLinkWords + 8] = {};
    TPGETN(kWhereList, kGroupTopLevel, kSublistItem, n, deftyp, link, static_cast<int>(std::size(link)), status);
    if (status < 0) return;
    record.block_number = number;
    record.proc_type = type;
    record.global_words = std::move(globals);
    record.geometry_ids.assign(ids.begin(), ids.begin() + count);
    record.further_words.assign(static_cast<std::size_t>(n), 0);
    int written = id;
    dbd_proc(kWrite, written, record, status);
    proc_copy_words().motion_id = record.motion_id;
}

}  // namespace

proc_copy_state& proc_copy_words()
{
    static proc_copy_state state;
    return state;
}

void cpbt12(int& from, int& to, int& size, int& status)
{
    (void)size;
    status = 0;
    if (from == kFromRecord)
        record_to_list(to, status);
    else
        list_to_records(from, status);
}
