// The blocks of the procedure being listed in the procedure header listing: a separator after
// every block not followed by a text block, and at the end of the list.
#include "driver/proc_block_support.hpp"
#include "driver/proc_header_listing.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"

#include <gtest/gtest.h>

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
    for (const std::vector<word>& w : {std::vector<word>{10, 8, 0}, std::vector<word>{5, 9, 0}}) {
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
    const std::vector<std::string> expected = {
        "BLOCK TYPE = 12  BLOCK NUMBER = 7", "BLOCK TYPE = 10  BLOCK NUMBER = 8", separator,
        "BLOCK TYPE = 5  BLOCK NUMBER = 9",  separator, "", "", "", ""};
    EXPECT_EQ(lines, expected);
    aclose(unit, status);
    vantu::control::reset();
    std::filesystem::remove_all(out);
}
