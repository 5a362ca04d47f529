// Control calls of the module data: the records of words under 4-character keys that the part
// file keeps in its "module_data" section, as
//   "module_data": { "KQ47": {"kind": 1, "words": [3, {"real": 1.5}, {"text": "ABCD"}]}, ... }
// A word is a plain integer (what saving writes, so the round trip is exact), {"real": r} (one
// word holding a float), {"double": d} (two words, low word first) or {"text": "..."} (the text
// in words of four characters, the last one blank-padded). Keys of 1 to 4 characters; shorter
// keys are blank-padded ("AB" is "AB  ").
#pragma once

#include "host/words.hpp"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantu::control {

// Kind code given to records written by mdputc, which passes none.
inline constexpr int kPlainRecordKind = 3;
// Most words in one record: a wrong count is refused instead of filling the part file.
inline constexpr int kMaxRecordWords = 1 << 20;

// The words of the record under key, nothing when there is none (or the key is not valid).
std::optional<std::vector<word>> get_record(std::string_view key);
std::optional<int> record_kind(std::string_view key);
// Writes (replaces) the record; false for a key that is not 1 to 4 characters or too many words.
bool set_record(std::string_view key, int kind, const std::vector<word>& words);
bool erase_record(std::string_view key);
// Keys of every record (4 characters each, blank-padded), in key order.
std::vector<std::string> record_keys();

}  // namespace vantu::control
