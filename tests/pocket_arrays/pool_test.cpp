// The buffer pool: sizes, best-fit reuse, table growth, releases and their messages.
#include "pocket_test_support.hpp"

#include <random>

TEST_F(PocketTest, PoolRoundsRequestsUpToWholeKilobytes)
{
    const int requests[][2] = {{1000, 1024}, {1024, 2048}, {0, 1024}, {2047, 2048}, {2048, 3072}};
    for (const auto& row : requests) {
        int index = -5;
        pkdm_alloc(row[0], index);
        ASSERT_GE(index, 0) << row[0];
        EXPECT_EQ(pkdm_entry_at(index)->size, row[1]) << "request " << row[0];
        EXPECT_EQ(pkdm_entry_at(index)->state, kPkdmReserved);
    }
}

TEST_F(PocketTest, PoolReusesTheSmallestFreeBlockThatFits)
{
    int small = -1, large = -1;
    pkdm_alloc(1500, small);  // 2048
    pkdm_alloc(3500, large);  // 4096
    ASSERT_TRUE(pkdm_claim(small, 2, 128));
    ASSERT_TRUE(pkdm_claim(large, 2, 256));
    pkdm_free(large, 0);
    pkdm_free(small, 0);
    void* kept = pkdm_block(small);
    int again = -1;
    pkdm_alloc(1500, again);
    EXPECT_EQ(again, small);
    EXPECT_EQ(pkdm_block(again), kept);
    EXPECT_EQ(pkdm_entry_at(again)->state, kPkdmReserved);
    EXPECT_EQ(pkdm_entry_at(large)->state, kPkdmFree);
    EXPECT_EQ(vantu::control::open_block_count(), 3);  // table + two blocks, none new
}

TEST_F(PocketTest, PoolTableGrowsAtTheTwentyFirstOwnedBlock)
{
    for (int i = 0; i < 20; ++i) {
        int index = -1;
        pkdm_alloc(100, index);
        ASSERT_EQ(index, i);
        pkdm_claim(index, 1, 10);
    }
    EXPECT_EQ(pkdm_table_block.count, 20);
    int index = -1;
    pkdm_alloc(100, index);
    EXPECT_EQ(index, 20);
    EXPECT_EQ(pkdm_table_block.count, 40);
    EXPECT_EQ(pkdm_entry_at(3)->capacity, 10);  // old entries survive the growth
}

TEST_F(PocketTest, PoolFreesTheLargestTooSmallBlockWhenNoSlotIsLeft)
{
    std::vector<int> indexes;
    for (int i = 0; i < 20; ++i) {
        int index = -1;
        pkdm_alloc(100 * (i + 1), index);
        pkdm_claim(index, 1, 1);
        indexes.push_back(index);
    }
    pkdm_free(indexes[3], 0);   // 1024
    pkdm_free(indexes[9], 0);   // 1024 (request 1000)
    pkdm_free(indexes[12], 0);  // 2048 (request 1300)
    int index = -1;
    pkdm_alloc(10000, index);
    EXPECT_EQ(index, indexes[12]);
    EXPECT_EQ(pkdm_entry_at(index)->size, 10240);
    EXPECT_EQ(pkdm_table_block.count, 20);
}

TEST_F(PocketTest, PoolFreeReportsEachMisuseInItsOwnWords)
{
    pkdm_free(0, 0);
    int index = -1;
    pkdm_alloc(10, index);
    pkdm_free(25, 0);
    pkdm_free(5, 1);
    pkdm_free(index, 0);  // reserved, not owned
    pkdm_claim(index, 2, 64);
    pkdm_free(index, 0);
    pkdm_free(index, 0);
    EXPECT_EQ(errors(), (std::vector<std::string>{
                            "[pkdm_free] POCKET DYNAMIC ARRAYS NOT INITIALIZED YET",
                            "[pkdm_free] INDEX TOO LARGE",
                            "[pkdm_free] REQUESTED BUFFER NOT ALLOCATED YET",
                            "[pkdm_free] REQUESTED BUFFER NOT IN USE",
                            "[pkdm_free] REQUESTED BUFFER NOT IN USE",
                        }));
    EXPECT_NE(pkdm_block(index), nullptr);  // released without the flag: memory kept
}

TEST_F(PocketTest, PoolBulkFreeKeepsOwnedBlocksAndReleaseAllFreesEverything)
{
    int owned = -1, free_one = -1, reserved = -1;
    pkdm_alloc(100, owned);
    pkdm_claim(owned, 2, 10);
    pkdm_alloc(100, free_one);
    pkdm_claim(free_one, 2, 10);
    pkdm_free(free_one, 0);
    pkdm_alloc(5000, reserved);
    pkdm_free(-1, 1);
    EXPECT_NE(pkdm_block(owned), nullptr);
    EXPECT_EQ(pkdm_block(free_one), nullptr);
    EXPECT_EQ(pkdm_block(reserved), nullptr);
    pkdm_rel_all();
    EXPECT_EQ(pkdm_table_block.count, 0);
    EXPECT_EQ(vantu::control::open_block_count(), 0);
    pkdm_rel_all();  // not initialised: nothing
    EXPECT_TRUE(errors().empty());
}

TEST_F(PocketTest, PoolRetriesAfterFreeingUnownedBlocksAndReportsAFinalFailure)
{
    int spare = -1;
    pkdm_alloc(100, spare);  // reserved, never claimed: freed before the retry
    vantu::control::inject_fault("DM_ALLOC", 1, 1, -1);
    int index = -1;
    pkdm_alloc(5000, index);
    EXPECT_GE(index, 0);
    EXPECT_EQ(pkdm_block(spare), nullptr);
    EXPECT_TRUE(errors().empty());

    vantu::control::inject_fault("DM_ALLOC", 1, 2, -1);
    pkdm_alloc(9000, index);
    EXPECT_EQ(index, -2);
    EXPECT_EQ(errors(), std::vector<std::string>{"[pkdm_alloc] UNABLE TO ALLOCATE MEMORY\n"});
}

TEST_F(PocketTest, PoolReportsAFailedTableCreationAndStaysUninitialised)
{
    vantu::control::inject_fault("DM_ALLOC", 1, 1, -1);
    int index = 0;
    pkdm_alloc(100, index);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(pkdm_table_block.count, 0);
    EXPECT_EQ(errors(), std::vector<std::string>{"[pkdm_alloc] UNABLE TO INITIALIZE DYNAMIC ARRAY PACKAGE"});
}

TEST_F(PocketTest, PoolDebugSwitchPrintsTheAllocation)
{
    pkdm_table_block.print_allocate = 1;
    int index = -1;
    pkdm_alloc(1000, index);
    pkdm_table_block.print_allocate = 0;
    EXPECT_EQ(vantu::control::texts_of("dbg_printf"),
              std::vector<std::string>{"pkdm_alloc: 1000 requested, Buffer 0 allocated: 1024\n"});
}

// A block given back inline answers as pkdm_free(index, 0): owned becomes free (printed with the
// debug switch), a reserved entry is refused and stays reserved.
TEST_F(PocketTest, PoolGiveBackAnswersAsTheRelease)
{
    struct row {
        bool claim;
        int print;
        int state;
        std::vector<std::string> printed, refused;
    };
    const row rows[] = {
        {true, 0, kPkdmFree, {}, {}},
        {true, 1, kPkdmFree, {"pkdm_free: Buffer 0 released\n"}, {}},
        {false, 0, kPkdmReserved, {}, {"[pkdm_free] REQUESTED BUFFER NOT IN USE"}},
    };
    for (const row& r : rows) {
        pkdm_rel_all();
        vantu::control::reset();
        int index = -1;
        pkdm_alloc(100, index);
        ASSERT_EQ(index, 0);
        if (r.claim) pkdm_claim(index, 2, 10);
        pkdm_table_block.print_release = r.print;
        pkdm_give_back(index);
        pkdm_table_block.print_release = 0;
        EXPECT_EQ(pkdm_entry_at(index)->state, r.state) << "claim " << r.claim << " print " << r.print;
        EXPECT_EQ(vantu::control::texts_of("dbg_printf"), r.printed) << "claim " << r.claim;
        EXPECT_EQ(errors(), r.refused) << "claim " << r.claim;
    }
}

// The usage counts follow every way a block gains or loses memory or an owner; the high-water
// marks stay through releases and start again from what is held at a reset.
TEST_F(PocketTest, PoolUsageCountsHeldAndOwnedBytesWithTheirPeaks)
{
    enum op { kTake, kGiveBack, kFree, kFreeUnowned, kReset, kReleaseAll };
    struct row {
        op what;
        int slot, request, dimension;
        long long held, owned, held_peak, owned_peak, dim2, dim2_peak;
    };
    const row rows[] = {
        {kTake, 0, 1500, 2, 2048, 2048, 2048, 2048, 2048, 2048},
        {kTake, 1, 3500, 1, 6144, 6144, 6144, 6144, 2048, 2048},
        {kTake, 2, 100, 2, 7168, 7168, 7168, 7168, 3072, 3072},
        {kGiveBack, 1, 0, 0, 7168, 3072, 7168, 7168, 3072, 3072},
        {kFree, 0, 0, 0, 5120, 1024, 7168, 7168, 1024, 3072},
        {kFreeUnowned, 0, 0, 0, 1024, 1024, 7168, 7168, 1024, 3072},
        {kReset, 0, 0, 0, 1024, 1024, 1024, 1024, 1024, 1024},
        {kTake, 0, 1024, 2, 3072, 3072, 3072, 3072, 3072, 3072},
        {kReleaseAll, 0, 0, 0, 0, 0, 3072, 3072, 0, 3072},
    };
    pkdm_usage_reset();
    int slots[3] = {-1, -1, -1};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const row& r = rows[i];
        switch (r.what) {
        case kTake: pkdm_alloc(r.request, slots[r.slot]), pkdm_claim(slots[r.slot], r.dimension, 1); break;
        case kGiveBack: pkdm_give_back(slots[r.slot]); break;
        case kFree: pkdm_free(slots[r.slot], 1); break;
        case kFreeUnowned: pkdm_free(-1, 1); break;
        case kReset: pkdm_usage_reset(); break;
        case kReleaseAll: pkdm_rel_all(); break;
        }
        const pkdm_usage& u = pkdm_usage_block;
        const long long counts[] = {
            u.held, u.owned, u.held_peak, u.owned_peak, u.owned_by_dimension[2], u.owned_peak_by_dimension[2]};
        const long long expected[] = {r.held, r.owned, r.held_peak, r.owned_peak, r.dim2, r.dim2_peak};
        for (int k = 0; k < 6; ++k) EXPECT_EQ(counts[k], expected[k]) << "row " << i << " count " << k;
    }
    EXPECT_EQ(pkdm_usage_block.owned_peak_by_dimension[1], 0);  // reset after the 1-D block left
    EXPECT_TRUE(errors().empty());
}

// Seeded sequences of requests (some never claimed), releases with and without the memory, and
// frees of every unowned block, over tables below and past kPkdmIndexedTable entries (the index
// kept from there on): every request takes what the plain scan of the table picks (the best fit,
// else the first entry without memory, else the largest block too small, else a new row).
TEST_F(PocketTest, PoolPicksWhatThePlainScanPicks)
{
    struct row {
        unsigned seed;
        int steps, held, kilobytes, freed;  // freed: per cent of releases that free the memory
        bool indexed;
    };
    const row rows[] = {{1, 8000, 1100, 4, 10, true},
                        {2, 8000, 1300, 16, 30, true},
                        {3, 7000, 1050, 1, 0, true},
                        {4, 9000, 1200, 12, 5, true},
                        {5, 2000, 120, 6, 20, false}};
    for (const row& r : rows) {
        pkdm_rel_all();
        std::mt19937 random(r.seed);
        std::vector<int> owned;
        for (int step = 0; step < r.steps; ++step) {
            const unsigned what = random() % 100;
            if (owned.empty() || (what < 60 && static_cast<int>(owned.size()) < r.held)) {
                const int request = static_cast<int>(random() % r.kilobytes * 1024 + random() % 1024);
                const pkdm_picks p = pkdm_scan(request);
                const int expected = p.best_fit >= 0     ? p.best_fit
                                     : p.empty_slot >= 0 ? p.empty_slot
                                     : p.too_small >= 0  ? p.too_small
                                                         : pkdm_table_block.count;
                int index = -1;
                pkdm_alloc(request, index);
                ASSERT_EQ(index, expected) << "seed " << r.seed << " step " << step;
                if (what % 20 != 0 && pkdm_claim(index, 2, 1)) owned.push_back(index);
            } else if (what < 98) {
                const std::size_t k = random() % owned.size();
                if (static_cast<int>(random() % 100) < r.freed)
                    pkdm_free(owned[k], 1);
                else if (what % 2 == 0)
                    pkdm_give_back(owned[k]);
                else
                    pkdm_free(owned[k], 0);
                owned.erase(owned.begin() + static_cast<std::ptrdiff_t>(k));
            } else {
                pkdm_free(-1, 1);
            }
        }
        EXPECT_EQ(pkdm_table_block.index != nullptr, r.indexed) << r.seed;
    }
    EXPECT_TRUE(errors().empty());
}
