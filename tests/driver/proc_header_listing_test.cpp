// The blocks of the procedure being listed in the procedure header listing: a separator after
// every block not followed by a text block, and at the end of the list.
#include "driver/proc_block_support.hpp"
#include "driver/proc_header_listing.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <unistd.h>

TEST(ProcHeaderListing, SeparatorsAfterBlocksNotFollowedByText)
{
    vantu::control::reset();
    const std::filesystem::path out = std::filesystem::temp_directory_path() / ("drelan_proch_" + std::to_string(::getpid()));
    std::filesystem::create_directories(out);
    vantu::control::set_output_directory(out.string());
    proc_test::proc_block b;
    b.number = 7;
    b.append();
    int status = 0;
    const word one = std::bit_cast<word>(1.0f);
    // A type-10 block (rotation axes) right after the procedure block, then a line block.
    for (const std::vector<word>& w : {std::vector<word>{10, 8, 1, one, 0, 0, 0, one, 0, 0, 0},
                                       std::vector<word>{2, 9, one, one, 0}}) {
        lcreat(1, status);
        lputd(static_cast<int>(w.size()), w.data(), status);
        lclos(status);
    }
    lacces(2, status);   // back to the procedure block, the first line
    const int unit = 31;
    aopen(unit, "header.lst", 2, status);
    ASSERT_EQ(status, 0);
    proch_blocks_write(-1, unit, 0, status);
    EXPECT_EQ(status, 0);
    const std::string separator = proch_separator();
    EXPECT_EQ(separator.size(), 76u);
    EXPECT_EQ(separator.substr(0, 26), "|" + std::string(24, '-') + "|");
    const std::vector<std::string> lines = vantu::control::listing_lines(unit);
    // No separator between the procedure block and the type-10 block that follows it; one after
    // the type-10 block (a line block follows) and one at the end of the list; four blank lines.
    ASSERT_GE(lines.size(), 6u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), separator), 2);
    EXPECT_EQ(lines[lines.size() - 5], separator);
    for (std::size_t i = lines.size() - 4; i < lines.size(); ++i) EXPECT_EQ(lines[i], "");
    const auto first = std::find(lines.begin(), lines.end(), separator);
    EXPECT_LT(first - lines.begin() + 1, static_cast<std::ptrdiff_t>(lines.size()) - 5) << "the line block prints nothing";
    aclose(unit, status);
    vantu::control::reset();
    std::filesystem::remove_all(out);
}
