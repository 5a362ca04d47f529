// Building the stored definition of a record type (DESTRA), defining types given in code
// (dd_type_define) and storing a definition as a new record table.
#include "tools/data_dictionary.hpp"
#include "tools/dd_field_build.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

#include <bit>
#include <cstdint>

namespace {

void put_int(std::uint16_t* w, int value)
{
    auto u = static_cast<std::uint32_t>(value);
    w[0] = static_cast<std::uint16_t>(u & 0xFFFF);
    w[1] = static_cast<std::uint16_t>(u >> 16);
}
void put_real(std::uint16_t* w, float value) { put_int(w, std::bit_cast<int>(value)); }

// Words of a descriptor's tail.
int tail_words(const dd_field& f)
{
    int words = f.type == kDdText ? kDdMaxText / 2 : 0;
    if (f.domain_count > 0)
        words += f.type == kDdText ? f.domain_count * (1 + kDdMaxText / 2) : 2 * f.domain_count;
    else if (f.domain_count == kDdDomainFile || f.domain_count == kDdDomainSerial)
        words += 1 + kDdFileNameLength / 2;
    else if (f.domain_count < kDdDomainSerial && f.domain_count > kDdDomainPart)
        words += static_cast<int>(f.components.size());
    return words;
}

void put_tail(const dd_field& f, std::uint16_t* w)
{
    if (f.type == kDdText) {
        dd_put_text(w, f.text_def, kDdMaxText);
        w += kDdMaxText / 2;
    }
    if (f.domain_count > 0) {
        for (int v = 0; v < f.domain_count; ++v) {
            if (f.type == kDdText) {
                const std::string& text = f.text_values[static_cast<std::size_t>(v)];
                w[0] = static_cast<std::uint16_t>(text.size());
                dd_put_text(w + 1, text, kDdMaxText);
                w += 1 + kDdMaxText / 2;
            } else if (f.type == kDdReal) {
                put_real(w, f.real_values[static_cast<std::size_t>(v)]);
                w += 2;
            } else {
                put_int(w, f.int_values[static_cast<std::size_t>(v)]);
                w += 2;
            }
        }
    } else if (f.domain_count == kDdDomainFile || f.domain_count == kDdDomainSerial) {
        std::string name = f.file_name.substr(0, kDdFileNameLength);
        w[0] = static_cast<std::uint16_t>(name.size());
        dd_put_text(w + 1, name, kDdFileNameLength);
    } else {
        for (int c : f.components) *w++ = static_cast<std::uint16_t>(c);
    }
}

void put_descriptor(const dd_field& f, int link, std::uint16_t* w)
{
    std::string name = f.name.substr(0, kDdFieldNameLength);
    w[0] = static_cast<std::uint16_t>(name.size());
    dd_put_text(w + 1, name, kDdFieldNameLength);
    w[5] = static_cast<std::uint16_t>(link);
    w[6] = 0;
    w[7] = static_cast<std::uint16_t>(f.position);
    w[8] = static_cast<std::uint16_t>(f.size);
    w[9] = static_cast<std::uint16_t>(f.type);
    w[14] = static_cast<std::uint16_t>(static_cast<std::int16_t>(f.domain_count));
    if (f.type == kDdReal) {
        put_real(w + 10, f.real_min);
        put_real(w + 12, f.real_max);
        put_real(w + 15, f.round);
        put_real(w + 17, f.real_def);
    } else if (f.type == kDdText) {
        put_int(w + 10, 1);
        put_int(w + 12, f.text_length);
        put_int(w + 15, f.conv);
        w[17] = static_cast<std::uint16_t>(std::min<std::size_t>(f.text_def.size(), kDdMaxText));
    } else {
        put_int(w + 10, f.int_min);
        put_int(w + 12, f.int_max);
        put_int(w + 17, f.int_def);
    }
    put_tail(f, w + kDdDescriptorWords);
}

}  // namespace

void DESTRA(std::string_view type_name, const std::vector<dd_field>& fields, dd_words& definition, int& word_count,
            int& status)
{
    status = -1;
    if (fields.empty()) {
        eroutc("SYNTAX ERROR, RECORD TYPE WITHOUT FIELDS", 0);
        return;
    }
    if (fields.size() > static_cast<std::size_t>(kDdMaxFields)) {
        eroutc("DESTRA - MAXIMUM NUMBER OF FIELDS EXCEEDED", 0);
        return;
    }
    int length = kDdHeaderWords;
    int record_length = 1;
    for (const dd_field& f : fields) {
        length += kDdDescriptorWords + tail_words(f);
        record_length += dd_field_size(f);
    }
    length += length % 2;
    record_length += record_length % 2;
    if (length > kDdMaxWords || record_length > kDdMaxWords) {
        eroutc("DESTRA - MAXIMUM NUMBER OF FIELDS EXCEEDED", 0);
        return;
    }
    definition.fill(0);
    std::string name(type_name.substr(0, kDdTypeNameLength));
    dd_set_header(definition, kDdNameLengthWord, static_cast<int>(name.size()));
    dd_put_text(&definition[kDdNameWord - 1], name, kDdTypeNameLength);
    dd_set_header(definition, kDdDefinitionLengthWord, length);
    dd_set_header(definition, kDdRecordLengthWord, record_length);
    dd_set_header(definition, kDdFirstDescriptorWord, kDdHeaderWords + 1);
    int offset = kDdHeaderWords;
    int position = 1;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        dd_field f = fields[k];
        f.position = position;
        f.size = dd_field_size(f);
        position += f.size;
        int next = offset + kDdDescriptorWords + tail_words(f);
        put_descriptor(f, k + 1 < fields.size() ? next + 1 : kDdLastLink,
                       &definition[static_cast<std::size_t>(offset)]);
        offset = next;
    }
    word_count = length;
    status = 0;
}

void dd_type_store(const std::vector<dd_field>& fields, std::string_view type_name, int& table_id, int& status)
{
    dd_words definition{};
    int word_count = 0;
    DESTRA(type_name, fields, definition, word_count, status);
    if (status != 0) return;
    int records = kDdNewTableRecords;
    dd_set_header(definition, kDdRecordsWord, records);
    dd_set_header(definition, kDdFreeRecordsWord, records);
    int record_ints = dd_header(definition, kDdRecordLengthWord) / 2;
    std::vector<int> packed = dd_pack(definition.data(), word_count);
    int close_status = 0;
    estore(kDdClass, kDdRecordTableType, table_id, status);
    if (status == 0) eputi(static_cast<int>(packed.size()), packed.data(), status);
    if (status == 0) ezeroi(records * record_ints, status);
    eclose(close_status);
    if (status != 0) {
        status = -1;
        return;
    }
    std::string name(type_name.substr(0, kDdTypeNameLength));
    DDTABL(2, name, table_id, status);
}

void dd_type_define(std::string_view type_name, std::span<const dd_field_input> inputs, int& status)
{
    status = -1;
    if (inputs.empty() || inputs.size() > static_cast<std::size_t>(kDdMaxFields)) {
        eroutc("INVALID NUMBER OF FIELDS", 0);
        return;
    }
    if (type_name.empty() || type_name.size() > static_cast<std::size_t>(kDdTypeNameLength)) {
        eroutc("INVALID RECORD TYPE NAME LENGTH", 0);
        return;
    }
    int existing = -1;
    dd_type_find(type_name, existing, status);
    if (status == 0) {
        status = 1;
        return;
    }
    std::vector<dd_field> fields;
    for (const dd_field_input& in : inputs) {
        dd_field_build b;
        DDBUF_name(b, in.name, fields);
        DDBUF_type(b, std::string(1, in.type));
        if (b.field.type == kDdText) {
            DDBUF_max(b, in.text_length);
            DDBUF_def_text(b, in.text_def);
        } else if (b.field.type == kDdReal) {
            DDBUF_min(b, in.real_min);
            DDBUF_max(b, in.real_max);
            DDBUF_def_number(b, in.real_def);
            DDBUF_round(b, in.round);
        } else {
            DDBUF_min(b, in.int_min);
            DDBUF_max(b, in.int_max);
            DDBUF_def_number(b, in.int_def);
        }
        DDBUF_finish(b);
        if (b.failed) {
            status = -1;
            return;
        }
        fields.push_back(b.field);
    }
    int table_id = -1;
    dd_type_store(fields, type_name, table_id, status);
}
