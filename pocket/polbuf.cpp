// The polygon buffers: opening, release and selection, the walk to a polygon, point counts and
// points, growth, and the filling of a polygon from a stored contour. Every entry point but the
// opening, the releasing and the taking of a buffer refuses while the current buffer is not
// initialised.
#include "pocket/polbuf.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_polygon.hpp"

#include <climits>
#include <cstring>
#include <vector>

polbuf_state polbuf_block;

namespace {

constexpr int kGoOn = 0;
constexpr int kFailed = -1;
constexpr int kNoArray = -1;
constexpr int kWordBytes = 4;
constexpr int kModeGet = 1;
constexpr int kModeResetAll = 2;
polbuf_state& pb = polbuf_block;

void fail(const char* text, int& status)
{
    eroutc(text, 0);
    status = kFailed;
}

polbuf_descriptor& buffer(int index) { return pb.buffers[index]; }

bool index_valid(int index) { return index >= 0 && index < kPolbufCount; }

// The guard: the current buffer must be initialised.
bool not_ready(int& status)
{
    status = kGoOn;
    if (buffer(pb.current).handle != kPolbufNotInitialised) return false;
    POLBUF_PKG(status);
    return true;
}

word* words_of(const polbuf_descriptor& b) { return static_cast<word*>(mmcptr(b.handle)); }

// Word offset of polygon n's count word (n below 2: 0). Words past the end of the buffer read
// as empty polygons, as a growth fills them with zeros. -1 when a polygon before n runs past the
// end of the buffer (its count was not written by this package).
long walk(const polbuf_descriptor& b, int n)
{
    const word* w = words_of(b);
    long at = 0;
    for (int k = 1; k < n; ++k) {
        if (at >= b.capacity || w == nullptr) return at + (n - k);
        const long points = w[at] > 0 ? w[at] : 0;
        at += 1 + 2 * points;
        if (at > b.capacity) return -1;
    }
    return at;
}

// Offset of polygon n's count word in the current buffer when the word lies in the buffer.
bool count_word(int n, long& at, int& status)
{
    at = walk(buffer(pb.current), n);
    if (at >= 0 && at < buffer(pb.current).capacity) return true;
    fail("[POLBUF_PKG] POLYGON IS OUTSIDE THE BUFFER", status);
    return false;
}

// Offset of polygon n's count word when its count and points lie in the buffer; a count written
// past the buffer's room (not by this package) is refused.
bool whole_polygon(int n, long& at, int& status)
{
    if (!count_word(n, at, status)) return false;
    const polbuf_descriptor& b = buffer(pb.current);
    const long points = words_of(b)[at] > 0 ? words_of(b)[at] : 0;
    if (at + 1 + 2 * points <= b.capacity) return true;
    fail("[POLBUF_PKG] POLYGON IS OUTSIDE THE BUFFER", status);
    return false;
}

// Grows buffer b in whole steps until it holds `words` words.
void ensure_words(polbuf_descriptor& b, long words, int& status)
{
    status = kGoOn;
    if (words <= b.capacity) return;
    const long steps = (words - b.capacity + kPolbufStepWords - 1) / kPolbufStepWords;
    void* base = nullptr;
    if (steps <= INT_MAX / kPolbufStepWords)
        MM_RESIZE_ARRAY(b.handle, static_cast<int>(steps) * kPolbufStepWords, base, status);
    if (steps > INT_MAX / kPolbufStepWords || status < 0) {
        fail("[polbuf_set_point] DYNAMIC MEMORY ERROR - CANNOT ALLOCATE", status);
        return;
    }
    status = kGoOn;
    b.capacity += static_cast<int>(steps) * kPolbufStepWords;
}

}  // namespace

void POLBUF_PKG(int& status) { fail("[POLBUF_PKG] USED BEFORE INITIALIZED", status); }

void polbuf_open_all(int mode, int size, int& status)
{
    status = kGoOn;
    pb.current = 0;
    pb.in_use[0] = 1;
    for (int k = 0; k < kPolbufCount; ++k) {
        polbuf_descriptor& b = buffer(k);
        if (mode == kPolbufMark) {
            b.handle = kPolbufNotInitialised;
            continue;
        }
        b.capacity = size;
        b.handle = kNoArray;
        void* base = nullptr;
        MM_OPEN_ARRAY(kWordBytes, size, b.handle, base, status);
        if (status != 0) {
            b.handle = kNoArray;
            b.capacity = 0;
            return;
        }
        b.npol = 0;
        if (k > 0) pb.in_use[k] = 0;
    }
    if (mode == kModeResetAll) {
        pb.pair[0] = pb.pair[1] = 0.0f;
        pb.origin[0] = pb.origin[1] = 0.0f;
    }
}

void polbuf_release_pol(int index, int mode, int& status)
{
    status = kGoOn;
    if (!index_valid(index) || buffer(index).handle == kPolbufNotInitialised) {
        POLBUF_PKG(status);
        return;
    }
    polbuf_descriptor& b = buffer(index);
    if (mode == kPolbufClose && b.capacity > 0) {
        MM_CLOSE(b.handle, status);
        if (status != 0) return fail("[polbuf_release_pol] CLOSE DYNAMIC MEMORY ERROR", status);
        b.handle = kNoArray;
        b.capacity = 0;
    }
    pb.in_use[index] = 0;
}

void polbuf_release_all(int mode, int& status)
{
    status = kGoOn;
    for (int k = 0; k < kPolbufCount && status == 0; ++k) polbuf_release_pol(k, mode, status);
}

void polbuf_select(int mode, int& index, int& status)
{
    if (not_ready(status)) return;
    if (mode == kModeGet) {
        index = pb.current;
        return;
    }
    if (!index_valid(index)) return fail("[polbuf_select] WRONG BUFFER INDEX", status);
    pb.in_use[index] = 1;
    pb.current = index;
}

void POLB_PKG(int index, int& status)
{
    status = kGoOn;
    if (!index_valid(index)) return fail("[polbuf_select] WRONG BUFFER INDEX", status);
    if (pb.in_use[index] == 1) fail("[POLB_PKG] POLBUF IS ALLREADY IN USE", status);
    pb.in_use[index] = 1;
    pb.current = index;
}

word* polbuf_get_ptr(int mode, int n, int& status)
{
    long at = 0;
    if (not_ready(status) || !count_word(n, at, status)) return nullptr;
    return words_of(buffer(pb.current)) + at + (mode == kModeGet ? 0 : 1);
}

void polbuf_get_size(int& capacity, int& status)
{
    if (!not_ready(status)) capacity = buffer(pb.current).capacity;
}

void polbuf_grow(int k, int& status)
{
    if (not_ready(status)) return;
    polbuf_descriptor& b = buffer(pb.current);
    ensure_words(b, static_cast<long>(b.capacity) + static_cast<long>(k) * kPolbufStepWords, status);
}

void polbuf_set_np(int n, int count, int& status)
{
    if (not_ready(status)) return;
    polbuf_descriptor& b = buffer(pb.current);
    const long at = walk(b, n);
    const long points = count > 0 ? count : 0;
    if (at < 0 || at + 1 + 2 * points > b.capacity) return fail("[polbuf_set_np] BUFFER IS NOT LARGE ENOUGH", status);
    words_of(b)[at] = count;
}

void polbuf_get_np(int n, int& count, int& status)
{
    long at = 0;
    if (!not_ready(status) && whole_polygon(n, at, status)) count = words_of(buffer(pb.current))[at];
}

void polbuf_set_npol(int count, int& status)
{
    if (!not_ready(status)) buffer(pb.current).npol = count;
}

void polbuf_get_npol(int& count, int& status)
{
    if (!not_ready(status)) count = buffer(pb.current).npol;
}

void polbuf_set_point(int n, int i, float x, float y, int& status)
{
    if (not_ready(status)) return;
    if (i < 1) return fail("[polbuf_set_point] WRONG POINT NUMBER", status);
    polbuf_descriptor& b = buffer(pb.current);
    const long at = walk(b, n);
    if (at < 0) return fail("[POLBUF_PKG] POLYGON IS OUTSIDE THE BUFFER", status);
    ensure_words(b, at + 2L * i + 1, status);
    if (status != 0) return;
    word* w = words_of(b);
    w[at + 2L * i - 1] = real_to_word(x);
    w[at + 2L * i] = real_to_word(y);
}

void polbuf_get_point(int n, int i, float& x, float& y, int& status)
{
    long at = 0;
    if (not_ready(status) || !whole_polygon(n, at, status)) return;
    const word* w = words_of(buffer(pb.current));
    if (i < 1 || i > w[at]) return fail("[polbuf_get_point] WRONG POINT NUMBER", status);
    x = word_to_real(w[at + 2L * i - 1]);
    y = word_to_real(w[at + 2L * i]);
}

void polbuf_set_pair(float first, float second, int& status)
{
    if (not_ready(status)) return;
    pb.pair[0] = first;
    pb.pair[1] = second;
}

void polbuf_get_pair(float& first, float& second, int& status)
{
    if (not_ready(status)) return;
    first = pb.pair[0];
    second = pb.pair[1];
}

void polbuf_get_dval(float& x, float& y, int& status)
{
    if (not_ready(status)) return;
    x = pb.origin[0];
    y = pb.origin[1];
}

void polbuf_from_curve(int n, const int* contour, float value, int& status)
{
    if (not_ready(status)) return;
    std::vector<float> points;
    const int count = contour_polygon(contour, value, points);
    if (count < 1) {
        status = kFailed;
        return;
    }
    polbuf_descriptor& b = buffer(pb.current);
    const long at = walk(b, n);
    if (at < 0) return fail("[POLBUF_PKG] POLYGON IS OUTSIDE THE BUFFER", status);
    ensure_words(b, at + 1 + 2L * count, status);
    if (status != kGoOn) return;
    word* w = words_of(b);
    w[at] = count;
    std::memcpy(w + at + 1, points.data(), sizeof(float) * 2 * static_cast<std::size_t>(count));
}
