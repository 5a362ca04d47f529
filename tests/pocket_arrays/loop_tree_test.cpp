// The loop tree: keys, father lists, merging, growth and the releases.
#include "host/control/memory.hpp"
#include "host/vantu.hpp"
#include "pocket_arrays/loop_tree.hpp"
#include "pocket_test_support.hpp"

namespace {

class LoopTree : public PocketTest {
protected:
    void SetUp() override
    {
        PocketTest::SetUp();
        loop_table_block = loop_table{};
        node_arrays_block = node_arrays{};
    }
    void TearDown() override
    {
        int status = 0;
        release_loop(status);
        PocketTest::TearDown();
    }
    static std::vector<int> fathers_of(int i)
    {
        const loop_record* loop = loop_at(i);
        const int* f = loop_fathers(*loop);
        return std::vector<int>(f, f + loop->father_count);
    }
};

TEST_F(LoopTree, AKeyAddedTwiceGivesOneLoop)
{
    int status = 0;
    loop_create(1, 42, 5, 9, status);
    loop_create(2, 42, 6, 10, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(loop_table_block.count, 1);
    const loop_record* loop = loop_at(0);
    EXPECT_EQ(loop->id, 1);
    EXPECT_EQ(loop->state, kLoopNew);
    EXPECT_EQ(fathers_of(0), std::vector<int>{9});
    int found = 0;
    loop_key_exists(42, found);
    EXPECT_EQ(found, 1);
    loop_key_exists(43, found);
    EXPECT_EQ(found, 0);
}

TEST_F(LoopTree, FirstSegmentHasItsDefaults)
{
    int status = 0;
    loop_create(1, 7, 123, 0, status);
    const word* w = loop_segments(*loop_at(0));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(loop_at(0)->segment_count, 1);
    EXPECT_EQ(w[1], -1);
    EXPECT_EQ(w[2], 1);
    EXPECT_EQ(w[16], 123);
    EXPECT_EQ(words_to_double(w + 10), -999.0);
    EXPECT_EQ(words_to_double(w + 18), 1.0);
    EXPECT_EQ(w[28], 0);
}

TEST_F(LoopTree, CombiningInheritsFathersWithoutRepeats)
{
    int status = 0;
    loop_create(1, 1, 0, 5, status);
    loop_copy_fathers(1, 1, status);  // copying into itself adds nothing
    int child = 0;
    loop_create(2, 2, 0, 7, status);
    // Loop 1 gets father 7 too: fathers 5, 7.
    loop_copy_fathers(2, 1, status);
    EXPECT_EQ(fathers_of(0), (std::vector<int>{5, 7}));
    loop_create(3, 3, 0, 7, status);
    child = 2;
    loop_copy_fathers(1, 3, status);
    EXPECT_EQ(fathers_of(child), (std::vector<int>{7, 5}));
    loop_mark_merged(1);
    EXPECT_EQ(loop_at(0)->state, kLoopMerged);
    EXPECT_EQ(loop_at(1)->state, kLoopNew);
    loop_copy_fathers(1, 99, status);
    EXPECT_EQ(status, -1);
}

TEST_F(LoopTree, ArraysGrowInStepsOfTen)
{
    int status = 0;
    for (int k = 1; k <= 11; ++k) loop_create(k, k, 0, k, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(MM_CUR_N_ENTRIES(loop_table_block.handle), 20);
    for (int f = 100; f < 110; ++f) {
        loop_create(50, 50, 0, f, status);  // existing key: nothing
    }
    for (int k = 2; k <= 11; ++k) loop_copy_fathers(k, 1, status);
    EXPECT_EQ(loop_at(0)->father_count, 11);
    EXPECT_EQ(MM_CUR_N_ENTRIES(loop_at(0)->father_handle), 20);
}

TEST_F(LoopTree, ReleaseClosesEveryArray)
{
    const int before = vantu::control::open_array_count();
    int status = 0;
    loop_create(1, 1, 0, 1, status);
    loop_create(2, 2, 0, 2, status);
    EXPECT_EQ(vantu::control::open_array_count(), before + 5);
    release_loop(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(vantu::control::open_array_count(), before);
    EXPECT_EQ(loop_table_block.count, 0);
    EXPECT_EQ(loop_table_block.handle, -1);
    release_loop(status);  // an empty table resets without host calls
    EXPECT_EQ(status, 0);
}

TEST_F(LoopTree, AllocationFailureIsReported)
{
    vantu::control::inject_fault("MM_OPEN_ARRAY", 1, 1, -1);
    int status = 0;
    loop_create(1, 1, 0, 1, status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(loop_table_block.count, 0);
    ASSERT_FALSE(errors().empty());
    EXPECT_EQ(errors().back(), "loop_aloc,dynamic memory error");
}

TEST_F(LoopTree, NodeReleaseClosesSubArrays)
{
    int status = 0;
    void* base = nullptr;
    node_arrays& n = node_arrays_block;
    MM_OPEN_ARRAY(24, 2, n.handle, base, status);
    int sub = -1;
    MM_OPEN_ARRAY(8, 4, sub, base, status);
    word* nodes = static_cast<word*>(mmcptr(n.handle));
    nodes[3] = sub;
    nodes[6 + 3] = -1;
    n.count = 2;
    const int open = vantu::control::open_array_count();
    node_release(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(n.handle, -1);
    EXPECT_EQ(vantu::control::open_array_count(), open - 2);
    copy_node_release(status);  // nothing open: nothing to do
    EXPECT_EQ(status, 0);
}

}  // namespace
