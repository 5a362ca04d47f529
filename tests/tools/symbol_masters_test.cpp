// Symbol masters: placement data of every master kind, symbol instances and the interactive
// placement with its stored picking options.
#include "tools_test_support.hpp"

#include "host/control/masters.hpp"
#include "host/control/mdata.hpp"
#include "host/control/script.hpp"
#include "host/vantu_masters.hpp"
#include "tools/master_names.hpp"
#include "tools/symbol_masters.hpp"

using namespace tools_test;
namespace control = vantu::control;

namespace {

// A master record of type 1, 4 or 9: head, matrix, reference point, slave ids (and for type 4
// one more integer).
int add_master(int type, const std::array<float, 9>& matrix, const std::array<float, 3>& point, int extra = 0)
{
    std::vector<word> words{77};
    for (float v : matrix) words.push_back(real_to_word(v));
    for (float v : point) words.push_back(real_to_word(v));
    words.push_back(2);
    words.push_back(101);
    words.push_back(102);
    if (type == kLocalMaster4) words.push_back(extra);
    return control::add_entity(kMasterClass, type, words);
}

const std::array<float, 9> kTurn{0, -1, 0, 1, 0, 0, 0, 0, 1};  // a quarter turn about z

}  // namespace

using SymbolMasters = ToolsTest;

TEST_F(SymbolMasters, OwnRecordHeadOfEveryLocalType)
{
    for (int type : {1, 4, 9}) {
        const int master = add_master(type, kTurn, {1, 2, 3}, 55);
        int head = 0, slaves = 0, extra = -8, status = 0;
        float matrix[9], point[3];
        GIMASH(master, head, matrix, point, slaves, extra, status);
        ASSERT_EQ(status, 0) << type;
        EXPECT_EQ(head, 77);
        EXPECT_EQ(slaves, 2);
        EXPECT_EQ(extra, type == 4 ? 55 : -8) << type;
        EXPECT_FLOAT_EQ(matrix[1], -1.0f);
        EXPECT_FLOAT_EQ(point[2], 3.0f);
    }
    const int line = control::add_line({0, 0, 0}, {1, 0, 0});
    int head = 0, slaves = 0, extra = 0, status = 0;
    float matrix[9], point[3];
    GIMASH(line, head, matrix, point, slaves, extra, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "GIMASH - INVALID CLASS OR TYPE"));
    GIMASH(99999, head, matrix, point, slaves, extra, status);
    EXPECT_TRUE(has_line("eroutc", "GIMASH - CAN NOT OPEN ENTITY"));
    EXPECT_TRUE(is_class14_type149(14, 9));
    EXPECT_FALSE(is_class14_type149(14, 2));
    EXPECT_FALSE(is_class14_type149(13, 1));
}

TEST_F(SymbolMasters, FrameOfReferenceMasters)
{
    write_file("OTHER.PRT", "{}");
    const std::string other = temp_folder() + "/OTHER.PRT";
    const int target = add_master(1, kTurn, {4, 5, 6});
    control::add_external_master(other, "UNIT", 0);
    control::add_external_master(other, "TURN", target);
    int unit = 0, turned = 0, lost = 0, resolved = 0, status = 0;
    GCEMP(3, unit, resolved, other, "UNIT", 0, 0, status);
    rtcrpr(status);
    GCEMP(3, turned, resolved, other, "TURN", 0, 0, status);
    rtcrpr(status);
    GCEMP(3, lost, resolved, "", "LOST", 0, 0, status);
    float point[3] = {9, 9, 9}, matrix[9];
    int resolved_id = -3;
    GTMSTR(unit, point, matrix, resolved_id, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(resolved_id, -3);
    EXPECT_FLOAT_EQ(matrix[0], 1.0f);
    EXPECT_FLOAT_EQ(matrix[4], 1.0f);
    EXPECT_FLOAT_EQ(matrix[1], 0.0f);
    EXPECT_FLOAT_EQ(point[0], 0.0f);
    GTMSTR(turned, point, matrix, resolved_id, status);
    EXPECT_EQ(resolved_id, target);
    EXPECT_FLOAT_EQ(matrix[3], 1.0f);
    EXPECT_FLOAT_EQ(point[1], 5.0f);
    GTMSTR(lost, point, matrix, resolved_id, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(has_line("eroutc", "GTMSTR - ILLEGAL MASTER ENTITY"));
    EXPECT_EQ(control::part_context_depth(), 0);
}

TEST_F(SymbolMasters, InstanceCreatedAttachedAndRewritten)
{
    const int master = add_master(1, kTurn, {0, 0, 0});
    const float matrix[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    const float position[3] = {10, 20, 30};
    int instance = -1, status = 0;
    store_c13_entity(instance, master, matrix, position, 2.5f, kSymbolInstanceType, status);
    ASSERT_EQ(status, 0);
    auto stored = control::get_entity(instance);
    ASSERT_EQ(stored->words.size(), 14u);
    EXPECT_EQ(stored->words[0], master);
    EXPECT_FLOAT_EQ(word_to_real(stored->words[10]), 10.0f);
    EXPECT_FLOAT_EQ(word_to_real(stored->words[13]), 2.5f);
    int owner = 0;
    eattc(master, 1, "OW", owner, status);
    EXPECT_EQ(owner, instance);
    int same = instance;
    const float moved[3] = {1, 2, 3};
    store_c13_entity(same, master, matrix, moved, 1.0f, kSymbolInstanceType, status);
    EXPECT_EQ(same, instance);
    EXPECT_FLOAT_EQ(word_to_real(control::get_entity(instance)->words[10]), 1.0f);
    store_c13_entity(same, master, matrix, moved, 1.0f, 3, status);
    EXPECT_EQ(status, -1);  // another type
    int plain = 0;
    store_c13_entity(plain, master, matrix, moved, 1.0f, kSymbolInstanceType, status);
    EXPECT_EQ(status, 0);
    eattc(master, 1, "OW", owner, status);
    EXPECT_EQ(owner, instance);  // an id of 0 does not attach
}

TEST_F(SymbolMasters, PlacementTurnsWithTheViewAndFlattensIn2D)
{
    const int master = add_master(1, kTurn, {0, 0, 0});
    control::set_2d_mode(true);
    control::load_script_text(R"([{"point": [10, 20, 30]}])", "t");
    int instance = 0;
    TLDSYM(master, 1.0f, instance);
    ASSERT_GT(instance, 0);
    auto stored = control::get_entity(instance);
    EXPECT_FLOAT_EQ(word_to_real(stored->words[10]), 10.0f);
    EXPECT_FLOAT_EQ(word_to_real(stored->words[12]), 0.0f);  // z dropped in 2-D mode
    // The unit view transposed times the master's quarter turn is the turn.
    EXPECT_FLOAT_EQ(word_to_real(stored->words[2]), -1.0f);
    auto options = control::get_record("TLSY");
    ASSERT_TRUE(options);
    EXPECT_EQ(*options, (std::vector<word>{2, 2, 2, 0, 0}));
}

TEST_F(SymbolMasters, CancelledPlacementKeepsStoredOptions)
{
    const int master = add_master(1, kTurn, {0, 0, 0});
    control::set_record("TLSY", 1, {3, 1, 2, 7, 9});
    control::load_script_text(R"([{"point": "cancel"}])", "t");
    const int last = lastid();
    int instance = -4;
    TLDSYM(master, 1.0f, instance);
    EXPECT_EQ(instance, 0);
    EXPECT_EQ(lastid(), last);
    EXPECT_EQ(*control::get_record("TLSY"), (std::vector<word>{3, 1, 2, 7, 9}));
    control::load_script_text(R"([{"point": [1, 1, 1]}])", "t");
    TLDSYM(99999, 1.0f, instance);
    EXPECT_EQ(instance, 0);
    EXPECT_TRUE(has_line("eroutc", "TLDSYM, CANNOT CREATE TOOL SYMBOL"));
}

TEST_F(SymbolMasters, SymbolNameWithoutTableIsStatusOne)
{
    const int master = add_master(1, kTurn, {0, 0, 0});
    int kind = 0, status = 0;
    std::string file, name;
    symbol_master_name(master, kind, file, name, status);
    EXPECT_EQ(status, 1);
    int table = 0, in_use = 0, id = 0, found = 0;
    std::string text = "1SYM";
    FBNAME(1, text, table, in_use, id, found, status);
    UPDMT(table, in_use, text, master, status);
    symbol_master_name(master, kind, file, name, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(name.substr(0, 4), "SYM ");
}
