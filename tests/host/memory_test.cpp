// Host memory: arrays that move on every growth and poison what they leave, refusals of bad
// handles and arguments with one error line, fault injection, and the end-of-run report of what
// was never released.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace {

using namespace vantu::control;

class HostMemory : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
};

std::vector<std::string> memory_report_lines()
{
    std::vector<std::string> lines;
    for (const std::string& line : end_report())
        if (line.rfind("unreleased array", 0) == 0 || line.rfind("unreleased record array", 0) == 0 ||
            line.rfind("unreleased memory block", 0) == 0)
            lines.push_back(line);
    return lines;
}

bool all_bytes(const void* block, std::size_t bytes, unsigned char value)
{
    const auto* p = static_cast<const unsigned char*>(block);
    return std::all_of(p, p + bytes, [value](unsigned char c) { return c == value; });
}

int open_array(int element_size, int count, void*& base)
{
    int handle = 0, status = 99;
    MM_OPEN_ARRAY(element_size, count, handle, base, status);
    EXPECT_EQ(status, 0);
    return handle;
}

}  // namespace

TEST_F(HostMemory, OpenGivesZeroFilledArrayAndItsCount)
{
    void* base = nullptr;
    int handle = open_array(8, 10, base);
    ASSERT_GT(handle, 0);
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(mmcptr(handle), base);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 10);
    EXPECT_EQ(array_element_size(handle), 8);
    EXPECT_TRUE(all_bytes(base, 80, 0));
    EXPECT_EQ(open_array_count(), 1);

    void* other = nullptr;
    int second = open_array(4, 0, other);
    EXPECT_NE(second, handle);
    EXPECT_NE(other, nullptr);
    EXPECT_EQ(MM_CUR_N_ENTRIES(second), 0);
}

TEST_F(HostMemory, GrowthMovesTheBaseKeepsTheContentAndPoisonsTheOldBlock)
{
    void* base = nullptr;
    int handle = open_array(sizeof(double), 10, base);
    auto* values = static_cast<double*>(base);
    for (int i = 0; i < 10; ++i) values[i] = 1.5 * i;

    void* stale = base;
    int status = 99;
    MM_RESIZE_ARRAY(handle, 5, base, status);
    ASSERT_EQ(status, 0);
    EXPECT_NE(base, stale) << "every growth must move the array";
    EXPECT_EQ(mmcptr(handle), base);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 15);
    auto* moved = static_cast<double*>(base);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(moved[i], 1.5 * i) << "element " << i;
    EXPECT_TRUE(all_bytes(moved + 10, 5 * sizeof(double), 0)) << "added elements are zero";

    EXPECT_TRUE(released_and_poisoned(stale));
#if defined(__SANITIZE_ADDRESS__)
    // A caller that kept the old base is stopped at its first read.
    EXPECT_DEATH({ [[maybe_unused]] volatile unsigned char c = *static_cast<volatile unsigned char*>(stale); },
                 "use-after-poison");
#else
    EXPECT_TRUE(all_bytes(stale, 10 * sizeof(double), kPoisonByte)) << "a stale reader sees the poison, not its data";
#endif

    // Adding nothing is not a growth: the array stays.
    void* before = base;
    MM_RESIZE_ARRAY(handle, 0, base, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(base, before);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 15);

    // A negative count shrinks the array, keeping the elements below the new count.
    MM_RESIZE_ARRAY(handle, -11, base, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 4);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(static_cast<double*>(base)[i], 1.5 * i) << "element " << i;
    MM_RESIZE_ARRAY(handle, -4, base, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 0);
}

TEST_F(HostMemory, BadOpenArgumentsAreRefusedWithOneErrorLine)
{
    struct row {
        int element_size;
        int count;
        int status;  // expected
    };
    const row rows[] = {
        {0, 10, -1},             // element size below 1
        {-8, 10, -1},            // negative element size
        {8, -1, -1},             // negative count
        {INT_MAX, 2, -2},        // size x count beyond any array
        {1 << 16, 1 << 16, -2},  // 4 GiB: over the limit although each factor is modest
    };
    for (const row& r : rows) {
        SCOPED_TRACE(std::to_string(r.element_size) + " x " + std::to_string(r.count));
        clear_messages();
        int handle = 77, status = 0;
        void* base = &handle;
        MM_OPEN_ARRAY(r.element_size, r.count, handle, base, status);
        EXPECT_EQ(status, r.status);
        EXPECT_EQ(handle, 0);
        EXPECT_EQ(base, nullptr);
        EXPECT_EQ(texts_of("host_error").size(), 1u);
    }
    EXPECT_EQ(open_array_count(), 0);
}

TEST_F(HostMemory, BadResizeIsRefusedAndLeavesTheArrayAsItWas)
{
    void* base = nullptr;
    int handle = open_array(4, 3, base);
    static_cast<int*>(base)[2] = 42;

    struct row {
        int handle;
        int add;
        const char* reason;
    };
    const row rows[] = {
        {handle, -4, "NEGATIVE ELEMENT COUNT -1"},
        {handle, INT_MAX, "TOO LARGE"},
        {handle + 5, 2, "IS NOT OPEN"},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.reason);
        clear_messages();
        void* answered = base;
        int status = 0;
        MM_RESIZE_ARRAY(r.handle, r.add, answered, status);
        EXPECT_LT(status, 0);
        EXPECT_EQ(answered, base);
        ASSERT_EQ(texts_of("host_error").size(), 1u);
        EXPECT_NE(texts_of("host_error")[0].find(r.reason), std::string::npos) << texts_of("host_error")[0];
    }
    EXPECT_EQ(mmcptr(handle), base);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 3);
    EXPECT_EQ(static_cast<int*>(base)[2], 42);
}

TEST_F(HostMemory, DoubleCloseAndUnknownHandlesAreRefused)
{
    void* base = nullptr;
    int handle = open_array(16, 4, base);
    int status = 99;
    MM_CLOSE(handle, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(released_and_poisoned(base)) << "a closed array is poisoned like a moved one";
    EXPECT_EQ(mmcptr(handle), nullptr);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), -1);

    clear_messages();
    set_tracing(true);
    MM_CLOSE(handle, status);
    EXPECT_LT(status, 0);
    MM_CLOSE(1000, status);
    EXPECT_LT(status, 0);
    ASSERT_EQ(trace_entries().size(), 2u);
    EXPECT_EQ(trace_entries()[0].name, "MM_CLOSE");
    EXPECT_LT(trace_entries()[0].result, 0) << "the refusal is traced with its status";
    const std::vector<std::string> expected = {"MM_CLOSE, ARRAY HANDLE " + std::to_string(handle) +
                                                   " IS ALREADY CLOSED",
                                               "MM_CLOSE, ARRAY HANDLE 1000 IS NOT OPEN"};
    EXPECT_EQ(texts_of("host_error"), expected);
    EXPECT_EQ(open_array_count(), 0);
}

TEST_F(HostMemory, InjectedFaultsFailOnlyTheirCalls)
{
    // MM_OPEN_ARRAY: the second call fails with the injected status, the third works again.
    inject_fault("MM_OPEN_ARRAY", 2, 1, -9);
    void* base = nullptr;
    int first = open_array(4, 2, base);
    int handle = 5, status = 0;
    MM_OPEN_ARRAY(4, 2, handle, base, status);
    EXPECT_EQ(status, -9);
    EXPECT_EQ(handle, 0);
    EXPECT_EQ(base, nullptr);
    open_array(4, 2, base);
    EXPECT_EQ(open_array_count(), 2);

    // MM_RESIZE_ARRAY: the array keeps its place, count and content.
    base = mmcptr(first);
    static_cast<int*>(base)[1] = 7;
    inject_fault("MM_RESIZE_ARRAY", 1, 1, -4);
    void* answered = nullptr;
    MM_RESIZE_ARRAY(first, 10, answered, status);
    EXPECT_EQ(status, -4);
    EXPECT_EQ(answered, base);
    EXPECT_EQ(MM_CUR_N_ENTRIES(first), 2);
    EXPECT_EQ(static_cast<int*>(mmcptr(first))[1], 7);

    // DM_ALLOC and DM_REALLOC answer null; the block handed to DM_REALLOC stays usable.
    void* block = DM_ALLOC(32);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0x11, 32);
    inject_fault("DM_ALLOC", 1, 2, -1);
    EXPECT_EQ(DM_ALLOC(8), nullptr);
    EXPECT_EQ(DM_ALLOC(8), nullptr);
    inject_fault("DM_REALLOC", 1, 1, -1);
    EXPECT_EQ(DM_REALLOC(block, 64), nullptr);
    EXPECT_EQ(block_size(block), 32);
    EXPECT_TRUE(all_bytes(block, 32, 0x11));
    EXPECT_EQ(open_block_count(), 1);
    EXPECT_EQ(faults_fired().size(), 5u);
    DM_FREE(block, 0);
}

TEST_F(HostMemory, PlainBlocksMoveOnReallocAndRefuseForeignOrFreedAddresses)
{
    auto* block = static_cast<unsigned char*>(DM_ALLOC(24));
    ASSERT_NE(block, nullptr);
    EXPECT_TRUE(all_bytes(block, 24, kFreshBlockByte)) << "fresh blocks are not silently zero";
    for (int i = 0; i < 24; ++i) block[i] = static_cast<unsigned char>(i);

    auto* grown = static_cast<unsigned char*>(DM_REALLOC(block, 40));
    ASSERT_NE(grown, nullptr);
    EXPECT_NE(grown, block);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(grown[i], i);
    EXPECT_TRUE(all_bytes(grown + 24, 16, kFreshBlockByte));
    EXPECT_TRUE(released_and_poisoned(block));
    EXPECT_EQ(block_size(grown), 40);

    auto* shrunk = static_cast<unsigned char*>(DM_REALLOC(grown, 8));
    ASSERT_NE(shrunk, nullptr);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(shrunk[i], i);

    clear_messages();
    EXPECT_EQ(DM_ALLOC(std::size_t{1} << 40), nullptr);
    EXPECT_EQ(DM_REALLOC(shrunk, std::size_t{1} << 40), nullptr);
    EXPECT_EQ(texts_of("host_error").size(), 2u);
    EXPECT_EQ(block_size(shrunk), 8) << "a refused reallocation keeps the block";

    void* from_null = DM_REALLOC(nullptr, 4);
    EXPECT_NE(from_null, nullptr);
    EXPECT_EQ(open_block_count(), 2);

    clear_messages();
    DM_FREE(nullptr, 0);
    EXPECT_TRUE(messages().empty()) << "freeing null does nothing";
    DM_FREE(shrunk, 0);
    DM_FREE(shrunk, 0);
    int local = 0;
    DM_FREE(&local, 0);
    EXPECT_EQ(DM_REALLOC(&local, 8), nullptr);
    const std::vector<std::string> expected = {"DM_FREE, BLOCK WAS ALREADY FREED",
                                               "DM_FREE, ADDRESS IS NOT A HOST MEMORY BLOCK",
                                               "DM_REALLOC, ADDRESS IS NOT A HOST MEMORY BLOCK"};
    EXPECT_EQ(texts_of("host_error"), expected);
    EXPECT_EQ(open_block_count(), 1);
    DM_FREE(from_null, 0);
    EXPECT_EQ(open_block_count(), 0);
}

TEST_F(HostMemory, EndReportListsWhatWasNeverReleased)
{
    void* base = nullptr;
    int kept = open_array(8, 10, base);
    int closed = open_array(4, 1, base);
    void* block = DM_ALLOC(400);
    void* freed = DM_ALLOC(12);
    int status = 0;
    MM_CLOSE(closed, status);
    DM_FREE(freed, 0);

    const std::vector<std::string> expected = {"unreleased array handle " + std::to_string(kept) +
                                                   ": 10 elements of 8 bytes",
                                               "unreleased memory block 1: 400 bytes"};
    EXPECT_EQ(memory_report_lines(), expected);

    MM_CLOSE(kept, status);
    DM_FREE(block, 0);
    EXPECT_TRUE(memory_report_lines().empty());
}

TEST_F(HostMemory, QuarantineIsBoundedAndResetReleasesEverything)
{
    void* base = nullptr;
    int handle = open_array(1, 1, base);
    int status = 0;
    for (std::size_t i = 0; i < kQuarantineMaxBlocks + 20; ++i) MM_RESIZE_ARRAY(handle, 1, base, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(quarantined_block_count(), kQuarantineMaxBlocks);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), static_cast<int>(kQuarantineMaxBlocks + 21));
    // The quarantine holds the last blocks the growth left behind: 21 to 84 bytes.
    const std::size_t first = 21, last = kQuarantineMaxBlocks + 20;
    EXPECT_EQ(quarantined_bytes(), (first + last) * (last - first + 1) / 2);

    DM_ALLOC(10);
    reset();
    EXPECT_EQ(open_array_count(), 0);
    EXPECT_EQ(open_block_count(), 0);
    EXPECT_EQ(quarantined_block_count(), 0u);
    EXPECT_EQ(quarantined_bytes(), 0u);
    EXPECT_EQ(mmcptr(handle), nullptr);
}

TEST_F(HostMemory, RecordArraysHandOutRecordsThatNeverMove)
{
    int handle = 0, status = 99;
    MM_OPEN_FDS(24, 128, handle, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(mmcptr(handle), nullptr) << "records are reached by their addresses only";
    EXPECT_EQ(array_element_size(handle), 24);
    std::vector<unsigned char*> records;
    for (int i = 0; i < 300; ++i) {
        auto* record = static_cast<unsigned char*>(MM_FALLOC(handle));
        ASSERT_NE(record, nullptr);
        ASSERT_TRUE(all_bytes(record, 24, 0)) << i;
        std::memset(record, i + 1, 24);
        records.push_back(record);
    }
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 300);
    for (int i = 0; i < 300; ++i) EXPECT_TRUE(all_bytes(records[i], 24, static_cast<unsigned char>(i + 1))) << i;
    EXPECT_EQ(memory_report_lines(), (std::vector<std::string>{"unreleased record array handle " +
                                                               std::to_string(handle) + ": 300 records of 24 bytes"}));
    EXPECT_EQ(open_array_count(), 1);

    MM_CLOSE(handle, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(open_array_count(), 0);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), -1);
    clear_messages();
    EXPECT_EQ(MM_FALLOC(handle), nullptr);
    MM_CLOSE(handle, status);
    EXPECT_LT(status, 0);
    int refused = 0;
    MM_OPEN_FDS(0, 128, refused, status);
    EXPECT_LT(status, 0);
    MM_OPEN_FDS(24, -1, refused, status);
    EXPECT_LT(status, 0);
    const std::string closed = std::to_string(handle);
    EXPECT_EQ(
        texts_of("host_error"),
        (std::vector<std::string>{"MM_FALLOC, ARRAY HANDLE " + closed + " IS ALREADY CLOSED",
                                  "MM_CLOSE, ARRAY HANDLE " + closed + " IS ALREADY CLOSED",
                                  "MM_OPEN_FDS, BAD RECORD ARRAY OF 0,128", "MM_OPEN_FDS, BAD RECORD ARRAY OF 24,-1"}));
}
