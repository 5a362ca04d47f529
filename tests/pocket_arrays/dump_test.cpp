// The debug dumps of pocket arrays and crossing records, written to the host's output folder,
// and the figure drawn by the debug display.
#include "host/control/files.hpp"
#include "pocket_arrays/pocket_prepare.hpp"
#include "pocket_arrays/pokarr_show.hpp"
#include "pocket_test_support.hpp"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace {

class Dump : public PocketTest {
protected:
    std::filesystem::path folder;
    void SetUp() override
    {
        PocketTest::SetUp();
        folder =
            std::filesystem::temp_directory_path() / ("drelan_dump_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder);
        vantu::control::set_output_directory(folder.string());
        pocket_frame_reset();
        pokarr_show_block = pokarr_show_state{};
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder);
        PocketTest::TearDown();
    }
    std::string read(const char* name) const
    {
        std::ifstream in(folder / name);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(Dump, EmptyArrayGivesItsHeaderAndTypeEmpty)
{
    pokarr a;
    pokarr_init(2, a);
    ASSERT_EQ(pokarr_dump(&a, 3, 0, -1), 0);
    EXPECT_EQ(read("pokarr003.txt"), "Pocket array\n~~~~~~~~~~~~\n\nFile id: 3\n\nType: Empty\n\n\n");
    EXPECT_EQ(pokarr_dump(nullptr, 3, 0, -1), -1);
}

TEST_F(Dump, DynamicArrayListsTheRangeWithWorldCoordinates)
{
    pocket_frame_block.origin[0] = 100.0;
    pocket_frame_block.origin[1] = 200.0;
    pokarr a = make_2d({{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {8, 0}, {9, 0.5}});
    ASSERT_EQ(pokarr_dump(&a, 1001, 5, 2), 0);  // last below first: to the end
    const std::string text = read("pokarr001.txt");
    std::ostringstream expected;
    char kind[64];
    std::snprintf(kind, sizeof kind, "Type: Dynamic (index = %-4d) \n", a.kind);
    expected << "Pocket array\n~~~~~~~~~~~~\n\nFile id: 1001\n\n"
             << kind << "Indicator: 0,  Direction: NONE(0),    Area =          0\n"
             << "Dimensions: 2\n"
             << "Origin: Xmin =        100   Ymin =        200\n"
             << "No of Points: 10\n"
             << "Index ,      X     ,      Y     ,           Xw    ,      Yw    \n"
             << "======,============,============,     ============,============\n";
    for (int i = 5; i <= 9; ++i) {
        char row[160];
        std::snprintf(row, sizeof row, "%5d, %10.9G , %10.9G ,      %10.9G , %10.9G\n", i, double(i),
                      i == 9 ? 0.5 : 0.0, 100.0 + i, i == 9 ? 200.5 : 200.0);
        expected << row;
    }
    expected << "\n\n";
    EXPECT_EQ(text, expected.str());
    pokarr_free(a);
}

TEST_F(Dump, CrossingRecordsWithAndWithoutParameters)
{
    const int ingo[2] = {-3, 5}, ingo1[2] = {-7, -9};
    const double x[2] = {1.5, 2}, y[2] = {0.25, -1}, u1[2] = {0.5, 1}, u2[2] = {0.125, 0};
    ASSERT_EQ(pkingo_dump(-12, 2, ingo, ingo1, x, y, u1, u2), 0);
    const std::string header = "Pocket Intersections\n~~~~~~~~~~~~~~~~~~~~\n\nFile id: 12\ningos: 2\n\n"
                               "Index | ingo  | ingo1 |    xing    |    ying    |      u1    |      u2    \n"
                               "======+=======+=======+============+============+=============+=============\n";
    EXPECT_EQ(read("pkingo012.txt"),
              header + "    0 |    -3 |    -7 |        1.5 |       0.25 | 0.500000000 | 0.125000000 \n"
                       "    1 |     5 |    -9 |          2 |         -1 | 1.000000000 | 0.000000000 \n\n\n");
    ASSERT_EQ(pkingo_dump(12, 1, ingo, ingo1, x, y, nullptr, nullptr), 0);
    EXPECT_EQ(read("pkingo012.txt"), header.substr(0, header.find("ingos")) + "ingos: 1\n\n" +
                                         header.substr(header.find("Index")) +
                                         "    0 |    -3 |    -7 |        1.5 |       0.25 \n\n\n");
}

TEST_F(Dump, MissingFolderFailsWithoutStopping)
{
    vantu::control::set_output_directory((folder / "not" / "there").string());
    pokarr a = make_2d({{0, 0}});
    EXPECT_EQ(pokarr_dump(&a, 1, 0, -1), -1);
    pokarr_free(a);
}

TEST_F(Dump, ColourSwitchTakesOnlyTheFixedColours)
{
    struct row {
        int value, colour;
    };
    for (const row r : {row{0, 0}, row{-3, 0}, row{16, 0}, row{7, 7}, row{15, 15}, row{1, 1}}) {
        pokarr_show_colour(r.value);
        EXPECT_EQ(pokarr_show_block.colour, r.colour) << r.value;
    }
}

TEST_F(Dump, FigurePointIsTheThreeCoordinatesInSinglePrecision)
{
    const double point[3] = {1.5, -2.25, 1e10};
    float narrow[3];
    xform_point(point, narrow);
    EXPECT_EQ((std::vector<float>(narrow, narrow + 3)), (std::vector<float>{1.5f, -2.25f, 1e10f}));
}

TEST_F(Dump, ShowDrawsAQuarterArcAsFortyChordsEndingAtItsEnd)
{
    pokarr a = make_2d({{10, 0}, {kArcMarker, 0}, {10, 1}, {0, 0}, {0, 10}});
    EXPECT_EQ(pokarr_show(a, 1), 0);
    const auto& figures = vantu::control::figures();
    ASSERT_EQ(figures.size(), 1u);
    ASSERT_EQ(figures[0].strokes.size(), 1u);
    const auto& stroke = figures[0].strokes[0];
    const int draws = static_cast<int>(stroke.size()) - 1;
    EXPECT_EQ(draws, 40);
    EXPECT_NEAR(stroke.back()[0], 0.0, 1e-6);
    EXPECT_NEAR(stroke.back()[1], 10.0, 1e-6);
    for (const auto& p : stroke) EXPECT_NEAR(std::hypot(p[0], p[1]), 10.0, 1e-5);
    pokarr empty;
    pokarr_init(2, empty);
    EXPECT_EQ(pokarr_show(empty, 1), -1);
    pokarr_free(a);
}

}  // namespace
