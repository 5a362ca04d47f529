// The loaded record type and the working record line of the data dictionary, and the decoding of
// a stored definition: header words, field descriptors with their variable tails.
//
// Descriptor layout (16-bit words from 0): 0 name length; 1..4 name; 5 link (word index, from 1,
// of the next descriptor, kDdLastLink after the last); 6 zero; 7 position; 8 size; 9 type;
// 10..11 MIN; 12..13 MAX; 14 domain count; 15..16 ROUND or CONV; 17..18 DEF (for a text field 17
// holds its length). The tail after word 19: a text field's default (10 words); then the allowed
// values (integers and reals two words each, texts a length word and 10 words), or the file name
// of FILE and SERIAL fields (a length word and 40 words), or the component indices of COMP.
#include "tools/dd_state.hpp"
#include "tools/module_block.hpp"

#include <algorithm>
#include <bit>
#include <cctype>

dd_record_type& dd_type() { return module_block<dd_record_type>(); }
dd_record_line& dd_line() { return module_block<dd_record_line>(); }

int dd_field_size(const dd_field& field)
{
    if (field.type == kDdText) return (field.text_length + 1) / 2 + 1;
    return 2;
}

int dd_header(const dd_words& definition, int n) { return definition[static_cast<std::size_t>(n - 1)]; }

void dd_set_header(dd_words& definition, int n, int value)
{
    definition[static_cast<std::size_t>(n - 1)] = static_cast<std::uint16_t>(value);
}

void dd_put_text(std::uint16_t* words, std::string_view text, int characters)
{
    for (int i = 0; i < (characters + 1) / 2; ++i) {
        auto at = [&](int k) -> unsigned {
            return k < static_cast<int>(text.size()) && k < characters
                       ? static_cast<unsigned char>(text[static_cast<std::size_t>(k)])
                       : ' ';
        };
        words[i] = static_cast<std::uint16_t>(at(2 * i) | (at(2 * i + 1) << 8));
    }
}

std::string dd_get_text(const std::uint16_t* words, int characters)
{
    std::string text;
    for (int i = 0; i < characters; ++i) {
        unsigned w = words[i / 2];
        text += static_cast<char>(i % 2 == 0 ? (w & 0xFF) : (w >> 8));
    }
    return text;
}

std::string dd_trimmed(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\0')) --end;
    return std::string(text.substr(0, end));
}

std::string dd_upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string dd_type_name(const dd_words& definition)
{
    int length = std::clamp(dd_header(definition, kDdNameLengthWord), 0, kDdTypeNameLength);
    return dd_trimmed(dd_get_text(&definition[kDdNameWord - 1], length));
}

bool dd_descriptor_offsets(const dd_words& definition, int word_count, std::vector<int>& offsets)
{
    offsets.clear();
    int count = std::min(word_count, kDdMaxWords);
    if (count < kDdHeaderWords) return false;
    int next = dd_header(definition, kDdFirstDescriptorWord);
    while (next != kDdLastLink) {
        int offset = next - 1;
        if (offset < kDdHeaderWords || offset + kDdDescriptorWords > count) return false;
        if (static_cast<int>(offsets.size()) >= kDdMaxFields) return false;
        if (!offsets.empty() && offset <= offsets.back()) return false;  // links only go forward
        offsets.push_back(offset);
        next = definition[static_cast<std::size_t>(offset + 5)];
    }
    return true;
}

namespace {

int int_at(const std::uint16_t* w)
{
    return static_cast<int>(static_cast<std::uint32_t>(w[0]) | (static_cast<std::uint32_t>(w[1]) << 16));
}
float real_at(const std::uint16_t* w) { return std::bit_cast<float>(int_at(w)); }

// Reads a text of a length word and 10 words at tail; false when it leaves the definition.
bool tail_text(const dd_words& d, int& at, int end, std::string& text)
{
    if (at + 1 + kDdMaxText / 2 > end) return false;
    int length = std::clamp<int>(d[static_cast<std::size_t>(at)], 0, kDdMaxText);
    text = dd_get_text(&d[static_cast<std::size_t>(at + 1)], length);
    at += 1 + kDdMaxText / 2;
    return true;
}

// Decodes the tail that starts at word `at` (a text field's default, then values, file name or
// components); false when it passes `end`.
bool decode_tail(const dd_words& d, int at, int end, int text_def_length, dd_field& f)
{
    if (f.type == kDdText) {
        if (at + kDdMaxText / 2 > end) return false;
        f.text_def = dd_get_text(&d[static_cast<std::size_t>(at)], text_def_length);
        at += kDdMaxText / 2;
    }
    if (f.domain_count > 0) {
        for (int v = 0; v < f.domain_count; ++v) {
            if (f.type == kDdText) {
                std::string text;
                if (!tail_text(d, at, end, text)) return false;
                f.text_values.push_back(text);
            } else {
                if (at + 2 > end) return false;
                if (f.type == kDdReal)
                    f.real_values.push_back(real_at(&d[static_cast<std::size_t>(at)]));
                else
                    f.int_values.push_back(int_at(&d[static_cast<std::size_t>(at)]));
                at += 2;
            }
        }
    } else if (f.domain_count == kDdDomainFile || f.domain_count == kDdDomainSerial) {
        if (at + 1 + kDdFileNameLength / 2 > end) return false;
        int length = std::clamp<int>(d[static_cast<std::size_t>(at)], 0, kDdFileNameLength);
        f.file_name = dd_get_text(&d[static_cast<std::size_t>(at + 1)], length);
    } else if (f.domain_count < kDdDomainSerial && f.domain_count > kDdDomainPart) {
        int n = kDdDomainSerial - f.domain_count;
        if (at + n > end) return false;
        for (int k = 0; k < n; ++k) f.components.push_back(d[static_cast<std::size_t>(at + k)]);
    }
    return true;
}

}  // namespace

bool dd_decode_field(const dd_words& d, int word_count, int offset, dd_field& f)
{
    int end = std::min(word_count, kDdMaxWords);
    if (offset < 0 || offset + kDdDescriptorWords > end) return false;
    const std::uint16_t* w = &d[static_cast<std::size_t>(offset)];
    f = dd_field{};
    f.name = dd_get_text(w + 1, std::clamp<int>(w[0], 0, kDdFieldNameLength));
    f.position = w[7];
    f.size = w[8];
    f.type = w[9];
    f.domain_count = static_cast<std::int16_t>(w[14]);
    if (f.type == kDdReal) {
        f.real_min = real_at(w + 10);
        f.real_max = real_at(w + 12);
        f.round = real_at(w + 15);
        f.real_def = real_at(w + 17);
    } else if (f.type == kDdText) {
        f.int_min = int_at(w + 10);
        f.int_max = int_at(w + 12);
        f.text_length = std::clamp(f.int_max, 1, kDdMaxText);
        f.conv = int_at(w + 15);
    } else {
        f.int_min = int_at(w + 10);
        f.int_max = int_at(w + 12);
        f.int_def = int_at(w + 17);
    }
    int next = w[5];
    int tail_end = next == kDdLastLink ? end : std::min(end, next - 1);
    int text_def_length = f.type == kDdText ? std::clamp<int>(w[17], 0, kDdMaxText) : 0;
    return decode_tail(d, offset + kDdDescriptorWords, tail_end, text_def_length, f);
}

bool dd_fields(const dd_words& definition, int word_count, std::vector<dd_field>& fields)
{
    std::vector<int> offsets;
    fields.clear();
    if (!dd_descriptor_offsets(definition, word_count, offsets)) return false;
    for (int offset : offsets) {
        dd_field f;
        if (!dd_decode_field(definition, word_count, offset, f)) return false;
        fields.push_back(std::move(f));
    }
    return true;
}
