// The current tool: the one tool kept in memory (its entity's records read into current_tool and
// the per-class field blocks), the drill cycle block, the holder set of a mill, and SYT2, the
// record-table ids per type index with the condition counts per class. Every engine reads tool
// values through the accessors of tools/tool_accessors.hpp.
#pragma once

#include <array>
#include <string>

// Tool classes (entity type of a tool entity, index of every per-class table).
inline constexpr int kDrill = 1, kMill = 2, kLathe = 3, kPunch = 4, kAgie = 5, kCharmille = 6, kMakino = 7,
                     kLatheDrill = 8, kThread = 9, kGroove = 10, kCycle = 15;
inline constexpr int kToolClasses = 10;         // classes 1..10 are tools
inline constexpr int kToolTypeIndices = 31;     // record-type indices 1..31
inline constexpr int kTechTypeIndex = 31;       // "$TLTECH", the cutting conditions
inline constexpr int kUserTypeOffset = 15;      // user record type of class c: index c + 15
inline constexpr int kCycleUserTypeIndex = 30;  // "$UCYCLE"
inline constexpr int kConditions = 5;
inline constexpr int kToolText = 20;  // texts of 20 characters, the 20th a NUL
inline constexpr int kHolderSlots = 12;
inline constexpr int kMaxHolderCount = 10;
inline constexpr int kNoTool = -1;

inline bool is_wire_class(int c) { return c == kAgie || c == kCharmille || c == kMakino; }

struct current_tool {
    std::string TLNAME, TMTRAL, PMTRAL, TOLTXT;  // 20 characters each, the 20th a NUL
    int IDTOOL = kNoTool;                        // entity id of the current tool
    int ISLIBR = -1;                             // library word
    int MSTRID = -1;                             // the tool's own symbol master
    int DMSRID = -1;                             // default symbol master
    int HOLDER = 1;                              // holder number (DUMHLD of the wire classes)
    int TLVERS = -1;                             // program version that wrote the record
    int tool_class = 0;
    int symbol_master = -1;
    int holder_mode = 1;
    int condition = 1;       // current cutting condition, 1..5
    float tool_life = 0.0f;  // hours; 0: none (the tool records carry no life, so loading sets 0)
    std::array<int, kConditions> CRSPIN{};
    std::array<float, kConditions> CRFEED{}, CRVLOC{}, CRDSTP{}, CRSSTP{};
};

struct drill_fields {
    float DIAMTR = 0, TIPANG = 0, CLRLNG = 0, CUTLNG = 0, GUGLNG = 0, LIFLNG = 0;
};
struct mill_fields {
    int DIMCMP = 0, LENCMP = 0, FIXCMP = 0;
    float DIAMTR = 0, CRNRRD = 0, CLRLNG = 0, CUTLNG = 0, GUGLNG = 0;
    int NOTETH = 0;
    float LIFLNG = 0, SPARE1 = 0, SPARE2 = 0;  // SPARE1: taper angle
};
struct lathe_fields {
    float EDGRAD = 0, FACANG = 0, TANGLE = 0;
    int QRTNUM = 0;
    float TWIDTH = 0, HLENTH = 0, HWIDTH = 0, LIFLNG = 0, SPARE1 = 0;
};
struct punch_fields {
    int TSHAPE = 0;
    float LENGTH = 0, DIAMTR = 0, TWIDTH = 0, TANGLE = 0, OVRLAP = 0, SCALOP = 0, LIFLNG = 0;
};
struct agie_fields {
    int GNRTOR = 0, SFLUSH = 0, OFFSET = 0, PANGLE = 0, REGSTR = 0;
    float LIFLNG = 0;
};
struct chrm_fields {
    std::array<int, 5> GCODE{};
    float CREGST = 0, KREGST = 0, XREGST = 0, YREGST = 0, RREGST = 0, AREGST = 0;
    int OFFSET = 0;
    float LIFLNG = 0;
};
struct mkno_fields {
    int CUTCND = 0, OFFSET = 0, REGSTR = 0;
    float LIFLNG = 0;
};
struct thread_fields {
    int TRDTYP = 0;
    float HLENTH = 0, HWIDTH = 0, TANGLE = 0, TLBASE = 0, TLRADS = 0, TAXANG = 0, CUTLNG = 0, CUTWTH = 0, LIFLNG = 0;
};
struct groove_fields {
    float HLENTH = 0, HWIDTH = 0, LEDANG = 0, CUTLNG = 0, CUTWTH = 0, CRNRRD = 0, TAXANG = 0, LIFLNG = 0, SPARE1 = 0;
};

// The class fields of the current tool, one block per class (drill and lathe-drill alike).
struct tool_shape_records {
    drill_fields drill, lathe_drill;
    mill_fields mill;
    lathe_fields lathe;
    punch_fields punch;
    agie_fields agie;
    chrm_fields chrm;
    mkno_fields mkno;
    thread_fields thread;
    groove_fields groove;
};

struct drill_cycle_record {
    int DRTYPE = 0, PEKSPC = 0, DWLSPC = 0, SFTSPC = 0, CLTSPC = 0, CCOLNT = 0;
    float CCLEAR = 0, PEKSTP = 0, PEKRDC = 0, CDWELL = 0, CSHFTI = 0, CSHFTJ = 0, CYFEED = 0;
    int CYSPIN = 0;
    int IDCYCL = kNoTool, IDCYTL = -1, ISCLIB = -1, CYVERS = -1;
    std::string CYNAME, CYLTXT, PCMTRL;
};

// The holder set of the current mill: entry 1 is the shank, the following entries the holders.
struct holder_set {
    int count = 1;
    std::array<float, kHolderSlots> bottom_diameter{}, top_diameter{}, cone_height{}, total_height{};
    int shank_mode = 1;
    int second_mode = 1;
};

// SYT2 (46 words, model datum "SYT2"): record-table id per type index 1..31 (-1 none), then the
// condition count per class 1..15; followed by the allowed-class flags of classes 1..10.
inline constexpr int kSyt2Words = 46;
struct tool_tables {
    std::array<int, kSyt2Words> syt2{};
    std::array<int, kToolClasses> allowed{};
    int& table_of(int type_index) { return syt2[static_cast<std::size_t>(type_index - 1)]; }
    int& conditions_of(int tool_class) { return syt2[static_cast<std::size_t>(kToolTypeIndices + tool_class - 1)]; }
};

current_tool& tool_block();
tool_shape_records& tool_shapes();
drill_cycle_record& cycle_block();
holder_set& tool_holders();
tool_tables& tool_table_ids();

// Record-type name of type index 1..31 ("" where none) and class name of class 1..15.
std::string record_type_name(int type_index);
std::string tool_class_name(int tool_class);
// Text of 20 characters whose 20th is a NUL (at most 19 characters kept).
std::string tool_text(std::string_view text);

// Makes the tool current (mode 3 reads it; other modes write the block into its records).
// Status 0 or -5 ("SGTOOL, CANNOT CLOSE OPEN ENTITY").
void SGTOOL(int mode, int tool_id, int& status);
// The reset at the start of every procedure run: SYT2 from the part, no current tool.
void tool_tables_init();
