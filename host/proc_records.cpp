// The host's NC database of procedures (host/vantu_procrec.hpp): procedure, machine-parameter and
// local-parameter records kept as entities of class 9 in the entity store (so the part file's
// "entities" section holds them), and the NC entity table, which persists in the part file's
// "nc_entities" section as [[id, kind], ...].
#include "host/vantu_procrec.hpp"

#include "host/control.hpp"
#include "host/control/proc_records.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <climits>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace {

constexpr int kRead = 1, kWrite = 2;
constexpr int kRefused = -1, kMissing = -5;
constexpr int kLinkItemCode = 1, kLinkItemType = 2;
constexpr int kMchprmLeadingWords = 3;

std::set<std::pair<int, int>>& table()
{
    static auto* entries = new std::set<std::pair<int, int>>;
    return *entries;
}

std::string args(int a, int b) { return std::to_string(a) + "," + std::to_string(b); }

bool faulted(const char* call, int& status)
{
    if (auto fault = vantu::fault_hit(call)) {
        status = *fault;
        return true;
    }
    return false;
}

// A record entity of the type, or null.
vantu::entity* record_entity(int id, int type)
{
    vantu::entity* e = vantu::find_entity(id);
    return e && e->entity_class == kProcRecordClass && e->type == type ? e : nullptr;
}

// Stores the words as record id of the type, creating the entity when id is 0 or less.
int store_record(int& id, int type, std::vector<word> words)
{
    if (id > 0) {
        vantu::entity* e = record_entity(id, type);
        if (!e) return kMissing;
        e->words = std::move(words);
        return 0;
    }
    if (vantu::store().next_id > INT_MAX) return kRefused;
    vantu::entity e;
    e.id = static_cast<int>(vantu::store().next_id);
    e.entity_class = kProcRecordClass;
    e.type = type;
    e.words = std::move(words);
    id = e.id;
    vantu::insert_entity(std::move(e));
    return 0;
}

// Reads the words of a procedure record back; nothing when they do not hold one.
struct word_reader {
    const std::vector<word>& words;
    std::size_t at = 0;
    bool ok = true;

    word next()
    {
        if (at >= words.size()) {
            ok = false;
            return 0;
        }
        return words[at++];
    }
    template <typename T> std::vector<T> run(word count)
    {
        if (count < 0 || static_cast<std::size_t>(count) > words.size() - std::min(at, words.size())) {
            ok = false;
            return {};
        }
        std::vector<T> out(words.begin() + static_cast<std::ptrdiff_t>(at),
                           words.begin() + static_cast<std::ptrdiff_t>(at) + count);
        at += static_cast<std::size_t>(count);
        return out;
    }
};

std::optional<nc_proc_record> decode_proc(const std::vector<word>& words)
{
    word_reader r{words};
    nc_proc_record p;
    r.next();
    p.lclprm_id = r.next();
    p.motion_id = r.next();
    p.block_number = r.next();
    p.proc_type = r.next();
    p.mchprm_id = r.next();
    p.global_words = r.run<word>(r.next());
    r.next();  // the link item's code
    const word further_count = r.next() - 1;
    r.next();  // its value type
    p.further_words = r.run<word>(further_count);
    p.geometry_ids = r.run<int>(r.next());
    if (!r.ok) return std::nullopt;
    return p;
}

std::vector<word> encode_proc(const nc_proc_record& p)
{
    std::vector<word> w{0,
                        p.lclprm_id,
                        p.motion_id,
                        p.block_number,
                        p.proc_type,
                        p.mchprm_id,
                        static_cast<word>(p.global_words.size())};
    w.insert(w.end(), p.global_words.begin(), p.global_words.end());
    w.insert(w.end(), {kLinkItemCode, static_cast<word>(p.further_words.size()) + 1, kLinkItemType});
    w.insert(w.end(), p.further_words.begin(), p.further_words.end());
    w.push_back(static_cast<word>(p.geometry_ids.size()));
    w.insert(w.end(), p.geometry_ids.begin(), p.geometry_ids.end());
    return w;
}

std::optional<nc_proc_record> proc_of(int id)
{
    const vantu::entity* e = record_entity(id, kProcRecordType);
    return e ? decode_proc(e->words) : std::nullopt;
}

// The word run a parameter record holds after its leading words.
std::optional<std::vector<word>> param_words(int id, int type, std::size_t leading)
{
    const vantu::entity* e = record_entity(id, type);
    if (!e || e->words.size() <= leading) return std::nullopt;
    word_reader r{e->words, leading};
    std::vector<word> out = r.run<word>(r.next());
    if (!r.ok) return std::nullopt;
    return out;
}

std::size_t leading_words(int type) { return type == kMchprmRecordType ? kMchprmLeadingWords : 0; }

void param_info(const char* call, int type, int id, int& count, int& status)
{
    status = 0;
    if (!faulted(call, status)) {
        auto words = param_words(id, type, leading_words(type));
        if (words)
            count = static_cast<int>(words->size());
        else
            status = kMissing;
    }
    vantu::trace_call(call, std::to_string(id), status);
}

void param_record(const char* call, int type, int mode, int& id, std::vector<word>& words, int& status)
{
    status = 0;
    if (faulted(call, status)) {
    } else if (mode == kRead) {
        auto stored = param_words(id, type, leading_words(type));
        if (stored)
            words = *stored;
        else
            status = kMissing;
    } else if (mode == kWrite) {
        const std::size_t leading = leading_words(type);
        std::vector<word> record(leading + 1 + words.size(), 0);
        record[leading] = static_cast<word>(words.size());
        std::copy(words.begin(), words.end(), record.begin() + static_cast<std::ptrdiff_t>(leading) + 1);
        id = 0;
        status = store_record(id, type, std::move(record));
    } else {
        status = kRefused;
    }
    vantu::trace_call(call, args(mode, id), status);
}

void reset_table() { table().clear(); }

void save_table(nlohmann::json& section)
{
    section = nlohmann::json::array();
    for (const auto& [id, kind] : table()) section.push_back({id, kind});
}

void load_table(const nlohmann::json& section)
{
    try {
        for (const auto& entry : section) table().insert({entry.at(0).get<int>(), entry.at(1).get<int>()});
    } catch (const nlohmann::json::exception& e) {
        throw vantu::control::part_error(std::string("nc_entities: ") + e.what());
    }
}

const bool proc_records_registered =
    vantu::register_component({"nc_entities", reset_table, save_table, load_table, nullptr});

}  // namespace

void get_proc_info(int id, int& global_count, int& geometry_count, int& further_count, int& status)
{
    status = 0;
    if (!faulted("get_proc_info", status)) {
        if (auto p = proc_of(id)) {
            global_count = static_cast<int>(p->global_words.size());
            geometry_count = static_cast<int>(p->geometry_ids.size());
            further_count = static_cast<int>(p->further_words.size());
        } else {
            status = kMissing;
        }
    }
    vantu::trace_call("get_proc_info", std::to_string(id), status);
}

void dbd_proc(int mode, int& id, nc_proc_record& record, int& status)
{
    status = 0;
    if (faulted("dbd_proc", status)) {
    } else if (mode == kRead) {
        if (auto p = proc_of(id))
            record = *p;
        else
            status = kMissing;
    } else if (mode == kWrite) {
        status = store_record(id, kProcRecordType, encode_proc(record));
    } else {
        status = kRefused;
    }
    vantu::trace_call("dbd_proc", args(mode, id), status);
}

void get_mchprm_info(int id, int& count, int& status)
{
    param_info("get_mchprm_info", kMchprmRecordType, id, count, status);
}
void get_lclprm_info(int id, int& count, int& status)
{
    param_info("get_lclprm_info", kLclprmRecordType, id, count, status);
}

void dbd_mchprm(int mode, int& id, std::vector<word>& words, int& status)
{
    param_record("dbd_mchprm", kMchprmRecordType, mode, id, words, status);
}

void dbd_lclprm(int mode, int& id, std::vector<word>& words, int& status)
{
    param_record("dbd_lclprm", kLclprmRecordType, mode, id, words, status);
}

void add_nc_entity(int id, int kind, int& status)
{
    status = 0;
    if (!faulted("add_nc_entity", status)) {
        if (vantu::find_entity(id))
            table().insert({id, kind});
        else
            status = kMissing;
    }
    vantu::trace_call("add_nc_entity", args(id, kind), status);
}

void delete_nc_entity(int id, int kind, int& status)
{
    status = 0;
    if (!faulted("delete_nc_entity", status)) {
        const bool listed = table().erase({id, kind}) > 0;
        const bool existed = vantu::store().entities.erase(id) > 0;
        if (existed && vantu::store().open_id == id) {
            vantu::store().open_id = 0;
            vantu::store().open_position = 0;
        }
        if (!listed && !existed) status = kMissing;
    }
    vantu::trace_call("delete_nc_entity", args(id, kind), status);
}

void get_set_movmnt_id(int mode, int proc_id, int& motion_id)
{
    if (mode == kRead) {
        auto p = proc_of(proc_id);
        motion_id = p ? p->motion_id : -1;
    } else if (mode == kWrite) {
        if (auto p = proc_of(proc_id)) {
            p->motion_id = motion_id;
            int id = proc_id;
            store_record(id, kProcRecordType, encode_proc(*p));
        }
    }
    vantu::trace_call("get_set_movmnt_id", args(mode, proc_id), motion_id);
}

void open_movmnt(int id, int& status)
{
    status = 0;
    if (!faulted("open_movmnt", status)) {
        const vantu::entity* e = vantu::find_entity(id);
        if (e && e->entity_class == kProcRecordClass) {
            vantu::store().open_id = id;
            vantu::store().open_position = 0;
        } else {
            status = kMissing;
        }
    }
    vantu::trace_call("open_movmnt", std::to_string(id), status);
}

namespace vantu::control {

std::vector<std::pair<int, int>> nc_entity_table() { return {table().begin(), table().end()}; }

int add_proc_record(const nc_proc_record& record)
{
    int id = 0;
    store_record(id, kProcRecordType, encode_proc(record));
    return id;
}

std::optional<nc_proc_record> proc_record(int id) { return proc_of(id); }

int add_param_record(int type, const std::vector<word>& words)
{
    int id = 0, status = 0;
    std::vector<word> copy = words;
    param_record("control", type, kWrite, id, copy, status);
    return id;
}

std::optional<std::vector<word>> param_record_words(int type, int id)
{
    return param_words(id, type, leading_words(type));
}

}  // namespace vantu::control
