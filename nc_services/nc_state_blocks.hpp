// The NC state blocks: the NC library's working state in fixed runs of words, one instance each
// for the whole time the module is loaded. The procedure driver restores them from module data at
// the start of a run and saves them at its end (driver/nc_state_store.cpp); the display keeps
// GCY4, DSM4, WRMB, TRS1, RAXN, NPT1 and HEI8 current, and the status line, the tool display, the
// menus, the listings and the motion output read them. Words are numbered from 0. The blocks of
// the motion output (BLSK, PRM9, DSP8, LSP2) live with it.
#pragma once

#include "nc_services/nc_word_block.hpp"

// ---- blocks of the procedure driver ---------------------------------------------------------
// CLP1: the procedure's colour and pen, written once per run by the preparation step, with the
// tool path the listings treat as current and the level the header texts name.
struct proc_colour_pen : nc_word_block<6> {
    static constexpr int kToolPath = 0;
    static constexpr int kLevel = 1;
    static constexpr int kColour = 3;
    static constexpr int kPen = 4;
};

// EDA2: the edit state of the procedure, 20 words numbered from 1 by its readers.
struct edit_state : nc_word_block<20> {
    static constexpr int kEditing = 1;
    static constexpr int kProcedureNumber = 2;
    static constexpr int kToolPathMoved = 4;
    static constexpr int kViewOnly = 5;
    static constexpr int kNoQuestions = 12;
    static constexpr int kSuspend = 13;

    // Word n counted from 1 (1 to 20).
    word& word_no(int n) { return at(n - 1); }
    word word_no(int n) const { return at(n - 1); }
};

// PLN1: planes. A plane never survives into the next run: the save clears the count and the
// entity ids first.
struct plane_state : nc_word_block<16> {
    static constexpr int kCount = 0;           // 0: none
    static constexpr int kPointId = 1;         // the point picked by the part-plane dialog
    static constexpr int kFirstEntity = 2;     // -1: none
    static constexpr int kSecondEntity = 3;    // -1: none
    static constexpr int kPlane = 4;           // 4 reals
    static constexpr int kThirdEntity = 8;     // -1: none
    static constexpr int kClearingValues = 9;  // words 9-15, read by the clearing code
    // The check plane of the surface strings (clearing/surface_services/check_plane.hpp): its id
    // is kThirdEntity (-1: none), its unit normal and offset the four reals at kPlane, its point
    // words 9-11; the plane that stopped a string leaves its normal (12-14) and id (15).
    static constexpr int kCheckPoint = kClearingValues;
    static constexpr int kStopNormal = 12;
    static constexpr int kStopPlane = 15;

    // What the save does before it writes the block.
    void clear_for_save();
};

// TPFO: one word of tool-path state that the trimming code reads; restored, never saved here.
struct tpfo_state : nc_word_block<1> {};

proc_colour_pen& CLP1();
edit_state& EDA2();
plane_state& PLN1();
tpfo_state& TPFO();

// ---- blocks of the displayed tool path ------------------------------------------------------
// GCY4: the cycle state of the displayed tool path. Restored, never saved by the driver.
struct cycle_state : nc_word_block<8> {
    static constexpr int kActive = 0;        // 1 after a cycle activation, 0 after a cancelation
    static constexpr int kCycleId = 1;       // the first word of the cycle name
    static constexpr int kSurfaceStep = 2;   // r DEL-ZSURF
    static constexpr int kDepth = 3;         // r
    static constexpr int kClear = 4;         // r
    static constexpr int kRetractMode = 5;   // 2 retracts to the initial plane
    static constexpr int kInitialLevel = 6;  // r DEL-INIT
    static constexpr int kCurrentLevel = 7;  // r
};

// DSM4: the current modal values of the displayed tool path (SETMOD writes them).
struct modal_values : nc_word_block<15> {
    static constexpr int kFeed = 0;  // r; -1.0 rapid (-2.0 and below also rapid)
    static constexpr int kSpin = 1;  // signed by the spin direction
    static constexpr int kCoolant = 2;
    static constexpr int kDwell = 3;
    static constexpr int kCutterComp = 4;
    static constexpr int kTool = 5;          // current tool id
    static constexpr int kCuttingSpeed = 6;  // r, signed
    static constexpr int kNibblePitch = 7;   // r
    static constexpr int kNibble = 8;
    static constexpr int kPunch = 9;
    static constexpr int kIndex = 10;  // r
    static constexpr int kStepBy = 11;
    static constexpr int kStepValue = 12;      // r
    static constexpr int kStepIncrement = 13;  // r
    static constexpr int kRapidFeed = 14;      // r
};

// WRMB: the wire-EDM modal values, by parameter type.
struct wire_modal_values : nc_word_block<27> {
    // Words 0-5: integer parameter types 11-16 (GENERTR, ANGLE, OFFSET, FLUSH, WIRE, STOP PT).
    static constexpr int kFirstType = 11, kLastFirstRunType = 16;
    // Words 6-20: integer parameter types 20-34; words 21-26: real parameter types 35-40.
    static constexpr int kSecondRunWord = 6, kSecondRunType = 20, kLastType = 40;
    static constexpr int kFirstRealWord = 21, kFirstRealType = 35;

    // Word index of a wire parameter type (11-16, 20-40); -1 for any other type.
    static int word_of_type(int prmtyp);
};

// TRS1: the tool-path transformation.
struct tp_transform_state : nc_word_block<13> {
    static constexpr int kActive = 0;
    static constexpr int kMatrix = 1;        // 9 reals, row by row
    static constexpr int kTranslation = 10;  // 3 reals
};

// RAXN: the rotation axes.
struct rotation_axes_state : nc_word_block<9> {
    static constexpr int kKind = 0;
    static constexpr int kFirstPoint = 1;   // 3 reals
    static constexpr int kSecondPoint = 4;  // 3 reals
    static constexpr int kValue = 7;
    static constexpr int kReal = 8;  // r
};

// NPT1: the tool-path header data with the machine type and the MACSYS.
struct tp_header_state : nc_word_block<23> {
    static constexpr int kMacsysName = 0;  // 2 words, 8 characters
    static constexpr int kMachineType = 2;
    static constexpr int kMacsysOrigin = 3;  // 3 reals
    static constexpr int kHomePoint = 6;     // 3 reals
    static constexpr int kMacsysMatrix = 9;  // 9 reals, row by row
    static constexpr int kDepth = 18;        // r, the DEPTH level
    static constexpr int kView = 19;         // the view pointer
    static constexpr int kUcsId = 20;
    static constexpr int kFurther = 21;
    static constexpr int kMachineTable = 22;  // the machine entity of the tool path's machine table

    int machine_type() const { return at(kMachineType); }
};

// HEI8: the heights. Each height field holds its value as a real in its first word, followed by
// the text of the expression that gave it.
struct heights_state : nc_word_block<79> {
    static constexpr int kFieldWords = 24;
    static constexpr int kClearance = 0;       // r, the z of rapid retracts
    static constexpr int kAbsolute = 24;       // r
    static constexpr int kIncremental = 48;    // r
    static constexpr int kFurtherHeight = 72;  // r, set with the clearance by home and MACSYS blocks
    // 1: retracts, rapid moves and the return to the current position go through the clearance
    // plane; 0: they stay near the part. Forced to 1 while the execution display mode is 0.
    static constexpr int kClearancePlane = 73;
    static constexpr int kEntrySwitch = 74;   // kept for the pocket entry code
    static constexpr int kTopLevel = 75;      // r, NC functions 34 and 38; 1e9 or more: none
    static constexpr int kUseAbsolute = 76;   // above 0: the absolute height is in force
    static constexpr int kCutterSwitch = 77;  // kept for the cutter-location code
    static constexpr int kClearanceMode2 = 78;
};

// TLER: the tool and motion display mode during execution (0 display, 1 trace, 2 no tool display,
// 3 no motion display, 4 no fast display).
struct tool_display_state : nc_word_block<1> {
    static constexpr int kMode = 0;
};

// UPW2: the two words of the SERVICE menu.
struct service_words : nc_word_block<2> {};

cycle_state& GCY4();
modal_values& DSM4();
wire_modal_values& WRMB();
tp_transform_state& TRS1();
rotation_axes_state& RAXN();
tp_header_state& NPT1();
heights_state& HEI8();
tool_display_state& TLER();
service_words& UPW2();
// Word index (0 to 26) of WRMB; 0 for an index outside the block. The machine-slot writer reads
// the block this way.
word wrmb_word(int index);
