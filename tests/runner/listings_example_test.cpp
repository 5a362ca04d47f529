// The listings example end to end: hostrun opens procedure 1 of examples/listings_part.json and
// the script picks the listings from the SERVICE page of the procedure top menu; the listing
// files land in the output folder, each announced, the tool list naming the procedure's tool.
#include <gtest/gtest.h>

#include "tests/support/build_under_test.hpp"
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string read_text(const fs::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(ListingsExample, ServiceListingsLandInTheOutputFolder)
{
    const std::string source = DRELAN_SOURCE_DIR;
    const fs::path out = fs::temp_directory_path() / ("drelan_listings_" + std::to_string(getpid()));
    fs::remove_all(out);
    const std::string command = test_support::hostrun_path() + " --part " + source + "/examples/listings_part.json" +
                                " --script " + source + "/examples/listings_script.json --out " + out.string() +
                                " --data " + source +
                                "/data --fixed-time 2026-01-01T12:00:00 --edit 1 > /dev/null 2>&1";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string transcript = read_text(out / "transcript.txt");
    for (const char* suffix : {"TP_LIST", "PROC_HDR", "TOOLS_LIST"}) {
        const std::string name = std::string("listings_part.json_MACSYS1_") + suffix;
        EXPECT_TRUE(fs::exists(out / name)) << name;
        EXPECT_NE(transcript.find("[usrer4] OUTPUT TO FILE " + name), std::string::npos) << name;
    }
    const std::string tools = read_text(out / "listings_part.json_MACSYS1_TOOLS_LIST");
    EXPECT_NE(tools.find("             NUMBER OF TOOLS = 1\n"), std::string::npos);
    EXPECT_NE(tools.find("             WIRE 0.25"), std::string::npos);
    EXPECT_NE(read_text(out / "listings_part.json_MACSYS1_TP_LIST").find(" END PROCEDURE NUMBER 1\n"),
              std::string::npos);
    const std::string headers = read_text(out / "listings_part.json_MACSYS1_PROC_HDR");
    EXPECT_EQ(headers.substr(0, 33), "           PROCEDURE HEADER LIST\n");
    EXPECT_NE(headers.find("|" + std::string(24, '-') + "|"), std::string::npos) << "the blocks between separators";
    fs::remove_all(out);
}
