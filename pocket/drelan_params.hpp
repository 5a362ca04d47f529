// The pocket procedure's parameter block: 468 words, kept as the current block (edited by the
// pocket dialog, written into the procedure block and saved as module data under "KQ47") and the
// previous block (the copy taken before define, which the parameters-changed test compares
// against). The driver treats both as arrays of the registered length; the pocket reads and
// writes them through the named word indexes below. The layout is a stored format.
#pragma once

#include "host/words.hpp"

inline constexpr int kDrelanParamsLength = 468;

// Words of a real record: the value, then 23 words this module neither reads nor writes (they
// are saved with the block).
inline constexpr int kRealRecordWords = 24;

struct drelan_params {
    word words[kDrelanParamsLength];

    // Word indexes, by parameter code. I: integer; R: real (a float in the word); "record": the
    // first word of a real record.
    static constexpr int kMethod = 0;            // 211 I  1 hatch clearing, 2 offset pocketing
    static constexpr int kPasses = 1;            // 224 I  1 pocket, 2 pocket then contour, 3 contour
    static constexpr int kHatchLink = 2;         // 24  I  hatch linking mode (method 1)
    static constexpr int kHatchSign = 3;         // 39  I  hatch direction sign, 1 or -1
    static constexpr int kSideStep = 4;          // 26  R record
    static constexpr int kTolerance = 28;        // 25  R record: contour tolerance
    static constexpr int kNewOffset = 52;        // 20  R record: offset of new contours
    static constexpr int kNewDraft = 76;         // 22  R  draft angle of new contours
    static constexpr int kHatchAngle = 77;       // 44  R  radians
    static constexpr int kHatchAngle2 = 78;      // 42  R  radians: pi when code 39 is -1, else 0
    static constexpr int kTopZ = 80;             // 11  R record
    static constexpr int kBottomZ = 104;         // 12  R record
    static constexpr int kClearHeight = 128;     // 16  R record
    static constexpr int kZStep = 152;           // 13  R record: 0 a single level
    static constexpr int kReferenceZ = 176;      // 205 R record: Z at which the offsets hold
    static constexpr int kApproachLength = 200;  // 14  R record (first value)
    static constexpr int kRetractLength = 224;   // 14  R record (second value)
    static constexpr int kApproachValue = 248;   // 15  R record
    static constexpr int kExtraOffset = 272;     // 225 R record
    static constexpr int kStartPoint = 296;      // 32  R x 3
    static constexpr int kRampAngle = 300;       // 86  R record: 90 no ramp
    static constexpr int kApproachKind = 372;    // 17  I  1 or 2
    static constexpr int kLaneOptionA = 373;     // 23  I  1 or 2
    static constexpr int kLaneOptionB = 374;     // 28  I
    static constexpr int kStartMode = 375;       // 29  I  2 uses the start point
    static constexpr int kEntryMode = 376;       // 30  I  1 none, 2 and above entry points
    static constexpr int kCutDirection = 377;    // 27  I  1 or 2
    static constexpr int kSingleOffset = 378;    // 200 I
    static constexpr int kOffsetOption = 379;    // 68  I
    static constexpr int kEntrySearch = 380;     // 223 I
    static constexpr int kRegionOrder = 381;     // 221 I  4 none
    static constexpr int kRegionCount = 382;     // 222 I
    static constexpr int kLeadMode = 383;        // 238 I  lead mode of the contour pass plus 1
    static constexpr int kOption256 = 384;       // 256 I
    static constexpr int kValue257 = 386;        // 257 R record: 0 to 1000
    static constexpr int kHatchOption = 410;     // 259 I
    static constexpr int kContourOption = 411;   // 262 I  handed to the contour dialog
    static constexpr int kPointPickMode = 466;   // 131 I  point pick mode of the start point

    word& at(int index) { return words[index]; }
    word at(int index) const { return words[index]; }
    float real(int index) const { return word_to_real(words[index]); }
    void set_real(int index, float value) { words[index] = real_to_word(value); }
};

// Module-level blocks that live while the module is loaded; zero until a run fills them.
extern drelan_params drelan_params_current;
extern drelan_params drelan_params_previous;

// The defaults of a new pocket: every word 0, then method 2, passes 1, side step and tolerance
// 0.1, the four Z values at top_z, approach and retract 2.0, approach value 1.0, ramp angle 90,
// region order 4, one region, point pick mode 7 and the option words as the block lists them.
void drelan_params_defaults(float top_z, drelan_params& block);
// Z of the tool path's origin (the first header point of NPT1): the default top Z and the datum
// of the reference Z on the pocket dialog.
float tool_path_origin_z();
