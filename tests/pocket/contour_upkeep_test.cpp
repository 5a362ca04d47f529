// Upkeep of the contour table: duplicates, dropping invalid contours, gathering planar faces
// between chains, and the limits of the gathered buffer.
#include "contour_test_support.hpp"

#include "pocket/contour_upkeep.hpp"

namespace {

class ContourUpkeep : public ContourTest {};

}  // namespace

TEST_F(ContourUpkeep, DuplicatesLeaveOneAndHandPickedGivesWay)
{
    struct row {
        const char* what;
        std::vector<int> by_criteria;  // copies of one contour, then a different one
        std::vector<int> left;         // by-criteria flags of the copies left
        const char* message;           // "" none
        const char* count;             // how it ends: the number of contours removed; "" unchecked
    } rows[] = {
        {"two hand-picked", {0, 0}, {0}, "331/34", ""},         {"hand-picked gives way", {0, 1}, {1}, "331/34", ""},
        {"found by criteria first", {1, 0}, {1}, "331/34", ""}, {"three copies", {0, 0, 0}, {0}, "331/35", " 2"},
        {"both by criteria stay", {1, 1}, {1, 1}, "", ""},
    };
    for (const row& r : rows) {
        SetUp();
        rectangle_set(1, 0, 0, 10, 10);
        rectangle_set(2, 20, 0, 30, 10);
        for (const int crit : r.by_criteria) add_chain(1, 0.0f, 0.0f, kPart, crit);
        add_chain(2, 7.0f);
        contour_remove_duplicates();
        const int left = static_cast<int>(r.left.size());
        ASSERT_EQ(table().count, left + 1) << r.what;
        EXPECT_EQ(std::vector<int>(table().by_criteria.begin() + 1, table().by_criteria.begin() + 1 + left), r.left)
            << r.what;
        EXPECT_EQ(table().offset[left + 1], 7.0f) << r.what;
        EXPECT_EQ(table().first_entry[left + 2], 4 * (left + 1) + 1) << r.what;
        const auto messages = vantu::control::texts_of("msg_mdls");
        EXPECT_EQ(messages.empty() ? std::string() : messages.back(), std::string(r.message)) << r.what;
        const auto lines = vantu::control::lines_of("msg_mdls");
        const std::string line = lines.empty() ? std::string() : lines.back();
        if (*r.count) {
            EXPECT_TRUE(line.ends_with(r.count)) << r.what << ": " << line;
        }
        TearDown();
    }
}

TEST_F(ContourUpkeep, DroppingAContourMovesTheOthersDown)
{
    rectangle_set(1, 0, 0, 10, 10);
    circle_set(2, 30, 0, 2);
    rectangle_set(3, 50, 0, 60, 10);
    add_chain(1, 1.0f);
    add_chain(2, 2.0f, 3.0f, kStock, 1);
    add_chain(3, 4.0f);
    table().valid[1] = 0;
    int changed = 0;
    contour_drop_unkept(changed);
    EXPECT_EQ(changed, 1);
    ASSERT_EQ(table().count, 2);
    EXPECT_EQ(std::vector<float>(table().offset.begin() + 1, table().offset.begin() + 3), (std::vector<float>{2, 4}));
    EXPECT_EQ(table().draft[1], 3.0f);
    EXPECT_EQ(table().part_stock[1], kStock);
    EXPECT_EQ(table().by_criteria[1], 1);
    EXPECT_EQ(std::vector<int>(table().first_entry.begin() + 1, table().first_entry.begin() + 4),
              (std::vector<int>{1, 2, 6}));
    EXPECT_EQ(*geometry_record(2), 3);  // contour 2 is the rectangle of set 3
    EXPECT_EQ(table().valid[2], 1);
}

TEST_F(ContourUpkeep, FaceBetweenChainsGathersOneRecordPerLoop)
{
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 20, 0, 30, 10);
    rectangle_set(3, 22, 2, 24, 4);
    circle_set(4, 50, 0, 2);
    const int face = vantu::control::add_planar_face({2, 3});
    add_chain(1, 1.0f);
    add_record({kFaceRecord, face}, kKindFace, 3.0f, 5.0f);
    add_chain(4, 4.0f);
    int status = -9;
    // The draft field is off, as the pocket passes it: the face's draft angle still counts.
    contour_gather_curves(1, 0, kMaxContours, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(table().gathered_count, 4);
    EXPECT_EQ(std::vector<float>(table().gathered_offset.begin() + 1, table().gathered_offset.begin() + 5),
              (std::vector<float>{1, 3, 3, 4}));
    EXPECT_EQ(std::vector<float>(table().gathered_draft.begin() + 1, table().gathered_draft.begin() + 5),
              (std::vector<float>{0, 5, 5, 0}));
    EXPECT_EQ(table().draft_present, 1);
    EXPECT_EQ(contour_buffers_block.gathered[2 * 8], 3);  // the face's second loop after its first
}

// The gathered buffer grows with the contours; more than 700 gathered records empty the table.
TEST_F(ContourUpkeep, GatheringGrowsItsBufferButNotPast700Records)
{
    const int line = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    vantu::control::define_curve_set(1, std::vector<vantu::control::curve_in_set>(2300, {line, 0.0, 1.0, 1.0}));
    circle_set(2, 10, 0, 1);
    struct row {
        const char* what;
        std::vector<int> loops;
        int status, gathered;
    } rows[] = {
        {"more than 4500 entries", {1, 1}, 0, 2},
        {"more than 700 records", std::vector<int>(kMaxContours + 1, 2), -1, 0},
    };
    for (const row& r : rows) {
        vantu::control::clear_messages();
        table().count = 0;
        add_record({kFaceRecord, vantu::control::add_planar_face(r.loops)}, kKindFace);
        int status = 0;
        contour_gather_curves(1, 0, kMaxContours, status);
        EXPECT_EQ(status, r.status) << r.what;
        EXPECT_EQ(table().count, r.status == 0 ? 1 : 0) << r.what;
        EXPECT_EQ(table().gathered_count, r.gathered) << r.what;
        EXPECT_EQ(has_line("eroutc", "ERROR: TOO MANY CURVES IN CONTOUR"), r.status != 0) << r.what;
    }
    // Both loops whole: the second record runs from entry 2301 to entry 4600, (set 1, curve 2300).
    ASSERT_GE(contour_entries(), 4600);
    const contour_buffer& gathered = contour_buffers_block.gathered;
    EXPECT_EQ(std::vector<int>(gathered.begin() + 2 * 2300, gathered.begin() + 2 * 2300 + 2), (std::vector<int>{1, 1}));
    EXPECT_EQ(std::vector<int>(gathered.begin() + 2 * 4599, gathered.begin() + 2 * 4600), (std::vector<int>{1, 2300}));
}

// A loop picked curve by curve brings its whole record with every pick; once the copies are gone
// the buffers shrink to what the records left need, keeping those records as they were.
TEST_F(ContourUpkeep, BuffersGiveBackTheRoomOfRemovedCopies)
{
    struct row {
        const char* what;
        int copies, by_criteria;  // of a 1000-curve loop, in buffers of four times their first size
        int entries;              // each buffer's entries after
    } rows[] = {
        {"picked 16 times: one copy left", 16, 0, kContourEntriesFirst},
        {"found 6 times by criteria: all stay", 6, 1, 2 * kContourEntriesFirst},
        {"found 10 times: more than half in use", 10, 1, 4 * kContourEntriesFirst},
    };
    for (const row& r : rows) {
        SetUp();
        const int line = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
        vantu::control::define_curve_set(1, std::vector<vantu::control::curve_in_set>(1000, {line, 0.0, 1.0, 1.0}));
        const std::vector<int> record = records_of({1});
        ASSERT_TRUE(contour_buffers_reserve(4 * kContourEntriesFirst));
        for (int k = 0; k < r.copies; ++k) add_record(record, kKindChain, 0.0f, 0.0f, kPart, r.by_criteria);
        contour_remove_duplicates();
        int status = -9;
        contour_gather_curves(1, 0, kMaxContours, status);
        EXPECT_EQ(status, 0) << r.what;
        contour_buffers_fit();
        EXPECT_EQ(contour_entries(), r.entries) << r.what;
        for (const contour_buffer* b :
             {&contour_buffers_block.geometry, &contour_buffers_block.wire, &contour_buffers_block.work,
              &contour_buffers_block.save, &contour_buffers_block.gathered})
            EXPECT_EQ(b->size(), 2u * static_cast<std::size_t>(r.entries)) << r.what;
        for (int k = 1; k <= table().count; ++k) {
            const int* kept = geometry_record(k);
            ASSERT_NE(kept, nullptr) << r.what;
            EXPECT_TRUE(std::equal(record.begin(), record.end(), kept)) << r.what << ", contour " << k;
            const int* gathered = buffer_entry(contour_buffers_block.gathered, 1000 * (k - 1) + 1);
            ASSERT_NE(gathered, nullptr) << r.what;
            EXPECT_EQ(record_length(gathered), 1000) << r.what << ", gathered " << k;
        }
        TearDown();
    }
}

TEST_F(ContourUpkeep, CriteriaContoursNotFoundAgainAreRemovedUnlessChecked)
{
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 20, 0, 30, 10);
    rectangle_set(3, 40, 0, 50, 10);
    struct row {
        const char* what;
        int checked;
        int count, changed;
    } rows[] = {
        {"not found: removed", 0, 2, 1},
        {"criteria checked: kept", 1, 3, 1},
    };
    for (const row& r : rows) {
        table().count = 0;
        add_chain(1, 0, 0, kPart, 1);
        add_chain(2, 0, 0, kPart, 1);
        add_chain(3);
        vantu::control::define_criteria({1, 0, r.checked, 1, {1}});
        int changed = 0;
        pkt_refind_by_crit(changed);
        EXPECT_EQ(changed, r.changed) << r.what;
        ASSERT_EQ(table().count, r.count) << r.what;
        EXPECT_EQ(*geometry_record(r.count), 3) << r.what;  // the hand-picked contour stays last
    }
}
