// The NC state text fields, their PPN4 and TXT2 records, and the per-procedure text fields of
// the procedure summary table.
#include "nc_services/nc_state_texts.hpp"

#include "host/vantu.hpp"
#include "host/vantu_ncstate.hpp"
#include "nc_services/bounded_text.hpp"
#include "nc_services/rec8.hpp"

#include <algorithm>
#include <cstring>
#include <span>

namespace {

constexpr int kTextKind = 3;
constexpr int kUcsChars = 6;
constexpr const char* kNoUcs = "NO_UCS";

// Get: the field up to its terminator, blank-padded to length. Set: at most length characters of
// text, stopping at a terminator, blank-padded, then the terminating zero.
void text_field(std::span<char> field, int length, int mode, std::string& text)
{
    const auto n = static_cast<std::size_t>(length);
    if (mode == kTextGet) {
        text = bounded_text(std::string_view(field.data(), n), length);
        text.resize(n, ' ');
        return;
    }
    const std::string_view taken = bounded_text(text, length);
    std::fill_n(field.begin(), n, ' ');
    std::copy(taken.begin(), taken.end(), field.begin());
    field[n] = '\0';
}

std::span<char> txt2_field(int at, int length)
{
    return std::span<char>(nc_texts().txt2).subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(length) + 1);
}

template <std::size_t N> void bytes_to_words(const std::array<char, N>& bytes, word* out)
{
    std::memcpy(out, bytes.data(), N);
}

proc_summary_entry* summary_entry(int procedure)
{
    proc_summary_entry* entry = proc_table_entry(procedure);
    if (!entry) erou1c("PROCEDURE TEXT, PROCEDURE NUMBER OUT OF RANGE:", procedure);
    return entry;
}

// The per-procedure field of `length` characters chosen by `member`.
template <std::size_t N>
void proc_field(std::array<char, N> proc_summary_entry::*member, int mode, int procedure, std::string& text)
{
    constexpr int length = static_cast<int>(N) - 1;
    proc_summary_entry* entry = summary_entry(procedure);
    if (!entry) {
        if (mode == kTextGet) text.assign(static_cast<std::size_t>(length), ' ');
        return;
    }
    text_field(entry->*member, length, mode, text);
}

}  // namespace

nc_text_fields& nc_texts()
{
    static nc_text_fields texts;
    return texts;
}

void state_texts(int mode, std::string& text) { text_field(nc_texts().name, nc_text_fields::kNameChars, mode, text); }

void state_text20_field(int mode, std::string& text)
{
    text_field(txt2_field(nc_text_fields::kText20At, nc_text_fields::kText20), nc_text_fields::kText20, mode, text);
}

void state_text12_field(int mode, std::string& text)
{
    text_field(txt2_field(nc_text_fields::kText12At, nc_text_fields::kText12), nc_text_fields::kText12, mode, text);
}

void nc_text20b_field(int mode, std::string& text)
{
    text_field(txt2_field(nc_text_fields::kText20bAt, nc_text_fields::kText20), nc_text_fields::kText20, mode, text);
}

void nc_text12b_field(int mode, std::string& text)
{
    text_field(txt2_field(nc_text_fields::kText12bAt, nc_text_fields::kText12), nc_text_fields::kText12, mode, text);
}

void ppn4_save(int& status)
{
    word words[nc_text_fields::kNameWords];
    bytes_to_words(nc_texts().name, words);
    mdptnc("PPN4", kTextKind, nc_text_fields::kNameWords, words, status);
}

void ppn4_load()
{
    word words[nc_text_fields::kNameWords];
    std::array<char, nc_text_fields::kNameBytes> blank{};
    blank.fill(' ');
    bytes_to_words(blank, words);
    int status = 0;
    mdgetc("PPN4", nc_text_fields::kNameWords, words, status);
    std::array<char, nc_text_fields::kNameBytes>& name = nc_texts().name;
    std::memcpy(name.data(), words, name.size());
    name[nc_text_fields::kNameChars] = '\0';
}

void txt2_save(int& status)
{
    word words[nc_text_fields::kTxt2Words];
    bytes_to_words(nc_texts().txt2, words);
    mdptnc("TXT2", kTextKind, nc_text_fields::kTxt2Words, words, status);
}

proc_summary_table& proc_table()
{
    static proc_summary_table table;
    return table;
}

proc_summary_entry* proc_table_entry(int procedure)
{
    if (procedure < 1 || procedure > proc_summary_table::kScratch) return nullptr;
    return &proc_table().entries[static_cast<std::size_t>(procedure)];
}

void proc_comment_field(int mode, int procedure, std::string& text)
{
    proc_field(&proc_summary_entry::comment, mode, procedure, text);
}

void proc_text2_field(int mode, int procedure, std::string& text)
{
    proc_field(&proc_summary_entry::text2, mode, procedure, text);
}

void proc_text_field(int mode, int procedure, std::string& text)
{
    proc_field(&proc_summary_entry::transform, mode, procedure, text);
}

void ucs_name(int mode, int procedure, std::string& text)
{
    if (mode != kTextGet) return;
    proc_summary_entry* entry = summary_entry(procedure);
    std::string name = kNoUcs;
    if (entry && entry->ucs_id >= 1) {
        ucs_record record;
        int status = 0;
        rec8_get_put(kTextGet, entry->ucs_id, record, status);
        if (status == 0) {
            char chars[8];
            std::memcpy(chars, record.name.data(), sizeof chars);
            name.assign(chars, kUcsChars);
        }
    }
    name.resize(kUcsChars, ' ');
    text = name;
}
