// Host dynamic arrays (MM_OPEN_ARRAY, MM_RESIZE_ARRAY, MM_CLOSE, mmcptr, MM_CUR_N_ENTRIES), fixed-size
// record arrays (MM_OPEN_FDS, MM_FALLOC) and plain blocks (DM_ALLOC, DM_REALLOC, DM_FREE). Every growth moves an array
// and every release poisons the old block and parks it in a bounded quarantine, so a caller that kept a stale base
// pointer reads garbage (and AddressSanitizer reports the read outright). Misuse is refused with
// a negative status and one host error line; the end-of-run report lists what was never released.
#include "host/vantu_memory.hpp"

#include "host/control/memory.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/message_log.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define VANTU_POISON(address, bytes) ASAN_POISON_MEMORY_REGION(address, bytes)
#define VANTU_UNPOISON(address, bytes) ASAN_UNPOISON_MEMORY_REGION(address, bytes)
#else
#define VANTU_POISON(address, bytes) ((void)(address), (void)(bytes))
#define VANTU_UNPOISON(address, bytes) ((void)(address), (void)(bytes))
#endif

namespace {

constexpr int kRefused = -1;   // bad arguments, or a handle that is not open
constexpr int kNoMemory = -2;  // the request is too large or the system has no memory
constexpr int kNoHandle = 0;   // handle answered by a failed open; real handles start at 1

// Largest array or block the stand-in hands out: far above anything the module needs, and low
// enough that a wrong count fails cleanly instead of exhausting the machine.
constexpr std::int64_t kMaxBytes = std::int64_t{1} << 30;

struct array_record {
    int element_size;
    int count;
    unsigned char* base;
};

// A fixed-size record array: blocks of block_records records each, never moved; count records
// handed out so far.
struct record_array {
    int record_size;
    int block_records;
    int count;
    std::vector<unsigned char*> blocks;
};

struct block_record {
    std::size_t bytes;
    long serial;  // order of allocation, for the end-of-run report
};

struct released_block {
    unsigned char* address;
    std::size_t bytes;
};

struct memory_state {
    std::map<int, array_record> arrays;
    std::map<int, record_array> record_arrays;  // handles shared with the arrays
    int next_handle = 1;
    std::map<const void*, block_record> blocks;
    long next_serial = 1;
    std::deque<released_block> quarantine;
    std::size_t quarantine_bytes = 0;
};

// Never destroyed, so module code running in static destructors can still close its arrays.
memory_state& state()
{
    static memory_state* s = new memory_state;
    return *s;
}

void refuse(std::string_view call, const std::string& arguments, const std::string& reason, int status)
{
    vantu::record_host_error(std::string(call) + ", " + reason);
    vantu::trace_call(call, arguments, status);
}

// Bytes of count elements of element_size, or -1 when the product is out of range.
std::int64_t checked_bytes(std::int64_t element_size, std::int64_t count)
{
    if (element_size < 1 || count < 0) return -1;
    if (count > kMaxBytes / element_size) return -1;
    return element_size * count;
}

// A zero-byte request still gets a distinct address, as malloc-like hosts do.
unsigned char* allocate(std::size_t bytes) { return static_cast<unsigned char*>(std::malloc(bytes == 0 ? 1 : bytes)); }

void free_released(const released_block& b)
{
    VANTU_UNPOISON(b.address, b.bytes);
    std::free(b.address);
}

// Poisons a block the caller no longer owns and parks it; the oldest parked blocks go back to
// the system once the quarantine exceeds its bounds.
void release(unsigned char* address, std::size_t bytes)
{
    if (!address) return;
    std::memset(address, vantu::control::kPoisonByte, bytes);
    VANTU_POISON(address, bytes);
    memory_state& s = state();
    s.quarantine.push_back({address, bytes});
    s.quarantine_bytes += bytes;
    while (s.quarantine.size() > vantu::control::kQuarantineMaxBlocks ||
           (s.quarantine_bytes > vantu::control::kQuarantineMaxBytes && s.quarantine.size() > 1)) {
        free_released(s.quarantine.front());
        s.quarantine_bytes -= s.quarantine.front().bytes;
        s.quarantine.pop_front();
    }
}

bool in_quarantine(const void* address)
{
    const auto& q = state().quarantine;
    return std::any_of(q.begin(), q.end(), [&](const released_block& b) { return b.address == address; });
}

// Why a handle is not open, for the refusal line.
std::string not_open_reason(int handle)
{
    bool was_opened = handle >= 1 && handle < state().next_handle;
    return "ARRAY HANDLE " + std::to_string(handle) + (was_opened ? " IS ALREADY CLOSED" : " IS NOT OPEN");
}

std::string arguments_of(long a, long b) { return std::to_string(a) + "," + std::to_string(b); }

std::string describe_array(std::int64_t count, int element_size)
{
    return "ARRAY OF " + std::to_string(count) + " ELEMENTS OF " + std::to_string(element_size) + " BYTES";
}

// Moves an array to a new block of new_count elements: content kept, added elements zero, the
// old block released.
bool move_array(array_record& a, int new_count)
{
    std::size_t old_bytes = static_cast<std::size_t>(a.element_size) * static_cast<std::size_t>(a.count);
    std::size_t new_bytes = static_cast<std::size_t>(a.element_size) * static_cast<std::size_t>(new_count);
    unsigned char* moved = allocate(new_bytes);
    if (!moved) return false;
    const std::size_t kept = std::min(old_bytes, new_bytes);
    if (kept) std::memcpy(moved, a.base, kept);
    std::memset(moved + kept, 0, new_bytes - kept);
    release(a.base, old_bytes == 0 ? 1 : old_bytes);
    a.base = moved;
    a.count = new_count;
    return true;
}

// Gives back the blocks of a record array.
void close_records(record_array& r)
{
    const std::size_t bytes = static_cast<std::size_t>(r.record_size) * static_cast<std::size_t>(r.block_records);
    for (unsigned char* block : r.blocks) release(block, bytes);
    r.blocks.clear();
}

void* new_block(std::size_t bytes)
{
    unsigned char* block = allocate(bytes);
    if (!block) return nullptr;
    std::memset(block, vantu::control::kFreshBlockByte, bytes);
    memory_state& s = state();
    s.blocks[block] = {bytes, s.next_serial++};
    return block;
}

// Why an address is not an open block, for the refusal line.
std::string not_a_block_reason(const void* block)
{
    return in_quarantine(block) ? "BLOCK WAS ALREADY FREED" : "ADDRESS IS NOT A HOST MEMORY BLOCK";
}

}  // namespace

// ---- dynamic arrays -----------------------------------------------------------------------------

void MM_OPEN_ARRAY(int element_size, int initial_count, int& handle, void*& base, int& status)
{
    handle = kNoHandle;
    base = nullptr;
    std::string arguments = arguments_of(element_size, initial_count);
    if (auto fault = vantu::fault_hit("MM_OPEN_ARRAY")) {
        status = *fault;
        vantu::trace_call("MM_OPEN_ARRAY", arguments, status);
        return;
    }
    if (element_size < 1 || initial_count < 0) {
        status = kRefused;
        refuse("MM_OPEN_ARRAY", arguments, "BAD " + describe_array(initial_count, element_size), status);
        return;
    }
    if (checked_bytes(element_size, initial_count) < 0) {
        status = kNoMemory;
        refuse("MM_OPEN_ARRAY", arguments, describe_array(initial_count, element_size) + " TOO LARGE", status);
        return;
    }
    array_record a{element_size, 0, nullptr};
    if (!move_array(a, initial_count)) {
        status = kNoMemory;
        refuse("MM_OPEN_ARRAY", arguments, "NO MEMORY", status);
        return;
    }
    memory_state& s = state();
    handle = s.next_handle++;
    s.arrays[handle] = a;
    base = a.base;
    status = 0;
    vantu::trace_call("MM_OPEN_ARRAY", arguments + " -> " + std::to_string(handle), status);
}

void MM_RESIZE_ARRAY(int handle, int add_count, void*& base, int& status)
{
    std::string arguments = arguments_of(handle, add_count);
    auto it = state().arrays.find(handle);
    if (it != state().arrays.end()) base = it->second.base;  // unchanged unless the growth succeeds
    if (auto fault = vantu::fault_hit("MM_RESIZE_ARRAY")) {
        status = *fault;
        vantu::trace_call("MM_RESIZE_ARRAY", arguments, status);
        return;
    }
    if (it == state().arrays.end()) {
        status = kRefused;
        refuse("MM_RESIZE_ARRAY", arguments, not_open_reason(handle), status);
        return;
    }
    array_record& a = it->second;
    std::int64_t new_count = std::int64_t{a.count} + add_count;
    if (new_count < 0) {
        status = kRefused;
        refuse("MM_RESIZE_ARRAY", arguments, "NEGATIVE ELEMENT COUNT " + std::to_string(new_count), status);
        return;
    }
    if (checked_bytes(a.element_size, new_count) < 0) {
        status = kNoMemory;
        refuse("MM_RESIZE_ARRAY", arguments, describe_array(new_count, a.element_size) + " TOO LARGE", status);
        return;
    }
    // Adding nothing is not a growth: the array stays where it is. A negative count shrinks it,
    // keeping the elements below the new count (it moves as a growth does).
    if (add_count != 0 && !move_array(a, static_cast<int>(new_count))) {
        status = kNoMemory;
        refuse("MM_RESIZE_ARRAY", arguments, "NO MEMORY", status);
        return;
    }
    base = a.base;
    status = 0;
    vantu::trace_call("MM_RESIZE_ARRAY", arguments, status);
}

void MM_CLOSE(int handle, int& status)
{
    if (auto fault = vantu::fault_hit("MM_CLOSE")) {
        status = *fault;
        vantu::trace_call("MM_CLOSE", std::to_string(handle), status);
        return;
    }
    if (auto records = state().record_arrays.find(handle); records != state().record_arrays.end()) {
        close_records(records->second);
        state().record_arrays.erase(records);
        status = 0;
        vantu::trace_call("MM_CLOSE", std::to_string(handle), status);
        return;
    }
    auto it = state().arrays.find(handle);
    if (it == state().arrays.end()) {
        status = kRefused;
        refuse("MM_CLOSE", std::to_string(handle), not_open_reason(handle), status);
        return;
    }
    const array_record& a = it->second;
    std::size_t bytes = static_cast<std::size_t>(a.element_size) * static_cast<std::size_t>(a.count);
    release(a.base, bytes == 0 ? 1 : bytes);
    state().arrays.erase(it);
    status = 0;
    vantu::trace_call("MM_CLOSE", std::to_string(handle), status);
}

void* mmcptr(int handle)
{
    VANTU_COUNT("mmcptr");
    auto it = state().arrays.find(handle);
    return it == state().arrays.end() ? nullptr : it->second.base;
}

int MM_CUR_N_ENTRIES(int handle)
{
    VANTU_COUNT("MM_CUR_N_ENTRIES");
    if (auto records = state().record_arrays.find(handle); records != state().record_arrays.end())
        return records->second.count;
    auto it = state().arrays.find(handle);
    return it == state().arrays.end() ? -1 : it->second.count;
}

// ---- fixed-size record arrays -----------------------------------------------------------------

void MM_OPEN_FDS(int record_size, int block_records, int& handle, int& status)
{
    handle = kNoHandle;
    std::string arguments = arguments_of(record_size, block_records);
    if (auto fault = vantu::fault_hit("MM_OPEN_FDS")) {
        status = *fault;
        vantu::trace_call("MM_OPEN_FDS", arguments, status);
        return;
    }
    if (record_size < 1 || block_records < 1 || checked_bytes(record_size, block_records) < 0) {
        status = kRefused;
        refuse("MM_OPEN_FDS", arguments, "BAD RECORD ARRAY OF " + arguments_of(record_size, block_records), status);
        return;
    }
    memory_state& s = state();
    handle = s.next_handle++;
    s.record_arrays[handle] = {record_size, block_records, 0, {}};
    status = 0;
    vantu::trace_call("MM_OPEN_FDS", arguments + " -> " + std::to_string(handle), status);
}

void* MM_FALLOC(int handle)
{
    VANTU_COUNT("MM_FALLOC");
    if (auto fault = vantu::fault_hit("MM_FALLOC")) {
        vantu::trace_call("MM_FALLOC", std::to_string(handle), *fault);
        return nullptr;
    }
    auto it = state().record_arrays.find(handle);
    if (it == state().record_arrays.end()) {
        refuse("MM_FALLOC", std::to_string(handle), not_open_reason(handle), kRefused);
        return nullptr;
    }
    record_array& r = it->second;
    const std::size_t record_bytes = static_cast<std::size_t>(r.record_size);
    const int within = r.count % r.block_records;
    if (within == 0) {
        // The whole array stays within what the stand-in hands out at all.
        const std::int64_t records = std::int64_t{r.count} + r.block_records;
        if (checked_bytes(r.record_size, records) < 0 || r.count > INT32_MAX - r.block_records) {
            refuse("MM_FALLOC", std::to_string(handle), "RECORD ARRAY TOO LARGE", kNoMemory);
            return nullptr;
        }
        unsigned char* block = allocate(record_bytes * static_cast<std::size_t>(r.block_records));
        if (!block) {
            refuse("MM_FALLOC", std::to_string(handle), "NO MEMORY", kNoMemory);
            return nullptr;
        }
        std::memset(block, 0, record_bytes * static_cast<std::size_t>(r.block_records));
        r.blocks.push_back(block);
    }
    ++r.count;
    return r.blocks.back() + record_bytes * static_cast<std::size_t>(within);
}

// ---- plain blocks -----------------------------------------------------------------------------

void* DM_ALLOC(std::size_t bytes)
{
    std::string arguments = std::to_string(bytes);
    if (auto fault = vantu::fault_hit("DM_ALLOC")) {
        vantu::trace_call("DM_ALLOC", arguments, *fault);
        return nullptr;
    }
    if (bytes > static_cast<std::size_t>(kMaxBytes)) {
        refuse("DM_ALLOC", arguments, "BLOCK OF " + arguments + " BYTES TOO LARGE", kNoMemory);
        return nullptr;
    }
    void* block = new_block(bytes);
    if (!block)
        refuse("DM_ALLOC", arguments, "NO MEMORY", kNoMemory);
    else
        vantu::trace_call("DM_ALLOC", arguments, 0);
    return block;
}

void* DM_REALLOC(void* block, std::size_t bytes)
{
    std::string arguments = std::to_string(bytes);
    if (auto fault = vantu::fault_hit("DM_REALLOC")) {
        vantu::trace_call("DM_REALLOC", arguments, *fault);
        return nullptr;
    }
    auto it = state().blocks.find(block);
    if (block && it == state().blocks.end()) {
        refuse("DM_REALLOC", arguments, not_a_block_reason(block), kRefused);
        return nullptr;
    }
    if (bytes > static_cast<std::size_t>(kMaxBytes)) {
        refuse("DM_REALLOC", arguments, "BLOCK OF " + arguments + " BYTES TOO LARGE", kNoMemory);
        return nullptr;
    }
    // Like an array growth, a reallocation always moves, so a stale address is caught.
    void* moved = new_block(bytes);
    if (!moved) {
        refuse("DM_REALLOC", arguments, "NO MEMORY", kNoMemory);
        return nullptr;
    }
    if (block) {
        std::size_t old_bytes = it->second.bytes;
        std::memcpy(moved, block, std::min(old_bytes, bytes));
        state().blocks.erase(it);
        release(static_cast<unsigned char*>(block), old_bytes == 0 ? 1 : old_bytes);
    }
    vantu::trace_call("DM_REALLOC", arguments, 0);
    return moved;
}

// The mode is accepted as the host's callers pass it (0); every mode frees the block.
void DM_FREE(void* block, int mode)
{
    if (!block) return;
    std::string arguments = std::to_string(mode);
    auto it = state().blocks.find(block);
    if (it == state().blocks.end()) {
        refuse("DM_FREE", arguments, not_a_block_reason(block), kRefused);
        return;
    }
    std::size_t bytes = it->second.bytes;
    state().blocks.erase(it);
    release(static_cast<unsigned char*>(block), bytes == 0 ? 1 : bytes);
    vantu::trace_call("DM_FREE", arguments, 0);
}

// ---- control ----------------------------------------------------------------------------------

namespace vantu::control {

int open_array_count() { return static_cast<int>(state().arrays.size() + state().record_arrays.size()); }
int open_block_count() { return static_cast<int>(state().blocks.size()); }

int array_element_size(int handle)
{
    if (auto records = state().record_arrays.find(handle); records != state().record_arrays.end())
        return records->second.record_size;
    auto it = state().arrays.find(handle);
    return it == state().arrays.end() ? -1 : it->second.element_size;
}

long block_size(const void* block)
{
    auto it = state().blocks.find(block);
    return it == state().blocks.end() ? -1 : static_cast<long>(it->second.bytes);
}

bool released_and_poisoned(const void* address)
{
    for (const released_block& b : state().quarantine) {
        if (b.address != address) continue;
        VANTU_UNPOISON(b.address, b.bytes);
        bool poisoned = std::all_of(b.address, b.address + b.bytes, [](unsigned char c) { return c == kPoisonByte; });
        VANTU_POISON(b.address, b.bytes);
        return poisoned;
    }
    return false;
}

std::size_t quarantined_block_count() { return state().quarantine.size(); }
std::size_t quarantined_bytes() { return state().quarantine_bytes; }

}  // namespace vantu::control

// ---- component --------------------------------------------------------------------------------

namespace {

void reset_memory()
{
    memory_state& s = state();
    for (auto& [handle, a] : s.arrays) std::free(a.base);
    for (auto& [handle, r] : s.record_arrays)
        for (unsigned char* block : r.blocks) std::free(block);
    for (auto& [address, b] : s.blocks) std::free(const_cast<void*>(address));
    for (const released_block& b : s.quarantine) free_released(b);
    s = memory_state{};
}

void report_memory(std::vector<std::string>& lines)
{
    for (const auto& [handle, a] : state().arrays)
        lines.push_back("unreleased array handle " + std::to_string(handle) + ": " + std::to_string(a.count) +
                        " elements of " + std::to_string(a.element_size) + " bytes");
    for (const auto& [handle, r] : state().record_arrays)
        lines.push_back("unreleased record array handle " + std::to_string(handle) + ": " + std::to_string(r.count) +
                        " records of " + std::to_string(r.record_size) + " bytes");
    std::vector<block_record> open;
    for (const auto& [address, b] : state().blocks) open.push_back(b);
    std::sort(open.begin(), open.end(),
              [](const block_record& x, const block_record& y) { return x.serial < y.serial; });
    for (const block_record& b : open)
        lines.push_back("unreleased memory block " + std::to_string(b.serial) + ": " + std::to_string(b.bytes) +
                        " bytes");
}

const bool memory_registered = vantu::register_component({"memory", reset_memory, nullptr, nullptr, report_memory});

}  // namespace
