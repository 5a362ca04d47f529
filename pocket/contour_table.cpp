// The module's contour table and record buffers, their registration with the host and the
// empty table of the parameter defaults.
#include "pocket/contour_table.hpp"

#include "host/vantu.hpp"

#include <algorithm>

contour_table contour_table_block;
contour_buffers contour_buffers_block;

int contour_count() { return std::clamp(contour_table_block.count, 0, kMaxContours); }

int contour_entries() { return contour_buffers_block.entries; }

bool contour_buffers_reserve(int entries)
{
    contour_buffers& b = contour_buffers_block;
    if (entries <= b.entries) return true;
    if (entries > kContourEntriesMost) return false;
    b.entries = std::min(std::max(entries, 2 * b.entries), kContourEntriesMost);
    const std::size_t words = kChainEntryWords * static_cast<std::size_t>(b.entries);
    for (contour_buffer* buffer : {&b.geometry, &b.wire, &b.work, &b.save, &b.gathered}) buffer->resize(words, 0);
    contour_table_register();
    return true;
}

// The end of the records laid one after another from entry 1 of the buffer, `records` of them.
static int records_end(contour_buffer& buffer, int records)
{
    int next = 1;
    for (int r = 0; r < records; ++r) {
        const int length = record_length(buffer_entry(buffer, next));
        if (length < 1) break;
        next += length;
    }
    return next - 1;
}

int contour_entries_used()
{
    const contour_table& t = contour_table_block;
    contour_buffers& b = contour_buffers_block;
    int used = records_end(b.gathered, std::clamp(t.gathered_count, 0, kMaxContours));
    if (t.count >= 1 && t.count <= kMaxContours) used = std::max(used, t.first_entry[t.count + 1] - 1);
    if (const int* extra = buffer_entry(b.geometry, t.extra_entry))
        used = std::max(used, t.extra_entry + record_length(extra) - 1);
    return used;
}

void contour_buffers_fit()
{
    contour_buffers& b = contour_buffers_block;
    const int kept = std::max(contour_entries_used(), kContourEntriesFirst);
    int entries = b.entries;
    while (entries / 2 >= kept) entries /= 2;
    if (entries == b.entries) return;
    b.entries = entries;
    const std::size_t words = kChainEntryWords * static_cast<std::size_t>(entries);
    for (contour_buffer* buffer : {&b.geometry, &b.wire, &b.work, &b.save, &b.gathered}) {
        buffer->resize(words);
        buffer->shrink_to_fit();
    }
    contour_table_register();
}

int* buffer_entry(contour_buffer& buffer, int e)
{
    if (e < 1 || kChainEntryWords * static_cast<std::size_t>(e) > buffer.size()) return nullptr;
    return buffer.data() + kChainEntryWords * static_cast<std::size_t>(e - 1);
}

static int* record_of(contour_buffer& buffer, int k)
{
    const contour_table& t = contour_table_block;
    if (k < 1 || k > kMaxContours) return nullptr;
    return buffer_entry(buffer, t.first_entry[k]);
}

int* geometry_record(int k) { return record_of(contour_buffers_block.geometry, k); }
int* wire_record(int k) { return record_of(contour_buffers_block.wire, k); }

int record_length(const int* record)
{
    int length = 0, status = 0;
    dfcgld(record, length, status);
    return status == 0 ? length : 0;
}

void contour_values_move(int from, int to)
{
    contour_table& t = contour_table_block;
    if (from < 1 || from > kMaxContours || to < 1 || to > kMaxContours) return;
    t.valid[to] = t.valid[from];
    t.offset[to] = t.offset[from];
    t.draft[to] = t.draft[from];
    t.type[to] = t.type[from];
    t.part_stock[to] = t.part_stock[from];
    t.kind[to] = t.kind[from];
    t.by_criteria[to] = t.by_criteria[from];
    t.pick_first(to) = t.pick_first(from);
    t.pick_last(to) = t.pick_last(from);
}

std::string order_numbers_text(int k, std::string_view separator, bool& several)
{
    const contour_table& t = contour_table_block;
    several = false;
    if (k < 1 || k > kMaxContours) return {};
    std::string first, last;
    int length = 0;
    cvi2t(t.order[k], first, length);
    several = t.order[k] < t.order[k + 1] - 1;
    if (!several) return first;
    cvi2t(t.order[k + 1] - 1, last, length);
    return first + std::string(separator) + last;
}

void contour_table_register()
{
    contour_table& t = contour_table_block;
    contour_buffers& b = contour_buffers_block;
    pkt_set_to_main(&t.count, t.pick_range.data(), t.first_entry.data(), t.offset.data(), t.draft.data(), t.type.data(),
                    t.part_stock.data(), t.kind.data(), t.by_criteria.data());
    cntbuf_set_to_main(b.wire.data(), b.geometry.data(), b.work.data());
    cntbuf_set_size(b.entries);
}

void contour_table_empty()
{
    contour_table& t = contour_table_block;
    t.count = 0;
    t.gathered_count = 0;
    for (int k = 1; k <= kMaxContours; ++k) {
        t.pick_first(k) = 0;
        t.pick_last(k) = -1;
        t.type[k] = 2;
        t.gathered_type[k] = 2;
        t.part_stock[k] = kPart;
        t.gathered_part_stock[k] = kPart;
        t.by_criteria[k] = 0;
    }
    t.draft_present = 0;
    t.kind[1] = kKindChain;
    t.first_entry[1] = 1;
    t.order[1] = 1;
}

contour_descriptor_table contour_descriptors()
{
    const contour_table& t = contour_table_block;
    contour_descriptor_table d;
    if (t.count >= 1 && t.count <= kMaxContours) d.items = t.first_entry[t.count + 1] - 1;
    d.extra = t.extra_entry;
    return d;
}
