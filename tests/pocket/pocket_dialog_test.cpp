// The pocket parameter block and its dialog: the defaults and their round trip through module
// data, what the dialog stores on leaving, and its dialog items.
#include "contour_test_support.hpp"

#include "host/control/mdata.hpp"
#include "pocket/dialog_items.hpp"
#include "pocket/pocket_dialog.hpp"

#include <cmath>

namespace {

using P = drelan_params;

class PocketDialog : public ContourTest {
protected:
    static P& params() { return drelan_params_current; }
};

}  // namespace

TEST_F(PocketDialog, DefaultsRoundTripThroughModuleData)
{
    drelan_params_defaults(12.5f, params());
    struct row {
        int index;
        int integer;  // for integer words
        float real;   // for real words (integer -1)
    } rows[] = {
        {P::kMethod, 2, 0},        {P::kPasses, 1, 0},          {P::kSideStep, -1, 0.1f},
        {P::kTolerance, -1, 0.1f}, {P::kApproachLength, -1, 2}, {P::kRetractLength, -1, 2},
        {P::kRampAngle, -1, 90},   {P::kRegionOrder, 4, 0},     {P::kRegionCount, 1, 0},
        {P::kPointPickMode, 7, 0}, {P::kTopZ, -1, 12.5f},       {P::kReferenceZ, -1, 12.5f},
        {P::kZStep, -1, 0},        {P::kHatchSign, 1, 0},       {P::kApproachValue, -1, 1},
        {P::kContourOption, 2, 0},
    };
    for (const row& r : rows) {
        if (r.integer >= 0)
            EXPECT_EQ(params().at(r.index), r.integer) << r.index;
        else
            EXPECT_EQ(params().real(r.index), r.real) << r.index;
    }
    params().at(P::kTolerance + 5) = 1234;  // a word of a real record's tail is kept too
    int status = 0;
    mdputn("KQ47", 4, kDrelanParamsLength, params().words, status);
    const std::string part = vantu::control::save_part_text();
    vantu::control::reset();
    vantu::control::load_part_text(part, "KQ47");
    P back{};
    mdget("KQ47", back.words, kDrelanParamsLength, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(std::equal(std::begin(back.words), std::end(back.words), std::begin(params().words)));
}

TEST_F(PocketDialog, LeavingStoresWhatThePageShows)
{
    // The top menu takes lines 1 to 8 (title, text, machining parameters, service, the two template
    // lines, the optimizer cycle and its page line). Lines with the offset method: 13 reference Z,
    // 14 side step, 19 tolerance, 30 CONTOUR; with the hatch method: 15 the hatch-angle choice, 16
    // the hatch angle.
    struct row {
        const char* what;
        void (*set_up)();
        const char* script;
        int status, contour_item;
        void (*check)(const std::string& page, const char* what);
    } rows[] = {
        {"Z step cut to the depth",
         [] {
             params().set_real(P::kTopZ, 10);
             params().set_real(P::kZStep, 15);
         },
         R"([{"page": 0}])", 0, 0,
         [](const std::string&, const char* w) { EXPECT_EQ(params().real(P::kZStep), 10.0f) << w; }},
        {"top below bottom leaves one level",
         [] {
             params().set_real(P::kBottomZ, 10);
             params().set_real(P::kZStep, 5);
         },
         R"([{"page": 0}])", 0, 0,
         [](const std::string&, const char* w) { EXPECT_EQ(params().real(P::kZStep), 0.0f) << w; }},
        {"reference Z over the origin",
         [] {
             contour_table_block.draft_present = 1;
             NPT1().set_real(tp_header_state::kMacsysOrigin + 2, 5.0f);
         },
         R"([{"page": [{"line": 13, "value": 10}, {"line": 0}]}])", 0, 0,
         [](const std::string&, const char* w) { EXPECT_EQ(params().real(P::kReferenceZ), 15.0f) << w; }},
        {"tolerance shown and stored positive", [] { params().set_real(P::kTolerance, -0.2f); }, R"([{"page": 0}])", 0,
         0,
         [](const std::string& page, const char* w) {
             EXPECT_NE(page.find("19 TOLERANCE: parameter 109 (kind 2, relation 0) = 0.2 "), std::string::npos) << w;
             EXPECT_EQ(params().real(P::kTolerance), 0.2f) << w;
         }},
        {"hatch angle from two points",
         [] {
             params().at(P::kMethod) = 1;
             arrows_block.shown = 1;  // the start side of hatch clearing is known
         },
         R"([{"page": 15}, {"point": [1, 1]}, {"point": [1, 1]}, {"point": [3, 3]}, {"page": 0}])", 0, 0,
         [](const std::string& page, const char* w) {
             EXPECT_TRUE(has_line("userrc", "2ND POINT IS TOO CLOSE TO 1ST ONE")) << w;
             EXPECT_EQ(params().real(P::kHatchAngle), static_cast<float>(45 * 3.141592653589793 * 0.005555555555555556))
                 << w;
             EXPECT_NE(page.find("16 HATCH ANGLE: parameter 87 (kind 2, relation 0) = 45"), std::string::npos) << w;
             EXPECT_EQ(params().real(P::kHatchAngle2), 0.0f) << w;
             float c = 0, s = 0;
             int status = 0;
             polbuf_get_pair(c, s, status);
             EXPECT_NEAR(c, std::sqrt(0.5f), 1e-6) << w;
         }},
        {"contour item", [] {}, R"([{"page": 30}])", 0, 1, [](const std::string&, const char*) {}},
        {"a stored value beyond its field's limits keeps the page until it is mended",
         [] { params().set_real(P::kSideStep, -1.0f); },
         R"([{"page": 0}, {"page": [{"line": 14, "value": 0.5}, {"line": 0}]}])", 0, 0,
         [](const std::string&, const char* w) {
             EXPECT_TRUE(has_line("erou1c", "[param_limits_check] VALUE OUT OF LIMITS. CODE= 26")) << w;
             EXPECT_EQ(params().real(P::kSideStep), 0.5f) << w;
         }},
        {"contours not valid keep the page", [] { contour_table_block.contours_valid = 0; },
         R"([{"page": 0}, {"page": -1}])", -1, 0,
         [](const std::string&, const char* w) {
             EXPECT_TRUE(has_line("userrc", "CONTOUR IS NOT UPDATED. PLEASE REDEFINE IT")) << w;
         }},
    };
    for (const row& r : rows) {
        SetUp();
        r.set_up();
        vantu::control::load_script_text(r.script, r.what);
        int end_run = 9, cleared = 9, contour_item = 9, status = 9;
        pkstsd(0, end_run, cleared, contour_item, status);
        EXPECT_EQ(status, r.status) << r.what;
        EXPECT_EQ(contour_item, r.contour_item) << r.what;
        EXPECT_EQ(vantu::control::events_left(), 0u) << r.what;
        const auto pages = events("page");
        r.check(pages.empty() ? std::string() : pages.back(), r.what);
        if (status == 0) {
            EXPECT_EQ(approach_block_data.approach_length, 2.0f) << r.what;
        }
        TearDown();
    }
}

TEST_F(PocketDialog, ItemsShowTheirValuesAndConvertRecords)
{
    EXPECT_EQ(geom_item_label(1, 1, 2, "CONTOUR", 0), geom_item_label(1, 1, 12, "CONTOUR", 0));
    EXPECT_EQ(geom_item_label(0, 1, 2, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 0), "G-DEFINE ABCDEFGHIJKLMNO");
    EXPECT_EQ(geom_item_label(1, 0, 4, "START SIDE", 0), "E-EDIT START SIDE");

    NPT1().set_real(tp_header_state::kMacsysOrigin, 10.0f);
    NPT1().set_real(tp_header_state::kMacsysOrigin + 1, 20.0f);
    const float point[3] = {10, 20, 0};
    float relative[2] = {-1, -1};
    int option = 2, previous = 0, counter = 0;
    page_item_record items;
    param_menu_by_kind(2, 1, option, previous, point, relative, items, counter);
    EXPECT_EQ(relative[0], 0.0f);
    EXPECT_EQ(relative[1], 0.0f);
    EXPECT_EQ(items.x, 4);  // after the choice and two blank items

    params().at(P::kEntrySearch) = 1;
    entry_param_pages(0, 1, params(), counter, items);
    EXPECT_EQ(params().at(P::kEntrySearch), 2);

    // Stored records walked by their own lengths never reach past the buffer.
    const int line = vantu::control::add_line({0, 0, 0}, {1, 0, 0});
    vantu::control::define_curve_set(1, std::vector<vantu::control::curve_in_set>(4000, {line, 0.0, 1.0, 1.0}));
    vantu::control::define_curve_set(2, std::vector<vantu::control::curve_in_set>(600, {line, 0.0, 1.0, 1.0}));
    std::vector<int> records(2 * contour_entries() + 2 * 600);
    int length = 0, status = 0;
    dfdgrc(1, 4000, records.data(), length, status);
    dfdgrc(2, 600, records.data() + 2 * 4000, length, status);
    contours_to_double(1, records.data(), status);
    EXPECT_EQ(status, 0);
    contours_to_double(2, records.data(), status);
    EXPECT_EQ(status, -1);
}
