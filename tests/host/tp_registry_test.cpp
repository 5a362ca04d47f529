// Host tool-path registry: the procedure being edited, the tool paths holding a procedure (in
// ascending id order, refused for a bad id), the header words of a tool-path entity kept whole
// and bounded, failures on demand, and the part-file round trip (entries of every kind in order)
// with its refusals.
#include "host/control.hpp"
#include "host/control/tp_registry.hpp"
#include "host/vantu_tpreg.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace vantu::control;

class HostTpRegistry : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
};

std::vector<word> header_of(word machine) { return {1, text4_to_word("MACS"), text4_to_word("YS01"), machine, 0}; }

}  // namespace

TEST_F(HostTpRegistry, ProcedureIdIsReadAndSetAndStartsAtNone)
{
    int id = 5;
    gs_proc_id(1, id);
    EXPECT_EQ(id, -1);
    int set = 17;
    gs_proc_id(2, set);
    gs_proc_id(1, id);
    EXPECT_EQ(id, 17);
    int other = 3;
    gs_proc_id(7, other);
    EXPECT_EQ(other, 3) << "an unknown mode answers nothing";
    EXPECT_EQ(current_procedure(), 17) << "an unknown mode sets nothing";
}

TEST_F(HostTpRegistry, ToolPathsHoldingAProcedureInAscendingOrder)
{
    ASSERT_TRUE(declare_tool_path(30, header_of(62), {7, 9}));
    ASSERT_TRUE(declare_tool_path(12, header_of(26), {9}));
    ASSERT_TRUE(declare_tool_path(20, header_of(63), {8}));
    std::vector<int> ids{99};
    int status = 5;
    ncn_assoc_find_proc_tp(9, ids, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ids, (std::vector<int>{12, 30}));
    ncn_assoc_find_proc_tp(4, ids, status);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(ids.empty());
    ids = {99};
    ncn_assoc_find_proc_tp(-1, ids, status);
    EXPECT_EQ(status, -1);
    EXPECT_TRUE(ids.empty());
    inject_fault("ncn_assoc_find_proc_tp", 1, 1, -3);
    ncn_assoc_find_proc_tp(9, ids, status);
    EXPECT_EQ(status, -3);
    EXPECT_TRUE(ids.empty());
}

TEST_F(HostTpRegistry, CurrentToolPathStartsAtNone)
{
    int id = 0;
    get_curr_tp_id(id);
    EXPECT_EQ(id, -1);
    set_current_tool_path(12);
    get_curr_tp_id(id);
    EXPECT_EQ(id, 12);
}

TEST_F(HostTpRegistry, HeaderIsKeptWholeAndBounded)
{
    ASSERT_TRUE(declare_tool_path(12, header_of(26), {}));
    std::vector<word> header;
    int status = 9;
    get_set_tp_header(1, 12, header, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(header, header_of(26));

    std::vector<word> written(kTpHeaderMaxWords, 0);
    written[3] = 65;
    written.back() = real_to_word(2.5f);
    get_set_tp_header(2, 12, written, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(tool_path_header(12), written);

    std::vector<word> too_long(kTpHeaderMaxWords + 1, 7);
    get_set_tp_header(2, 12, too_long, status);
    EXPECT_EQ(status, -1);
    EXPECT_EQ(tool_path_header(12), written) << "a refused write changes nothing";

    header = {42};
    get_set_tp_header(1, 13, header, status);
    EXPECT_EQ(status, -5);
    EXPECT_EQ(header, std::vector<word>{42}) << "a missing tool path answers nothing";
    get_set_tp_header(3, 12, header, status);
    EXPECT_EQ(status, -1);
    inject_fault("get_set_tp_header", 1, 1, -4);
    get_set_tp_header(1, 12, header, status);
    EXPECT_EQ(status, -4);
    EXPECT_EQ(header, std::vector<word>{42});
}

TEST_F(HostTpRegistry, DeclarationRefusesBadIdsAndLongHeaders)
{
    EXPECT_FALSE(declare_tool_path(0, header_of(26), {}));
    EXPECT_FALSE(declare_tool_path(5, header_of(26), {3, 0}));
    EXPECT_FALSE(declare_tool_path(5, std::vector<word>(kTpHeaderMaxWords + 1, 0), {}));
    EXPECT_TRUE(tool_path_header(5).empty());
    std::vector<int> ids;
    int status = 0;
    ncn_assoc_find_proc_tp(3, ids, status);
    EXPECT_TRUE(ids.empty());
}

TEST_F(HostTpRegistry, PartFileRoundTrip)
{
    std::vector<word> header = header_of(62);
    header.push_back(real_to_word(-0.0f));
    header.push_back(real_to_word(1.0e-30f));
    ASSERT_TRUE(declare_tool_path(30, header, {7, 9}));
    ASSERT_TRUE(declare_tool_path(12, header_of(26), {}));
    const std::vector<std::pair<int, int>> mixed = {{1, 9}, {2, 30}, {10, 5}};
    ASSERT_TRUE(declare_tool_path_entries(40, {}, mixed));
    set_current_tool_path(12);
    set_current_procedure(7);
    const std::string saved = save_part_text();
    load_part_text(saved, "round trip");
    EXPECT_EQ(tool_path_header(30), header);
    EXPECT_EQ(current_procedure(), 7);
    int current = 0;
    get_curr_tp_id(current);
    EXPECT_EQ(current, 12);
    std::vector<int> ids;
    int status = 0;
    ncn_assoc_find_proc_tp(7, ids, status);
    EXPECT_EQ(ids, std::vector<int>{30});
    ncn_assoc_find_proc_tp(9, ids, status);
    EXPECT_EQ(ids, (std::vector<int>{30, 40}));
    std::vector<int> entries;
    dbd_tp(40, entries, status);
    EXPECT_EQ(entries, (std::vector<int>{1, 9, 2, 30, 10, 5})) << "entries of every kind kept in order";
    EXPECT_EQ(save_part_text(), saved);
}

TEST_F(HostTpRegistry, BadPartSectionIsRefused)
{
    const std::vector<std::string> bad = {
        R"({"tp_registry": {"tool_paths": {"0": {"header": [1]}}}})",
        R"({"tp_registry": {"tool_paths": {"x": {"header": [1]}}}})",
        R"({"tp_registry": {"tool_paths": {"4": {"header": "words"}}}})",
        R"({"tp_registry": {"tool_paths": {"4": {"procedures": [-2]}}}})",
        R"({"tp_registry": {"tool_paths": {"4": {"entries": [[1]]}}}})",
        R"({"tp_registry": {"tool_paths": {"4": {"entries": [[0, 3]]}}}})",
        R"({"tp_registry": {"tool_paths": {"4": {"entries": {"1": 3}}}}})",
        R"({"tp_registry": {"current_procedure": "seven"}})",
    };
    for (const std::string& part : bad) EXPECT_THROW(load_part_text(part, "bad.json"), part_error) << part;
    std::string long_header = R"({"tp_registry": {"tool_paths": {"4": {"header": [)";
    for (int i = 0; i <= kTpHeaderMaxWords; ++i) long_header += (i ? ",0" : "0");
    long_header += "]}}}}";
    EXPECT_THROW(load_part_text(long_header, "bad.json"), part_error);
}
