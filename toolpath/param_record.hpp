// Tagged parameter records (param_record: code, n + 1, deftyp, n values) and the segments of a
// procedure block (proc_segment: code, length, records), whose length word is written after the
// records. The procedure block writer, the machine table and the procedure callbacks write
// their items through these.
#pragma once

#include "host/words.hpp"

// Words a record adds besides its values: code, n + 1 and deftyp.
inline constexpr int kRecordHeadWords = 3;
// TPPUTNT/tpptntl: the record was written, but its deftyp is not one a record may carry.
inline constexpr int kUnknownDeftyp = -3;

// Writes one param_record. Status 0; kUnknownDeftyp when the deftyp is not 0, 1, 2, 8 or 10 (the
// record is reported and written all the same); -1 for a negative n (nothing written) or the
// first failing write.
void TPPUTNT(int where, int code, int n, int deftyp, const word* values, int& status);
// TPPUTNT, and the caller's word counter grows by n + 3 whenever the record was written.
void tpptntl(int where, int code, int n, int deftyp, const word* values, int& counter, int& status);

// Segment writing: tp_segment_begin writes the segment code and a length word 0 (except into the
// template file) and starts the counter at 0; the records then go through tpptntl with that
// counter; tp_segment_end back-patches the length word in the list when the counter is above 0.
void tp_segment_begin(int where, int code, int& counter, int& status);
void tp_segment_end(int where, int counter, int& status);
