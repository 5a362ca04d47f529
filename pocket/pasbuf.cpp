// The pass buffer: streams of 4-byte elements that grow in fixed steps until a write fits, and
// reads that never pass what was written. Area clearing writes its surface passes here and reads
// them back in order.
#include "pocket/pasbuf.hpp"

#include "host/vantu.hpp"

#include <cstring>
#include <string>

pasbuf_state pasbuf_block;

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kNoArray = -1;
constexpr int kElementBytes = 4;
constexpr int kWordsAPoint = 3;
// Growth steps in elements: the point streams, the count streams.
constexpr int kPointStep = 10000;
constexpr int kCountStep = 100;

pasbuf_state& pb = pasbuf_block;

void fail(const std::string& text, int& status)
{
    eroutc(text, 0);
    status = kFailed;
}

bool not_ready(int& status)
{
    status = kGoOn;
    if (pb.initialised == 1) return false;
    pasbuf_pkg(status);
    return true;
}

pasbuf_stream& stream(int k) { return pb.entry[pb.current].streams[k - 1]; }

void* element_at(const pasbuf_stream& s, int index)
{
    return static_cast<unsigned char*>(mmcptr(s.handle)) + static_cast<std::size_t>(index) * kElementBytes;
}

// Appends count elements to stream k, growing it until they fit.
void put(int k, const void* values, int count, int& status)
{
    pasbuf_stream& s = stream(k);
    while (status == 0 && s.capacity - s.written < count) pasbuf_allocate(k, status);
    if (status != 0 || count <= 0) return;
    std::memcpy(element_at(s, s.written), values, static_cast<std::size_t>(count) * kElementBytes);
    s.written += count;
}

// Copies count elements from the read cursor of stream k, moving it on when asked; a read past
// what was written is refused with the routine's message.
void get(int k, void* values, int count, bool move, const char* routine, int& status)
{
    pasbuf_stream& s = stream(k);
    if (count < 0 || s.cursor + count > s.written) return fail(std::string(routine) + ",INDEX TO BIG", status);
    s.last_read = s.cursor;
    if (count > 0) std::memcpy(values, element_at(s, s.cursor), static_cast<std::size_t>(count) * kElementBytes);
    if (move) s.cursor += count;
}

void empty_entry(pasbuf_entry& e)
{
    for (pasbuf_stream& s : e.streams) {
        int ignored = 0;
        if (s.handle != kNoArray) MM_CLOSE(s.handle, ignored);
        s = pasbuf_stream{};
    }
    e.npass = 0;
}

}  // namespace

void pasbuf_pkg(int& status) { fail("pasbuf_pkg, USED BEFORE INITIALIZED", status); }

void pasbuf_init(int mode, int n, int& status)
{
    status = kGoOn;
    if (mode == 1) {
        pb.initialised = 0;
        return;
    }
    pb.initialised = 1;
    pb.current = 0;
    if (n > kPasbufEntriesMax) return fail("pasbuf_init, to many entries in pasbuf array", status);
    pb.entries = n < 0 ? 0 : n;
    for (pasbuf_entry& e : pb.entry) empty_entry(e);
}

void pasbuf_allocate(int k, int& status)
{
    if (not_ready(status)) return;
    if (k < kStreamPoints || k > kStreamCounts) return fail("pasbuf_allocate, OPEN DYNAMIC MEMORY ERROR", status);
    pasbuf_stream& s = stream(k);
    const int step = k <= kStreamSecondPoints ? kPointStep : kCountStep;
    void* base = nullptr;
    if (s.capacity == 0)
        MM_OPEN_ARRAY(kElementBytes, step, s.handle, base, status);
    else
        MM_RESIZE_ARRAY(s.handle, step, base, status);
    if (status != 0) {
        if (s.capacity == 0) s.handle = kNoArray;
        return fail("pasbuf_allocate, OPEN DYNAMIC MEMORY ERROR", status);
    }
    s.capacity += step;
}

void pasbuf_pastyp(int mode, int& type, int& status)
{
    if (not_ready(status)) return;
    if (mode == kPasbufPut)
        put(kStreamTypes, &type, 1, status);
    else
        get(kStreamTypes, &type, 1, true, "pasbuf_pastyp", status);
}

void pasbuf_totstr(int mode, int& count, int& status)
{
    if (not_ready(status)) return;
    if (mode == kPasbufPut) {
        put(kStreamStrings, &count, 1, status);
    } else if (mode == kPasbufCountUp) {
        const pasbuf_stream& s = stream(kStreamStrings);
        if (s.written < 1) return fail("pasbuf_totstr,INDEX TO BIG", status);
        int last = 0;
        std::memcpy(&last, element_at(s, s.written - 1), sizeof last);
        ++last;
        std::memcpy(element_at(s, s.written - 1), &last, sizeof last);
    } else {
        get(kStreamStrings, &count, 1, true, "pasbuf_totstr", status);
    }
}

void pasbuf_totnp(int mode, int n, int* counts, int& status)
{
    if (not_ready(status)) return;
    if (n < 0 || (n > 0 && counts == nullptr)) return fail("pasbuf_totnp,INDEX TO BIG", status);
    if (mode == kPasbufPut)
        put(kStreamCounts, counts, n, status);
    else
        get(kStreamCounts, counts, n, true, "pasbuf_totnp", status);
}

void pasbuf_string(int mode, int second, int np, float* first_points, float* second_points, int& status)
{
    if (not_ready(status)) return;
    const int words = kWordsAPoint * np;
    if (np < 0 || (np > 0 && (first_points == nullptr || (second != 0 && second_points == nullptr))))
        return fail("pasbuf_string,INDEX TO BIG", status);
    if (mode == kPasbufPut) {
        put(kStreamPoints, first_points, words, status);
        if (status == 0 && second != 0) put(kStreamSecondPoints, second_points, words, status);
    } else {
        get(kStreamPoints, first_points, words, false, "pasbuf_string", status);
        if (status == 0 && second != 0) get(kStreamSecondPoints, second_points, words, false, "pasbuf_string", status);
    }
}

void pasbuf_pass(int mode, int second, int* counts, int& strings, int& type, float* first_points, float* second_points,
                 int& status)
{
    pasbuf_pastyp(mode, type, status);
    if (status == 0) pasbuf_totstr(mode, strings, status);
    if (status == 0) pasbuf_totnp(mode, strings, counts, status);
    if (status != 0) return;
    const bool reading = mode != kPasbufPut;
    if (reading) {
        stream(kStreamPoints).last_read = stream(kStreamPoints).cursor;
        stream(kStreamSecondPoints).last_read = stream(kStreamSecondPoints).cursor;
    }
    long offset = 0;
    for (int s = 0; s < strings && status == 0; ++s) {
        const int np = counts[s];
        pasbuf_string(mode, second, np, first_points ? first_points + offset : nullptr,
                      second_points ? second_points + offset : nullptr, status);
        offset += kWordsAPoint * np;
        if (status != 0 || !reading) continue;
        // The second stream is parallel to the first only where it was written.
        stream(kStreamPoints).cursor += kWordsAPoint * np;
        if (second != 0) stream(kStreamSecondPoints).cursor += kWordsAPoint * np;
    }
}

void pasbuf_npass(int mode, int& count, int& status)
{
    if (not_ready(status)) return;
    if (mode == kPasbufGet)
        count = pb.entry[pb.current].npass;
    else
        pb.entry[pb.current].npass = count;
}

void pasbuf_is_empty(int& flag, int& status)
{
    if (!not_ready(status)) flag = stream(kStreamPoints).written == 0 ? 1 : 0;
}

void pasbuf_new_pass(int type, int& status)
{
    int one = 1, none = 0;
    pasbuf_pastyp(kPasbufPut, type, status);
    if (status == 0) pasbuf_totstr(kPasbufPut, one, status);
    if (status == 0) pasbuf_totnp(kPasbufPut, 1, &none, status);
    if (status == 0) pb.entry[pb.current].npass += 1;
}

void pasbuf_new_string(int& status)
{
    int none = 0, ignored = 0;
    pasbuf_totstr(kPasbufCountUp, ignored, status);
    if (status == 0) pasbuf_totnp(kPasbufPut, 1, &none, status);
}
