// The loop tree: loop records in a host dynamic array grown 10 at a time, each with its own
// father array (grown 10 at a time) and segment array (100 records of 30 words at first, grown by
// 100), and the releases of the loop table and of the entry-move code's node arrays.
#include "pocket_arrays/loop_tree.hpp"

#include "host/vantu.hpp"

#include <algorithm>

loop_table loop_table_block;
node_arrays node_arrays_block;

namespace {

loop_table& lt = loop_table_block;

loop_record* records() { return lt.handle == -1 ? nullptr : static_cast<loop_record*>(mmcptr(lt.handle)); }

loop_record* find(int key)
{
    loop_record* r = records();
    for (int i = 0; r != nullptr && i < lt.count; ++i)
        if (r[i].key == key) return &r[i];
    return nullptr;
}

bool has_father(const loop_record& loop, int father)
{
    const int* f = loop_fathers(loop);
    for (int i = 0; f != nullptr && i < loop.father_count; ++i)
        if (f[i] == father) return true;
    return false;
}

void add_father(loop_record& loop, int father, int& status)
{
    father_aloc(loop, status);
    if (status != 0) return;
    static_cast<int*>(mmcptr(loop.father_handle))[loop.father_count++] = father;
}

void put_double(word* w, int first_word, double value) { double_to_words(value, w + first_word - 1); }

// The defaults of a new loop's first segment record (words 1-based; -999.0 is "not set yet").
void first_segment(word* w, int value)
{
    w[1] = static_cast<word>(-1);
    w[2] = 1;
    put_double(w, 5, 0.0);
    w[6] = 1;
    put_double(w, 9, 0.0);
    put_double(w, 11, -999.0);
    put_double(w, 13, -999.0);
    w[14] = 0;
    w[15] = static_cast<word>(-1);
    w[16] = static_cast<word>(value);
    put_double(w, 19, 1.0);
    w[20] = 1;
    put_double(w, 23, 0.0);
    put_double(w, 25, -999.0);
    put_double(w, 27, -999.0);
    w[28] = 0;
}

// Closes an open sub-array; false (with the message) on a failed close.
bool close_array(int& handle, const char* message, int& status)
{
    if (handle == -1) return true;
    MM_CLOSE(handle, status);
    if (status != 0) {
        eroutc(message, 0);
        return false;
    }
    handle = -1;
    return true;
}

}  // namespace

const loop_record* loop_at(int i) { return i >= 0 && i < lt.count ? &records()[i] : nullptr; }
const loop_record* loop_of_key(int key) { return find(key); }
const int* loop_fathers(const loop_record& loop)
{
    return loop.father_handle == -1 ? nullptr : static_cast<const int*>(mmcptr(loop.father_handle));
}
const word* loop_segments(const loop_record& loop)
{
    return loop.segment_handle == -1 ? nullptr : static_cast<const word*>(mmcptr(loop.segment_handle));
}

void loop_aloc(int& status)
{
    status = 0;
    if (lt.count % kLoopStep != 0 && lt.handle != -1) return;
    void* base = nullptr;
    if (lt.handle == -1) {
        MM_OPEN_ARRAY(sizeof(loop_record), kLoopStep, lt.handle, base, status);
        if (status != 0) lt.handle = -1;
    } else if (lt.count >= MM_CUR_N_ENTRIES(lt.handle)) {
        MM_RESIZE_ARRAY(lt.handle, kLoopStep, base, status);
    }
    if (status != 0) {
        eroutc("loop_aloc,dynamic memory error", 0);
        status = -1;
    }
}

void father_aloc(loop_record& loop, int& status)
{
    status = 0;
    void* base = nullptr;
    if (loop.father_handle == -1) {
        MM_OPEN_ARRAY(sizeof(int), kFatherStep, loop.father_handle, base, status);
        if (status != 0) loop.father_handle = -1;
        loop.father_reserved = 0;
    } else if (loop.father_count >= MM_CUR_N_ENTRIES(loop.father_handle)) {
        MM_RESIZE_ARRAY(loop.father_handle, kFatherStep, base, status);
    }
    if (status != 0) {
        eroutc("father_aloc,dynamic memory error", 0);
        status = -1;
    }
}

void seg_in_loop_aloc(int segment_count, int& handle, int& status)
{
    status = 0;
    void* base = nullptr;
    int host = 0;
    if (handle == -1) {
        MM_OPEN_ARRAY(kSegmentWords * 4, kSegmentStep, handle, base, host);
        if (host != 0) handle = -1;
        status = 1;
    } else if (segment_count >= MM_CUR_N_ENTRIES(handle)) {
        MM_RESIZE_ARRAY(handle, kSegmentStep, base, host);
        status = 1;
    }
    if (host != 0) {
        eroutc("seg_in_loop_aloc,dynamic memory error", 0);
        status = -1;
    }
}

void seg_in_loop_ensure(loop_record& loop, int& status)
{
    seg_in_loop_aloc(loop.segment_count, loop.segment_handle, status);
    if (status < 0) return;
    loop.segment_reserved = 0;
    status = 0;
}

void loop_key_exists(int key, int& found) { found = find(key) != nullptr ? 1 : 0; }

void loop_create(int id, int key, int value, int father, int& status)
{
    status = 0;
    if (find(key) != nullptr) return;
    loop_aloc(status);
    if (status != 0) return;
    loop_record& loop = records()[lt.count];
    loop = loop_record{kLoopNew, id, key, 0, -1, -1, 0, 0, -1, -1, 0};
    add_father(loop, father, status);
    if (status == 0) seg_in_loop_ensure(loop, status);
    if (status != 0) {
        int ignored = 0;
        close_array(loop.father_handle, "loop_create,Close dynamic memory error", ignored);
        close_array(loop.segment_handle, "loop_create,Close dynamic memory error", ignored);
        return;
    }
    first_segment(static_cast<word*>(mmcptr(loop.segment_handle)), value);
    loop.segment_count = 1;
    ++lt.count;
}

void loop_copy_fathers(int key_a, int key_b, int& status)
{
    status = 0;
    const loop_record* a = find(key_a);
    loop_record* b = find(key_b);
    if (a == nullptr || b == nullptr) {
        status = -1;
        return;
    }
    const int fathers = a->father_count;
    for (int i = 0; i < fathers && status == 0; ++i) {
        const int father = loop_fathers(*a)[i];  // fetched again: b's growth may not move a's array
        if (!has_father(*b, father)) add_father(*b, father, status);
    }
}

void loop_mark_merged(int key)
{
    loop_record* r = records();
    for (int i = 0; r != nullptr && i < lt.count; ++i)
        if (r[i].key == key) r[i].state = kLoopMerged;
}

void release_loop(int& status)
{
    status = 0;
    loop_record* r = records();
    for (int i = 0; r != nullptr && i < lt.count; ++i) {
        if (!close_array(r[i].father_handle, "release_loop,Close dynamic memory error", status)) return;
        r[i].father_reserved = -1;
        if (!close_array(r[i].segment_handle, "release_loop,Close dynamic memory error", status)) return;
        r[i].segment_reserved = -1;
    }
    if (!close_array(lt.handle, "release_loop,Close dynamic memory error", status)) return;
    lt.count = 0;
}

namespace {
void release_nodes(int& handle, const char* message, int& status)
{
    status = 0;
    node_arrays& n = node_arrays_block;
    if (n.count <= 0 || handle == -1) return;
    word* nodes = static_cast<word*>(mmcptr(handle));
    const int entries = std::min(n.count, MM_CUR_N_ENTRIES(handle));
    for (int i = 0; nodes != nullptr && i < entries; ++i) {
        int sub = static_cast<int>(nodes[kNodeWords * i + kNodeHandle]);
        if (!close_array(sub, message, status)) return;
        nodes[kNodeWords * i + kNodeHandle] = static_cast<word>(-1);
        nodes[kNodeWords * i + kNodeReserved] = static_cast<word>(-1);
    }
    close_array(handle, message, status);
}
}  // namespace

void node_release(int& status)
{
    release_nodes(node_arrays_block.handle, "node_release,Close dynamic memory error", status);
}

void copy_node_release(int& status)
{
    release_nodes(node_arrays_block.copy_handle, "copy_node_release,Close dynamic memory error", status);
}
