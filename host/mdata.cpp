// Module data of the part file: records of words under 4-character keys, each with its kind
// code. Reads never write more words than the caller asked for; a record shorter than asked
// writes only the words it has and leaves the rest of the caller's block untouched, and a
// missing record (status 1) leaves the whole block untouched, so defaults set before a read
// survive. Persisted in the part file's "module_data" section (see host/control/mdata.hpp).
#include "host/vantu_mdata.hpp"

#include "host/control/mdata.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>

namespace {

constexpr int kFound = 0;
constexpr int kMissing = 1;
constexpr int kRefused = -1;

struct record {
    int kind;
    std::vector<word> words;
};

// Never destroyed, so module code running in static destructors can still read its records.
std::map<std::string, record>& records()
{
    static auto* all = new std::map<std::string, record>;
    return *all;
}

// The stored form of a key: cut at a terminator, 1 to 4 characters, blank-padded to 4; nothing
// for an empty or longer key.
std::optional<std::string> normal_key(std::string_view key)
{
    key = key.substr(0, key.find('\0'));
    if (key.empty() || key.size() > 4) return std::nullopt;
    std::string padded(key);
    padded.resize(4, ' ');
    return padded;
}

void refuse(std::string_view call, std::string_view key, const std::string& reason)
{
    vantu::record_host_error(std::string(call) + ", " + reason);
    vantu::trace_call(call, key, kRefused);
}

std::string key_reason(std::string_view key)
{
    return "MODULE DATA KEY \"" + std::string(key.substr(0, 16)) + "\" IS NOT 1 TO 4 CHARACTERS";
}

// Copies at most `count` words of the record under key into out. The shared body of the reads.
void read_record(std::string_view call, std::string_view key, int count, word* out, int& status)
{
    std::optional<std::string> k = normal_key(key);
    if (!k) {
        status = kRefused;
        refuse(call, key, key_reason(key));
        return;
    }
    if (count < 0 || (count > 0 && !out)) {
        status = kRefused;
        refuse(call, *k, "BAD WORD COUNT " + std::to_string(count) + " FOR \"" + *k + "\"");
        return;
    }
    auto it = records().find(*k);
    if (it == records().end()) {
        status = kMissing;
        vantu::trace_call(call, *k, status);
        return;
    }
    const std::vector<word>& words = it->second.words;
    std::size_t n = std::min(words.size(), static_cast<std::size_t>(count));
    std::copy_n(words.begin(), n, out);
    status = kFound;
    vantu::trace_call(call, *k, status);
}

// Replaces the record under key with count words. The shared body of the writes.
void write_record(std::string_view call, std::string_view key, int kind, int count, const word* block, int& status)
{
    std::optional<std::string> k = normal_key(key);
    if (!k) {
        status = kRefused;
        refuse(call, key, key_reason(key));
        return;
    }
    if (count < 0 || count > vantu::control::kMaxRecordWords || (count > 0 && !block)) {
        status = kRefused;
        refuse(call, *k, "BAD WORD COUNT " + std::to_string(count) + " FOR \"" + *k + "\"");
        return;
    }
    if (auto fault = vantu::fault_hit(call)) {
        status = *fault;
        vantu::trace_call(call, *k, status);
        return;
    }
    records()[*k] = record{kind, std::vector<word>(block, block + count)};
    status = kFound;
    vantu::trace_call(call, *k, status);
}

}  // namespace

void mdget(std::string_view key, word* block, int capacity, int& status)
{
    read_record("mdget", key, capacity, block, status);
}

// The expected type is informational: the words are handed over whatever kind was stored.
void mdgetn(std::string_view key, int /*type*/, int count, word* values, int& status)
{
    read_record("mdgetn", key, count, values, status);
}

void mdgetc(std::string_view key, int count, word* values, int& status)
{
    read_record("mdgetc", key, count, values, status);
}

void mdputn(std::string_view key, int kind, int count, const word* block, int& status)
{
    write_record("mdputn", key, kind, count, block, status);
}

void mdputc(std::string_view key, int count, const word* values, int& status)
{
    write_record("mdputc", key, vantu::control::kPlainRecordKind, count, values, status);
}

void mdptnc(std::string_view key, int kind, int count, const word* block, int& status)
{
    write_record("mdptnc", key, kind, count, block, status);
}

// ---- control ----------------------------------------------------------------------------------

namespace vantu::control {

std::optional<std::vector<word>> get_record(std::string_view key)
{
    std::optional<std::string> k = normal_key(key);
    if (!k) return std::nullopt;
    auto it = records().find(*k);
    if (it == records().end()) return std::nullopt;
    return it->second.words;
}

std::optional<int> record_kind(std::string_view key)
{
    std::optional<std::string> k = normal_key(key);
    if (!k) return std::nullopt;
    auto it = records().find(*k);
    if (it == records().end()) return std::nullopt;
    return it->second.kind;
}

bool set_record(std::string_view key, int kind, const std::vector<word>& words)
{
    std::optional<std::string> k = normal_key(key);
    if (!k || words.size() > static_cast<std::size_t>(kMaxRecordWords)) return false;
    records()[*k] = record{kind, words};
    return true;
}

bool erase_record(std::string_view key)
{
    std::optional<std::string> k = normal_key(key);
    return k && records().erase(*k) > 0;
}

std::vector<std::string> record_keys()
{
    std::vector<std::string> keys;
    for (const auto& [key, r] : records()) keys.push_back(key);
    return keys;
}

}  // namespace vantu::control

// ---- part file --------------------------------------------------------------------------------

namespace {

using nlohmann::json;

[[noreturn]] void bad_record(const std::string& key, const std::string& what)
{
    throw std::invalid_argument("record \"" + key + "\": " + what);
}

// Appends the words one JSON word entry stands for.
void append_words(const std::string& key, std::size_t position, const json& entry, std::vector<word>& words)
{
    std::string where = "word entry " + std::to_string(position);
    if (entry.is_number_integer()) {
        auto value = entry.get<std::int64_t>();
        if (entry.is_number_unsigned() && entry.get<std::uint64_t>() > static_cast<std::uint64_t>(INT32_MAX))
            bad_record(key, where + " is out of the range of a 32-bit word");
        if (value < INT32_MIN || value > INT32_MAX) bad_record(key, where + " is out of the range of a 32-bit word");
        words.push_back(static_cast<word>(value));
        return;
    }
    if (!entry.is_object() || entry.size() != 1)
        bad_record(key, where + " must be an integer or one of {\"real\": r}, {\"double\": d}, {\"text\": \"...\"}");
    auto only = entry.begin();
    const std::string& form = only.key();
    const json& value = only.value();
    if (form == "real" && value.is_number()) {
        double real = value.get<double>();
        if (std::fabs(real) > std::numeric_limits<float>::max())
            bad_record(key, where + ": the real is beyond a float");
        words.push_back(real_to_word(static_cast<float>(real)));
    } else if (form == "double" && value.is_number()) {
        word pair[2];
        double_to_words(value.get<double>(), pair);
        words.insert(words.end(), pair, pair + 2);
    } else if (form == "text" && value.is_string() && !value.get<std::string>().empty()) {
        const std::string text = value.get<std::string>();
        for (std::size_t i = 0; i < text.size(); i += 4)
            words.push_back(text4_to_word(std::string_view(text).substr(i, 4)));
    } else {
        bad_record(key, where + ": \"" + form +
                            "\" must be \"real\" or \"double\" with a number, or \"text\" with a non-empty text");
    }
}

void load_record(const std::string& key, const json& value)
{
    std::optional<std::string> k = normal_key(key);
    if (!k || key.find('\0') != std::string::npos) bad_record(key, "a key has 1 to 4 characters");
    if (!value.is_object()) bad_record(key, "must be an object {\"kind\": k, \"words\": [...]}");
    for (const auto& [member, unused] : value.items())
        if (member != "kind" && member != "words") bad_record(key, "unknown member \"" + member + "\"");
    if (!value.contains("kind") || !value["kind"].is_number_integer()) bad_record(key, "\"kind\" must be an integer");
    auto kind = value["kind"].get<std::int64_t>();
    if (kind < INT32_MIN || kind > INT32_MAX) bad_record(key, "\"kind\" is out of range");
    if (!value.contains("words") || !value["words"].is_array()) bad_record(key, "\"words\" must be an array");
    std::vector<word> words;
    std::size_t position = 0;
    for (const json& entry : value["words"]) {
        append_words(key, ++position, entry, words);
        if (words.size() > static_cast<std::size_t>(vantu::control::kMaxRecordWords))
            bad_record(key, "more than " + std::to_string(vantu::control::kMaxRecordWords) + " words");
    }
    if (records().count(*k)) bad_record(key, "the key appears twice (keys are blank-padded to 4 characters)");
    records()[*k] = record{static_cast<int>(kind), std::move(words)};
}

void load_mdata(const json& section)
{
    if (!section.is_object()) throw std::invalid_argument("\"module_data\" must be an object of records by key");
    for (const auto& [key, value] : section.items()) load_record(key, value);
}

void save_mdata(json& section)
{
    section = json::object();
    for (const auto& [key, r] : records()) section[key] = json{{"kind", r.kind}, {"words", r.words}};
}

void reset_mdata() { records().clear(); }

const bool mdata_registered = vantu::register_component({"module_data", reset_mdata, save_mdata, load_mdata, nullptr});

}  // namespace
