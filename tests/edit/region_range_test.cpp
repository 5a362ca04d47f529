// The block range of a procedure: both markers on the stretch between two block numbers given in
// either order, strings broken where the stretch starts or ends inside them (or everywhere with
// the break flag), the LAYER bracket noticed, the point before the stretch (the position before
// the procedure when no motion precedes it), and the failures reported in the system's words.
#include "driver/proc_block_support.hpp"
#include "edit/editor/region_range.hpp"
#include "editor_support.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <gtest/gtest.h>

namespace {

namespace control = vantu::control;
using strings = std::vector<std::string>;
using proc_test::r;

constexpr int kFirst = 10, kLast = 11;
const strings kPath{"L1", "P2:1", "M3:3", "L4", "S10x5", "L20", "M21:4", "L22"};

// The path as the sub-list of a procedure block that names its points (the first procedure of
// the tool path, so the position before it is the home point).
void build_procedure(const strings& path)
{
    control::reset();
    control::clear_messages();
    NPT1().set_real(tp_header_state::kHomePoint + 2, 100.0f);
    proc_test::proc_block b;
    b.number = editor_test::kProcBlock;
    b.global(5, {r(0), r(0), r(0)}, 1).global(27, {r(0), r(0), r(1)}, 1);
    b.global(6, {r(0), r(0), r(0)}, 1).global(28, {r(0), r(0), r(1)}, 1);
    b.append();
    int status = 0;
    newls1(2, status);
    for (const std::string& text : path) {
        const std::vector<word> words = editor_test::block_words(text);
        lcreat(1, status);
        lputd(static_cast<int>(words.size()), words.data(), status);
        lclos(status);
    }
    int counter = 100;
    gsblkn(2, 0, counter, status);
}

int marked_block(int marker)
{
    int status = 0;
    lmark(2, marker, status);
    return editor_test::cursor_block_number();
}

TEST(RegionRange, MarksTheStretchBetweenTwoBlocksInEitherOrder)
{
    const struct {
        int a, b, break_strings;
        int first, last, layer, no_previous;
        point3 point;
        strings path;  // the sub-list afterwards; empty: unchanged
    } rows[] = {
        {4, 4, 0, 4, 4, 1, 0, {1, 0, 0}, {}},
        {22, 1, 0, 1, 22, 1, -1, {0, 0, 100}, {}},
        {22, 22, 0, 22, 22, 0, 0, {20, 0, 0}, {}},
        {20,
         12,
         0,
         12,
         20,
         1,
         0,
         {11, 1, 0},
         {"L1", "P2:1", "M3:3", "L4", "M100:19", "L10", "L11", "L12", "L13", "L14", "M101:20", "L20", "M21:4", "L22"}},
        {10,
         14,
         0,
         10,
         14,
         1,
         0,
         {4, 0, 0},
         {"L1", "P2:1", "M3:3", "L4", "M100:19", "L10", "L11", "L12", "L13", "L14", "M101:20", "L20", "M21:4", "L22"}},
        {4,
         22,
         1,
         4,
         22,
         1,
         0,
         {1, 0, 0},
         {"L1", "P2:1", "M3:3", "L4", "M100:19", "L10", "L11", "L12", "L13", "L14", "M101:20", "L20", "M21:4", "L22"}},
        {1, 4, 1, 1, 4, 1, -1, {0, 0, 100}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "range " << row.a << ".." << row.b << " break " << row.break_strings);
        build_procedure(kPath);
        block_ref a{2, editor_test::kProcBlock, row.a}, b{2, editor_test::kProcBlock, row.b};
        int layer = 9, no_previous = 9, status = 9;
        point3 point{}, direction{};
        FNDRNG(kFirst, kLast, a, b, row.break_strings, layer, no_previous, point, direction, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(a.number, row.first) << "a holds the earlier block";
        EXPECT_EQ(b.number, row.last);
        EXPECT_EQ(marked_block(kFirst), row.first);
        EXPECT_EQ(marked_block(kLast), row.last);
        EXPECT_EQ(layer, row.layer);
        EXPECT_EQ(no_previous, row.no_previous);
        EXPECT_EQ(point, row.point);
        EXPECT_EQ(direction, (point3{0, 0, 1}));
        EXPECT_EQ(editor_test::blocks(), row.path.empty() ? kPath : row.path);
    }
}

TEST(RegionRange, FailuresAreReportedInTheSystemsWords)
{
    const struct {
        int a, b;
        const char* fault;
        int status;
        const char* message;
    } rows[] = {
        {4, 99, nullptr, -2, "FNDRNG, THE INDICATED REGION WAS NOT FOUND WITHIN THE CURRENT PROCEDURE"},
        {98, 99, nullptr, -2, "FNDRNG, THE INDICATED REGION WAS NOT FOUND WITHIN THE CURRENT PROCEDURE"},
        {4, 20, "lmark", -3, "FNDRNG, ERRORS IN LIST"},
    };
    for (const auto& row : rows) {
        build_procedure(kPath);
        if (row.fault) control::inject_fault(row.fault, 1, 1, -5);
        block_ref a{2, editor_test::kProcBlock, row.a}, b{2, editor_test::kProcBlock, row.b};
        int layer = 0, no_previous = 0, status = 0;
        point3 point{}, direction{};
        FNDRNG(kFirst, kLast, a, b, 0, layer, no_previous, point, direction, status);
        EXPECT_EQ(status, row.status) << row.a << ".." << row.b;
        const strings errors = control::lines_of("eroutc");
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.back(), row.message);
    }
}

}  // namespace
