// Contour-data records of every kind, gathering, chaining from a pick, the registered table with
// deletion in place, loops of solids, geometry criteria, curve projection across a circle's seam,
// the selection list and the arrow figure.
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace {

namespace control = vantu::control;

class ContourRecords : public ::testing::Test {
protected:
    void SetUp() override { control::reset(); }

    // A closed polygon of line entities through the corners as curve set `set`.
    static std::vector<int> polygon_set(int set, const std::vector<std::array<double, 2>>& corners)
    {
        std::vector<control::curve_in_set> curves;
        std::vector<int> ids;
        for (std::size_t k = 0; k < corners.size(); ++k) {
            const auto& a = corners[k];
            const auto& b = corners[(k + 1) % corners.size()];
            ids.push_back(control::add_line({a[0], a[1], 0}, {b[0], b[1], 0}));
            curves.push_back({ids.back(), 0.0, std::hypot(b[0] - a[0], b[1] - a[1]), 1.0});
        }
        if (set > 0) control::define_curve_set(set, curves);
        return ids;
    }
    static std::vector<int> chain(int set)
    {
        std::vector<int> record(2 * 100);
        int length = 0, status = 0;
        dfdgrc(set, 100, record.data(), length, status);
        record.resize(2 * static_cast<std::size_t>(length));
        return record;
    }
};

}  // namespace

TEST_F(ContourRecords, EveryKindOfRecordAnswersItsItems)
{
    polygon_set(1, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    polygon_set(2, {{1, 1}, {2, 1}, {2, 2}});
    const int face = control::add_planar_face({1, 2});
    control::define_solid_loop({900, 3, 2, {}});
    const std::vector<int> chain1 = chain(1);
    std::vector<int> set_record{kSetRecord, 2};
    set_record.insert(set_record.end(), chain1.begin(), chain1.end());
    const std::vector<int> chain2 = chain(2);
    set_record.insert(set_record.end(), chain2.begin(), chain2.end());
    struct row {
        const char* what;
        std::vector<int> record;
        int length, items, groups, open;
        int first_entity;  // item 1's entity; -1 any (a chain's first curve); 0: no item
        double marker;     // item 1's third value
    } rows[] = {
        {"chain", chain1, 4, 4, 1, 0, -1, 1.0},
        {"face", {kFaceRecord, face}, 1, 1, 1, 0, face, kItemFace},
        {"loop", {kLoopRecord, 900, 3, 0}, 2, 1, 1, 0, 900, kItemLoop},
        {"set of two", set_record, 8, 0, 2, 1, 0, 0.0},
        {"no such set", {77, 1}, 0, 0, 0, 0, 0, 0.0},
        {"not a face", {kFaceRecord, 1}, 0, 0, 0, 0, 0, 0.0},
        {"set of none", {kSetRecord, 0}, 0, 0, 0, 0, 0, 0.0},
    };
    for (row& r : rows) {
        int length = -1, items = -1, groups = -1, curves = 0, open = -1, status = 0, entity = 0;
        double data[3] = {};
        dfcgld(r.record.data(), length, status);
        EXPECT_EQ(length, r.length) << r.what;
        dfdgnc(r.record.data(), items, status);
        EXPECT_EQ(items, r.items) << r.what;
        dfdgng(r.record.data(), groups, curves, status);
        EXPECT_EQ(groups, r.groups) << r.what;
        dfdgoc(r.record.data(), open, status);
        EXPECT_EQ(open, r.open) << r.what;
        dfdget(r.record.data(), 1, entity, data, status);
        if (r.first_entity == 0) {
            EXPECT_EQ(status, r.items == 0 ? -1 : 0) << r.what;
            continue;
        }
        ASSERT_EQ(status, 0) << r.what;
        if (r.first_entity > 0) {
            EXPECT_EQ(entity, r.first_entity) << r.what;
        }
        EXPECT_EQ(data[2], r.marker) << r.what;
    }
    // A loop record takes a new second identifier; a chain record's item changes the curve of
    // its set (the record stays); a face record takes nothing.
    std::vector<int> loop{kLoopRecord, 900, 3, 0};
    const double second[3] = {7.0, 0.0, kItemLoop};
    int status = 0;
    dfdput(loop.data(), 1, 900, second, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(loop[2], 7);
    std::vector<int> c = chain1;
    const double curve[3] = {0.5, 1.5, -1.0};
    dfdput(c.data(), 1, -42, curve, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(c, chain1);
    int entity = 0;
    double data[3] = {};
    dfdget(c.data(), 1, entity, data, status);
    EXPECT_EQ(entity, -42);
    EXPECT_EQ(data[2], -1.0);
    std::vector<int> face_record{kFaceRecord, face};
    dfdput(face_record.data(), 1, 0, second, status);
    EXPECT_EQ(status, -1);
}

TEST_F(ContourRecords, GatheringKeepsWithinTheRoom)
{
    polygon_set(1, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    polygon_set(2, {{1, 1}, {2, 1}, {2, 2}});
    const int face = control::add_planar_face({1, 2});
    std::vector<int> out(2 * 20, -7);
    int records = 0, length = 0, status = 0;
    plfbuf(face, 7, out.data(), records, length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(records, 2);
    EXPECT_EQ(length, 7);
    EXPECT_EQ(std::vector<int>(out.begin() + 8, out.begin() + 10), (std::vector<int>{2, 1}));
    std::fill(out.begin(), out.end(), -7);
    plfbuf(face, 6, out.data(), records, length, status);
    EXPECT_EQ(status, kRecordNoRoom);
    EXPECT_EQ(out[0], -7);
    plfbuf(1, 20, out.data(), records, length, status);
    EXPECT_EQ(status, -1);
    const std::vector<int> record = chain(1);
    dfccmn(record.data(), 3, out.data(), length, status);
    EXPECT_EQ(status, kRecordNoRoom);
    EXPECT_EQ(out[0], -7);
    dfccmn(record.data(), 4, out.data(), length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(length, 4);
}

TEST_F(ContourRecords, ChainingJoinsCurvesFromThePick)
{
    // A square whose second and fourth sides run against the chain, and an open pair of lines.
    const int a = control::add_line({0, 0, 0}, {4, 0, 0});
    control::add_line({4, 4, 0}, {4, 0, 0});
    control::add_line({4, 4, 0}, {0, 4, 0});
    control::add_line({0, 0, 0}, {0, 4, 0});
    const int open = control::add_line({10, 0, 0}, {12, 0, 0});
    control::add_line({12, 0, 0}, {12, 3, 0});
    struct row {
        const char* what;
        std::string script;
        int room, status, length, open;
    } rows[] = {
        {"closed square", "[{\"pick\": " + std::to_string(a) + "}]", 10, 0, 4, 0},
        {"open pair", "[{\"pick\": " + std::to_string(open) + "}]", 10, 0, 2, 1},
        {"no room", "[{\"pick\": " + std::to_string(a) + "}]", 3, kRecordNoRoom, 4, 0},
        {"exit", "[{\"pick\": \"exit\"}]", 10, -1, 0, 0},
    };
    for (const row& r : rows) {
        control::load_script_text(r.script, r.what);
        const int listed = sllen();
        std::vector<int> record(2 * 10, 0);
        int length = -1, status = 0;
        dfdini(0.001, status);
        dfdc(r.room, record.data(), length, status);
        EXPECT_EQ(status, r.status) << r.what;
        EXPECT_EQ(length, r.length) << r.what;
        if (status != 0) {
            EXPECT_EQ(sllen(), listed) << r.what;
            continue;
        }
        EXPECT_EQ(sllen() - listed, r.length) << r.what;
        int is_open = -1, count = 0;
        dfdgoc(record.data(), is_open, status);
        EXPECT_EQ(is_open, r.open) << r.what;
        float points[2 * 10];
        dfcpol(record.data(), 1, 0.01f, 10, points, count);
        ASSERT_EQ(count, r.length + 1) << r.what;
        // Each curve begins where the one before ended: a polygon through the chain.
        EXPECT_EQ(eqpt2(points, points + 2 * r.length), r.open == 0 ? 1 : 0) << r.what;
    }
    // A chain refused for room comes again, without a pick, to the next dfdc with the room.
    control::load_script_text("[{\"pick\": " + std::to_string(a) + "}]", "kept");
    const long picks = control::call_count("pick");
    std::vector<int> record(2 * 10, 0);
    int length = 0, status = 0;
    dfdini(0.001, status);
    dfdc(3, record.data(), length, status);
    ASSERT_EQ(status, kRecordNoRoom);
    EXPECT_EQ(length, 4);
    dfdc(4, record.data(), length, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(length, 4);
    EXPECT_EQ(control::call_count("pick"), picks + 1);
}

// Lines through the points one after another (closed: back to the first), their ids in order.
std::vector<int> lines_through(const std::vector<std::array<double, 2>>& points, bool closed)
{
    std::vector<int> ids;
    for (std::size_t k = 0; k + 1 < points.size() + (closed ? 1 : 0); ++k) {
        const auto& a = points[k];
        const auto& b = points[(k + 1) % points.size()];
        ids.push_back(control::add_line({a[0], a[1], 0}, {b[0], b[1], 0}));
    }
    return ids;
}

// A chain goes on at the nearest curve end within the tolerance, an exact joint before any
// other, whatever the curves' ids; it closes where its start is as near as any continuation.
TEST_F(ContourRecords, ChainingTakesTheNearestEndExactJointsFirst)
{
    struct chained {
        std::vector<int> curves;  // the chain's curves in order, the picked one first
        int open = 0;
    };
    struct row {
        const char* what;
        std::function<chained()> make;  // makes the part's curves, answers the chain expected
    } rows[] = {
        {"a neighbour 0.04 away made first",
         [] {
             lines_through({{40.04, 20}, {60, 20}, {60, 40}, {40.04, 40}}, true);
             return chained{lines_through({{20, 20}, {40, 20}, {40, 40}, {20, 40}}, true)};
         }},
        {"lines shorter than the tolerance",
         [] {
             std::vector<std::array<double, 2>> corners;
             for (int k = 0; k < 40; ++k)
                 corners.push_back(
                     {0.3 * std::cos(k * std::numbers::pi / 20), 0.3 * std::sin(k * std::numbers::pi / 20)});
             return chained{lines_through(corners, true)};
         }},
        {"sloppy joints beside an exact neighbour: the nearest end",
         [] {
             const std::vector<int> right = lines_through({{40.04, 20}, {60, 20}, {60, 40}, {40.04, 40}}, true);
             const int bottom = control::add_line({20.06, 20, 0}, {40, 20, 0});
             const int side = control::add_line({40, 20.06, 0}, {40, 40, 0});
             return chained{{bottom, right[0], right[1], right[2], right[3], side}, 1};
         }},
        {"a stray end by the start: the chain closes",
         [] {
             control::add_line({0.03, 0, 0}, {-3, -3, 0});
             return chained{lines_through({{0, 0}, {4, 0}, {4, 4}, {0, 4}}, true)};
         }},
    };
    for (const row& r : rows) {
        SetUp();
        const chained expected = r.make();
        control::load_script_text("[{\"pick\": " + std::to_string(expected.curves[0]) + "}]", r.what);
        std::vector<int> record(2 * 100, 0);
        int length = 0, status = 0, open = -1;
        dfdini(0.1, status);
        dfdc(100, record.data(), length, status);
        ASSERT_EQ(status, 0) << r.what;
        std::vector<int> curves;
        for (int k = 1; k <= length; ++k) {
            int entity = 0;
            double data[3];
            dfdget(record.data(), k, entity, data, status);
            curves.push_back(entity);
        }
        EXPECT_EQ(curves, expected.curves) << r.what;
        dfdgoc(record.data(), open, status);
        EXPECT_EQ(open, expected.open) << r.what;
    }
}

// A drawn loop of lines for the chaining's memory: corners round a circle, joints exact, a little
// open or open beyond the tolerance, lines drawn either way round and in any order, with now and
// then a neighbour 0.04 beside a side, a stray line at a corner or a side drawn twice; `change`
// is a pick before which one curve stops being a curve (0: none), `tolerance` each pick's.
struct sloppy_drawing {
    std::vector<int> ids;
    std::size_t change = 0;
    std::vector<double> tolerance;
};

sloppy_drawing draw_sloppy_loop(unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const int corners = 4 + static_cast<int>(random() % 7);
    std::vector<std::array<double, 2>> c;
    for (int k = 0; k < corners; ++k) {
        const double a = 2 * std::numbers::pi * k / corners, r = 10 + 2 * unit(random);
        c.push_back({r * std::cos(a), r * std::sin(a)});
    }
    const auto shifted = [&](std::array<double, 2> p) {
        const double roll = unit(random), size = roll < 0.6 ? 0.0 : roll < 0.85 ? 0.05 : 0.3;
        return vantu::control::point3{p[0] + size * unit(random), p[1] + size * unit(random), 0.0};
    };
    std::vector<std::pair<vantu::control::point3, vantu::control::point3>> lines;
    for (int k = 0; k < corners; ++k) {
        auto line = std::pair{shifted(c[k]), shifted(c[(k + 1) % corners])};
        if (unit(random) < 0.4) std::swap(line.first, line.second);
        lines.push_back(line);
        const double extra = unit(random);
        if (extra < 0.15)
            lines.push_back({{line.first[0], line.first[1] + 0.04, 0}, {line.second[0], line.second[1] + 0.04, 0}});
        else if (extra < 0.3)
            lines.push_back({line.first, {line.first[0] - 3, line.first[1] - 1, 0}});
        else if (extra < 0.35)
            lines.push_back(line);
    }
    std::shuffle(lines.begin(), lines.end(), random);
    sloppy_drawing d;
    for (const auto& [a, b] : lines) d.ids.push_back(control::add_line(a, b));
    d.change = random() % (d.ids.size() + 1);
    for (std::size_t k = 0; k < d.ids.size(); ++k) d.tolerance.push_back(unit(random) < 0.8 ? 0.1 : 0.2);
    return d;
}

// The chain a pick answers: each curve with its parameters in the direction of travel, and
// whether it is open.
std::vector<std::array<double, 3>> picked_chain(int id, double tolerance)
{
    control::load_script_text("[{\"pick\": " + std::to_string(id) + "}]", "pick");
    std::vector<int> record(2 * 100, 0);
    int length = 0, status = 0, open = -1;
    dfdini(tolerance, status);
    dfdc(100, record.data(), length, status);
    std::vector<std::array<double, 3>> chain;
    for (int k = 1; status == 0 && k <= length; ++k) {
        int entity = 0;
        double data[3];
        dfdget(record.data(), k, entity, data, status);
        chain.push_back({static_cast<double>(entity), data[0], data[1]});
    }
    dfdgoc(record.data(), open, status);
    chain.push_back({static_cast<double>(open), static_cast<double>(status), 0.0});
    return chain;
}

// Curves picked one after another, as the contour page picks them, chain as each would picked
// first on the part as it stands: the chaining's memory of the part and of the last chain never
// shows, not after the part or the tolerance changed either.
TEST_F(ContourRecords, APickAfterOthersChainsAsAFirstPick)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        SetUp();
        const sloppy_drawing d = draw_sloppy_loop(seed);
        std::vector<std::vector<std::array<double, 3>>> in_turn;
        for (std::size_t k = 0; k < d.ids.size(); ++k) {
            if (k == d.change && k > 0) control::set_attribute(d.ids[k - 1], "CL", 2);
            in_turn.push_back(picked_chain(d.ids[k], d.tolerance[k]));
        }
        for (std::size_t k = 0; k < d.ids.size(); ++k) {
            SetUp();
            draw_sloppy_loop(seed);
            if (k >= d.change && d.change > 0) control::set_attribute(d.ids[d.change - 1], "CL", 2);
            EXPECT_EQ(in_turn[k], picked_chain(d.ids[k], d.tolerance[k])) << "seed " << seed << ", pick " << k;
        }
    }
}

TEST_F(ContourRecords, DeletingARegisteredContourMovesTheLaterOnesDown)
{
    for (int set = 1; set <= 3; ++set) polygon_set(set, {{0, 0}, {1.0 * set, 0}, {0, 1.0 * set}});
    polygon_set(4, {{0, 0}, {5, 0}, {5, 5}, {0, 5}});
    std::vector<int> wire(2 * kContourBufferEntries), geometry(2 * kContourBufferEntries);
    int first[5] = {0, 1, 4, 8, 11};
    int ranges[8] = {0, -1, 1, 3, 4, 7, 8, 10};
    float offsets[4] = {0, 1, 2, 3}, drafts[4] = {0, 4, 5, 6};
    int types[4] = {0, 1, 2, 3}, part_stock[4] = {0, 1, 2, 1}, kinds[4] = {0, 1, 1, 1}, crit[4] = {0, 0, 1, 0};
    int count = 3, length = 0, status = 0;
    const int sets[3] = {1, 4, 2};
    for (int k = 0; k < 3; ++k) dfdgrc(sets[k], 10, geometry.data() + 2 * (first[k + 1] - 1), length, status);
    wire = geometry;
    for (int i = 1; i <= 10; ++i) {
        const float p[3] = {0, 0, 0};
        slpsh3(1, p, status);
    }
    pkt_set_to_main(&count, ranges, first, offsets, drafts, types, part_stock, kinds, crit);
    cntbuf_set_to_main(wire.data(), geometry.data(), nullptr);
    pktdel_by_OrderNum(2, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(std::vector<int>(first + 1, first + 4), (std::vector<int>{1, 4, 7}));
    EXPECT_EQ(std::vector<int>(ranges + 2, ranges + 6), (std::vector<int>{1, 3, 4, 6}));
    EXPECT_EQ(offsets[2], 3.0f);
    EXPECT_EQ(crit[2], 0);
    EXPECT_EQ(sllen(), 6);
    EXPECT_EQ(geometry[2 * 3], 2);  // contour 2 is now the triangle of set 2
    EXPECT_EQ(wire[2 * 3], 2);
    for (int bad : {0, 3}) {
        pktdel_by_OrderNum(bad, status);
        EXPECT_EQ(status, -1) << bad;
    }
}

TEST_F(ContourRecords, LoopsAndCriteriaFollowThePart)
{
    polygon_set(1, {{0, 0}, {4, 0}, {4, 4}, {0, 4}});
    polygon_set(2, {{1, 1}, {2, 1}, {2, 2}});
    control::define_solid_loop({900, 1, 1, {51}});
    control::define_solid_loop({901, 1, 1, {52}});
    control::define_solid_loop({902, 1, 2, {53}});
    control::define_criteria({1, 1, 0, 2, {2}});
    const std::string part = control::save_part_text();
    control::reset();
    control::load_part_text(part, "loops and criteria");
    int loop = 0, second = 0, status = 0;
    ncs_loop_of_edge(52, loop, second, status);
    EXPECT_EQ(loop, 901);
    EXPECT_EQ(ncs_id_is_not_solid(52), 0);
    EXPECT_EQ(ncs_id_is_not_solid(7), 1);
    const int records[] = {kLoopRecord, 900, 1, 0, kLoopRecord, 901, 1, 0, kLoopRecord, 902, 1, 0};
    int flags[3] = {-1, -1, -1};
    ncs_find_dupl_loops(records, 3, flags);
    EXPECT_EQ(std::vector<int>(flags, flags + 3), (std::vector<int>{0, 1, 0}));
    control::define_solid_loop({902, 5, 2, {53}});  // a solid update
    std::vector<int> out(20);
    int length = 0;
    ncs_explode_loop_to_wfbuf(records + 8, 10, out.data(), length, second, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(length, 3);
    EXPECT_EQ(second, 5);
    int active = 0, found = 0;
    active_mask_gs(1, 2, active);
    EXPECT_EQ(active, 1);
    geomsk_search_curves(1);
    find_cont_by_crit(0, 0, found, status);
    EXPECT_EQ(found, 1);
    fill_cnt_buf(1, 10, out.data(), length, status);
    EXPECT_EQ(status, 0);
    compare_cnt(out.data(), found);
    EXPECT_EQ(found, 1);
    fill_cnt_buf(2, 10, out.data(), length, status);
    EXPECT_EQ(status, -11);
}

TEST_F(ContourRecords, ProjectionFindsAPointAcrossACirclesSeam)
{
    const int circle = control::add_arc({0, 0, 0}, 5.0, 90.0, 450.0);
    const int line = control::add_line({0, 0, 0}, {10, 0, 0});
    struct row {
        int id;
        float point[3];
        double parameter;
    } rows[] = {
        {circle, {5.0f, 0.1f, 0.0f}, 0.02},  // just past the seam at angle 0
        {circle, {5.0f, -0.1f, 0.0f}, 2 * std::numbers::pi - 0.02},
        {circle, {0.0f, 5.0f, 0.0f}, std::numbers::pi / 2},
        {line, {3.0f, 2.0f, 0.0f}, 3.0},
    };
    for (const row& r : rows) {
        double t = -1.0;
        int status = -1;
        crvprw(r.id, r.point, t, status);
        EXPECT_EQ(status, 0);
        EXPECT_NEAR(t, r.parameter, 1.0e-3) << r.point[0] << "," << r.point[1];
    }
}

TEST_F(ContourRecords, SelectionListBoxPatternsAndAssociations)
{
    const int line = control::add_line({0, 0, 0}, {1, 0, 0});
    const float p[3] = {0.5f, 0, 0};
    int status = 0;
    for (int i = 0; i < 4; ++i) slpsh3(line, p, status);
    pickm_push(4, 77, 2, status);
    slpsh3(9999, p, status);
    EXPECT_EQ(status, -5);
    sldelr(2, 3, status);
    EXPECT_EQ(sllen(), 3);
    EXPECT_EQ(control::selection_list().back().kind, 4);
    sldelr(3, 4, status);
    EXPECT_EQ(status, -1);

    control::load_script_text(R"([{"point": [5, 1]}, {"point": [2, 3]}, {"menu": 2}])", "box");
    float box[4];
    draw_box(status);
    get_box_coor(box);
    EXPECT_EQ(std::vector<float>(box, box + 4), (std::vector<float>{2, 1, 5, 3}));
    int choice = 0;
    pdmpac("A@B", choice);
    EXPECT_EQ(choice, 2);

    const int pattern = control::add_entity(
        kPatternClass, kPatternType, {2, real_to_word(1), real_to_word(2), 0, real_to_word(3), real_to_word(4), 0});
    float points[6];
    int count = 0;
    drppts(pattern, 1, points, count, status);
    EXPECT_EQ(status, -2);
    drppts(pattern, 2, points, count, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(points[3], 3.0f);

    ncs_table_insert(17, line, ncs_obj_uid(line), ncs_get_generation_number(line), status);
    EXPECT_EQ(control::associations().size(), 1u);
    ncs_table_delete(17, line, status);
    EXPECT_EQ(status, 0);
    ncs_table_delete(17, line, status);
    EXPECT_EQ(status, 1);
}

TEST_F(ContourRecords, ArrowFigureIsDrawnAlongItsDirection)
{
    int parameters[6];
    figaro_par_get(parameters);
    const double point[3] = {1, 2, 3}, along[3] = {0, 2, 0}, none[3] = {0, 0, 0};
    int figure = 0, status = 0;
    figarop(parameters, point, none, figure, status);
    EXPECT_EQ(status, -1);
    figarop(parameters, point, along, figure, status);
    ASSERT_EQ(status, 0);
    const control::figure_record& f = control::figures().back();
    EXPECT_EQ(f.id, figure);
    ASSERT_FALSE(f.strokes.empty());
    // The shaft runs from the point along the direction for its length (tenths of a unit).
    EXPECT_NEAR(f.strokes[0][1][1], 2.0 + parameters[0] * 0.1, 1e-5);
    EXPECT_NEAR(f.strokes[0][1][0], 1.0, 1e-5);
}
