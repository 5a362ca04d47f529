// The contour menu and the definition of contours driven by scripts: a full table refuses ADD,
// a planar face takes one order number per loop, deleting all goes straight to REDEFINE.
#include "contour_test_support.hpp"

#include "pocket/contour_dialogs.hpp"

namespace {

class ContourDialog : public ContourTest {
protected:
    int run(int first, int modify, const char* script)
    {
        vantu::control::load_script_text(script, "contour dialog");
        int valid = 1, changed = 0, status = -9;
        contour_dialog(first, modify, contour_values{}, contour_switches{}, valid, changed, status);
        return status;
    }
    static std::string pick(int id) { return "{\"pick\": " + std::to_string(id) + "}"; }
};

}  // namespace

TEST_F(ContourDialog, AddIsRefusedWithAFullTable)
{
    for (int set = 1; set <= kMaxContours; ++set) {
        circle_set(set, 3.0 * set, 0.0, 1.0);
        add_chain(set);
    }
    const std::vector<int> records(contour_buffers_block.geometry.begin(),
                                   contour_buffers_block.geometry.begin() + 2 * kMaxContours);
    EXPECT_EQ(run(0, 1, R"([{"menu": "ADD CONTOURS"}])"), 0);
    EXPECT_TRUE(has_line("user1c", "NOTE: NUMBER OF CONTOURS CANNOT EXCEED 700"));
    EXPECT_EQ(table().count, kMaxContours);
    EXPECT_EQ(std::vector<int>(contour_buffers_block.geometry.begin(),
                               contour_buffers_block.geometry.begin() + 2 * kMaxContours),
              records);
    EXPECT_EQ(table().gathered_count, kMaxContours);
}

// Picking stops where the table fills; the user is told so rather than picking on in vain.
TEST_F(ContourDialog, PickingIntoAFullTableIsTold)
{
    for (const int before : {kMaxContours - 2, kMaxContours - 1}) {
        SetUp();
        for (int set = 1; set <= before; ++set) {
            circle_set(set, 3.0 * set, 0.0, 1.0);
            add_chain(set);
        }
        const int circle = vantu::control::add_circle({0, 10, 0}, 1.0);
        const std::string script = R"([{"menu": "ADD CONTOURS"}, {"menu": "CONTOUR"}, )" + pick(circle) + "]";
        EXPECT_EQ(run(0, 1, script.c_str()), 0);
        EXPECT_EQ(table().count, before + 1);
        EXPECT_EQ(has_line("user1c", "NOTE: NUMBER OF CONTOURS CANNOT EXCEED 700"), before + 1 == kMaxContours)
            << before;
    }
}

TEST_F(ContourDialog, PlanarFaceTakesOneOrderNumberPerLoop)
{
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 1, 1, 2, 2);
    rectangle_set(3, 4, 4, 5, 5);
    const int face = vantu::control::add_planar_face({1, 2, 3});
    const int first = vantu::control::add_line({20, 0, 0}, {24, 0, 0});
    vantu::control::add_line({24, 0, 0}, {24, 4, 0});
    vantu::control::add_line({24, 4, 0}, {20, 4, 0});
    vantu::control::add_line({20, 4, 0}, {20, 0, 0});
    const int third = vantu::control::add_circle({40, 0, 0}, 2.0);
    const std::string script = "[{\"menu\": \"CONTOUR\"}, " + pick(first) +
                               R"(, {"pick": "back"}, {"question": "no", "expect": "REJECT CONTOUR 1 ?"},
                                   {"menu": "PLANAR FACE"}, )" +
                               pick(face) +
                               R"(, {"menu": "CONTOUR"}, {"pick": "back"},
                                   {"question": "no", "expect": "REJECT CNT. 2:4 ?"},
                                   {"menu": "CONTOUR"}, )" +
                               pick(third) + R"(, {"pick": "exit"}])";
    EXPECT_EQ(run(1, 0, script.c_str()), 0);
    EXPECT_EQ(vantu::control::events_left(), 0u);
    ASSERT_EQ(table().count, 3);
    EXPECT_EQ(std::vector<int>(table().order.begin() + 1, table().order.begin() + 5), (std::vector<int>{1, 2, 5, 6}));
    EXPECT_EQ(std::vector<int>(table().kind.begin() + 1, table().kind.begin() + 4),
              (std::vector<int>{kKindChain, kKindFace, kKindChain}));
    EXPECT_EQ(table().gathered_count, 5);  // the face's three loops one record each
}

TEST_F(ContourDialog, DeletingAllGoesStraightToRedefine)
{
    rectangle_set(1, 0, 0, 10, 10);
    rectangle_set(2, 20, 0, 30, 10);
    add_chain(1);
    add_chain(2);
    const int status = run(0, 1, R"([{"menu": "DELETE CONTOURS"}, {"menu": 3},
                                     {"question": "yes", "expect": "DELETE ALL CONTOURS?"}])");
    EXPECT_EQ(table().count, 0);
    EXPECT_TRUE(has_line("userrc", "NOTE: ALL CONTOURS WERE DELETED"));
    // The next pass asks for the method of a new contour, without the contour menu.
    const std::vector<std::string> menus = events("menu");
    ASSERT_EQ(menus.size(), 3u);
    EXPECT_EQ(menus.back(), "CONTOUR@PLANAR FACE");
    EXPECT_EQ(status, -1);  // no contour and no active mask
    EXPECT_EQ(table().gathered_count, 0);
}
