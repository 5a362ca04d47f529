// The pocket procedure's contours: up to 700 contours (curve chains, planar faces, loops of
// solids) with their offset, draft angle, contour type and part/stock choice, the buffers that
// hold their contour-data records, and the gathered curves that the region build and pocket
// initialisation read. The host's contour services read and change the arrays in place
// (pkt_set_to_main), so their element types, order and 1-based indexing are an interface.
// The contour dialogs, the upkeep routines, the contour parameters, the direction arrows and the
// pocket's callbacks work on it.
#pragma once

#include "host/vantu_contours.hpp"

#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kMaxContours = kContourTableMost;  // 700
// The record buffers start with 4500 entries of 8 bytes each and grow with the contours picked.
inline constexpr int kContourEntriesFirst = kContourBufferEntries;
// The most entries they grow to: four million curves, far more than a part can hold (a buffer of
// them is 32 MB); a count read from a stored procedure beyond it is refused.
inline constexpr int kContourEntriesMost = 1 << 22;

// Contour kinds (how a contour was defined).
inline constexpr int kKindChain = 1, kKindFace = 2, kKindLoop = 3;
// Part/stock values.
inline constexpr int kPart = 1, kStock = 2;

// Per-contour arrays are indexed 1 .. count (element 0 unused); first entries and order numbers
// run to count + 1.
template <class T> using per_contour = std::array<T, kMaxContours + 1>;
template <class T> using per_contour_end = std::array<T, kMaxContours + 2>;

struct contour_table {
    int count = 0;           // 0 to 700
    int gathered_count = 0;  // records of the gathered buffer; 0 with an empty table
    // Positions in the host selection list of contour k's curves: words 2k and 2k + 1;
    // (0, -1) when the contour is not in the list.
    std::array<int, 2 * (kMaxContours + 1)> pick_range{};
    per_contour_end<int> first_entry{};  // F[1] = 1, F[k + 1] = F[k] + length of record k
    per_contour<int> valid{};            // 1 once defined; 0 when its geometry has gone
    per_contour<float> offset{};         // code 41
    per_contour<float> draft{};          // code 142, degrees
    per_contour<int> type{};             // code 263
    per_contour<int> part_stock{};       // kPart or kStock (GUIDE with machining type 39)
    int draft_present = 0;               // 1 when some gathered contour has a draft angle
    per_contour<int> kind{};             // kKindChain, kKindFace, kKindLoop
    per_contour_end<int> order{};        // S[1] = 1; S[k + 1] = S[k] + 1, or + a face's loops
    per_contour<int> by_criteria{};      // 1 found by the geometry criteria
    per_contour<int> selected{};         // selection mark of the contour list dialog
    int selection_count = 1;             // contours selected in the list dialog (1: one shown)
    // The gathered contours: one per record of the gathered buffer, from its owning contour.
    per_contour<float> gathered_offset{};
    per_contour<float> gathered_draft{};
    per_contour<int> gathered_type{};
    per_contour<int> gathered_part_stock{};
    int contours_valid = 0;  // 0: contours changed in the model and must be redone first
    int data_changed = 0;    // 1: exploding a loop changed its record, which was rewritten
    int extra_entry = 0;     // entry of an extra contour's record in the geometry buffer; 0 none

    int& pick_first(int k) { return pick_range[2 * static_cast<std::size_t>(k)]; }
    int& pick_last(int k) { return pick_range[2 * static_cast<std::size_t>(k) + 1]; }
};

// The record buffers, entry 1 at word 0, kChainEntryWords words an entry; all five hold
// `entries` entries. A growth moves them: addresses taken before it are stale.
using contour_buffer = std::vector<int>;
struct contour_buffers {
    int entries = kContourEntriesFirst;
    contour_buffer geometry = contour_buffer(kChainEntryWords * kContourEntriesFirst);  // contour_geom_buf: as picked
    contour_buffer wire = contour_buffer(kChainEntryWords * kContourEntriesFirst);      // contour_wire_buf: exploded
    contour_buffer work = contour_buffer(kChainEntryWords * kContourEntriesFirst);      // contour_work_buf: scratch
    contour_buffer save = contour_buffer(kChainEntryWords * kContourEntriesFirst);      // save buffer of the compaction
    contour_buffer gathered = contour_buffer(kChainEntryWords * kContourEntriesFirst);  // contour_gathered_buf
};

extern contour_table contour_table_block;
extern contour_buffers contour_buffers_block;

// The count, kept within 0 .. 700 for the loops over the table.
int contour_count();
// Entries each record buffer holds now.
int contour_entries();
// Grows every record buffer to hold at least `entries` entries (at least doubling them, new
// entries zero) and registers the moved buffers with the host. False, with nothing changed, for
// more than kContourEntriesMost.
bool contour_buffers_reserve(int entries);
// Entries the records in use reach: the contours' records, the gathered records and an extra
// contour's record.
int contour_entries_used();
// Halves the record buffers while the records in use fill at most half of them, down to the first
// size, and registers the moved buffers with the host: picking one loop curve by curve brings a
// whole-loop record per pick, which the removal of duplicates takes back, and the pocket then runs
// without the room they took. Addresses taken before it are stale.
void contour_buffers_fit();
// Runs write(room) with the room from entry `at` to the end of the buffers, and again with the
// buffers doubled while it answers kRecordNoRoom: the host's record writers (gathering, faces,
// loops, the contours of the criteria) refuse records that do not fit without writing anything.
// Answers the write's last status.
template <class Write> int with_room(int at, Write write)
{
    for (;;) {
        const int status = write(contour_entries() + 1 - at);
        if (status != kRecordNoRoom || !contour_buffers_reserve(2 * contour_entries())) return status;
    }
}
// The same for a caller's own buffer of records, out (resized), from the record buffers' entries.
template <class Write> int with_local_room(std::vector<int>& out, Write write)
{
    for (int room = contour_entries();; room *= 2) {
        out.resize(kChainEntryWords * static_cast<std::size_t>(room));
        const int status = write(room, out.data());
        if (status != kRecordNoRoom || room >= kContourEntriesMost) return status;
    }
}
// Address of entry e (1-based) of a buffer; null for an entry outside it.
int* buffer_entry(contour_buffer& buffer, int e);
// Record of contour k in the geometry and the wire buffer; null when k or its first entry lies
// outside the table.
int* geometry_record(int k);
int* wire_record(int k);
// Length in entries of the record at the address (dfcgld); 0 when it begins no record.
int record_length(const int* record);

// Copies contour `from`'s per-contour values (valid flag, offset, draft angle, type, part/stock,
// kind, by-criteria flag and pick range) to position `to`.
void contour_values_move(int from, int to);

// Contour k's order numbers as the user sees them: "5", or first, separator, last ("2:4") for a
// planar face of several loops; several answers which.
std::string order_numbers_text(int k, std::string_view separator, bool& several);

// Registers the table and its buffers with the host's contour services.
void contour_table_register();
// The empty table of the parameter defaults: count 0, gathered count 0, every pick range
// (0, -1), contour type 2, part/stock 1, by-criteria 0 (the gathered arrays alike), draft-present
// flag 0, first kind 1, first entry 1 and first order number 1.
void contour_table_empty();

// Where the procedure's contour descriptors lie for the single-curve check: the records of the
// geometry buffer from entry 1 up to `items`, and the extra contour's entry (0 none).
struct contour_descriptor_table {
    int items = 0;
    int extra = 0;
};
contour_descriptor_table contour_descriptors();
