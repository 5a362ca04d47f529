// Every block layout read back field by field from the list and from an entity (the entity form:
// a size word, then the same words), with the transformation of WHERE 4 and 5, and the sub-list
// stack's level limit.
#include "toolpath/machine_table.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/read_transform.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_coords.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"
#include "toolpath_support.hpp"

#include <functional>

using namespace tp_test;

namespace {

using words = std::vector<word>;

words operator+(words a, const words& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
words pt(float x, float y, float z) { return {r(x), r(y), r(z)}; }
words text_words(const std::string& text)
{
    words out;
    for (std::size_t i = 0; i < text.size(); i += 4) out.push_back(text4_to_word(text.substr(i, 4)));
    return out;
}

// One block in list form and the check of its reader's fields; the check reads the block at
// WHERE where after its head was read.
struct block_case {
    words list_form;
    std::function<void(int where, int size)> check;
};

std::vector<block_case> every_block_type()
{
    std::vector<block_case> cases;
    cases.push_back({{1, 2, 5, 0, 1200}, [](int where, int) {
                         tp_param_block b;
                         int status = 0;
                         tpread_param(where, b, status);
                         EXPECT_EQ(status, 0);
                         EXPECT_EQ((std::array<int, 5>{b.number, b.prmtyp, b.deftyp, b.is_real, b.int_value}),
                                   (std::array<int, 5>{2, 5, 0, 0, 1200}));
                     }});
    cases.push_back({{1, 3, 1, 0, r(2.5f)}, [](int where, int) {
                         tp_param_block b;
                         int status = 0;
                         tpread_param(where, b, status);
                         EXPECT_EQ(b.is_real, 1);
                         EXPECT_EQ(b.real_value, 2.5f);
                     }});
    cases.push_back({words{22, 4} + pt(1, 2, 3) + pt(0, 1, 0), [](int where, int size) {
                         tp_line_point p;
                         int status = 0;
                         tpread_lines(where, 22, size, p, status);
                         EXPECT_EQ(status, 0);
                         EXPECT_EQ(p.number, 4);
                         EXPECT_EQ(p.points, 1);
                         EXPECT_EQ(p.point, (point3{1, 2, 3}));
                         EXPECT_EQ(p.direction, (point3{0, 1, 0}));
                     }});
    cases.push_back({words{23, 5, 2, r(0.5f), r(1.0f), r(6), r(7)} + pt(1, 2, 3) + pt(1, 0, 0), [](int where, int) {
                         tp_arc_block a;
                         int status = 0;
                         tpread_arc(where, 23, a, status);
                         EXPECT_EQ(status, 0);
                         EXPECT_EQ(a.number, 5);
                         EXPECT_EQ(a.plane, 2);
                         EXPECT_EQ(a.angle, 0.5f);
                         EXPECT_EQ(a.delta, 1.0f);
                         EXPECT_EQ(a.centre, (std::array<float, 2>{6, 7}));
                         EXPECT_EQ(a.end, (point3{1, 2, 3}));
                         EXPECT_EQ(a.direction, (point3{1, 0, 0}));
                     }});
    words long_text{4, 6, 83};
    for (int i = 0; i < 21; ++i) long_text.push_back(text4_to_word(i == 20 ? "xyz" : "abcd"));
    cases.push_back({long_text, [](int where, int) {
                         tp_text_block t;
                         int status = 0;
                         tpread_text(where, t, status);
                         EXPECT_EQ(status, 0);
                         EXPECT_EQ(t.count, 83);
                         EXPECT_EQ(t.text, std::string(80, 'a').replace(0, 80, [] {
                             std::string s;
                             for (int i = 0; i < 20; ++i) s += "abcd";
                             return s;
                         }()));
                     }});
    cases.push_back({words{6, 7} + pt(1, 2, 3) + pt(4, 5, 6), [](int where, int) {
                         tp_home_block h;
                         int status = 0;
                         tpread_home(where, h, status);
                         EXPECT_EQ(h.number, 7);
                         EXPECT_EQ(h.first, (point3{1, 2, 3}));
                         EXPECT_EQ(h.second, (point3{4, 5, 6}));
                     }});
    cases.push_back(
        {words{9, 8, 2} + pt(1, 2, 3) + words{r(0.25f), 11, r(1.5f), 12, r(2.5f)} + pt(4, 5, 6), [](int where, int) {
             tp_macsys_rot_block m;
             int status = 0;
             tpread_macsys_rot(where, m, status);
             EXPECT_EQ(status, 0);
             EXPECT_EQ((std::array<int, 4>{m.number, m.axes, m.value1, m.value2}), (std::array<int, 4>{8, 2, 11, 12}));
             EXPECT_EQ(m.point, (point3{1, 2, 3}));
             EXPECT_EQ((std::array<float, 3>{m.angle, m.real1, m.real2}), (std::array<float, 3>{0.25f, 1.5f, 2.5f}));
             EXPECT_EQ(m.end, (point3{4, 5, 6}));
         }});
    cases.push_back({words{10, 9, 1} + pt(1, 2, 3) + pt(4, 5, 6) + words{13, r(3.5f)}, [](int where, int) {
                         tp_rotaxes_block b;
                         int status = 0;
                         tpread_rotaxes(where, b, status);
                         EXPECT_EQ(status, 0);
                         EXPECT_EQ((std::array<int, 3>{b.number, b.kind, b.value}), (std::array<int, 3>{9, 1, 13}));
                         EXPECT_EQ(b.second, (point3{4, 5, 6}));
                         EXPECT_EQ(b.real, 3.5f);
                     }});
    cases.push_back(
        {words{11, 10, 2, r(0.5f)} + pt(1, 2, 3) + words{14, r(4.5f)}, [](int where, int) {
             tp_lathe_drill_block b;
             int status = 0;
             tpread_lathe_drill(where, b, status);
             EXPECT_EQ((std::array<int, 3>{b.number, b.drill_type, b.value}), (std::array<int, 3>{10, 2, 14}));
             EXPECT_EQ(b.point, (point3{1, 2, 3}));
             EXPECT_EQ((std::array<float, 2>{b.real1, b.real2}), (std::array<float, 2>{0.5f, 4.5f}));
         }});
    cases.push_back({words{13, 11} + pt(1, 2, 3) + pt(4, 5, 6) + words{3, 2}, [](int where, int) {
                         tp_thread_block b;
                         int status = 0;
                         tpread_thread(where, b, status);
                         EXPECT_EQ((std::array<int, 3>{b.number, b.starts, b.current}), (std::array<int, 3>{11, 3, 2}));
                         EXPECT_EQ(b.end, (point3{4, 5, 6}));
                     }});
    cases.push_back(
        {words{14, 12, 4} + pt(1, 2, 3) + pt(4, 5, 6) + words{r(1), r(2), r(3), r(4), r(5), r(6)}, [](int where, int) {
             tp_groove_block b;
             int status = 0;
             tpread_groove(where, b, status);
             EXPECT_EQ(status, 0);
             EXPECT_EQ(b.groove_type, 4);
             EXPECT_EQ(b.start, (point3{1, 2, 3}));
             EXPECT_EQ(b.reals, (std::array<float, 6>{1, 2, 3, 4, 5, 6}));
         }});
    for (int type : {30, 35}) {
        cases.push_back({words{type, 13} + text_words("CYCLE_81") + words{15, r(-5), r(1), r(2), 16, r(-8)},
                         [type](int where, int) {
                             tp_cycle_block b;
                             int status = 0;
                             if (type == 30)
                                 tpread_cycle_activation(where, b, status);
                             else
                                 tpread_cycle_cancel(where, b, status);
                             EXPECT_EQ(status, 0);
                             EXPECT_EQ(std::string(b.name.data(), 8), "CYCLE_81");
                             EXPECT_EQ((std::array<int, 2>{b.value1, b.value2}), (std::array<int, 2>{15, 16}));
                             EXPECT_EQ((std::array<float, 4>{b.real1, b.real2, b.real3, b.real4}),
                                       (std::array<float, 4>{-5, 1, 2, -8}));
                         }});
    }
    cases.push_back({words{31, 14} + pt(1, 2, 3) + pt(0, 0, -1) + words{17}, [](int where, int size) {
                         tp_drill_loc_block b;
                         int status = 0;
                         tpread_drill_loc(where, size, b, status);
                         EXPECT_EQ(b.direction, (point3{0, 0, -1}));
                         EXPECT_EQ(b.value, 17);
                     }});
    cases.push_back({{32, 15, r(1), r(2)}, [](int where, int) {
                         tp_z_pair_block b;
                         int status = 0;
                         tpread_blk32(where, b, status);
                         EXPECT_EQ((std::array<float, 2>{b.first, b.second}), (std::array<float, 2>{1, 2}));
                     }});
    cases.push_back({{33, 16, r(3), r(4)}, [](int where, int size) {
                         tp_z_pair_block b;
                         int status = 0;
                         tpread_delz_setting(where, size, b, status);
                         EXPECT_EQ((std::array<float, 2>{b.first, b.second}), (std::array<float, 2>{3, 4}));
                     }});
    cases.push_back(
        {{34, 17, 1, 2}, [](int where, int) {
             tp_retract_mode_block b;
             int status = 0;
             tpread_retract_mode(where, b, status);
             EXPECT_EQ((std::array<int, 3>{b.number, b.old_mode, b.new_mode}), (std::array<int, 3>{17, 1, 2}));
         }});
    cases.push_back({{36, 19, r(5), r(6)}, [](int where, int) {
                         tp_z_pair_block b;
                         int status = 0;
                         tpread_depth_setting(where, b, status);
                         EXPECT_EQ((std::array<float, 2>{b.first, b.second}), (std::array<float, 2>{5, 6}));
                     }});
    cases.push_back(
        {words{40, 20, r(1), r(2), r(3), r(4), r(5), r(6), r(7), r(8), r(9)} + pt(10, 11, 12), [](int where, int) {
             tp_transform_block b;
             int status = 0;
             tpread_transform(where, b, status);
             EXPECT_EQ(b.matrix[8], 9.0f);
             EXPECT_EQ(b.translation, (point3{10, 11, 12}));
         }});
    for (const auto& [code, extra] : std::vector<std::pair<int, words>>{{3, {r(2.5f)}}, {33, {7}}, {5, {}}}) {
        cases.push_back({words{99, 21, code} + extra, [code = code](int where, int size) {
                             tp_marker_block b;
                             int status = 0;
                             tpread_marker(where, size, b, status);
                             EXPECT_EQ(b.code, code);
                             EXPECT_EQ(b.z, code == 3 ? 2.5f : 0.0f);
                             EXPECT_EQ(b.value, code == 33 ? 7 : 0);
                         }});
    }
    return cases;
}

void reset_frames()
{
    MACSYS() = macsys_frame{};
    read_transformation_clear();
}

}  // namespace

TEST(BlockForms, EveryLayoutReadsBackFromTheList)
{
    fresh();
    reset_frames();
    for (const block_case& c : every_block_type()) {
        SCOPED_TRACE("block type " + std::to_string(c.list_form[0]));
        append_block(c.list_form);
        int size = 0, type = 0, klass = 0, status = 0;
        tp_block_head_read(kWhereList, size, type, klass, status);
        ASSERT_EQ(status, 0);
        EXPECT_EQ(size, static_cast<int>(c.list_form.size()));
        c.check(kWhereList, size);
    }
}

TEST(BlockForms, EveryLayoutReadsBackFromAnEntityInSequence)
{
    fresh();
    reset_frames();
    const auto cases = every_block_type();
    words entity;
    for (const block_case& c : cases) entity = entity + words{static_cast<word>(c.list_form.size())} + c.list_form;
    int status = 0, id = 0, entity_class = 0, entity_type = 0;
    estore(9, 8, id, status);
    eputn(static_cast<int>(entity.size()), entity.data(), status);
    eopen(id, entity_class, entity_type, status);
    // Each reader must leave the entity exactly at the next block's size word.
    for (int where : {kWhereEntity, kWhereParamLine}) {
        eopen(id, entity_class, entity_type, status);
        for (const block_case& c : cases) {
            SCOPED_TRACE("WHERE " + std::to_string(where) + " block type " + std::to_string(c.list_form[0]));
            int size = 0, type = 0, klass = 0;
            tp_block_head_read(where, size, type, klass, status);
            ASSERT_EQ(status, 0);
            ASSERT_EQ(type, c.list_form[0]);
            ASSERT_EQ(size, static_cast<int>(c.list_form.size()));
            c.check(where, size);
        }
        word after = 0;
        egetn(1, &after, status);
        EXPECT_EQ(status, kEntityShort) << "every word of the entity was read";
    }
    eclose(status);
}

TEST(BlockForms, WorldCoordinatesFromTheListAndTheEntity)
{
    fresh();
    reset_frames();
    MACSYS().origin = {100, 0, 0};
    MACSYS().matrix = {0, -1, 0, 1, 0, 0, 0, 0, 1};  // a quarter turn about z
    const read_transformation shift{{1, 0, 0, 0, 1, 0, 0, 0, 1}, {0, 0, 10}};
    read_transformation_set(shift.matrix.data(), shift.translation.data());
    const words line = words{22, 1} + pt(1, 2, 3) + pt(1, 0, 0);
    const words home = words{6, 2} + pt(1, 2, 3) + pt(0, 0, 0);
    const words cycle = words{30, 3} + text_words("CYCLE_81") + words{0, r(-5), r(0), r(0), 0, r(-8)};
    const words pair = {32, 4, r(1), r(2)};
    int status = 0, id = 0, entity_class = 0, entity_type = 0;
    estore(9, 8, id, status);
    for (const words& w : {line, home}) {
        const word size = static_cast<word>(w.size());
        eputn(1, &size, status);
        eputn(static_cast<int>(w.size()), w.data(), status);
    }
    eopen(id, entity_class, entity_type, status);
    for (int where : {kWhereParamLine, kWhereListWorld}) {
        SCOPED_TRACE("WHERE " + std::to_string(where));
        int size = 0, type = 0, klass = 0;
        if (where == kWhereListWorld) append_block(line);
        tp_block_head_read(where, size, type, klass, status);
        tp_line_point p;
        tpread_lines(where, type, size, p, status);
        ASSERT_EQ(status, 0);
        // (1, 2, 3) moved by the read transformation to (1, 2, 13), then turned and moved to MACSYS.
        EXPECT_EQ(p.point, (point3{98, 1, 13}));
        EXPECT_EQ(p.direction, (point3{0, 1, 0}));
        if (where == kWhereListWorld) append_block(home);
        tp_block_head_read(where, size, type, klass, status);
        tp_home_block h;
        tpread_home(where, h, status);
        EXPECT_EQ(h.first, (point3{98, 1, 3})) << "a home point takes MACSYS only";
        EXPECT_EQ(h.second, (point3{100, 0, 0}));
    }
    eclose(status);

    append_block(cycle);
    int size = 0, type = 0, klass = 0;
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_cycle_block c;
    tpread_cycle_activation(kWhereListWorld, c, status);
    EXPECT_EQ((std::array<float, 2>{c.real1, c.real4}), (std::array<float, 2>{5, 2})) << "depths shifted by 10";
    append_block(pair);
    tp_block_head_read(kWhereList, size, type, klass, status);
    tp_z_pair_block z;
    tpread_blk32(kWhereList, z, status);
    EXPECT_EQ(z.first, 1.0f) << "WHERE 2 leaves the z pair as stored";
    reset_frames();
}

TEST(BlockForms, ParameterBlocksOfTheSlotWriterReadBack)
{
    fresh();
    PRM9() = machine_params{};
    mch_slots() = mch_slot_table{};
    PRM9().words[machine_params::kSpindleSpeed] = 1000;
    PRM9().words[machine_params::kDirection] = 2;
    mch_slots().slots[2].status = kSlotComputed;
    mch_slots().slots[9] = {kSlotExplicit, 9, 0, kForceWrite};
    int status = 0;
    PT1MCH(1, 2, status);
    PT1MCH(1, 9, status);
    ASSERT_EQ(status, 0);
    const struct {
        int prmtyp;
        int deftyp;
        int value;
    } expected[] = {{2, 0, -1000}, {9, 1, -1}};
    lacces(2, status);
    for (const auto& e : expected) {
        int size = 0, type = 0, klass = 0;
        tp_block_head_read(kWhereList, size, type, klass, status);
        EXPECT_EQ(type, 1);
        EXPECT_EQ(size, 5);
        tp_param_block b;
        tpread_param(kWhereList, b, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(b.prmtyp, e.prmtyp);
        EXPECT_EQ(b.deftyp, e.deftyp);
        EXPECT_EQ(b.int_value, e.value) << "DEFTYP 1 is resolved by MCHVAL";
        tp_list_jump(1, status);
    }
}

TEST(BlockForms, HeaderSizesGiveTheirOptionalWords)
{
    const words common = words{0, 1} + text_words("MACSYS01") + words{5} + pt(1, 2, 3) + pt(4, 5, 6) +
                         words{r(1), r(0), r(0), r(0), r(1), r(0), r(0), r(0), r(1), r(0.5f), 6};
    struct row {
        words tail;
        int value3;
        int value6;
        bool text;
    };
    const row rows[] = {
        {{900, 8, 9, 0, 0}, 0, 0, false},
        {{7, 900, 8, 9, 0, 0}, 7, 0, false},
        {{7, 900, 8, 9, 10, 0, 0}, 7, 10, false},
        {words{7, 900, 8, 9, 10, 0, 0} + text_words(std::string(80, 'T')), 7, 10, true},
    };
    for (const row& rw : rows) {
        fresh();
        append_block(common + rw.tail);
        int size = 0, type = 0, klass = 0, status = 0;
        tp_block_head_read(kWhereList, size, type, klass, status);
        SCOPED_TRACE("size " + std::to_string(size));
        EXPECT_EQ(size, static_cast<int>((common + rw.tail).size()));
        tp_header_block h;
        h.value3 = h.value6 = -1;
        tpread_header(kWhereListWorld, size, h, status);
        EXPECT_EQ(status, 0);
        EXPECT_EQ(std::string(h.macsys_name.data(), 8), "MACSYS01");
        EXPECT_EQ(h.version, 900);
        EXPECT_EQ(h.value3, rw.value3 ? rw.value3 : -1) << "left as the caller set it";
        EXPECT_EQ(h.value6, rw.value6 ? rw.value6 : -1);
        EXPECT_EQ(h.text, rw.text ? std::string(80, 'T') : std::string());
        EXPECT_EQ(h.real1, 0.5f);
        word past = 0;
        tpget(kWhereList, 1, kTypeInteger, &past, status);
        EXPECT_EQ(status, kTpShort) << "the reader ends at the block's last word";
    }
}

TEST(Sublist, StackSetPerLevelNeverPassesTheStack)
{
    for (int level = 1; level <= 10; ++level) {
        fresh();
        BLSK() = sublist_stack{};
        BLSK().words.fill(-9);
        int status = 0;
        for (int l = 1; l < level; ++l) {
            append_block({4, l, 0});
            newls1(l + 1, status);
            ASSERT_EQ(status, 0);
        }
        append_block({4, level, 0});
        sublist_stack_set(40 + level, status);
        SCOPED_TRACE("level " + std::to_string(level));
        if (level == 10) {
            EXPECT_EQ(status, -1);
            EXPECT_EQ(BLSK().words, (std::array<word, 11>{-9, -9, -9, -9, -9, -9, -9, -9, -9, -9, -9}));
            continue;
        }
        EXPECT_EQ(status, 0);
        EXPECT_EQ(BLSK().words[0], level + 1);
        EXPECT_EQ(BLSK().words[static_cast<std::size_t>(level)], 40 + level);
        EXPECT_EQ(BLSK().words[static_cast<std::size_t>(level) + 1], 0);
        EXPECT_EQ(vantu::control::toolpath_counters()[static_cast<std::size_t>(level)], 0) << "counter of L + 1";
    }
}
