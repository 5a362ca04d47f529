// The polygon buffers: growth that keeps every point, counts that must fit, reads bounded by the
// polygon's count, the guard, polygons from stored contours, copies, the largest polygon and the
// point-in-region test with its tolerance bands.
#include "package_test_support.hpp"

#include "host/control/display.hpp"

namespace {

constexpr int kDefaultSize = 9000;

class PolygonBuffers : public PackageTest {
protected:
    void SetUp() override
    {
        PackageTest::SetUp();
        int status = -5;
        polbuf_open_all(2, kDefaultSize, status);
        ASSERT_EQ(status, 0);
    }
    // Writes polygon n of the current buffer as callers do: count 0, the points, the count.
    static void put_polygon(int n, const std::vector<float>& xy)
    {
        int status = 0;
        polbuf_set_np(n, 0, status);
        const int count = static_cast<int>(xy.size() / 2);
        for (int i = 1; i <= count; ++i) polbuf_set_point(n, i, xy[2 * i - 2], xy[2 * i - 1], status);
        polbuf_set_np(n, count, status);
        ASSERT_EQ(status, 0);
    }
    static std::vector<float> get_polygon(int n)
    {
        int count = 0, status = 0;
        polbuf_get_np(n, count, status);
        std::vector<float> xy;
        for (int i = 1; i <= count; ++i) {
            float x = 0, y = 0;
            polbuf_get_point(n, i, x, y, status);
            xy.insert(xy.end(), {x, y});
        }
        return xy;
    }
    static std::vector<float> square(float x, float y, float size)
    {
        return {x, y, x + size, y, x + size, y + size, x, y + size};
    }
    static int capacity()
    {
        int words = 0, status = 0;
        polbuf_get_size(words, status);
        return words;
    }
};

}  // namespace

TEST_F(PolygonBuffers, PointsStoredOneByOneGrowTheBufferAndStayIntact)
{
    int status = 0;
    polbuf_set_np(1, 0, status);
    for (int i = 1; i <= 5000; ++i) polbuf_set_point(1, i, static_cast<float>(i), static_cast<float>(-i), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(capacity(), 11000);
    polbuf_set_np(1, 5000, status);
    ASSERT_EQ(status, 0);
    for (int i = 1; i <= 5000; ++i) {
        float x = 0, y = 0;
        polbuf_get_point(1, i, x, y, status);
        ASSERT_EQ(x, static_cast<float>(i));
        ASSERT_EQ(y, static_cast<float>(-i));
    }
    // A point far beyond the others grows the buffer until it fits.
    polbuf_set_point(2, 4000, 1.5f, 2.5f, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(capacity(), 19000);
}

TEST_F(PolygonBuffers, CountsMustFitAndReadsStayInsideThePolygon)
{
    struct case_row {
        int n, count, status;
    } rows[] = {{1, 4500, -1}, {1, 4499, 0}, {1, 0, 0}, {2, 4499, 0}, {2, 4500, -1}, {1, -3, 0}};
    for (const case_row& r : rows) {
        vantu::control::clear_messages();
        int status = 5;
        polbuf_set_np(r.n, r.count, status);
        EXPECT_EQ(status, r.status) << r.n << ":" << r.count;
        const std::vector<std::string> refused = {"[polbuf_set_np] BUFFER IS NOT LARGE ENOUGH"};
        EXPECT_EQ(errors(), r.status == 0 ? std::vector<std::string>{} : refused);
    }

    // Polygons with a count of 0 or below take one word; numbers 0 and 1 name the first.
    put_polygon(2, square(0, 0, 1));
    put_polygon(3, square(5, 5, 2));
    int count = 0, status = 0;
    polbuf_get_np(0, count, status);
    EXPECT_EQ(count, -3);
    EXPECT_EQ(get_polygon(3), square(5, 5, 2));
    word* count_word = polbuf_get_ptr(1, 3, status);
    word* first_point = polbuf_get_ptr(2, 3, status);
    EXPECT_EQ(count_word - polbuf_get_ptr(1, 1, status), 1 + 1 + 8);
    EXPECT_EQ(word_to_real(first_point[2]), 7.0f);

    for (const int i : {0, 5, -1}) {
        vantu::control::clear_messages();
        float x = 99, y = 99;
        polbuf_get_point(3, i, x, y, status);
        EXPECT_EQ(status, -1) << i;
        EXPECT_EQ(x, 99.0f);
        EXPECT_EQ(errors(), std::vector<std::string>{"[polbuf_get_point] WRONG POINT NUMBER"});
    }
    // A count written past the buffer's room through the address is not read past it.
    word* raw = polbuf_get_ptr(1, 4, status);
    *raw = 100000;
    vantu::control::clear_messages();
    float x = 0, y = 0;
    polbuf_get_np(4, count, status);
    EXPECT_EQ(status, -1);
    polbuf_get_point(4, 1, x, y, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>(2, "[POLBUF_PKG] POLYGON IS OUTSIDE THE BUFFER"));
    *raw = 0;

    int npol = 0;
    polbuf_set_npol(3, status);
    polbuf_get_npol(npol, status);
    EXPECT_EQ(npol, 3);
    float a = 0, b = 0;
    polbuf_set_pair(0.6f, 0.8f, status);
    polbuf_get_pair(a, b, status);
    EXPECT_EQ(a, 0.6f);
    EXPECT_EQ(b, 0.8f);
}

TEST_F(PolygonBuffers, GuardAndSelection)
{
    int status = 0, index = -1;
    int third = 3;
    polbuf_select(2, third, status);
    polbuf_select(1, index, status);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(polbuf_block.in_use[3], 1);
    vantu::control::clear_messages();
    POLB_PKG(3, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>{"[POLB_PKG] POLBUF IS ALLREADY IN USE"});
    POLB_PKG(4, status);
    EXPECT_EQ(status, 0);
    int bad = 6;
    polbuf_select(2, bad, status);
    EXPECT_EQ(status, -1);

    // Marked not initialised: every entry point refuses, the release of all stops at buffer 0.
    polbuf_release_all(kPolbufClose, status);
    ASSERT_EQ(status, 0);
    polbuf_open_all(kPolbufMark, 0, status);
    vantu::control::clear_messages();
    int count = 0;
    float x = 0, y = 0;
    polbuf_get_npol(count, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(polbuf_get_ptr(1, 1, status), nullptr);
    polbuf_set_point(1, 1, x, y, status);
    polbuf_get_dval(x, y, status);
    polbuf_release_all(kPolbufClose, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(errors(), std::vector<std::string>(5, "[POLBUF_PKG] USED BEFORE INITIALIZED"));
    const float point[2] = {0, 0};
    EXPECT_EQ(polbuf_point_in(point, 0.1f, status), 1);
    EXPECT_EQ(status, -1);
    // At load every buffer is not initialised.
    polbuf_block = polbuf_state{};
    polbuf_get_npol(count, status);
    EXPECT_EQ(status, -1);
}

TEST_F(PolygonBuffers, PolygonsFromStoredContours)
{
    rectangle_set(1, 0, 0, 10, 5);
    circle_set(2, 0, 0, 1000);
    const std::vector<int> rect = records_of({1}), circle = records_of({2});
    int status = -5;
    polbuf_from_curve(1, rect.data(), 1.0f, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(get_polygon(1), (std::vector<float>{0, 0, 10, 0, 10, 5, 0, 5, 0, 0}));

    // Polygon 2 gets the room left after polygon 1 and its own count word; a polygon larger than
    // that room grows the buffer.
    polbuf_from_curve(2, circle.data(), 0.0001f, status);
    ASSERT_EQ(status, 0);
    int count = 0;
    polbuf_get_np(2, count, status);
    EXPECT_GT(2 * count + 1 + 11, kDefaultSize);
    EXPECT_GE(capacity(), 11 + 1 + 2 * count);
    EXPECT_EQ(get_polygon(1), (std::vector<float>{0, 0, 10, 0, 10, 5, 0, 5, 0, 0}));
    const std::vector<float> round = get_polygon(2);
    for (std::size_t i = 0; i < round.size(); i += 2) ASSERT_NEAR(std::hypot(round[i], round[i + 1]), 1000.0, 1e-2);

    // A contour of some thirty thousand points grows the buffer as far as it needs.
    circle_set(3, 0, 0, 20000);
    const std::vector<int> huge = records_of({3});
    polbuf_from_curve(3, huge.data(), 0.0001f, status);
    ASSERT_EQ(status, 0);
    polbuf_get_np(3, count, status);
    EXPECT_GT(count, 10 * kPolbufStepWords / 2);
    EXPECT_EQ(get_polygon(2), round);
    const int no_record[2] = {9, 1};
    polbuf_from_curve(1, no_record, 1.0f, status);
    EXPECT_EQ(status, -1);
}

TEST_F(PolygonBuffers, CopyLargestAndDrawing)
{
    put_polygon(1, square(0, 0, 2));
    put_polygon(2, square(10, 0, 3));
    put_polygon(3, square(20, 0, 3));  // as large as polygon 2: the first one wins
    put_polygon(4, {0, 0, 5, 5});      // no area
    int status = 0, largest = 0;
    polbuf_set_npol(4, status);
    polbuf_largest(largest);
    EXPECT_EQ(largest, 2);

    polbuf_copy(0, 2, status);
    ASSERT_EQ(status, 0);
    int current = -1, npol = 0;
    polbuf_select(1, current, status);
    EXPECT_EQ(current, 2);
    polbuf_get_npol(npol, status);
    EXPECT_EQ(npol, 4);
    for (int n = 1; n <= 4; ++n) {
        int source = 0;
        polbuf_select(2, source, status);
        const std::vector<float> original = get_polygon(n);
        int target = 2;
        polbuf_select(2, target, status);
        EXPECT_EQ(get_polygon(n), original) << n;
    }
    polbuf_set_npol(0, status);
    polbuf_largest(largest);
    EXPECT_EQ(largest, -1);

    // A copy stops at the first failure and hands it on.
    int big = 4;
    polbuf_select(2, big, status);
    std::vector<float> many;
    for (int i = 0; i < 5000; ++i) many.insert(many.end(), {static_cast<float>(i), 0.0f});
    put_polygon(1, many);
    polbuf_set_npol(1, status);
    vantu::control::inject_fault("MM_RESIZE_ARRAY", 1, 1, -2);
    polbuf_copy(4, 5, status);
    EXPECT_EQ(status, -1);

    int source = 0;
    polbuf_select(2, source, status);
    polbuf_draw_all(1.5f, status);
    EXPECT_EQ(status, 0);
    const auto& figures = vantu::control::figures();
    ASSERT_EQ(figures.size(), 4u);
    EXPECT_EQ(figures[0].colour, 1);
    EXPECT_EQ(figures[3].colour, 4);
    ASSERT_EQ(figures[1].strokes.size(), 1u);
    EXPECT_EQ(figures[1].strokes[0].size(), 5u);  // closed
    EXPECT_EQ(figures[1].strokes[0][4], (std::array<double, 3>{10, 0, 1.5}));
}

TEST_F(PolygonBuffers, PointInRegionWithToleranceBands)
{
    int status = 0, region = 1;
    polbuf_select(2, region, status);
    put_polygon(1, square(4, 4, 2));   // island
    put_polygon(2, square(0, 0, 10));  // outer: the largest
    put_polygon(3, square(7, 1, 1));   // second island
    polbuf_set_npol(3, status);
    int other = 0;
    polbuf_select(2, other, status);

    struct case_row {
        float x, y;
        int in;
    } rows[] = {
        {2, 2, 1},      {5, 5, 0},       {4, 5, 1},       {4.005f, 5, 1}, {4.5f, 5, 0}, {10.005f, 5, 1},
        {10.05f, 5, 0}, {-0.009f, 3, 1}, {7.5f, 1.5f, 0}, {8, 1.5f, 1},   {20, 20, 0},
    };
    for (const case_row& r : rows) {
        const float p[2] = {r.x, r.y};
        EXPECT_EQ(polbuf_point_in(p, 0.01f, status), r.in) << r.x << "," << r.y;
        EXPECT_EQ(status, 0);
    }
    int current = -1;
    polbuf_select(1, current, status);
    EXPECT_EQ(current, 0);  // the selection is given back

    // Without polygons in buffer 1 every point is in.
    region = 1;
    polbuf_select(2, region, status);
    polbuf_set_npol(0, status);
    polbuf_select(2, other, status);
    const float far[2] = {100, 100};
    EXPECT_EQ(polbuf_point_in(far, 0.01f, status), 1);
    polbuf_select(1, current, status);
    EXPECT_EQ(current, 0);
}
