// The retract from and the approach onto a surface pass: the kinds, their markers and moves,
// the fallbacks to Z up (geometry, gouge), the messages and the bad-input cases.
#include "motion_output_support.hpp"

#include "toolpath/surface_approach.hpp"
#include "toolpath/surface_moves.hpp"

#include <cmath>

using namespace motion_test;

namespace {

const point3 kUp{0, 0, 1};
const point3 kP{10, 0, 0};
const point3 kNext{11, 0, 0};  // the path runs along +x

// Each step with its coordinates dropped: markers and feeds as they are, moves by their letter.
std::vector<std::string> shape()
{
    std::vector<std::string> out;
    for (const std::string& s : steps()) out.push_back(s[0] == 'M' || s[0] == 'F' ? s : s.substr(0, 1));
    return out;
}

// A touch query that answers the points it is given (and counts its calls).
struct touch_double {
    static inline std::vector<point3> points;
    static inline int calls = 0;
    static void query(int, int, const float*, const float*, float, float, float, int room, float* located, float*,
                      float*, int& strings, int, int* string_counts, int& count, int& status)
    {
        ++calls;
        count = std::min(static_cast<int>(points.size()), room);
        strings = count > 0 ? 1 : 0;
        string_counts[0] = count;
        for (int i = 0; i < count; ++i)
            for (int k = 0; k < 3; ++k)
                located[3 * i + k] = points[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)];
        status = 0;
    }
};

void use_touch_double(std::vector<point3> points)
{
    touch_double::points = std::move(points);
    touch_double::calls = 0;
    surface_query_table().linnet_touch_point = touch_double::query;
}

}  // namespace

TEST_F(MotionOutput, SurfaceRetractAndApproachByKind)
{
    struct row {
        const char* name;
        bool retract;
        int kind;
        int flag;
        point3 neighbour;
        point3 normal;
        int exec_mode;
        std::vector<std::string> shape;
        int messages;  // lines in the message window
    };
    const point3 side{0, 1, 0};
    const row rows[] = {
        {"retract, F 0: nothing", true, 2, 0, kNext, kUp, 1, {}, 0},
        {"approach, F 0: nothing", false, 2, 0, kNext, kUp, 1, {}, 0},
        {"retract Z up", true, 1, 2, kNext, kUp, 1, {"M11", "F-1", "L", "M12"}, 0},
        {"retract Z up, ordinary function, mode 0", true, 1, 2, kNext, kUp, 0, {"M11", "F77", "L", "M12"}, 0},
        {"retract along the normal, then the climb", true, 2, 2, kNext, kUp, 1, {"M11", "L", "F-1", "L", "M12"}, 0},
        {"retract along the path", true, 5, 2, {9, 0, 0}, kUp, 1, {"M11", "L", "F-1", "L", "M12"}, 0},
        {"retract along the path with P = Q: Z up, reported", true, 5, 2, kP, kUp, 1, {"M11", "F-1", "L", "M12"}, 1},
        {"retract of kind 3 with F 1: Z up", true, 3, 1, {9, 0, 0}, kUp, 1, {"M11", "F-1", "L", "M12"}, 0},
        {"retract on a vertical arc: four string points",
         true,
         3,
         2,
         {9, 0, 0},
         kUp,
         1,
         {"M11", "S", "S", "S", "S", "F-1", "L", "M12"},
         0},
        {"retract on a horizontal arc", true, 7, 2, {9, 0, 0}, side, 1, {"M11", "A", "F-1", "L", "M12"}, 0},
        {"approach Z up", false, 1, 2, kNext, kUp, 1, {"M9", "F-1", "L", "L", "L", "M10"}, 0},
        {"approach along the normal", false, 2, 2, kNext, kUp, 1, {"M9", "F-1", "L", "L", "L", "F50", "L", "M10"}, 0},
        {"approach of kind 3 with P = Q: Z up and one message",
         false,
         3,
         2,
         kP,
         kUp,
         1,
         {"M9", "F-1", "L", "L", "L", "M10"},
         1},
        {"approach on a vertical arc",
         false,
         3,
         2,
         kNext,
         kUp,
         1,
         {"M9", "F-1", "L", "L", "L", "F50", "S", "S", "S", "S", "M10"},
         0},
        {"approach on a horizontal arc",
         false,
         7,
         2,
         kNext,
         side,
         1,
         {"M9", "F-1", "L", "L", "L", "F100", "A", "M10"},
         0},
        {"approach of kind 7 along the normal: kind 6, told",
         false,
         7,
         2,
         kNext,
         {1, 0, 0},
         1,
         {"M9", "F-1", "L", "L", "L", "F50", "L", "M10"},
         1},
        {"approach of an unknown kind with F 1: Z up",
         false,
         0,
         1,
         kNext,
         kUp,
         1,
         {"M9", "F-1", "L", "L", "L", "M10"},
         0},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fresh_at({0, 0, 0});
        exec_display().mode = r.exec_mode;
        connect_params_block() = connect_params{};
        connect_params_block().approach_kind = r.kind;
        connect_params_block().lateral_distance = 2;
        connect_params_block().arc_radius = 4;
        connect_params_block().check_tolerance = 0.1f;
        connect_params_block().direct_link_request = 1;
        int flag = r.flag, status = 0;
        if (r.retract) {
            DSP8().set_vec(tool_position_state::kPosition, kP);
            LSP2().set_vec(move_writer_state::kLastPoint, kP);
            SRFRET(1, kP, r.neighbour, r.normal, kUp, flag, status);
            EXPECT_EQ(connect_params_block().direct_link_request, r.kind == 1 && r.exec_mode == 0 ? 1 : 0);
        } else {
            SRFAPR(1, kP, r.neighbour, r.normal, kUp, flag, status);
            if (!shape().empty()) {
                const std::string last = steps()[steps().size() - 2];
                EXPECT_EQ(last.substr(last.find('(')), "(10,0,0)") << "the approach ends on P";
            }
        }
        EXPECT_EQ(status, 0);
        EXPECT_EQ(shape(), r.shape);
        EXPECT_EQ(texts("usmsgc").size(), static_cast<std::size_t>(r.messages));
        if (r.kind == 7 && r.normal == point3{1, 0, 0}) {
            EXPECT_EQ(
                texts("usmsgc"),
                std::vector<std::string>{"[SRFAPR]MOVEMENT IN NORMAL DIRECTION,  PERFORM NORMAL HORIZONTAL APPROACH"});
        }
        if (r.flag != 0) {
            EXPECT_EQ(feed_mode(), 1);
        }
    }
}

TEST_F(MotionOutput, SurfaceArcsHaveTheirRadiusAndTangent)
{
    // The vertical arc's points lie at R from the centre above P and end at 225 degrees behind
    // the path; the horizontal arc starts 45 degrees back round a centre R beside P.
    const point3 along{1, 0, 0};
    const point3 start = vertical_arc_point(kP, along, 4, 225);
    EXPECT_NEAR(std::hypot(start[0] - kP[0], start[2] - (kP[2] + 4)), 4, 1e-5);
    EXPECT_LT(start[0], kP[0]);
    horizontal_arc arc;
    ASSERT_TRUE(horizontal_arc_points(kP, along, {0, 1, 0}, 4, 0.1f, arc));
    const point3 first = arc.points.back();
    EXPECT_NEAR(std::hypot(first[0] - arc.centre[0], first[1] - arc.centre[1]), 4, 1e-5);
    EXPECT_NEAR(arc.centre[1], 4, 1e-6) << "on the side of the normal";
    EXPECT_NEAR(arc.sweep, std::numbers::pi_v<float> / 4, 1e-6);
    EXPECT_FALSE(horizontal_arc_points(kP, along, {1, 0, 0}, 4, 0.1f, arc)) << "normal along the path";
    // A tolerance beyond 4R, or no radius, keeps the step a number within its bounds.
    ASSERT_TRUE(horizontal_arc_points(kP, along, {0, 1, 0}, 4, 100, arc));
    EXPECT_EQ(arc.points.size(), 5u);
    ASSERT_TRUE(horizontal_arc_points(kP, along, {0, 1, 0}, 0, 0.1f, arc));
    for (const point3& p : arc.points) EXPECT_EQ(p, kP);
}

TEST_F(MotionOutput, GougeCheckFallsBackToZUp)
{
    struct row {
        const char* name;
        int gouge_check;
        int machining;
        std::vector<point3> located;
        bool gouges;
    };
    const row rows[] = {
        {"G 0: no query, the kind is written", 0, 0, {{11, 0, 5}}, false},
        {"a point above the move gouges", 1, 0, {{11, 0, 0.5f}}, true},
        {"a point on the move does not", 1, 0, {{11, 0, 0.005f}}, false},
        {"no point: fine on machining type 0", 1, 0, {}, false},
        {"no point: a gouge on machining type 2", 1, 2, {}, true},
        {"a point off the move in XY on machining type 3", 1, 3, {{11, 3, 0}}, true},
    };
    for (const row& r : rows) {
        SCOPED_TRACE(r.name);
        fresh_at(kP);
        machining_type() = r.machining;
        connect_params_block().approach_kind = 5;
        connect_params_block().lateral_distance = 2;
        connect_params_block().gouge_check = r.gouge_check;
        use_touch_double(r.located);
        int flag = 2, status = 0;
        SRFRET(1, kP, {9, 0, 0}, kUp, kUp, flag, status);
        EXPECT_EQ(touch_double::calls, r.gouge_check);
        EXPECT_EQ(shape()[1], r.gouges ? "F-1" : "L");
        const auto warned = texts("usmsgc");
        ASSERT_EQ(warned.size(), r.gouges ? 1u : 0u);
        if (r.gouges) {
            EXPECT_EQ(warned[0].rfind("WARNING: RETRACT MOTION AT: X = ", 0), 0u);
            EXPECT_NE(warned[0].find(" GOUGING THE|SURFACES, EXECUTING Z_UP RETRACT"), std::string::npos);
        }
        EXPECT_EQ(HEI8().at(heights_state::kClearancePlane), 1) << "restored after the query";
        EXPECT_EQ(srf_projection_on(), 0);
    }
    // The point is shown in the function's display unit (inches here, the part in millimetres).
    fresh_at(kP);
    vantu::control::set_flag("display_unit", 3);
    connect_params_block().approach_kind = 5;
    connect_params_block().lateral_distance = 2;
    connect_params_block().gouge_check = 1;
    use_touch_double({{25.4f, 0, 2.54f}});
    int retract_flag = 2, retract_status = 0;
    SRFRET(1, kP, {9, 0, 0}, kUp, kUp, retract_flag, retract_status);
    ASSERT_EQ(texts("usmsgc").size(), 1u);
    EXPECT_EQ(texts("usmsgc")[0].substr(0, 63), "WARNING: RETRACT MOTION AT: X = 1.0000 Y = 0.0000 Z = 0.1000 GO");
    vantu::control::set_flag("display_unit", 0);

    // The approaches of kinds 2, 5 and 6 warn with two blanks after the colon.
    fresh_at({0, 0, 0});
    machining_type() = 2;
    connect_params_block().approach_kind = 2;
    connect_params_block().lateral_distance = 2;
    connect_params_block().gouge_check = 1;
    use_touch_double({});
    int flag = 2, status = 0;
    SRFAPR(1, kP, kNext, kUp, kUp, flag, status);
    ASSERT_EQ(texts("usmsgc").size(), 1u);
    EXPECT_EQ(texts("usmsgc")[0].rfind("WARNING:  APPROACH MOTION AT:", 0), 0u);
}

TEST_F(MotionOutput, SurfaceMotionsRefuseBadInput)
{
    // An approach kind never filled: the retract reports and sets -1 (nothing written); so does
    // the approach unless F is 1.
    int flag = 2, status = 0;
    SRFRET(1, kP, kNext, kUp, kUp, flag, status);
    EXPECT_EQ(status, -1);
    SRFAPR(1, kP, kNext, kUp, kUp, flag, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(texts("eroutc"), (std::vector<std::string>{"SRFRET, ERRORS IN LIST ", "SRFAPR, ERRORS IN LIST"}));
    EXPECT_TRUE(steps().empty());

    // A list write failing after the RETRACT marker still closes it.
    fresh_at(kP);
    connect_params_block().approach_kind = 1;
    vantu::control::inject_fault("lcreat", 2, 1, -2);
    SRFRET(1, kP, kNext, kUp, kUp, flag, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(shape(), (std::vector<std::string>{"M11", "M12"}));
    EXPECT_EQ(marker_stack().top, -1);
    EXPECT_EQ(texts("eroutc").back(), "SRFRET, ERRORS IN LIST ");

    // Dimension modes outside 1, 2 and 4 are reported by the approach.
    fresh_at({0, 0, 0});
    connect_params_block().approach_kind = 1;
    SRFAPR(3, kP, kNext, kUp, kUp, flag, status);
    EXPECT_EQ(texts("eroutc"), std::vector<std::string>{"SRFAPR, ONLY DIM2/3 IS PERMITTED "});
    EXPECT_EQ(status, 0);
}
