// The interval list: the ranges left after cuts, the payloads and tags on their boundaries, the
// growth of its host array, and its refusals (use before open, a refused growth, a stale handle).
#include "cutter_test_support.hpp"

#include <utility>

namespace {

interval_payload payload(int n)
{
    interval_payload p;
    for (int k = 0; k < 6; ++k) p.words[k] = n * 10 + k;
    return p;
}

std::vector<std::pair<double, double>> ranges()
{
    std::vector<std::pair<double, double>> out;
    const auto* r = static_cast<const interval_record*>(mmcptr(interval_list_block.handle));
    for (int k = 1; k + 1 < interval_list_block.count; k += 2) out.emplace_back(r[k].key, r[k + 1].key);
    return out;
}

}  // namespace

class IntervalList : public CutterTest {
protected:
    void SetUp() override
    {
        CutterTest::SetUp();
        int status = -9;
        interval_list_open(status);
        ASSERT_EQ(status, 0);
    }
};

TEST_F(IntervalList, CutsLeaveTheRangesOutside)
{
    using ranges_t = std::vector<std::pair<double, double>>;
    struct row {
        const char* what;
        double a, b;
        ranges_t expected;
        double first_start, first_end;  // interval_list_first; start above end: none
    };
    const row rows[] = {
        {"a cut inside splits the range", 2, 3, {{-1, 2}, {3, 10}}, -1, 2},
        {"a cut over the start", -5, 4, {{4, 10}}, 4, 10},
        {"a cut over everything", -5, 20, {}, 1e10, -1e10},
        {"an empty cut", 5, 5, {{-1, 10}}, -1, 10},
        {"a reversed cut", 6, 5, {{-1, 10}}, -1, 10},
        {"a cut from the start key keeps an empty range", -1, 4, {{-1, -1}, {4, 10}}, 4, 10},
        {"a cut over the end", 7, 12, {{-1, 7}}, -1, 7},
        {"a cut beyond the sentinels", 2e10, 3e10, {{-1, 10}}, -1, 10},
        {"a cut ending at the sentinel", 2, 1e10, {{-1, 2}}, -1, 2},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.what);
        interval_list_reset(-1, 10);
        interval_list_insert(r.a, r.b, payload(1), payload(2), 7);
        EXPECT_EQ(ranges(), r.expected);
        double start = 0, end = 0;
        interval_payload pa, pb;
        int status = 9;
        interval_list_first(start, end, pa, pb, status);
        EXPECT_EQ(start, r.first_start);
        EXPECT_EQ(end, r.first_end);
        EXPECT_EQ(status, r.first_start <= r.first_end ? 0 : -1);
        double first = 0, last = 0;
        interval_list_span(first, last, status);
        EXPECT_EQ(status, r.expected.empty() ? -1 : 0);
    }
}

TEST_F(IntervalList, BoundariesCarryTheirPayloadsAndTag)
{
    interval_list_reset(-1, 10);
    interval_list_insert(2, 3, payload(1), payload(2), 7);
    interval_list_insert(5, 6, payload(3), payload(4), 8);
    double start = 0, end = 0;
    interval_payload pa, pb;
    int status = 0, tag = 0, flag = 9;
    interval_list_insert(-3, 0.5, payload(5), payload(6), 9);  // leaves [0.5, 2]
    interval_list_first(start, end, pa, pb, status);
    EXPECT_EQ(start, 0.5);
    EXPECT_EQ(end, 2.0);
    EXPECT_EQ(pa.words[3], payload(6).words[3]) << "the start made by the cut carries pb";
    EXPECT_EQ(pb.words[0], payload(1).words[0]) << "the end made by the first cut carries its pa";
    interval_list_tag(tag);
    EXPECT_EQ(tag, 7) << "the tag of the end record";
    interval_list_current(start, end, flag);
    EXPECT_EQ(flag, 0);
    EXPECT_EQ(start, 0.5);

    // An interval ending exactly at 0 is returned; one ending below 0 is skipped.
    interval_list_reset(-4, 10);
    interval_list_insert(-3, -2, payload(1), payload(2), 1);
    interval_list_insert(0, 1, payload(3), payload(4), 2);
    interval_list_first(start, end, pa, pb, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(start, -2.0);
    EXPECT_EQ(end, 0.0);
    double first = 0, last = 0;
    interval_list_span(first, last, status);
    EXPECT_EQ(first, -4.0);
    EXPECT_EQ(last, 10.0);
    interval_list_reset(0, 1);
    interval_list_current(start, end, flag);
    EXPECT_EQ(flag, -1) << "a reset forgets the last search";
}

TEST_F(IntervalList, GrowsByHundredsInOrder)
{
    interval_list_reset(0, 10000);
    const int handle = interval_list_block.handle;
    std::vector<const void*> bases{mmcptr(handle)};
    for (int k = 0; k < 300; ++k) {
        interval_list_insert(10 * k + 1, 10 * k + 2, payload(k), payload(k), k);
        if (mmcptr(handle) != bases.back()) bases.push_back(mmcptr(handle));
    }
    EXPECT_EQ(interval_list_block.count, 2 + 2 * 301);
    EXPECT_EQ(interval_list_block.capacity, 700);
    EXPECT_EQ(MM_CUR_N_ENTRIES(handle), 700);
    EXPECT_EQ(bases.size(), 7u) << "every growth moved the array in the stand-in";
    EXPECT_TRUE(vantu::control::released_and_poisoned(bases[bases.size() - 2]));
    const auto list = ranges();
    ASSERT_EQ(list.size(), 301u);
    for (std::size_t k = 1; k < list.size(); ++k) EXPECT_LT(list[k - 1].second, list[k].first);
    EXPECT_EQ(list.back().second, 10000.0);
}

TEST_F(IntervalList, RefusesRatherThanOverruns)
{
    interval_list_reset(0, 10000);
    for (int k = 0; k < 48; ++k) interval_list_insert(10 * k + 1, 10 * k + 2, payload(k), payload(k), k);
    EXPECT_EQ(interval_list_block.count, 100) << "the array is full";
    vantu::control::inject_fault("MM_RESIZE_ARRAY", 1, 1, -2);
    interval_list_insert(700, 701, payload(1), payload(1), 1);
    EXPECT_EQ(interval_list_block.count, 100) << "nothing written past the array";
    double start = 0, end = 0, first = 0, last = 0;
    interval_payload pa, pb;
    int status = 0;
    interval_list_first(start, end, pa, pb, status);
    EXPECT_EQ(status, -1) << "a failed list answers -1 until the next reset";
    interval_list_span(first, last, status);
    EXPECT_EQ(status, -1);
    interval_list_reset(0, 1);
    interval_list_first(start, end, pa, pb, status);
    EXPECT_EQ(status, 0);

    // Use before open, and a handle the host no longer knows.
    interval_list_close(status);
    EXPECT_EQ(status, 0);
    interval_list_reset(0, 1);
    interval_list_insert(0.2, 0.3, pa, pb, 1);
    interval_list_first(start, end, pa, pb, status);
    EXPECT_EQ(status, -1);
    interval_list_open(status);
    interval_list_reset(0, 1);
    MM_CLOSE(interval_list_block.handle, status);
    interval_list_insert(0.2, 0.3, pa, pb, 1);
    interval_list_span(first, last, status);
    EXPECT_EQ(status, -1);
    interval_list_module_reset();
}
