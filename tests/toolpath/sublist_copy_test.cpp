// The sub-list copy: every block type written into a stored entity comes back into a list as the
// writer writes it there; the copy transformation moves what it should and nothing else.
#include "host/control/messages.hpp"
#include "listing/dspblk_draw.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/conv_sub_list.hpp"
#include "toolpath/copy_transform.hpp"
#include "toolpath/tp_block_open.hpp"
#include "toolpath/tp_words.hpp"
#include "toolpath_support.hpp"

#include <functional>

using namespace tp_test;

namespace {

using writer = std::function<void(int where, int& status)>;

// A stored motion entity holding what the writers write with WHERE 1; answers its id.
int stored_entity(const std::vector<writer>& writers)
{
    int id = 0, status = 0;
    estore(9, 8, id, status);
    for (const writer& w : writers) w(kWhereEntity, status);
    EXPECT_EQ(status, 0);
    eclose(status);
    return id;
}

// Copies count blocks of the entity into the list at WHERE to.
void copy_blocks(int id, int count, int to, int& status)
{
    int entity_class = 0, type = 0;
    eopen(id, entity_class, type, status);
    for (int i = 0; i < count && status >= 0; ++i) conv_sub_list(kWhereEntity, to, 0, 0, status);
    int closed = 0;
    eclose(closed);
}

tp_transform_block transform(const matrix3& m, const point3& t) { return {0, m, t}; }

}  // namespace

TEST(SublistCopy, EveryBlockTypeComesBackAsItsWriterWritesIt)
{
    const point3 a{1, 2, 3}, b{4, 5, 6}, v{0, 1, 0};
    tp_param_block feed{3, 1, 0, 1, 0, 250.0f}, side{4, 5, 1, 0, 9, 0.0f};
    tp_cycle_block cycle{8, {'D', 'R', 'I', 'L', 'L', ' ', ' ', ' '}, 2, 1.5f, 2.5f, 3.5f, 0, 4.5f};
    const float knots[4] = {0, 0.5f, 1, 1.5f}, poles[6] = {1, 2, 3, 4, 5, 6};
    const std::vector<std::pair<const char*, writer>> rows = {
        {"parameter value", [&](int w, int& s) { put_param_block(w, feed, s); }},
        {"parameter sub-type", [&](int w, int& s) { put_param_sub_block(w, side, s); }},
        {"line 2", [&](int w, int& s) { put_line_block(w, 2, 5, a, kDefaultDirection, s); }},
        {"line 22", [&](int w, int& s) { put_line_block(w, 22, 5, a, v, s); }},
        {"line 222", [&](int w, int& s) { put_line_block(w, 222, 5, a, v, s); }},
        {"string 27",
         [&](int w, int& s) {
             BLKOPN(w, 27, 22, s);
             for (const point3& p : {a, b, a}) put_line_point(w, 27, 6, p, v, s);
             BLKCLS(w);
         }},
        {"arc 3",
         [&](int w, int& s) {
             put_arc_block(w, 3, {6, 2, 1.0f, 0.1f, {7, 8}, b, kDefaultDirection}, s);
         }},
        {"arc 23",
         [&](int w, int& s) {
             put_arc_block(w, 23, {6, 3, 1.0f, 0.1f, {7, 8}, b, v}, s);
         }},
        {"text", [&](int w, int& s) { PUTBT4(w, 4, 6, "ABCDEF", 7, s); }},
        {"nurbs", [&](int w, int& s) { put_nurbs_block(w, 7, 2, 2, knots, poles, s); }},
        {"home",
         [&](int w, int& s) {
             put_home_block(w, {7, a, b}, s);
         }},
        {"macsys rotation",
         [&](int w, int& s) {
             put_macsys_rot_block(w, {7, 2, a, 30.0f, 1, 2.0f, 3, 4.0f, b}, s);
         }},
        {"rotation axes",
         [&](int w, int& s) {
             put_rotaxes_block(w, {7, 1, a, b, 2, 3.0f}, s);
         }},
        {"lathe drill",
         [&](int w, int& s) {
             put_lathe_drill_block(w, {7, 2, 1.0f, a, 3, 4.0f}, s);
         }},
        {"thread",
         [&](int w, int& s) {
             put_thread_block(w, {7, a, b, 2, 1}, s);
         }},
        {"groove",
         [&](int w, int& s) {
             put_groove_block(w, {7, 1, a, b, {1, 2, 3, 4, 5, 6}}, s);
         }},
        {"cycle activation", [&](int w, int& s) { put_cycle_act_block(w, cycle, s); }},
        {"drill location",
         [&](int w, int& s) {
             put_drill_loc_block(w, {8, a, v, 4}, s);
         }},
        {"z pair",
         [&](int w, int& s) {
             put_blk32_block(w, {8, 1.0f, 2.0f}, s);
         }},
        {"del-zsurf",
         [&](int w, int& s) {
             put_delz_block(w, {8, 1.0f, 2.0f}, s);
         }},
        {"retract mode",
         [&](int w, int& s) {
             put_retract_mode_block(w, {8, 1, 2}, s);
         }},
        {"cycle cancel", [&](int w, int& s) { put_cycle_cancel_block(w, cycle, s); }},
        {"depth",
         [&](int w, int& s) {
             put_depth_block(w, {8, 1.0f, 2.0f}, s);
         }},
        {"marker layer", [&](int w, int& s) { put_marker_block(w, 3, 12.5f, 0, 9, s); }},
        {"marker pass", [&](int w, int& s) { put_marker_block(w, 5, 0.0f, 0, 9, s); }},
        {"marker region", [&](int w, int& s) { put_marker_block(w, 59, 0.0f, 4, 9, s); }},
    };
    for (const auto& [name, write] : rows) {
        SCOPED_TRACE(name);
        fresh();
        int status = 0;
        write(kWhereList, status);
        const std::vector<word> expected = top_lines().at(0);
        dspblk().last_type = -1;
        const int id = stored_entity({write});
        copy_blocks(id, 1, kWhereList, status);
        EXPECT_EQ(status, 0);
        ASSERT_EQ(top_lines().size(), 2u);
        EXPECT_EQ(top_lines()[1], expected);
        EXPECT_EQ(dspblk().last_type, expected[0]) << "the copy was shown";
    }
}

TEST(SublistCopy, TransformationMovesLinesArcsAndDrillPointsButNotTexts)
{
    fresh();
    copy_xform() = copy_transformation{};
    const point3 p{1, 2, 3};
    const int id = stored_entity({
        [](int w, int& s) {
            put_transform_block(w, transform({1, 0, 0, 0, 1, 0, 0, 0, 1}, {10, 0, 0}), s);
        },
        [&](int w, int& s) { put_line_block(w, 2, 1, p, kDefaultDirection, s); },
        [&](int w, int& s) {
            put_arc_block(w, 3, {2, 1, 1.0f, 0.1f, {0, 0}, p, kDefaultDirection}, s);
        },
        [&](int w, int& s) {
            put_drill_loc_block(w, {3, p, kDefaultDirection, 0}, s);
        },
        [](int w, int& s) { PUTBT4(w, 4, 4, "TEXT", 4, s); },
        [](int w, int& s) { put_marker_block(w, 3, 5.0f, 0, 5, s); },
    });
    int status = 0;
    copy_blocks(id, 6, kWhereList, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(copy_xform().active, 1);
    const auto lines = top_lines();
    ASSERT_EQ(lines.size(), 5u) << "the transformation block itself is not written";
    EXPECT_EQ(lines[0], (std::vector<word>{2, 1, r(11), r(2), r(3)}));
    EXPECT_EQ(lines[1], (std::vector<word>{3, 2, 1, r(1), r(0.1f), r(10), r(0), r(11), r(2), r(3)}));
    EXPECT_EQ(std::vector<word>(lines[2].begin(), lines[2].begin() + 5), (std::vector<word>{31, 3, r(11), r(2), r(3)}));
    EXPECT_EQ(lines[3], (std::vector<word>{4, 4, 4, text4_to_word("TEXT")}));
    EXPECT_EQ(lines[4], (std::vector<word>{99, 5, 3, r(5)}));
    conv_sub_list(-1, kWhereList, 0, 0, status);
    EXPECT_EQ(copy_xform().active, 0);
}

TEST(SublistCopy, MirrorSwapsTheCutterSideAndTurnsArcs)
{
    fresh();
    copy_xform() = copy_transformation{};
    const int id = stored_entity({
        [](int w, int& s) {
            put_transform_block(w, transform({-1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 0}), s);
        },
        [](int w, int& s) {
            put_param_sub_block(w, {1, 5, 1, 0, 9, 0.0f}, s);
        },
        [](int w, int& s) {
            put_param_sub_block(w, {2, 5, 1, 0, 10, 0.0f}, s);
        },
        [](int w, int& s) {
            put_arc_block(w, 3, {3, 1, 1.5f, 0.1f, {2, 0}, {3, 0, 0}, kDefaultDirection}, s);
        },
    });
    int status = 0;
    copy_blocks(id, 4, kWhereList, status);
    const auto lines = top_lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], (std::vector<word>{1, 1, 5, 1, 10}));
    EXPECT_EQ(lines[1], (std::vector<word>{1, 2, 5, 1, 9}));
    EXPECT_EQ(lines[2], (std::vector<word>{3, 3, 1, r(-1.5f), r(0.1f), r(-2), r(0), r(-3), r(0), r(0)}));
}

TEST(SublistCopy, HeaderVersionNoteNowhereAndUnknownTypes)
{
    for (int version : {599, 600}) {
        fresh();
        copy_xform() = copy_transformation{};
        copy_xform().active = 1;
        tp_header_block header;
        header.version = version;
        header.text = "PART";
        const int id = stored_entity({[&](int w, int& s) { put_header_block(w, header, s); }});
        int status = 0;
        copy_blocks(id, 1, kWhereList, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(copy_xform().active, 0) << "a header switches the transformation off";
        const auto lines = top_lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].size(), 49u);
        EXPECT_EQ(lines[0][23], prgvrs()) << "the version word";
        const auto notes = vantu::control::lines_of("userrc");
        EXPECT_EQ(notes.size(), version == 599 ? 1u : 0u);
        if (!notes.empty()) {
            EXPECT_EQ(notes[0], "TOOLPATH WAS CREATED IN VER. 5.0!");
        }
    }

    fresh();
    dspblk().last_type = -1;
    int status = 0;
    conv_sub_list(kWhereNowhere, kWhereList, 2, 5, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(top_lines().empty());
    EXPECT_EQ(dspblk().last_type, -1) << "nothing was shown";

    append_block({15, 0, 0});
    int answer = 0;
    lacces(0, answer);
    conv_sub_list(kWhereList, kWhereListNumbered, 15, 3, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors1(), std::vector<std::string>{"DSPBLK - UNEXPECTED BLOCK TYPE 15"});
}
