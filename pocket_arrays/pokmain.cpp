// The pocket main arrays: the lane point store and the contour point array (host dynamic arrays
// of relative points), their allocation, the stores of the input preparation, and the readers
// that hand lanes back relative (the engine) or absolute (cutting and drawing).
#include "pocket_arrays/pokmain.hpp"

#include "host/vantu.hpp"
#include "pocket_arrays/pk_element.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pocket_state.hpp"

#include <algorithm>
#include <climits>
#include <vector>

pokmain_state pokmain_block;

namespace {

pokmain_state& pm = pokmain_block;

int entry_bytes() { return pm.mode == kPokmain3d ? 24 : 16; }

// Doubles per entry of the current mode (2 or 3; 0 when undefined).
int entry_doubles()
{
    if (pm.mode == kPokmainUndefined) return 0;
    return pm.mode == kPokmain3d ? 3 : 2;
}

// Size limit of the main array in entries.
int size_limit() { return INT_MAX / entry_bytes() / 4; }

bool dimension4() { return pocket_state_block.pocket_dimension == 4; }

// An undefined mode is set from the pocket dimension (pokinitdim reports a dimension that
// defines none); answers whether the mode is defined.
bool mode_defined(int& status)
{
    if (pm.mode != kPokmainUndefined) return true;
    int init = 0;
    pokinitdim(init);
    if (init == 0) return true;
    status = -1;
    return false;
}

double* main_entry(long index0)
{
    return pm.main_chunks[static_cast<std::size_t>(index0 >> kMainChunkShift)] +
           (index0 & (kMainChunkEntries - 1)) * entry_doubles();
}

// Calls visit(piece, done, count) for the pieces of a run of n entries from index0 (0-based) that
// lie in one chunk each; done counts the run's entries before the piece.
template <class Visit> void for_each_piece(long index0, long n, Visit visit)
{
    for (long done = 0; done < n;) {
        const long at = index0 + done;
        const long count = std::min(n - done, kMainChunkEntries - (at & (kMainChunkEntries - 1)));
        visit(main_entry(at), done, count);
        done += count;
    }
}

// The copy of a run that lies across a chunk's end, in the store's scratch.
[[gnu::noinline]] double* gathered_run(long index0, long n)
{
    const int k = entry_doubles();
    std::vector<double>& copy = pm.run_copy;
    copy.resize(static_cast<std::size_t>(n * k));
    for_each_piece(index0, n, [&](const double* piece, long done, long count) {
        std::copy_n(piece, count * k, copy.data() + done * k);
    });
    return copy.data();
}

// A run of n opened entries from index0 (0-based) as one block of doubles: the chunk's own entries
// when the run lies in one chunk (nearly always), otherwise a copy in the store's scratch, which
// store_run writes back after a change; the copy lasts until the next run is asked for. Null for
// an empty run.
inline double* main_run(long index0, long n)
{
    if (n <= 0) return nullptr;
    const long chunk = index0 >> kMainChunkShift;
    if (chunk == (index0 + n - 1) >> kMainChunkShift)
        return pm.main_chunks[static_cast<std::size_t>(chunk)] + (index0 & (kMainChunkEntries - 1)) * entry_doubles();
    return gathered_run(index0, n);
}

// Writes the scratch copy of a run back into the chunks.
[[gnu::noinline]] void scatter_run(long index0)
{
    const int k = entry_doubles();
    const std::vector<double>& copy = pm.run_copy;
    const long n = static_cast<long>(copy.size()) / k;
    for_each_piece(index0, n, [&](double* piece, long done, long count) {
        std::copy_n(copy.data() + done * k, count * k, piece);
    });
}

// Writes a run changed through main_run back into the chunks when it was the scratch copy.
inline void store_run(long index0, const double* run)
{
    if (run != nullptr && run == pm.run_copy.data()) scatter_run(index0);
}

double* contour_entry(int index0) { return pm.contour_base + static_cast<long>(index0) * entry_doubles(); }

// Opens or grows the contour array by one step; on failure closes both arrays.
void contour_grow(const char* routine, int& status)
{
    int host = 0;
    void* base = nullptr;
    if (pm.contour_capacity == 0) {
        MM_OPEN_ARRAY(entry_bytes(), kContourStep, pm.contour_handle, base, host);
    } else {
        MM_RESIZE_ARRAY(pm.contour_handle, kContourStep, base, host);
    }
    if (host != 0) {
        if (IsDebugMode()) eroutc(std::string(routine) + ", DYNAMIC MEMORY ERROR - CANNOT ALLOCATE", 0);
        int ignored = 0;
        POKREL(1, ignored);
        status = -1;
        return;
    }
    pm.contour_base = static_cast<double*>(mmcptr(pm.contour_handle));
    pm.contour_capacity += kContourStep;
}

bool is_marker_entry(const double* entry) { return pk_is_marker(entry[0]); }

// The copies between the array's blocks and the interleaved entries, one loop per entry width, so
// that no entry tests the mode or the array's z block again (a lane is copied at every store and
// read). A 3-D entry takes z from the array or 0.0; the array's z of a 2-D entry is 0.0.
void put_xy(const pokarr& array, double* entry)
{
    const double* x = array.x;
    const double* y = array.y;
    for (int i = 0; i < array.count; ++i) {
        entry[2 * i] = x[i];
        entry[2 * i + 1] = y[i];
    }
}

void put_xyz(const pokarr& array, double* entry)
{
    const double* x = array.x;
    const double* y = array.y;
    const double* z = array.z;
    for (int i = 0; i < array.count; ++i) {
        entry[3 * i] = x[i];
        entry[3 * i + 1] = y[i];
        entry[3 * i + 2] = z != nullptr ? z[i] : 0.0;
    }
}

void get_xy(const double* entry, int points, pokarr& array)
{
    double* x = array.x;
    double* y = array.y;
    for (int i = 0; i < points; ++i) {
        x[i] = entry[2 * i];
        y[i] = entry[2 * i + 1];
    }
    if (array.z != nullptr) std::fill_n(array.z, points, 0.0);
}

void get_xyz(const double* entry, int points, pokarr& array)
{
    double* x = array.x;
    double* y = array.y;
    double* z = array.z;
    for (int i = 0; i < points; ++i) {
        x[i] = entry[3 * i];
        y[i] = entry[3 * i + 1];
        if (z != nullptr) z[i] = entry[3 * i + 2];
    }
}

// A run of n entries (of the main or the contour array, from its first entry) into the pocket
// array, relative; in a pocket of dimension 4 the second half of the range holds the normals.
void get_entries(const double* entry, int n, pokarr& array, int& status)
{
    const int points = dimension4() ? n / 2 : n;
    pokarr_reset(array, points, status);
    if (status != 0) return;
    const int k = entry_doubles();
    if (k == 2)
        get_xy(entry, points, array);
    else
        get_xyz(entry, points, array);
    if (array.n != nullptr) {
        for (int i = 0; i < points; ++i) {
            const double* source = k == 3 && dimension4() ? entry + static_cast<long>(points + i) * k : kDefaultNormal;
            std::copy_n(source, 3, array.n + 3L * i);
        }
    }
    array.count = points;
}

}  // namespace

int pokmain_entry_doubles() { return entry_doubles(); }

void pokinitdim(int& status)
{
    if (status != -1) {
        const int dimension = pocket_state_block.pocket_dimension;
        if (dimension == 2) {
            pm.mode = kPokmain2d;
        } else if (dimension == 3 || dimension == 4) {
            pm.mode = kPokmain3d;
        } else {
            status = -1;
        }
    }
    if (status == -1) eroutc("[pokinitdim] UNABLE TO OPEN POCKET ARRAYS - DIMENSIONS NOT DEFINED", 0);
}

int pokmain_size_limit() { return size_limit(); }

namespace {

// The host zero-fills every entry it opens, and the room the lane engine asks for is an estimate
// rounded up to a power of ten, of which its lanes use between a half and a twentieth: the first
// chunk opens with an eighth of the room (at most a chunk) and doubles, within the room, when an
// entry beyond it is first read or written; further chunks open as they are reached. Entries read
// 0 until written either way.
constexpr int kFirstOpenShare = 8;

// A failed opening or growth of the main array: both arrays are given back.
void main_array_refused(int& status)
{
    if (IsDebugMode()) eroutc("[PokAllocMainArray] DYNAMIC MEMORY ERROR - CANNOT ALLOCATE", 0);
    int ignored = 0;
    POKREL(1, ignored);
    status = -1;
}

// Opens chunk c with `entries` entries, or grows it to them when it is open (only the last chunk
// grows); false when the host refuses.
bool open_chunk(long chunk, long entries)
{
    int host = 0;
    void* base = nullptr;
    if (chunk < static_cast<long>(pm.main_handles.size())) {
        const long open = pm.main_open - (chunk << kMainChunkShift);
        const int handle = pm.main_handles[static_cast<std::size_t>(chunk)];
        MM_RESIZE_ARRAY(handle, static_cast<int>(entries - open), base, host);
        if (host != 0) return false;
        pm.main_chunks[static_cast<std::size_t>(chunk)] = static_cast<double*>(mmcptr(handle));
        return true;
    }
    int handle = -1;
    MM_OPEN_ARRAY(entry_bytes(), static_cast<int>(entries), handle, base, host);
    if (host != 0) return false;
    pm.main_handles.push_back(handle);
    pm.main_chunks.push_back(static_cast<double*>(mmcptr(handle)));
    return true;
}

// Closes every chunk of the main array and forgets them; host answers the first refusal.
void close_main(int& host)
{
    for (const int handle : pm.main_handles) {
        int closed = 0;
        MM_CLOSE(handle, closed);
        if (host == 0) host = closed;
    }
    pm.main_handles.clear();
    pm.main_chunks.clear();
    pm.main_capacity = pm.main_open = 0;
}

// Opens the main array (entries 1 .. end) within the room; false when the host refuses. The first
// chunk doubles as the entries are reached, so a small pocket keeps a small array; a later one
// opens an eighth of a chunk and, when reached again, the whole chunk (or to the room's end), so
// that the last chunk is seldom zero-filled beyond what the lanes use.
[[gnu::noinline]] bool open_main_to(long end, int& status)
{
    if (end > pm.main_capacity) {
        status = -1;
        return false;
    }
    long target = end;
    if (pm.main_open < kMainChunkEntries) target = std::max(target, 2L * pm.main_open);
    target = std::min<long>(target, pm.main_capacity);
    while (pm.main_open < target) {
        const long chunk = pm.main_open >> kMainChunkShift;  // the chunk of the next entry
        const long start = chunk << kMainChunkShift;
        const long chunk_end = std::min<long>(start + kMainChunkEntries, pm.main_capacity);
        long open = chunk_end;  // an open chunk reached again fills up
        if (chunk == 0)
            open = std::min(target, chunk_end);
        else if (chunk == static_cast<long>(pm.main_handles.size()))
            open = std::min(chunk_end, std::max(target, start + kMainChunkEntries / kFirstOpenShare));
        if (!open_chunk(chunk, open - start)) {
            main_array_refused(status);
            return false;
        }
        pm.main_open = static_cast<int>(open);
    }
    return true;
}

inline bool main_open_to(long end, int& status) { return end <= pm.main_open || open_main_to(end, status); }

}  // namespace

void PokAllocMainArray(int& n, int keep, int& status)
{
    status = 0;
    if (pm.mode == kPokmainUndefined) {
        pokinitdim(status);
        if (status != 0) return;
    }
    if (n <= pm.main_capacity) return;
    n = std::min(n, size_limit());
    const int growth = n - pm.main_capacity;
    if (growth < 1) {
        status = -1;
        return;
    }
    // A kept array grows its room only: its host array opens further as the entries are reached.
    if (pm.main_capacity > 0 && keep) {
        pm.main_capacity = n;
        return;
    }
    int host = 0;
    close_main(host);
    const int open = std::min(kMainChunkEntries, std::max(1, n / kFirstOpenShare));
    if (host == 0 && !open_chunk(0, open)) host = -1;
    if (host != 0) {
        main_array_refused(status);
        return;
    }
    pm.main_capacity = n;
    pm.main_open = open;
}

void pokmain_grow(int n, int& status)
{
    status = 0;
    if (n <= pm.main_capacity) return;
    int capacity = pm.main_capacity + ((n - pm.main_capacity) / kPokmainStep + 1) * kPokmainStep;
    PokAllocMainArray(capacity, 1, status);
    if (status != 0) {
        status = kPokmainGrowFailed;
        return;
    }
    pocket_box_block.main_size = pm.main_capacity;
}

void POKCPT(const double* point, int& index, int& status)
{
    if (status != 0) return;
    if (!mode_defined(status)) return;
    if (index < 1 || point == nullptr) {
        status = -1;
        return;
    }
    while (index - 1 >= pm.contour_capacity) {
        contour_grow("POKCPT", status);
        if (status != 0) return;
    }
    double* entry = contour_entry(index - 1);
    for (int k = 0; k < entry_doubles(); ++k) entry[k] = point[k] - pm.origin[k];
    ++index;
}

void POKCAR(double radius, double direction, int& index, int& status)
{
    if (status != 0) return;
    if (!mode_defined(status)) return;
    if (index < 1) {
        status = -1;
        return;
    }
    while (index - 1 >= pm.contour_capacity - 2) {
        contour_grow("POKCAR", status);
        if (status != 0) return;
    }
    double* marker = contour_entry(index - 1);
    double* record = contour_entry(index);
    const int k = entry_doubles();
    std::fill(marker, marker + k, 0.0);
    std::fill(record, record + k, 0.0);
    marker[0] = kArcMarker;
    record[0] = radius;
    record[1] = direction;
    index += 2;
}

void pokmain_get_cpt(int index, double& x, double& y)
{
    x = y = 0.0;
    if (pm.mode == kPokmainUndefined || index < 0 || index >= pm.contour_capacity) return;
    const double* entry = contour_entry(index);
    x = entry[0];
    y = entry[1];
}

void POKCPY(int n, int reallocations, int contour_points, int& status)
{
    status = 0;
    if (reallocations > kPokcpyMaxReallocations) {
        eroutc("POKCPY, DYNAMIC MEMORY ERROR - TOO MANY REALLOCATIONS", 0);
        status = -1;
        return;
    }
    int size = n;
    PokAllocMainArray(size, 0, status);
    if (status != 0) return;
    // Never copy more than either array holds.
    const int copy = std::clamp(contour_points, 0, std::min(pm.contour_capacity, pm.main_capacity));
    if (copy <= 0 || !main_open_to(copy, status)) return;
    double* run = main_run(0, copy);
    std::copy(pm.contour_base, pm.contour_base + static_cast<long>(copy) * entry_doubles(), run);
    store_run(0, run);
}

void POKREL(int close, int& status)
{
    status = 0;
    if (close == 1) {
        int host = 0;
        close_main(host);
        if (host == 0 && pm.contour_capacity > 0) MM_CLOSE(pm.contour_handle, host);
        if (host != 0) {
            eroutc("POKREL, CLOSE DYNAMIC MEMORY ERROR", 0);
            status = -1;
            return;
        }
    }
    pm.mode = kPokmainUndefined;
    pm.main_handles.clear();
    pm.main_chunks.clear();
    pm.run_copy = {};
    pm.contour_handle = -1;
    pm.contour_base = nullptr;
    pm.main_capacity = pm.contour_capacity = pm.main_open = 0;
}

void pokmain_set_origin(double x, double y, double z, int& capacity)
{
    pm.origin[0] = x;
    pm.origin[1] = y;
    pm.origin[2] = z;
    capacity = pm.main_capacity;
}

void pokmain_dup_pnts(int n, int start, int& status)
{
    status = 0;
    if (n < 0 || start < 0) {
        status = -1;
        return;
    }
    if (!mode_defined(status)) return;
    // The caller promises the room; refuse rather than write past the array.
    if (start + static_cast<long>(n) > pm.main_capacity || n > pm.main_capacity) {
        status = -1;
        return;
    }
    if (!main_open_to(start + static_cast<long>(n), status)) return;
    const int k = entry_doubles();
    const double* from = main_run(0, n);
    const std::vector<double> copy(from, from + static_cast<long>(n) * k);
    double* to = main_run(start, n);
    std::copy(copy.begin(), copy.end(), to);
    store_run(start, to);
}

void pokmain_put_pnts(const pokarr& array, int first, int& status)
{
    status = 0;
    if (array.count <= 0 || first < 1 || array.dimension < 2) {
        status = -1;
        return;
    }
    if (!mode_defined(status)) return;
    const bool normals = array.dimension == 4;
    const long needed = first + static_cast<long>(array.count) * (normals ? 2 : 1);
    if (needed > size_limit()) {
        status = -1;
        return;
    }
    pokmain_grow(static_cast<int>(needed), status);
    if (status != 0) return;
    if (!main_open_to(needed - 1, status)) {
        status = kPokmainGrowFailed;
        return;
    }
    const int k = entry_doubles();
    const long entries = needed - first;
    double* run = main_run(first - 1, entries);
    double* entry = run;
    if (k == 2)
        put_xy(array, entry);
    else
        put_xyz(array, entry);
    entry += static_cast<long>(array.count) * k;
    if (normals && k == 3) {
        for (int i = 0; i < array.count; ++i, entry += k) std::copy_n(pokarr_normal(array, i), 3, entry);
    }
    store_run(first - 1, run);
}

void pokmain_get_pnts(int n, int first, pokarr& array, int& status)
{
    status = 0;
    if (n < 0 || first < 1) {
        status = -1;
        return;
    }
    if (!mode_defined(status)) return;
    if (!main_open_to(first - 1 + static_cast<long>(n), status)) return;
    get_entries(main_run(first - 1, n), n, array, status);
}

void pokmain_get_contour_pnts(int n, int first, pokarr& array, int& status)
{
    status = 0;
    if (n < 0 || first < 1 || !mode_defined(status)) {
        status = -1;
        return;
    }
    if (first - 1 + static_cast<long>(n) > pm.contour_capacity) {
        status = -1;
        return;
    }
    get_entries(contour_entry(first - 1), n, array, status);
}

void pokmain_reverse(int n, int first, int& status)
{
    status = 0;
    if (n < 0) return;
    if (!mode_defined(status)) return;
    if (first < 1 || !main_open_to(first - 1 + static_cast<long>(n), status)) {
        status = -1;
        return;
    }
    const int mode = pm.mode == kPokmain2d ? 2 : std::clamp(pocket_state_block.pocket_dimension, 3, 4);
    double* run = main_run(first - 1, n);
    records_reverse(mode, run, mode == 4 ? n / 2 : n, status);
    store_run(first - 1, run);
}

namespace {

// Range check of a reader: entries first .. end - 1 inside the main array.
bool range_ok(int first, int end) { return first >= 1 && end >= first && end - 1 <= pm.main_capacity; }

// Writes entry i of the output, absolute (origin added to points and centres, not to markers and
// radius records); z for the marker and radius entries as for points.
struct absolute_writer {
    pokarr& out;
    void put(int i, double x, double y, double z)
    {
        out.x[i] = x;
        out.y[i] = y;
        if (out.z != nullptr) out.z[i] = z;
        if (out.n != nullptr) std::copy_n(kDefaultNormal, 3, out.n + 3L * i);
    }
};

double stored_z(const double* entry) { return (pm.mode == kPokmain3d ? entry[2] : 0.0) + pm.origin[2]; }

}  // namespace

void pokmain_to_arr(int forward, int first, int end, pokarr& array, int& status)
{
    status = 0;
    if (!mode_defined(status)) return;
    if (!range_ok(first, end) || !main_open_to(end - 1, status)) {
        status = -1;
        return;
    }
    const int n = end - first;
    pokarr_reset(array, n, status);
    if (status != 0) return;
    absolute_writer w{array};
    const double ox = pm.origin[0], oy = pm.origin[1];
    const int k = entry_doubles();
    const double* run = main_run(first - 1, n);
    for (int i = 0; i < n; ++i) {
        const double* e = run + static_cast<long>(i) * k;
        if (is_marker_entry(e) && i + 3 < n) {
            const double* r = e + k;
            const double* c = e + 2 * k;
            w.put(i, kArcMarker, 0.0, stored_z(e));
            w.put(i + 1, r[0], r[1], stored_z(r));
            w.put(i + 2, c[0] + ox, c[1] + oy, stored_z(c));
            i += 2;  // the end point follows as an ordinary entry
            continue;
        }
        w.put(i, e[0] + ox, e[1] + oy, stored_z(e));
    }
    array.count = n;
    if (!forward) pokarr_reverse(array);
}

void pokmain_get_xy(int forward, int first, int end, double* list, int room, int& status)
{
    status = 0;
    if (!mode_defined(status)) return;
    if (!range_ok(first, end) || list == nullptr || room < end - first) {
        status = -1;
        return;
    }
    pokarr work;
    pokarr_init(2, work);
    pokmain_to_arr(forward, first, end, work, status);
    if (status == 0) {
        for (int i = 0; i < work.count; ++i) {
            list[2 * i] = work.x[i];
            list[2 * i + 1] = work.y[i];
        }
    }
    pokarr_free(work);
}

void pokmain_get_xyz(int forward, int first, int end, double* list, double* z_list, int room, int& status)
{
    status = 0;
    if (!mode_defined(status)) return;
    // In a pocket with normals a range holds its points first and their normals after them.
    const int points = dimension4() ? (end - first) / 2 : end - first;
    const int stop = first + points;
    if (!range_ok(first, stop) || list == nullptr || z_list == nullptr || room < points) {
        status = -1;
        return;
    }
    pokarr work;
    pokarr_init(3, work);
    pokmain_to_arr(forward, first, stop, work, status);
    if (status == 0) {
        for (int i = 0; i < work.count; ++i) {
            list[2 * i] = work.x[i];
            list[2 * i + 1] = work.y[i];
            z_list[i] = work.z[i];
        }
    }
    pokarr_free(work);
}

void pokmain_get_2d(int n, int first, double* x, double* y, int room, int& status)
{
    status = 0;
    if (x == nullptr || y == nullptr || room < 0) {
        status = -1;
        return;
    }
    // The view starts empty but spans the caller's whole lists, so that filling n entries stays
    // within what the caller has and more than that is refused instead of written past.
    pokarr view;
    pokarr_init_static(2, x, y, nullptr, nullptr, 0, room, view, status);
    if (status != 0) return;
    pokmain_get_pnts(n, first, view, status);
}
