// Merging of point-string sets: the joins at the tool position and the first set's start, the
// plain merge with normals and words, the three limits and the front gap; the twirl link that
// falls back on the ordinary link.
#include "lane_test_support.hpp"
#include "toolpath/motion_output_support.hpp"

#include "nc_services/proc_geometry_words_least.hpp"
#include "pocket_lanes/moves/string_merge.hpp"
#include "pocket_lanes/moves/twirl_spline.hpp"

#include <algorithm>
#include <string>
#include <vector>

using namespace motion_test;

namespace {

class StringMerge : public LaneTest {
protected:
    void SetUp() override
    {
        LaneTest::SetUp();
        fresh_at({0, 0, 0});
    }
    void TearDown() override
    {
        to_load_state();
        LaneTest::TearDown();
    }
};

// A set held in vectors: points given as x values (y = 0, z = 0), counts per string.
struct held_set {
    std::vector<float> points, normals;
    std::vector<int> words, counts;
    point_string_set set;
    // point_room: the capacity declared; the vectors always hold the strings given.
    held_set(const std::vector<std::vector<float>>& strings, int point_room, int string_room)
    {
        std::size_t given = 0;
        for (const auto& one : strings) given += one.size();
        points.assign(3 * std::max(given, static_cast<std::size_t>(point_room)), 0.0f);
        normals.assign(points.size(), 0.0f);
        words.assign(points.size() / 3, 0);
        counts.assign(std::max(strings.size(), static_cast<std::size_t>(string_room)), 0);
        std::size_t at = 0;
        for (std::size_t k = 0; k < strings.size(); ++k) {
            counts[k] = static_cast<int>(strings[k].size());
            for (const float x : strings[k]) {
                points[3 * at] = x;
                normals[3 * at + 2] = x;  // the normal's z follows the point
                words[at] = static_cast<int>(x);
                ++at;
            }
        }
        set.points = points.data();
        set.normals = normals.data();
        set.words = words.data();
        set.counts = counts.data();
        set.string_count = static_cast<int>(strings.size());
        set.point_capacity = 3 * point_room;
        set.string_capacity = string_room;
    }
    // The strings as x values.
    std::vector<std::vector<float>> strings() const
    {
        std::vector<std::vector<float>> out;
        std::size_t at = 0;
        for (int k = 0; k < set.string_count; ++k) {
            out.emplace_back();
            for (int i = 0; i < counts[static_cast<std::size_t>(k)]; ++i, ++at) out.back().push_back(points[3 * at]);
        }
        return out;
    }
};

using strings = std::vector<std::vector<float>>;

}  // namespace

TEST_F(StringMerge, JoinsAndPlainMerges)
{
    // The tool stands at x 0; the first set starts at x 10.
    struct row {
        int join;
        strings second, want;
    } rows[] = {
        {1, {}, {{10, 11}, {20}}},                                  // nothing to merge
        {1, {{0, 10}}, {{10, 11}, {20}}},                           // two points from the tool to the start
        {1, {{0, 4, 5, 10}}, {{4, 5, 10, 11}, {20}}},               // inner points join the first string
        {1, {{3, 4, 10}}, {{3, 4, 10, 11}, {20}}},                  // ends at the start only
        {1, {{0, 1, 2}, {6, 10}}, {{1, 2}, {6, 10, 11}, {20}}},     // tool point dropped, last string joins
        {0, {{0, 1}, {6, 10}}, {{0, 1}, {6, 10}, {10, 11}, {20}}},  // plain: in front, strings and counts
    };
    for (const row& r : rows) {
        held_set first({{10, 11}, {20}}, 20, 5), second(r.second, 10, 3);
        int status = -9;
        MRGGST(r.join, 0, first.set, second.set, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(first.strings(), r.want) << r.join << " " << r.second.size();
    }
    // Data kind 3 moves normals and words with the points; kind 0 leaves them.
    held_set first({{10}}, 20, 5), second({{3, 4}}, 10, 3);
    int status = -9;
    MRGGST(0, kMergeNormalsAndWords, first.set, second.set, status);
    EXPECT_EQ(first.normals[2], 3.0f);
    EXPECT_EQ(first.normals[5], 4.0f);
    EXPECT_EQ(first.words[2], 10);
}

TEST_F(StringMerge, LimitsChangeNothing)
{
    struct row {
        int point_room, string_room, second_room;
        std::string message;
    } rows[] = {
        {20, 2, 10, "MRGGST - ONLY 2 NUMBER OF STRINGS ARE AVAILABLE"},
        {4, 5, 10, "MRGGST - MAXIMUM NUMBER OF POINTS  IN A STRING :4"},
        {20, 5, 1, "MRGGST - MAXIMUM NUMBER OF POINTS  IN SECOND STRING:1"},
    };
    for (const row& r : rows) {
        vantu::control::clear_messages();
        held_set first({{10, 11}}, r.point_room, r.string_room), second({{1, 2}, {3}}, r.second_room, 3);
        int status = -9;
        MRGGST(0, 0, first.set, second.set, status);
        EXPECT_EQ(status, -1);
        EXPECT_EQ(texts("eroutc"), (std::vector<std::string>{r.message}));
        EXPECT_EQ(first.strings(), (strings{{10, 11}}));
        EXPECT_EQ(second.set.string_count, 2);
    }
}

TEST_F(StringMerge, FrontGap)
{
    std::vector<int> a = {1, 2, 3, 0, 0};
    int status = -9;
    insert_front_gap(a.data(), 5, 3, 2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(a[2], 1);
    EXPECT_EQ(a[4], 3);
    insert_front_gap(a.data(), 5, 4, 2, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(a[4], 3);
}

TEST_F(StringMerge, TwirlLinkWritesANurbsMoveOrNothing)
{
    pocket_link_words link;
    link.from.point[0] = 0;
    link.from.direction[0] = 1;
    link.to.point[0] = 10;
    link.to.point[1] = 5;
    link.to.direction[1] = 1;
    link.link = link.to_kept = link.from_kept = 1;
    pocket_links() = link;
    pocket_state_block.path_start[0] = 10;
    pocket_state_block.path_start[1] = 5;
    proc_geometry_reset();
    proc_geometry().curve_approx.tolerance = 0.01f;
    // Twirl value 0: nothing written.
    twirl_spline_points(link);
    EXPECT_TRUE(steps().empty());
    EXPECT_EQ(pocket_links().link, 0);
    // With a twirl value: one NURBS move of one cubic segment.
    proc_geometry().curve_approx.twirl_value = 1.0f;
    twirl_spline_points(link);
    EXPECT_EQ(steps(), (std::vector<std::string>{"N4"}));
    // The path start elsewhere: nothing.
    fresh_at({0, 0, 0});
    pocket_state_block.path_start[0] = 3;
    twirl_spline_points(link);
    EXPECT_TRUE(steps().empty());
    proc_geometry_reset();
}
