// The kept scratch values: a call takes the kept value and leaves its contents for the next call;
// a nested call, which finds it taken, works on a value of its own and never on the outer one's.
#include "pocket_lanes/scratch_cache.hpp"

#include <gtest/gtest.h>

#include <vector>

TEST(ScratchCache, NestedCallGetsItsOwnValueAndTheKeptOneComesBack)
{
    scratch_cache<std::vector<int>> cache;
    const std::vector<int>* kept = nullptr;
    {
        scratch_lease<std::vector<int>> outer(cache);
        outer.get().assign({1, 2, 3});
        kept = &outer.get();
        EXPECT_EQ(kept, &cache.value);
        {
            scratch_lease<std::vector<int>> nested(cache);
            EXPECT_NE(&nested.get(), kept);
            EXPECT_TRUE(nested.get().empty());
            nested.get().assign({9});
        }
        EXPECT_EQ(outer.get(), (std::vector<int>{1, 2, 3}));
        EXPECT_TRUE(cache.taken);
    }
    EXPECT_FALSE(cache.taken);
    scratch_lease<std::vector<int>> again(cache);
    EXPECT_EQ(&again.get(), kept);
    EXPECT_EQ(again.get(), (std::vector<int>{1, 2, 3}));
}
