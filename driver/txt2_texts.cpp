// The TXT2 texts, their copies and the change test. Reads and writes nc_texts().txt2.
#include "driver/txt2_texts.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_texts.hpp"

#include <cstring>
#include <string>

namespace {

constexpr char kNoText[] = "No Text";  // with its terminating zero byte
constexpr int kTextSet = 2;

// Blank-fills a field of `length` characters and writes "No Text" and its zero byte at its start.
void no_text(int at, int length)
{
    char* field = nc_texts().txt2.data() + at;
    std::memset(field, ' ', static_cast<std::size_t>(length));
    std::memcpy(field, kNoText, sizeof kNoText);
}

// Every field of the record keeps its terminator, whatever the stored record held.
void terminate_fields()
{
    auto& bytes = nc_texts().txt2;
    for (int end :
         {nc_text_fields::kText20At + nc_text_fields::kText20, nc_text_fields::kText12At + nc_text_fields::kText12,
          nc_text_fields::kText20bAt + nc_text_fields::kText20, nc_text_fields::kText12bAt + nc_text_fields::kText12})
        bytes[static_cast<std::size_t>(end)] = '\0';
}

}  // namespace

void txt2_read(int editing)
{
    no_text(nc_text_fields::kText20At, nc_text_fields::kText20);
    no_text(nc_text_fields::kText12At, nc_text_fields::kText12);
    if (editing == 0) return;
    word words[nc_text_fields::kTxt2Words];
    std::memcpy(words, nc_texts().txt2.data(), sizeof words);
    int status = 0;
    mdgetc("TXT2", nc_text_fields::kTxt2Words, words, status);
    std::memcpy(nc_texts().txt2.data(), words, sizeof words);
    terminate_fields();
}

void nc_text_copies_take()
{
    std::string text;
    state_text20_field(kTextGet, text);
    nc_text20b_field(kTextSet, text);
    state_text12_field(kTextGet, text);
    nc_text12b_field(kTextSet, text);
}

int nc_texts_changed()
{
    std::string text, copy;
    state_text12_field(kTextGet, text);
    nc_text12b_field(kTextGet, copy);
    if (cmpchs(text, copy) != 0) return 1;
    state_text20_field(kTextGet, text);
    nc_text20b_field(kTextGet, copy);
    return cmpchs(text, copy) != 0 ? 1 : 0;
}
