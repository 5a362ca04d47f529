// Accessors of the current tool, each a preset, a load when the id is another tool's, a class
// test and a copy; the getters that do only that share class_value, drill_value, tool_value and
// condition_value.
#include "tools/tool_accessors.hpp"
#include "tools/current_tool.hpp"
#include "tools/dd_state.hpp"

namespace {

constexpr int kReadMode = 3;
constexpr int kLastPlainTaperVersion = 591;
constexpr int kRoundPunch = 3;
constexpr float kWireSize = 10.0f;

// Makes the tool current when it is not; false when it cannot be read. No tool (kNoTool) is never
// loaded: the block may still hold the class and sizes of the tool current before it (a run's
// reset and a failed read only drop the id), and they are no tool's values.
bool loaded(int tool_id)
{
    if (tool_id == kNoTool) return false;
    if (tool_id == tool_block().IDTOOL) return true;
    int status = 0;
    SGTOOL(kReadMode, tool_id, status);
    return status == 0;
}

bool is_class(int tool_id, int c) { return loaded(tool_id) && tool_block().tool_class == c; }
bool is_drill(int tool_id)
{
    return loaded(tool_id) && (tool_block().tool_class == kDrill || tool_block().tool_class == kLatheDrill);
}
const drill_fields& drill_of_current()
{
    return tool_block().tool_class == kLatheDrill ? tool_shapes().lathe_drill : tool_shapes().drill;
}

// The current condition, brought back to 1 when it lies outside 1..5.
std::size_t condition()
{
    int& c = tool_block().condition;
    if (c < 1 || c > kConditions) c = 1;
    return static_cast<std::size_t>(c - 1);
}

void text_field(int get_flag, std::string& field, std::string& text)
{
    if (get_flag == 1) {
        text = tool_text(field);
        text[kToolText - 1] = ' ';
    } else {
        field = tool_text(text);
    }
}

// The getters' common body: the result preset to -1, then the member of the current tool's
// block when the tool can be made current (and, for a class block, is of that class).
template <class Fields, class T>
void class_value(int tool_id, int tool_class, Fields tool_shape_records::*block, T Fields::*member, T& result)
{
    result = T(-1);
    if (is_class(tool_id, tool_class)) result = (tool_shapes().*block).*member;
}

void drill_value(int tool_id, float drill_fields::*member, float& result)
{
    result = -1.0f;
    if (is_drill(tool_id)) result = drill_of_current().*member;
}

void tool_value(int tool_id, int current_tool::*member, int& result)
{
    result = -1;
    if (loaded(tool_id)) result = tool_block().*member;
}

template <class T> void condition_value(int tool_id, std::array<T, kConditions> current_tool::*values, T& result)
{
    result = T(-1);
    if (loaded(tool_id)) result = (tool_block().*values)[condition()];
}

std::string padded_upper(const std::string& field) { return dd_upper(field.substr(0, kToolText - 1)) + ' '; }

}  // namespace

void tool_get_class(int tool_id, int& result) { tool_value(tool_id, &current_tool::tool_class, result); }
void tool_get_symbol_master(int tool_id, int& result) { tool_value(tool_id, &current_tool::symbol_master, result); }

void tool_get_name(int tool_id, std::string& name)
{
    name.assign(kToolText, ' ');
    if (loaded(tool_id)) {
        std::string field;
        tool_name_text(1, field);
        name = dd_upper(field);
    }
}

void tool_get_name_c(int tool_id, std::string& name)
{
    std::string padded;
    tool_get_name(tool_id, padded);
    name = dd_trimmed(padded.substr(0, kToolText - 1));
}

void tool_get_text(int tool_id, std::string& text)
{
    text.assign(kToolText, ' ');
    if (loaded(tool_id)) tool_comment_text(1, text);
}

void tool_get_life(int tool_id, float& hours)
{
    hours = 0.0f;
    if (loaded(tool_id)) hours = tool_block().tool_life;
}

void tool_get_diameter(int tool_id, float& result)
{
    result = -1.0f;
    int c = -1;
    tool_get_class(tool_id, c);
    switch (c) {
    case kDrill:
    case kLatheDrill: tool_get_drill_diameter(tool_id, result); break;
    case kMill: tool_get_mill_diameter(tool_id, result); break;
    case kLathe: tool_get_lathe_width(tool_id, result); break;
    case kPunch: tool_get_punch_size(tool_id, result); break;
    case kAgie:
    case kCharmille:
    case kMakino: result = kWireSize; break;
    case kThread: tool_get_thread_width(tool_id, result); break;
    case kGroove: tool_get_groove_width(tool_id, result); break;
    default: break;
    }
}

void tool_get_mill_diameter(int tool_id, float& result)
{
    class_value(tool_id, kMill, &tool_shape_records::mill, &mill_fields::DIAMTR, result);
}

void tool_get_mill_diameter_dbl(int tool_id, double& result)
{
    float value = -1.0f;
    tool_get_mill_diameter(tool_id, value);
    result = value;
}

void tool_get_corner_radius(int tool_id, float& result)
{
    class_value(tool_id, kMill, &tool_shape_records::mill, &mill_fields::CRNRRD, result);
}

void tool_get_clear_length(int tool_id, float& result)
{
    class_value(tool_id, kMill, &tool_shape_records::mill, &mill_fields::CLRLNG, result);
}

void tool_get_cut_length(int tool_id, float& result)
{
    class_value(tool_id, kMill, &tool_shape_records::mill, &mill_fields::CUTLNG, result);
}

void tool_get_taper_angle(int tool_id, float& result)
{
    result = -1.0f;
    if (!is_class(tool_id, kMill)) return;
    result = tool_block().TLVERS <= kLastPlainTaperVersion ? 0.0f : tool_shapes().mill.SPARE1;
}

void tool_get_drill_diameter(int tool_id, float& result) { drill_value(tool_id, &drill_fields::DIAMTR, result); }
void tool_get_drill_tip_angle(int tool_id, float& result) { drill_value(tool_id, &drill_fields::TIPANG, result); }
void tool_get_drill_clear_length(int tool_id, float& result) { drill_value(tool_id, &drill_fields::CLRLNG, result); }
void tool_get_drill_cut_length(int tool_id, float& result) { drill_value(tool_id, &drill_fields::CUTLNG, result); }

void tool_get_lathe_width(int tool_id, float& result)
{
    class_value(tool_id, kLathe, &tool_shape_records::lathe, &lathe_fields::TWIDTH, result);
}

void tool_get_punch_diameter(int tool_id, float& result)
{
    result = -1.0f;
    if (is_class(tool_id, kPunch) && tool_shapes().punch.TSHAPE == kRoundPunch) result = tool_shapes().punch.DIAMTR;
}

void tool_get_punch_length(int tool_id, float& result)
{
    result = -1.0f;
    if (is_class(tool_id, kPunch) && tool_shapes().punch.TSHAPE != kRoundPunch) result = tool_shapes().punch.LENGTH;
}

void tool_get_punch_size(int tool_id, float& result)
{
    tool_get_punch_diameter(tool_id, result);
    if (result < 0.0f) tool_get_punch_length(tool_id, result);
}

void tool_get_thread_width(int tool_id, float& result)
{
    class_value(tool_id, kThread, &tool_shape_records::thread, &thread_fields::CUTWTH, result);
}

void tool_get_groove_width(int tool_id, float& result)
{
    class_value(tool_id, kGroove, &tool_shape_records::groove, &groove_fields::CUTWTH, result);
}

void tool_get_agie_generator(int tool_id, int& result)
{
    class_value(tool_id, kAgie, &tool_shape_records::agie, &agie_fields::GNRTOR, result);
}

void tool_get_agie_flush(int tool_id, int& result)
{
    class_value(tool_id, kAgie, &tool_shape_records::agie, &agie_fields::SFLUSH, result);
}

void tool_get_agie_offset(int tool_id, int& result)
{
    class_value(tool_id, kAgie, &tool_shape_records::agie, &agie_fields::OFFSET, result);
}

void tool_get_agie_pangle(int tool_id, int& result)
{
    class_value(tool_id, kAgie, &tool_shape_records::agie, &agie_fields::PANGLE, result);
}

void tool_get_mkno_cutcnd(int tool_id, int& result)
{
    class_value(tool_id, kMakino, &tool_shape_records::mkno, &mkno_fields::CUTCND, result);
}

void tool_get_mkno_offset(int tool_id, int& result)
{
    class_value(tool_id, kMakino, &tool_shape_records::mkno, &mkno_fields::OFFSET, result);
}

void tool_get_chrm_gcodes(int tool_id, int& g1, int& g2, int& g3, int& g4, int& g5)
{
    g1 = g2 = g3 = g4 = g5 = -1;
    if (!is_class(tool_id, kCharmille)) return;
    const auto& g = tool_shapes().chrm.GCODE;
    g1 = g[0];
    g2 = g[1];
    g3 = g[2];
    g4 = g[3];
    g5 = g[4];
}

void tool_get_chrm_cregst(int tool_id, float& result)
{
    class_value(tool_id, kCharmille, &tool_shape_records::chrm, &chrm_fields::CREGST, result);
}

void tool_get_chrm_aregst(int tool_id, float& result)
{
    class_value(tool_id, kCharmille, &tool_shape_records::chrm, &chrm_fields::AREGST, result);
}

void tool_get_chrm_offset(int tool_id, int& result)
{
    class_value(tool_id, kCharmille, &tool_shape_records::chrm, &chrm_fields::OFFSET, result);
}

void tool_get_cond_spin(int tool_id, int& result) { condition_value(tool_id, &current_tool::CRSPIN, result); }
void tool_get_cond_feed(int tool_id, float& result) { condition_value(tool_id, &current_tool::CRFEED, result); }
void tool_get_cond_vc(int tool_id, float& result) { condition_value(tool_id, &current_tool::CRVLOC, result); }

void tool_set_cond_spin(int value) { tool_block().CRSPIN[condition()] = value; }
void tool_set_cond_feed(float value) { tool_block().CRFEED[condition()] = value; }
void tool_set_cond_vc(float value) { tool_block().CRVLOC[condition()] = value; }
void tool_set_mill_diameter(float value) { tool_shapes().mill.DIAMTR = value; }
void tool_set_corner_radius(float value) { tool_shapes().mill.CRNRRD = value; }
void tool_set_cut_length(float value) { tool_shapes().mill.CUTLNG = value; }

void tool_name_text(int get_flag, std::string& text) { text_field(get_flag, tool_block().TLNAME, text); }
void tool_material_text(int get_flag, std::string& text) { text_field(get_flag, tool_block().TMTRAL, text); }
void tool_comment_text(int get_flag, std::string& text) { text_field(get_flag, tool_block().TOLTXT, text); }

void cycle_get_name(int cycle_id, std::string& name)
{
    name.assign(kToolText, ' ');
    if (cycle_id < 1) return;
    if (cycle_id != cycle_block().IDCYCL) {
        int status = 0;
        SGTOOL(kReadMode, cycle_id, status);
        if (status != 0) return;
    }
    name = padded_upper(tool_text(cycle_block().CYNAME));
}
