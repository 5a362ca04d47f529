// Records of a record table: loading the definition (NGGDE1), reading, rewriting, appending and
// deleting records through the working line (NGREM1), and the field values of the line.
//
// A record table entity holds the definition (its 16-bit words two to an entity word; the 8th
// 16-bit word, the upper half of the fourth integer, gives its length) followed by the records,
// each of the definition's record length. Free records have first word 0; a table with no free
// record grows by as many records as it holds.
#include "tools/data_dictionary.hpp"

#include "host/vantu.hpp"
#include "host/vantu_entity_ext.hpp"

#include <algorithm>
#include <bit>

namespace {

// Entity words of the definition header that hold the record and free counts (16-bit words
// 11 and 12).
constexpr int kCountsInt = 5;
constexpr int kHeaderInts = 6;

struct table_shape {
    int definition_ints = 0;
    int record_ints = 0;
    int records = 0;
    int free_records = 0;
};

// Opens the table and reads its header; the entity stays open. Status 0, or the message's error.
void open_table(int table_id, const char* who, table_shape& shape, int& status)
{
    int entity_class = 0, entity_type = 0;
    eopen(table_id, entity_class, entity_type, status);
    if (status != 0 || entity_class != kDdClass || entity_type != kDdRecordTableType) {
        eroutc(std::string(who) + " - WRONG CLASS OR TYPE FOR ENTITY", 0);
        status = kDdStructureError;
        return;
    }
    std::vector<int> header(kHeaderInts);
    egeti(kHeaderInts, header.data(), status);
    if (status != 0) {
        eroutc(std::string(who) + " - CORRUPTED DATA STRUCTURE", 0);
        status = kDdStructureError;
        return;
    }
    std::uint16_t words[2 * kHeaderInts];
    dd_unpack(header, words, 2 * kHeaderInts);
    shape.definition_ints = (words[kDdDefinitionLengthWord - 1] + 1) / 2;
    shape.record_ints = (words[kDdRecordLengthWord - 1] + 1) / 2;
    shape.records = words[kDdRecordsWord - 1];
    shape.free_records = words[kDdFreeRecordsWord - 1];
    if (2 * shape.definition_ints > kDdMaxWords) {
        eroutc(std::string(who) + " - ARRAY OVERFLOW", 0);
        status = kDdStructureError;
    }
}

// Moves the cursor of the table entity to entity word `index` (reopening it at word 0 first).
void seek_to(int index, int& status)
{
    int entity_class = 0, entity_type = 0;
    eopen(dd_type().table_id, entity_class, entity_type, status);
    if (status == 0 && index > 0) eskipn(index, status);
}

void seek_record(const table_shape& shape, int r, int& status)
{
    seek_to(shape.definition_ints + (r - 1) * shape.record_ints, status);
}

void write_counts(const table_shape& shape, int& status)
{
    int packed = static_cast<int>(static_cast<std::uint32_t>(shape.records & 0xFFFF) |
                                  (static_cast<std::uint32_t>(shape.free_records & 0xFFFF) << 16));
    seek_to(kCountsInt, status);
    if (status == 0) eputi(1, &packed, status);
}

void read_line(const table_shape& shape, int& status)
{
    std::vector<int> packed(static_cast<std::size_t>(shape.record_ints));
    egeti(shape.record_ints, packed.data(), status);
    if (status != 0) return;
    dd_line().words.fill(0);
    dd_unpack(packed, dd_line().words.data(), 2 * shape.record_ints);
}

void write_line(const table_shape& shape, int& status)
{
    std::vector<int> packed = dd_pack(dd_line().words.data(), 2 * shape.record_ints);
    eputi(shape.record_ints, packed.data(), status);
}

// Finds the first free record of the table (0 when none).
int first_free(const table_shape& shape, int& status)
{
    for (int r = 1; r <= shape.records; ++r) {
        int first = 0;
        seek_record(shape, r, status);
        if (status == 0) egeti(1, &first, status);
        if (status != 0) return 0;
        if ((first & 0xFFFF) == 0) return r;
    }
    return 0;
}

void append_record(table_shape& shape, int& record, int& status)
{
    int r = 0;
    if (shape.free_records > 0) {
        r = first_free(shape, status);
        if (r == 0) {
            eroutc("NGREM1 - CORRUPTED DATA STRUCTURE", 0);
            status = kDdStructureError;
            return;
        }
    } else {
        int added = std::max(shape.records, 1);
        if (shape.records + added > 0xFFFF) {
            eroutc("NGREM1 - LINE NUMBER OUTSIDE ENTITYS RANGE", 0);
            status = kDdStructureError;
            return;
        }
        seek_record(shape, shape.records + 1, status);
        if (status == 0) ezeroi(added * shape.record_ints, status);
        if (status != 0) return;
        r = shape.records + 1;
        shape.records += added;
        shape.free_records += added;
    }
    seek_record(shape, r, status);
    dd_line().words[0] = 1;
    if (status == 0) write_line(shape, status);
    if (status != 0) return;
    shape.free_records -= 1;
    write_counts(shape, status);
    record = r;
}

}  // namespace

std::vector<int> dd_pack(const std::uint16_t* words, int count)
{
    std::vector<int> packed(static_cast<std::size_t>((count + 1) / 2), 0);
    for (int i = 0; i < count; ++i) {
        auto& w = packed[static_cast<std::size_t>(i / 2)];
        auto u = static_cast<std::uint32_t>(w);
        u |= static_cast<std::uint32_t>(words[i]) << (i % 2 ? 16 : 0);
        w = static_cast<int>(u);
    }
    return packed;
}

void dd_unpack(const std::vector<int>& packed, std::uint16_t* words, int count)
{
    for (int i = 0; i < count && static_cast<std::size_t>(i / 2) < packed.size(); ++i) {
        auto u = static_cast<std::uint32_t>(packed[static_cast<std::size_t>(i / 2)]);
        words[i] = static_cast<std::uint16_t>(i % 2 ? u >> 16 : u & 0xFFFF);
    }
}

void EOPCH(int id, int entity_class, int entity_type, int& status)
{
    int c = -1, t = -1;
    eopen(id, c, t, status);
    if (status != 0 || c != entity_class || t != entity_type) {
        eroutc("EOPCH-ERROR IN OPEN ENTITY", 0);
        status = -1;
    }
}

int value_in_range(float x, float low, float high) { return low <= x && x <= high ? 1 : 0; }

void dd_table_counts(int table_id, int& records, int& free_records, int& status)
{
    table_shape shape;
    open_table(table_id, "NGGDE1", shape, status);
    int close_status = 0;
    eclose(close_status);
    if (status != 0) return;
    records = shape.records;
    free_records = shape.free_records;
}

void NGGDE1(int& status)
{
    dd_record_type& type = dd_type();
    table_shape shape;
    open_table(type.table_id, "NGGDE1", shape, status);
    if (status == 0) {
        std::vector<int> packed(static_cast<std::size_t>(shape.definition_ints));
        seek_to(0, status);
        if (status == 0) egeti(shape.definition_ints, packed.data(), status);
        if (status != 0) {
            eroutc("NGGDE1 - CORRUPTED DATA STRUCTURE", 0);
            status = kDdStructureError;
        } else {
            type.definition.fill(0);
            dd_unpack(packed, type.definition.data(), 2 * shape.definition_ints);
            type.word_count = 2 * shape.definition_ints;
        }
    }
    if (status == 0) {
        type.record_id = 0;
        if (shape.records - shape.free_records > 0) {
            // The first record in use; a table that runs out of records first is damaged.
            int skip_status = 0;
            seek_to(shape.definition_ints, skip_status);
            for (int r = 1; r <= shape.records && type.record_id == 0; ++r) {
                int first = 0;
                egeti(1, &first, status);
                if (status != 0) break;
                if ((first & 0xFFFF) != 0)
                    type.record_id = r;
                else
                    eskipn(shape.record_ints - 1, status);
                if (status != 0) break;
            }
            if (type.record_id == 0) {
                eroutc("NGGDE1 - CORRUPTED DATA STRUCTURE", 0);
                status = kDdStructureError;
            }
        }
    }
    int close_status = 0;
    eclose(close_status);
}

void NGREM1(int operation, int& record, int& status)
{
    table_shape shape;
    open_table(dd_type().table_id, "NGREM1", shape, status);
    if (status == 0 && 2 * shape.record_ints > kDdMaxWords) {
        eroutc("NGREM1 - NO PLACE FOR RECORD IN ARRAY", 0);
        status = kDdStructureError;
    }
    if (status == 0) {
        if (operation == kDdAppend) {
            append_record(shape, record, status);
        } else if (record < 1 || record > shape.records || (operation < kDdRead || operation > kDdDelete)) {
            eroutc("NGREM1 - LINE NUMBER OUTSIDE ENTITYS RANGE", 0);
            status = kDdStructureError;
        } else {
            seek_record(shape, record, status);
            bool was_free = false;
            if (status == 0 && operation == kDdRead) {
                read_line(shape, status);
                if (status == 0 && dd_line().words[0] == 0) status = kDdFreeRecord;
            } else if (status == 0) {
                int first = 0;
                egeti(1, &first, status);
                was_free = (first & 0xFFFF) == 0;
                if (status == 0) eskipn(-1, status);
                if (operation == kDdRewrite) {
                    dd_line().words[0] = 1;
                    if (status == 0) write_line(shape, status);
                    if (status == 0 && was_free) shape.free_records -= 1;
                } else if (status == 0 && !was_free) {
                    ezeroi(shape.record_ints, status);
                    shape.free_records += 1;
                }
                if (status == 0) write_counts(shape, status);
            }
            if (status < 0) status = kDdStructureError;
        }
    }
    int close_status = 0;
    eclose(close_status);
}

void dd_line_defaults()
{
    dd_line().words.fill(0);
    std::vector<dd_field> fields;
    if (!dd_fields(dd_type().definition, dd_type().word_count, fields)) return;
    for (const dd_field& f : fields) {
        if (f.type == kDdReal)
            dd_set_real(f, f.real_def);
        else if (f.type == kDdText)
            dd_set_text(f, f.text_def);
        else
            dd_set_int(f, f.int_def);
    }
}

void DDFIF1(std::string_view field_name, dd_field& field, int& field_index, int& status)
{
    status = -5;
    std::string wanted = dd_upper(dd_trimmed(field_name.substr(0, kDdFieldNameLength)));
    std::vector<dd_field> fields;
    if (!dd_fields(dd_type().definition, dd_type().word_count, fields)) {
        eroutc("DDFIF1 - Corrupted data structure", 0);
        return;
    }
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (dd_upper(dd_trimmed(fields[k].name)) == wanted) {
            field = fields[k];
            field_index = static_cast<int>(k) + 1;
            status = 0;
            return;
        }
    }
}

namespace {
bool inside_line(const dd_field& f) { return f.position >= 1 && f.size >= 1 && f.position + f.size <= kDdMaxWords; }
}  // namespace

int dd_value_int(const dd_field& f)
{
    if (!inside_line(f)) return 0;
    const auto& w = dd_line().words;
    auto p = static_cast<std::size_t>(f.position);
    return static_cast<int>(static_cast<std::uint32_t>(w[p]) | (static_cast<std::uint32_t>(w[p + 1]) << 16));
}

float dd_value_real(const dd_field& f) { return std::bit_cast<float>(dd_value_int(f)); }

std::string dd_value_text(const dd_field& f)
{
    if (!inside_line(f)) return std::string();
    const auto& w = dd_line().words;
    int capacity = 2 * (f.size - 1);
    int length = std::clamp<int>(w[static_cast<std::size_t>(f.position)], 0, std::min(capacity, kDdMaxText));
    return dd_get_text(&w[static_cast<std::size_t>(f.position + 1)], length);
}

void dd_set_int(const dd_field& f, int value)
{
    if (!inside_line(f)) return;
    auto& w = dd_line().words;
    auto p = static_cast<std::size_t>(f.position);
    auto u = static_cast<std::uint32_t>(value);
    w[p] = static_cast<std::uint16_t>(u & 0xFFFF);
    w[p + 1] = static_cast<std::uint16_t>(u >> 16);
}

void dd_set_real(const dd_field& f, float value) { dd_set_int(f, std::bit_cast<int>(value)); }

void dd_set_text(const dd_field& f, std::string_view text)
{
    if (!inside_line(f)) return;
    auto& w = dd_line().words;
    int length = std::min({static_cast<int>(text.size()), 2 * (f.size - 1), kDdMaxText});
    w[static_cast<std::size_t>(f.position)] = static_cast<std::uint16_t>(length);
    dd_put_text(&w[static_cast<std::size_t>(f.position + 1)], text, 2 * (f.size - 1));
}
