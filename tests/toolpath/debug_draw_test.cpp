// Debug drawing: the colour cycle of draw_polygons, curve_ent_show as a polyline entity (limits,
// attributes, the work-plane mapping) or as a figure, and transform_point_d.
#include "toolpath_support.hpp"

#include "host/control/display.hpp"
#include "host/control/entities.hpp"
#include "host/control/nc_state.hpp"
#include "nc_services/debug_draw.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "nc_services/transform_point_d.hpp"

#include <vector>

namespace {

class DebugDraw : public ::testing::Test {
protected:
    void SetUp() override
    {
        tp_test::fresh();
        debug_draw_block = debug_draw_state{};
        linnet_params_block = linnet_params{};
    }
    void TearDown() override
    {
        debug_draw_block = debug_draw_state{};
        linnet_params_block = linnet_params{};
    }
    static std::vector<float> run(int n)
    {
        std::vector<float> p;
        for (int i = 0; i < n; ++i) p.insert(p.end(), {static_cast<float>(i), static_cast<float>(i % 7), 2.0f});
        return p;
    }
    static std::vector<word> polyline_words(int id) { return vantu::control::get_entity(id)->words; }
};

}  // namespace

TEST_F(DebugDraw, PolygonColoursCycleOneToFifteen)
{
    const int counts[2] = {3, 4};
    const float xy[14] = {0, 0, 1, 0, 0, 1, 5, 5, 6, 5, 6, 6, 5, 6};
    int status = -5;
    for (int call = 0; call < 16; ++call) draw_polygons(2, counts, xy, 3.0f, status);
    EXPECT_EQ(status, 0);
    const auto& figures = vantu::control::figures();
    ASSERT_EQ(figures.size(), 16u);
    for (int call = 0; call < 16; ++call) EXPECT_EQ(figures[static_cast<std::size_t>(call)].colour, call % 15 + 1);
    const auto& strokes = figures[0].strokes;
    ASSERT_EQ(strokes.size(), 2u);
    EXPECT_EQ(strokes[0].size(), 4u);  // closed back to the first point
    EXPECT_EQ(strokes[1].back(), (std::array<double, 3>{5, 5, 3}));
    EXPECT_FALSE(figures[0].open);
}

TEST_F(DebugDraw, CurveEntityShowLimitsAndAttributes)
{
    int id = 0, status = -5;
    const std::vector<float> thousand = run(1000);
    curve_ent_show(3, 0, 0, 1000, thousand.data(), 0.0f, id, status);
    ASSERT_EQ(status, 0);
    const auto entity = vantu::control::get_entity(id);
    ASSERT_TRUE(entity.has_value());
    EXPECT_EQ(entity->type, kPolylineType);
    EXPECT_EQ(entity->attributes.at("CO"), 1);
    EXPECT_EQ(entity->attributes.count("LF"), 0u);  // no font set
    EXPECT_EQ(vantu::control::displayed_entities(), std::vector<int>{id});

    const std::vector<float> too_long = run(1001);
    curve_ent_show(3, 0, 0, 1001, too_long.data(), 0.0f, id, status);
    EXPECT_EQ(status, kCurveShowTooLong);
    const std::vector<float> single = run(1);
    curve_ent_show(3, 0, 0, 1, single.data(), 0.0f, id, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(vantu::control::displayed_entities().size(), 1u);

    // Colour, font and advance; a 2-D run at the given z; the model attributes with selector 3.
    set_curve_show_colour(15);
    set_curve_show_font(4);
    const float plane[4] = {0, 0, 3, 4};
    curve_ent_show(2, 1, 0, 2, plane, 7.5f, id, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(vantu::control::get_entity(id)->attributes.at("CO"), 1);  // 15 advances to 1
    EXPECT_EQ(vantu::control::get_entity(id)->attributes.at("LF"), 4);
    double back[6];
    int n = 0;
    crcmpl_points(id, 2, n, back, status);
    EXPECT_EQ(std::vector<double>(back, back + 6), (std::vector<double>{0, 0, 7.5, 3, 4, 7.5}));
    linnet_params_block.selector = kLinnetSelectorModelAttributes;
    vantu::control::set_flag("model_colour", 9);
    vantu::control::set_flag("model_line_font", 2);
    curve_ent_show(2, 0, 0, 2, plane, 0.0f, id, status);
    EXPECT_EQ(vantu::control::get_entity(id)->attributes.at("CO"), 9);
    EXPECT_EQ(vantu::control::get_entity(id)->attributes.at("LF"), 2);

    // Any other mode draws a figure instead, of any length.
    curve_ent_show(3, 1, 1, 1001, too_long.data(), 0.0f, id, status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(vantu::control::figures().size(), 1u);
    EXPECT_EQ(vantu::control::figures()[0].id, id);
    EXPECT_EQ(vantu::control::figures()[0].colour, 2);
    EXPECT_EQ(vantu::control::figures()[0].strokes[0].size(), 1001u);
}

TEST_F(DebugDraw, WorkPlaneMappingOfPointsAndCurves)
{
    vantu::control::set_model_origin({10.0f, -5.0f, 1.0f});
    double p[3] = {1.25, 2.5, 3.0};
    int status = -5;
    transform_point_d(kWorldToWorkPlane, kTransformPoint, 0, p, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{-8.75, 7.5, 2.0}));
    transform_point_d(kWorkPlaneToWorld, kTransformPoint, 0, p, status);
    EXPECT_EQ(std::vector<double>(p, p + 3), (std::vector<double>{1.25, 2.5, 3.0}));

    // The run shown as an entity lies on the work plane.
    const float two[6] = {10, -5, 1, 11, -5, 1};
    int id = 0;
    curve_ent_show(3, 0, 0, 2, two, 0.0f, id, status);
    double back[6];
    int n = 0;
    crcmpl_points(id, 2, n, back, status);
    EXPECT_EQ(std::vector<double>(back, back + 6), (std::vector<double>{0, 0, 0, 1, 0, 0}));
    const int line = vantu::control::add_line({10, -5, 1}, {12, -5, 1});
    transform_point_d(kWorldToWorkPlane, kTransformCurve, line, nullptr, status);
    EXPECT_EQ(status, 0);
    int entity_class = 0, type = 0;
    double ends[6];
    eopen(line, entity_class, type, status);
    egetd(6, ends, status);
    eclose(status);
    EXPECT_EQ(std::vector<double>(ends, ends + 6), (std::vector<double>{0, 0, 0, 2, 0, 0}));

    const int arc = vantu::control::add_circle({0, 0, 0}, 1.0);
    const struct {
        int direction, mode, entity;
        double* point;
    } refused[] = {{3, kTransformPoint, 0, p},
                   {1, 3, 0, p},
                   {1, kTransformPoint, 0, nullptr},
                   {1, kTransformCurve, arc, nullptr},
                   {1, kTransformCurve, 999, nullptr}};
    for (const auto& r : refused) {
        transform_point_d(r.direction, r.mode, r.entity, r.point, status);
        EXPECT_EQ(status, -1);
    }
    EXPECT_EQ(vantu::control::open_entity(), 0);
}
