// The pocket's parameter records: the order put parameters writes them in, the template variant,
// reading them back (with the codes older blocks hold and the refusals of bad counts), the
// contour geometry entity, the parameters-changed rules and the translations.
#include "contour_test_support.hpp"

#include "host/control/entities.hpp"
#include "host/control/template.hpp"
#include "pocket/pocket_callbacks.hpp"
#include "pocket/pocket_words.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_words.hpp"

#include <map>

namespace {

using P = drelan_params;
namespace control = vantu::control;

struct record {
    int code;
    std::vector<word> values;
};

// The tagged records of a run of words.
std::vector<record> records_in(const std::vector<word>& words, std::size_t from = 0)
{
    std::vector<record> out;
    for (std::size_t i = from; i + 3 <= words.size();) {
        const std::size_t n = static_cast<std::size_t>(words[i + 1] - 1);
        out.push_back({words[i], std::vector<word>(words.begin() + static_cast<long>(i) + 3,
                                                   words.begin() + static_cast<long>(i + 3 + n))});
        i += 3 + n;
    }
    return out;
}

class PocketParams : public ContourTest {
protected:
    void SetUp() override
    {
        ContourTest::SetUp();
        pocket_words_block = pocket_words{};
        proc_flags() = proc_geom_pairs{};
        geom_pairs_init(proc_flags().pairs);
    }
    void TearDown() override
    {
        control::template_close();
        int status = 0;
        eclose(status);
        ContourTest::TearDown();
    }

    // Three chain contours with offsets, drafts and types, method 2 with 4 entry points.
    static void three_contours_and_points()
    {
        rectangle_set(1, 0, 0, 100, 60);
        circle_set(2, 25, 30, 8);
        rectangle_set(3, 55, 25, 80, 35);
        add_chain(1, 1.5f, 2.0f);
        add_chain(2, -0.5f);
        add_chain(3, 0.25f);
        table().type[2] = 3;
        params().at(P::kEntryMode) = 2;
        const float points[12] = {1, 1, 0, 2, 2, 0, 3, 3, 0, 4, 4, 0};
        const int sources[4] = {-1, -1, -1, -1};
        int status = 0;
        add_entry_pnts(0, 4, points, sources, status);
        ASSERT_EQ(status, 0);
    }

    static P& params() { return drelan_params_current; }

    // Put parameters into a new entity with WHERE 1; answers the entity's words.
    static std::vector<word> put_into_entity(int& counter)
    {
        int id = 0, status = 0;
        estore(16, 9, id, status);
        int type = 50, where = kWhereEntity;
        counter = 0;
        param_put_drelan(type, where, counter, status);
        EXPECT_EQ(status, 0);
        int closed = 0;
        eclose(closed);
        return control::get_entity(id)->words;
    }
    // Reads the words back with WHERE 1 from a new entity.
    static int read_from_entity(const std::vector<word>& words, int procedure_type = 50, int version = 1200)
    {
        const int id = control::add_entity(16, 9, words);
        int entity_class = 0, entity_type = 0, status = 0;
        eopen(id, entity_class, entity_type, status);
        int where = kWhereEntity, before_515 = 0, length = static_cast<int>(words.size());
        block_read_drelan(where, procedure_type, version, before_515, length, status);
        int closed = 0;
        eclose(closed);
        return status;
    }
    static std::vector<int> codes_of(const std::vector<record>& records)
    {
        std::vector<int> codes;
        for (const record& r : records) codes.push_back(r.code);
        return codes;
    }
};

TEST_F(PocketParams, PutWritesThePartsOrderAndTheTemplateLeavesOutContoursAndTool)
{
    three_contours_and_points();
    PRM9().words[machine_params::kToolId] = 77;
    int counter = 0;
    const std::vector<record> written = records_in(put_into_entity(counter));
    const std::vector<int> order{41,  142, 211, 224, 24,  39,  26,  25,  20,  22,  44,  42,  11,  12, 16,
                                 13,  205, 14,  15,  32,  86,  17,  23,  28,  29,  30,  27,  200, 68, 131,
                                 221, 223, 222, 225, 219, 220, 238, 256, 257, 259, 262, 263, 198};
    EXPECT_EQ(codes_of(written), order);
    std::map<int, std::vector<word>> by_code;
    int words = 0;
    for (const record& r : written) {
        by_code[r.code] = r.values;
        words += 3 + static_cast<int>(r.values.size());
    }
    EXPECT_EQ(counter, words);
    EXPECT_EQ(by_code[41], (std::vector<word>{real_to_word(1.5f), real_to_word(-0.5f), real_to_word(0.25f)}));
    EXPECT_EQ(by_code[263], (std::vector<word>{1, 3, 1}));
    EXPECT_EQ(by_code[219], std::vector<word>{4});
    EXPECT_EQ(by_code[220].size(), 12u);
    EXPECT_EQ(by_code[198], std::vector<word>{77});
    EXPECT_EQ(by_code[14], (std::vector<word>{real_to_word(2.0f), real_to_word(2.0f)}));

    control::template_open("T", true);
    int type = 50, where = kWhereTemplateWrite, status = 0;
    counter = 0;
    param_put_drelan(type, where, counter, status);
    std::vector<word> template_words;
    for (const auto& w : control::template_contents()) template_words.push_back(w.value);
    std::vector<int> without = order;
    std::erase_if(without, [](int code) { return code == 41 || code == 142 || code == 263 || code == 198; });
    EXPECT_EQ(codes_of(records_in(template_words)), without);

    // Without entry points in use neither 219 nor 220 is written; in use but empty only 219 = 0.
    for (const auto& [mode, points, expected] : {std::tuple{1, 4, 0}, std::tuple{2, 0, 1}}) {
        params().at(P::kEntryMode) = mode;
        if (points == 0) reset_entry_pnts();
        const auto codes = codes_of(records_in(put_into_entity(counter)));
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 219), expected) << mode;
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 220), 0) << mode;
    }
}

TEST_F(PocketParams, ReadingBackGivesTheSameBlockAndTable)
{
    three_contours_and_points();
    params().set_real(P::kZStep, 3.0f);
    params().at(P::kRegionOrder) = 3;
    params().set_real(P::kExtraOffset, 0.125f);
    const P written = params();
    const contour_table before = table();
    int counter = 0;
    const std::vector<word> words = put_into_entity(counter);

    drelan_params_defaults(0.0f, params());
    contour_table_empty();
    reset_entry_pnts();
    table().count = 3;
    ASSERT_EQ(read_from_entity(words), 0);
    EXPECT_TRUE(std::equal(std::begin(written.words), std::end(written.words), std::begin(params().words)));
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(table().offset[k], before.offset[k]) << k;
        EXPECT_EQ(table().draft[k], before.draft[k]) << k;
        EXPECT_EQ(table().type[k], before.type[k]) << k;
        EXPECT_EQ(table().first_entry[k], before.first_entry[k]) << k;
    }
    EXPECT_EQ(get_n_entry_pnts(), 4);
    float point[3] = {};
    get_entry_pnt(3, point);
    EXPECT_EQ(point[0], 3.0f);
}

TEST_F(PocketParams, SpecialAndOlderCodesReadAsTheCurrentOnes)
{
    struct row {
        const char* what;
        std::vector<word> words;
        int procedure_type;
        int method, passes, entry_mode;
        float reference_z;
    };
    const word ten = real_to_word(10.0f);
    const row rows[] = {
        {"211 = 3 is method 2 with passes 3", {211, 2, 0, 3}, 50, 2, 3, 1, 0.0f},
        {"205 absent takes code 11", {11, 2, 1, ten}, 50, 2, 1, 1, 10.0f},
        {"procedure type 3 is hatching", {}, 3, 1, 1, 1, 0.0f},
        {"36 not 0 is entry mode 2", {36, 2, 0, 5}, 50, 2, 1, 2, 0.0f},
        {"179 = 2 is the contour pass", {179, 2, 0, 2}, 50, 2, 3, 1, 0.0f},
        {"skipped codes", {21, 3, 0, 1, 2, 10003, 2, 0, 9}, 50, 2, 1, 1, 0.0f},
        {"31: the entry points follow",
         {30, 2, 0, 2, 31, 2, 0, 1, 1, real_to_word(4.0f), real_to_word(5.0f), 0},
         50,
         2,
         1,
         2,
         0.0f},
    };
    for (const row& r : rows) {
        drelan_params_defaults(0.0f, params());
        params().at(P::kPasses) = 2;
        params().set_real(P::kExtraOffset, 3.0f);
        ASSERT_EQ(read_from_entity(r.words, r.procedure_type), 0) << r.what;
        EXPECT_EQ(params().at(P::kMethod), r.method) << r.what;
        EXPECT_EQ(params().at(P::kPasses), r.passes) << r.what;
        EXPECT_EQ(params().at(P::kEntryMode), r.entry_mode) << r.what;
        EXPECT_EQ(params().real(P::kReferenceZ), r.reference_z) << r.what;
        EXPECT_EQ(params().real(P::kExtraOffset), 0.0f) << r.what;
    }
    ASSERT_EQ(get_n_entry_pnts(), 1);
    float point[3] = {};
    get_entry_pnt(1, point);
    EXPECT_EQ(point[1], 5.0f);
    // 184 orders the gathered offsets and drafts after the contours' own.
    rectangle_set(1, 0, 0, 10, 10);
    circle_set(2, 5, 5, 1);
    add_chain(1);
    add_chain(2);
    const std::vector<word> older{41, 3, 1, real_to_word(1.0f), real_to_word(2.0f), 184, 3, 0, 2, 1};
    ASSERT_EQ(read_from_entity(older), 0);
    EXPECT_EQ(table().gathered_offset[1], 2.0f);
    EXPECT_EQ(table().gathered_offset[2], 1.0f);
}

// A hatch procedure written before version 600 kept unsigned offsets: each is signed once by
// its contour's orientation, islands the other way round, and the drafts become 0.
TEST_F(PocketParams, OlderHatchBlockSignsItsOffsetsOnce)
{
    rectangle_set(1, 0, 0, 100, 60);                           // outer, counter-clockwise
    polygon_set(2, {{10, 10}, {10, 20}, {20, 20}, {20, 10}});  // island, clockwise
    rectangle_set(3, 50, 10, 60, 20);                          // island, counter-clockwise
    for (int set = 1; set <= 3; ++set) add_chain(set, 0.0f, 5.0f);
    int status = 0;
    n0_lvls_reset(kLevelsUsable);
    n0_lvls_next_level(kRegionPlane, status);
    const std::vector<int> list = records_of({1, 2, 3});
    region_build(list.data(), 3, 0.01f, status);
    ASSERT_EQ(region_outer_id(1), 1);
    const word two = real_to_word(2.0f);
    ASSERT_EQ(read_from_entity({41, 4, 1, two, two, two}, 3, 500), 0);
    EXPECT_EQ(table().offset[1], 2.0f) << "counter-clockwise outer contour";
    EXPECT_EQ(table().offset[2], 2.0f) << "clockwise island";
    EXPECT_EQ(table().offset[3], -2.0f) << "counter-clockwise island";
    EXPECT_EQ(table().draft[2], 0.0f);
    // A newer block keeps its offsets as written.
    ASSERT_EQ(read_from_entity({41, 4, 1, two, two, two}, 3, 600), 0);
    EXPECT_EQ(table().offset[3], 2.0f);
}

TEST_F(PocketParams, UnknownCodesAndBadCountsAreRefusedOrSkipped)
{
    struct row {
        const char* what;
        std::vector<word> words;
        const char* message;
    };
    const row rows[] = {
        {"unknown code", {4711, 2, 0, 1}, "[block_read_drelan, ]WRONG CODE. CODE= 4711"},
        {"701 offsets",
         [] {
             std::vector<word> w{41, 702, 1};
             w.resize(3 + 701, 0);
             return w;
         }(),
         "[block_read_drelan, ]TOO MANY VALUES. CODE= 41"},
        {"contour count 701", {35, 2, 0, 701}, "[block_read_drelan, ]TOO MANY VALUES. CODE= 35"},
        {"701 entry points", {219, 2, 0, 701}, "[block_read_drelan, ]TOO MANY VALUES. CODE= 219"},
        {"2101 entry values",
         [] {
             std::vector<word> w{220, 2102, 1};
             w.resize(3 + 2101, 0);
             return w;
         }(),
         "[block_read_drelan, ]TOO MANY VALUES. CODE= 220"},
        {"a record longer than the block", {211, 9, 0, 2}, "CANNOT READ FROM FILE|READING TERMINATED"},
    };
    for (const row& r : rows) {
        control::clear_messages();
        EXPECT_EQ(read_from_entity(r.words), -1) << r.what;
        const auto lines = control::lines_of("erou1c");
        const auto plain = control::lines_of("eroutc");
        const bool found = std::find(lines.begin(), lines.end(), r.message) != lines.end() ||
                           std::find(plain.begin(), plain.end(), r.message) != plain.end();
        EXPECT_TRUE(found) << r.what;
    }
    // A template read passes over a code it does not know.
    control::template_open("T", false, {{0, 4711}, {0, 2}, {0, 0}, {0, 5}, {0, 211}, {0, 2}, {0, 0}, {0, 1}});
    int where = kWhereTemplateRead, type = 50, version = 0, before_515 = 0, length = 0, status = 0;
    block_read_drelan(where, type, version, before_515, length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(params().at(P::kMethod), 1);
}

TEST_F(PocketParams, GeometryEntityHoldsTheRecordsAndAFailureClosesIt)
{
    rectangle_set(1, 0, 0, 100, 60);
    circle_set(2, 25, 30, 8);
    add_chain(1);
    add_chain(2);
    int type = 50, where = kWhereEntity, counter = 0, status = 0;
    geom_put_drelan(type, where, counter, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(counter, 0) << "nothing is written while the geometry is unchanged";

    pocket_words_block.store_geometry = 1;
    geom_put_drelan(type, where, counter, status);
    ASSERT_EQ(status, 0);
    int id = 0, flag = 0;
    geom_pair_get(10003, proc_flags().pairs, id, flag);
    ASSERT_GT(id, 0);
    const auto entity = control::get_entity(id);
    const std::vector<record> records = records_in(entity->words, 6);
    ASSERT_EQ(codes_of(records), (std::vector<int>{305, 35}));
    EXPECT_EQ(records[0].values, records_of({1, 2}));
    EXPECT_EQ(records[1].values, std::vector<word>{2});
    EXPECT_EQ(control::open_entity(), 0);

    // A template gets no geometry; a failing write leaves no entity open.
    where = kWhereTemplateWrite;
    geom_put_drelan(type, where, counter, status);
    EXPECT_EQ(status, 0);
    where = kWhereEntity;
    control::inject_fault("eputn", 2, 1, -1);
    geom_put_drelan(type, where, counter, status);
    EXPECT_LT(status, 0);
    EXPECT_EQ(control::open_entity(), 0);
    control::clear_faults();
}

TEST_F(PocketParams, ChangesCountByMethodAndPasses)
{
    struct row {
        const char* what;
        void (*change)(P&);
        int method, passes, changed;
    };
    const row rows[] = {
        {"24 with lanes", [](P& p) { p.at(P::kHatchLink) = 2; }, 2, 1, 0},
        {"24 with hatching", [](P& p) { p.at(P::kHatchLink) = 2; }, 1, 1, 1},
        {"39 with lanes", [](P& p) { p.at(P::kHatchSign) = -1; }, 2, 1, 0},
        {"39 with hatching", [](P& p) { p.at(P::kHatchSign) = -1; }, 1, 1, 1},
        {"225 by a hair", [](P& p) { p.set_real(P::kExtraOffset, 1e-7f); }, 2, 1, 1},
        {"25 within the tolerance", [](P& p) { p.set_real(P::kTolerance, 0.10001f); }, 2, 1, 0},
        {"26 with the contour pass only", [](P& p) { p.set_real(P::kSideStep, 0.5f); }, 2, 3, 0},
        {"26 with the pocket", [](P& p) { p.set_real(P::kSideStep, 0.5f); }, 2, 1, 1},
        {"11 never counts", [](P& p) { p.set_real(P::kTopZ, 5.0f); }, 2, 1, 0},
        {"221 with one region", [](P& p) { p.at(P::kRegionOrder) = 1; }, 2, 1, 0},
        {"86 with lanes", [](P& p) { p.set_real(P::kRampAngle, 45.0f); }, 2, 1, 1},
        {"86 with hatching", [](P& p) { p.set_real(P::kRampAngle, 45.0f); }, 1, 1, 0},
        {"start point with mode 2",
         [](P& p) {
             p.at(P::kStartMode) = 2;
             p.set_real(P::kStartPoint, 3.0f);
         },
         2, 1, 1},
        {"retract length", [](P& p) { p.set_real(P::kRetractLength, 3.0f); }, 2, 1, 1},
    };
    for (const row& r : rows) {
        drelan_params_defaults(0.0f, drelan_params_previous);
        drelan_params_previous.at(P::kMethod) = r.method;
        drelan_params_previous.at(P::kPasses) = r.passes;
        drelan_params_current = drelan_params_previous;
        r.change(drelan_params_current);
        drelan_params_previous.at(P::kStartMode) = drelan_params_current.at(P::kStartMode);
        int changed = 0, update = 0, status = -5;
        param_changed_drelan(changed, update, status);
        EXPECT_EQ(changed, r.changed) << r.what;
        EXPECT_EQ(update, 0) << r.what;
        EXPECT_EQ(status, 0) << r.what;
        changed = 1;
        drelan_params_current = drelan_params_previous;
        param_changed_drelan(changed, update, status);
        EXPECT_EQ(changed, 1) << r.what << ": a flag that comes in as 1 stays 1";
    }
}

TEST_F(PocketParams, TwentyTranslationsUntilOneIsRefused)
{
    control::set_tracing(true);
    int status = -5;
    trns_add_drelan(status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(control::call_count("nu_trns_add"), 20);
    control::inject_fault("nu_trns_add", 3, 1, -1);
    trns_add_drelan(status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(control::call_count("nu_trns_add"), 23);
    control::clear_faults();
}

}  // namespace
