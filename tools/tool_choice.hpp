// The tool of a procedure: choosing a suitable current tool when the parameters are loaded
// (tool_choose), the current feed and speeds from it (tool_type_params), and the wire-EDM values
// of a wire tool copied into the wire common (tool_to_common).
#pragma once

#include "nc_services/nc_word_block.hpp"

// The wire common: the wire-EDM values of the current wire tool as the wire procedures and the
// machine dialog read them. 22 words.
struct wire_common_block : nc_word_block<22> {
    static constexpr int kToolId = 0;      // the wire tool (the current tool)
    static constexpr int kFirstWire = 1;   // 4
    static constexpr int kGenerators = 2;  // 15
    // AGIE (class 5).
    static constexpr int kAgieGenerator = 3, kAgieFlush = 4, kAgieOffset = 5, kAgieTaperAngle = 6;
    // MAKINO (class 7).
    static constexpr int kMakinoCondition = 7, kMakinoOffset = 8;
    // CHARMILLES (class 6): the G-code choice, then for each of the four 1-or-2 choices a flag
    // for choice 1 and one for choice 2, the offset and the two registers (reals).
    static constexpr int kChrmGcode = 9, kChrmChoiceFlags = 10;  // 8 words
    static constexpr int kChrmOffset = 18, kChrmCorrection = 19, kChrmAuxiliary = 20;
    static constexpr int kWireChoice = 21;  // THREAD WIRE or CUT WIRE of the go-point dialog
};

wire_common_block& wire_common();

// Empties the tool-list slot, keeps the current tool of PRM9 when its class is allowed, else
// takes the first tool of the allowed classes; with none and `ask` set, warns and offers to
// create one. A chosen tool becomes the current tool (and on a wire-EDM machine its wire values
// the wire common). Status 0 (also when no class is allowed: then nothing is chosen), or -1.
void tool_choose(int ask, int& status);

// Feed, spindle and cutting speed of the current tool's cutting condition as the current values
// of PRM9 (a punch: the spindle speed from the cutting speed and diameter). A negative feed is
// replaced by the machine's base feed and written back into the tool. Status 0, or -1 when there
// is no current tool or a punch has no diameter.
void tool_type_params(int& status);

// For a wire tool (classes 5, 6, 7) as current tool of PRM9: the wire common from its values.
// Other tools leave the wire common as it is.
void tool_to_common();
