// Shared set-up of the tool tests: a fresh host, definition files written into a temporary data
// folder, and a tool made the way the tool dialog stores one.
#pragma once

#include "host/control.hpp"
#include "host/vantu.hpp"
#include "host/vantu_datafiles.hpp"
#include "host/vantu_entity_ext.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_dialog.hpp"
#include "tools/tool_entities.hpp"
#include "tools/tool_records.hpp"
#include "tools/tool_tables.hpp"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace tools_test {

inline std::string temp_folder()
{
    auto dir = std::filesystem::temp_directory_path() / ("drelan_tools_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    return dir.string();
}

inline void write_file(const std::string& name, const std::string& text)
{
    std::ofstream(std::filesystem::path(temp_folder()) / name) << text;
}

class ToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vantu::control::reset();
        vantu::control::set_data_directories({temp_folder()});
        std::filesystem::remove(std::filesystem::path(temp_folder()) / "USER.DEF");
        std::filesystem::remove(std::filesystem::path(temp_folder()) / "material.tol");
        tool_module_reset();
    }
    void TearDown() override { vantu::control::reset(); }
};

// Creates a tool of the class with the block's current class values (set by the caller) and
// answers its entity id.
inline int make_tool(int tool_class, const std::string& name)
{
    int status = 0;
    tool_tables_ensure(tool_class, status);
    EXPECT_GE(status, 0);
    int id = -1;
    tool_entity_create(tool_class, id, status);
    EXPECT_EQ(status, 0);
    tool_header header;
    header.table_id = tool_table_ids().table_of(tool_class);
    header.tech_table = tool_table_ids().table_of(kTechTypeIndex);
    header.holder_id = -1;
    header.holder_mode = 1;
    current_tool& t = tool_block();
    t.IDTOOL = id;
    t.TLVERS = prgvrs();
    t.TLNAME = tool_text(name);
    t.tool_class = tool_class;
    tool_records_copy(kCopyWrite, tool_class, header, status);
    EXPECT_EQ(status, 0);
    tool_header_put(id, header, status);
    EXPECT_EQ(status, 0);
    t.IDTOOL = kNoTool;
    return id;
}

// A tool of the class and diameter held as the procedure's current tool (PRM9's tool id) for
// the guard's life, with no tool file: the tool block holds it as loaded. A class other than a
// mill answers -1 to the mill getters. The tool block and the tool id go back at the end.
class held_tool {
public:
    held_tool(int tool_class, float diameter)
        : block_(tool_block()), shapes_(tool_shapes()), tool_id_(PRM9().words[machine_params::kToolId])
    {
        constexpr int kHeldToolId = 77;
        tool_block().IDTOOL = kHeldToolId;
        tool_block().tool_class = tool_class;
        tool_shapes().mill.DIAMTR = diameter;
        PRM9().words[machine_params::kToolId] = kHeldToolId;
    }
    ~held_tool()
    {
        tool_block() = block_;
        tool_shapes() = shapes_;
        PRM9().words[machine_params::kToolId] = tool_id_;
    }
    held_tool(const held_tool&) = delete;
    held_tool& operator=(const held_tool&) = delete;

private:
    current_tool block_;
    tool_shape_records shapes_;
    int tool_id_;
};

inline bool has_line(const std::string& channel, const std::string& text)
{
    for (const auto& line : vantu::control::lines_of(channel))
        if (line == text) return true;
    return false;
}

}  // namespace tools_test
