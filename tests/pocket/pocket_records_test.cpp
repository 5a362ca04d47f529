// The pocket's contour records against the model (missing and changed curves, check curves,
// curves leaving their plane, attachment and replacement lines) and the start-side check with
// its measurement of gaps between contour curves.
#include "contour_test_support.hpp"

#include "host/control/assoc.hpp"
#include "host/control/descriptors.hpp"
#include "host/control/entities.hpp"
#include "nc_services/msg_window.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "pocket/contour_records.hpp"
#include "pocket/pkstck.hpp"
#include "toolpath/machine_table.hpp"

#include <cmath>

namespace {

using P = drelan_params;
namespace control = vantu::control;

class PocketRecords : public ContourTest {
protected:
    void SetUp() override
    {
        ContourTest::SetUp();
        EDA2() = edit_state{};
        EDA2().word_no(kTableFlag) = 1;
        single_curve_contours_flag() = 0;
        PRM9() = machine_params{};
    }
    static constexpr int kTableFlag = 9;

    // An open chain of two lines as curve set `set` with end check curves on both sides.
    static void open_chain(int set, int check1, int check2)
    {
        const int a = control::add_line({0, 0, 0}, {10, 0, 0});
        const int b = control::add_line({10, 0, 0}, {10, 10, 0});
        control::define_curve_set(set, {{a, 0, 10, 1}, {b, 0, 10, 1}});
        control::contour_descriptor d;
        d.open = 1;
        d.checks = {{{check1, 0.0}, {check2, 0.0}}};
        control::define_descriptor(set, d);
    }
    static int curve_id(int k, int j)
    {
        int id = 0, status = 0;
        double data[3];
        dfdget(geometry_record(k), j, id, data, status);
        return id;
    }
    static void read(int& valid)
    {
        int second = 0;
        contour_records_read(-1, contour_buffers_block.geometry.data(), contour_count(), table().by_criteria.data(),
                             valid, second);
        EXPECT_EQ(second, valid);
    }
    static std::vector<std::string> user_lines() { return control::lines_of("user4c"); }
};

TEST_F(PocketRecords, MissingCurvesAreMarkedWithOneMessagePerLabel)
{
    rectangle_set(1, 0, 0, 10, 10);
    add_chain(1);
    int status = 0;
    edelet(curve_id(1, 2), status);
    edelet(curve_id(1, 3), status);
    int valid = -1;
    read(valid);
    EXPECT_EQ(valid, 0);
    EXPECT_GT(curve_id(1, 1), 0);
    EXPECT_LT(curve_id(1, 2), 0);
    EXPECT_LT(curve_id(1, 3), 0);
    EXPECT_EQ(user_lines(), (std::vector<std::string>{
                                "CONTOURS WARNING: A GEOMETRIC ENTITY IS NOT AVAILABLE FOR RERUN| IF IT CAME FROM "
                                "INSTANCE OR SUBASSEMBLY"}));
    // Read again, the curves known missing stay so and are not reported again.
    read(valid);
    EXPECT_EQ(valid, 0);
    EXPECT_LT(curve_id(1, 2), 0);
    EXPECT_EQ(user_lines().size(), 1u);
}

TEST_F(PocketRecords, AssociationStatesDecideWhetherACurveMayBeUsed)
{
    const int curve = control::add_line({0, 0, 0}, {1, 0, 0});
    struct row {
        int state;
        bool fault;
        int ok;
        const char* channel;
        const char* line;
    };
    const row rows[] = {
        {kAssocUnchanged, false, 1, "", ""},
        {kAssocChanged, false, 0, "user4c", "CONTOURS WARNING: GEOMETRY HAS CHANGED"},
        {kAssocUpdated, false, 1, "user4c", "WARNING: GEOMETRY WAS UPDATED"},
        {kAssocUnchanged, true, 0, "erou4c", "CONTOURS ERRORS IN ASSOCIATIVITY ROUTINES."},
    };
    for (const row& r : rows) {
        control::clear_messages();
        control::set_assoc_state(curve, r.state);
        if (r.fault) control::inject_fault("asinqg", 1, 1, -1);
        int once = 1, ok = -1;
        assoc_check(10, 0, curve, kContoursLabel, once, ok);
        control::clear_faults();
        EXPECT_EQ(ok, r.ok) << r.state;
        if (*r.channel != '\0') {
            EXPECT_EQ(control::lines_of(r.channel), std::vector<std::string>{r.line}) << r.state;
            EXPECT_EQ(once, 0) << r.state;
        } else {
            EXPECT_EQ(once, 1);
        }
    }
    // An updated plain curve may not be used unless every contour is a single curve.
    control::set_attribute(curve, "CL", 2);
    control::set_attribute(curve, "TY", 15);
    control::set_assoc_state(curve, kAssocUpdated);
    for (const int single : {0, 1}) {
        single_curve_contours_flag() = single;
        int once = 0, ok = -1;
        assoc_check(10, 0, curve, kContoursLabel, once, ok);
        EXPECT_EQ(ok, single) << single;
    }
}

TEST_F(PocketRecords, CheckCurvesOfOpenContoursOnly)
{
    const int gone = control::add_line({0, 5, 0}, {1, 5, 0});
    int status = 0;
    for (const int open : {0, 1}) {
        contour_table_empty();
        open_chain(1, gone, -2);
        control::contour_descriptor d;
        d.open = open;
        d.checks = {{{gone, 0.0}, {-2, 0.0}}};
        control::define_descriptor(1, d);
        add_chain(1);
        edelet(gone, status);
        int valid = -1;
        read(valid);
        EXPECT_EQ(valid, open == 0 ? 1 : 0) << open;
        int curve = 0;
        double parameter = 0;
        dfdgcc(geometry_record(1), 1, curve, parameter, status);
        EXPECT_EQ(curve, open == 0 ? gone : -gone) << open;
    }
    // A negative count leaves the check curves untested.
    int valid = -1, second = 0;
    contour_records_read(-1, contour_buffers_block.geometry.data(), -1, table().by_criteria.data(), valid, second);
    EXPECT_EQ(valid, 1) << "the marked check curve is left untested";
}

TEST_F(PocketRecords, CurvesLeavingTheirPlaneBecomeMarkedLines)
{
    const int flat = control::add_line({0, 0, 0}, {10, 0, 0});
    const int rising = control::add_line({10, 0, 0}, {10, 10, 5});
    const int back = control::add_line({10, 10, 5}, {0, 0, 0});
    control::define_curve_set(1, {{flat, 0, 10, 1},
                                  {rising, 0, std::hypot(10.0, 5.0), 1},
                                  {back, 0, std::hypot(std::hypot(10.0, 10.0), 5.0), 1}});
    control::contour_descriptor d;
    d.plane = std::array<double, 4>{0, 0, 1, 0};
    control::define_descriptor(1, d);
    rectangle_set(2, 20, 0, 30, 10);
    add_chain(1);
    add_chain(2);
    int flag = -1;
    contour_records_all_real(2, contour_buffers_block.geometry.data(), table().by_criteria.data(), flag);
    EXPECT_EQ(flag, 1) << "every curve is the user's own";

    const std::vector<int> gathered = records_of({1, 2});
    std::copy(gathered.begin(), gathered.end(), contour_buffers_block.gathered.begin());
    contour_plane_fix(2, contour_buffers_block.gathered.data());
    EXPECT_EQ(curve_id(1, 1), flat) << "a curve in its plane stays";
    for (const int j : {2, 3}) {
        const int line = curve_id(1, j);
        ASSERT_NE(line, j == 2 ? rising : back);
        const auto e = control::get_entity(line);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->attributes.at("DE"), 1);
        EXPECT_EQ(e->attributes.at("SL"), 1);
        double start[3], end[3];
        int status = 0;
        evcrvd(line, 0.0, start, nullptr, status);
        double limits[2];
        curve_limits(line, limits[0], limits[1], status);
        evcrvd(line, limits[1], end, nullptr, status);
        EXPECT_EQ(start[2], 0.0);
        EXPECT_EQ(end[2], 0.0) << "both ends taken at the plane";
    }
    contour_records_all_real(2, contour_buffers_block.geometry.data(), table().by_criteria.data(), flag);
    EXPECT_EQ(flag, 0) << "a replacement line is no curve of the user";
    table().by_criteria[1] = 1;
    contour_records_all_real(2, contour_buffers_block.geometry.data(), table().by_criteria.data(), flag);
    EXPECT_EQ(flag, 1) << "contours found by the criteria are passed over";
}

TEST_F(PocketRecords, AttachmentLinksPresentCurvesAndMakesMissingOnesPositive)
{
    rectangle_set(1, 0, 0, 10, 10);
    add_chain(1);
    const int owner = control::add_entity(9, 7, {0, 0, 0, 0, 10003, 0});
    const int missing = curve_id(1, 4);
    int status = 0;
    const double data[3] = {0, 10, 1};
    dfdput(geometry_record(1), 4, -missing, data, status);
    contour_assoc_write(owner, 1, 1, table().by_criteria.data(), contour_buffers_block.geometry.data());
    EXPECT_EQ(curve_id(1, 4), missing) << "stored positive again";
    int linked = 0;
    for (const auto& link : control::assoc_links()) {
        if (link.target != owner) continue;
        EXPECT_EQ(link.code, 0);
        ++linked;
    }
    EXPECT_EQ(linked, 3) << "the missing curve waits for a temporary of the owner";

    // Without a geometry entity the curves go to the last block, the missing one for the procedure.
    dfdput(geometry_record(1), 4, -missing, data, status);
    EDA2().word_no(edit_state::kProcedureNumber) = 5;
    contour_assoc_write(-1, 1, 1, table().by_criteria.data(), contour_buffers_block.geometry.data());
    int to_block = 0;
    for (const auto& link : control::assoc_links()) to_block += link.code == -1 ? 1 : 0;
    EXPECT_EQ(to_block, 4);
    EXPECT_EQ(control::call_count("asattc"), 1);
}

TEST_F(PocketRecords, StartSideCheckStaysOpenOnlyForInvalidContoursOrAMissingStartSide)
{
    // A closed triangle whose second corner opens by 0.2.
    const int a = control::add_line({0, 0, 0}, {10, 0, 0});
    const int b = control::add_line({10.2, 0, 0}, {0, 10, 0});
    const int c = control::add_line({0, 10, 0}, {0, 0, 0});
    control::define_curve_set(1, {{a, 0, 10, 1}, {b, 0, std::hypot(10.2, 10.0), 1}, {c, 0, 10, 1}});
    add_chain(1);
    table().gathered_count = 1;
    double gap = 0;
    int status = -9;
    contour_max_gap(contour_buffers_block.wire.data(), 1, table().kind.data(), gap, status);
    EXPECT_EQ(status, 0);
    EXPECT_NEAR(gap, 0.2, 1e-6);

    struct row {
        const char* what;
        void (*set)();
        int status;
        const char* line;  // in the message window (sheerx), or the user line of invalid contours
    };
    const row rows[] = {
        {"contours not valid", [] { table().contours_valid = 0; }, 1, "CONTOUR IS NOT UPDATED. PLEASE REDEFINE IT"},
        {"hatching without arrows", [] { drelan_params_current.at(P::kMethod) = 1; }, 1,
         "ERROR    : CANNOT CALCULATE START SIDE"},
        {"a gap above the tolerance", [] {}, 0,
         "WARNING  : MAX. GAP BETWEEN CONT. CURVES IS 0.2000 .GREATER THAN CONT. TOL."},
        {"cutter compensation without approach",
         [] {
             PRM9().words[machine_params::kCutterComp] = 1;
             drelan_params_current.set_real(P::kApproachLength, 0.0f);
             drelan_params_current.set_real(P::kTolerance, 0.5f);
         },
         0, "WARNING  : CUTTER COMPENSATION IS ON WITH NO APPROACH MOTION"},
    };
    for (const row& r : rows) {
        control::clear_messages();
        drelan_params_defaults(0.0f, drelan_params_current);
        msg_window(kMsgWindowReset, 0, 0, "");
        table().contours_valid = 1;
        PRM9() = machine_params{};
        r.set();
        pkstck(status);
        EXPECT_EQ(status, r.status) << r.what;
        const auto window = control::lines_of("sheerx");
        const auto user = control::lines_of("userrc");
        const bool shown = std::find(window.begin(), window.end(), r.line) != window.end() ||
                           std::find(user.begin(), user.end(), r.line) != user.end();
        EXPECT_TRUE(shown) << r.what;
    }
}

}  // namespace
