// The default tool symbol: a small drawing of the current tool made of host lines, arcs and
// points, grouped under a symbol master (class 14, type 9). CRTOOL makes one for every new tool
// and the tool dialog shows it; the drawing primitives are shared by the class routines.
#pragma once

#include <array>

inline constexpr int kSymbolSlots = 500;
inline constexpr int kSymbolMasterClass = 14, kSymbolMasterType = 9;

// The entities of a symbol being made: slot k (from 1) is ids[k - 1], -1 when empty; `count`
// names the next free slot while a class routine draws, and the number of entities made once it
// returns. The reference point goes into the master record.
struct symbol_list {
    std::array<int, kSymbolSlots> ids;
    int count = 1;
    std::array<float, 3> reference{};
    symbol_list() { ids.fill(-1); }
    int& slot(int k) { return ids[static_cast<std::size_t>(k - 1)]; }
};

// The colours new mill symbols take when the tool (or its holder) has no entity yet: 1 at load;
// the tool dialog's colour items change them.
struct tool_colour_cells {
    int tool = 1;
    int holder = 1;
};
tool_colour_cells& tool_colours();

// Draws into the slot at the fill count (deleting the entity it held) the line from start to end,
// a point entity when the two are equal (eqpt3), with "LF" 1 and "PE" 1, and moves the count on.
// Status 0, or -5 when the entity cannot be made or the list is full.
void sym_slot_line(symbol_list& list, const float (&start)[3], const float (&end)[3], int& status);
// The same for an arc (degrees; a full circle is start 0, sweep 360) with "LF" 1, "PE" 1, "RP" 0.
// An arc of radius below 5 whose data step is more than a sixth of its end angle gets a sixth.
void sym_slot_arc(symbol_list& list, const float (&centre)[3], float radius, float start_angle, float sweep_angle,
                  int& status);
// Sets an attribute on every entity of slots first..last.
void sym_slots_attribute(symbol_list& list, int first, int last, const char* key, int value);
// The centre of the circle of the radius that touches both planar curves near their parameters,
// and the parameters of the touch points. Status 0, or -1 (no crossing found in 50 rounds, or a
// curve that cannot be evaluated).
void fillet_center(int curve1, float& parameter1, int curve2, float& parameter2, float radius, float (&centre)[3],
                   int& status);

// Makes a new master (id below 1) grouping the slaves, or rewrites an existing one (class 14 of
// type 1, which becomes 9, or 9) after deleting its old slaves; every slave gets "SL" 1.
// Status 0 or -1 with its message.
void GCSMAS(int& master_id, int slave_count, const int* slaves, const std::array<float, 3>& reference, int& status);
// Deletes the slaves listed in a master (class 14 of type 1, 4 or 9) and zeroes their words;
// extends the list when the new count is larger. A positive id is refused (message 68/29) unless
// the master's owner "PR" is the current application; a negative id skips that test.
// Status 0 or -1.
void DELSLV(int master_id, int new_count, int& status);

// Builds the default symbol of the current tool (reads current_tool and tool_shape_records, and
// for a mill holder_set). The work-plane words are 0 while it draws and restored on every way out.
// master_id: the new master, -1 when none. Status 0 (also for a class outside 1..10, with no
// symbol), or -5 with "SYTYPE, CANNOT CREATE DEFAULT TOOL SYMBOL" and nothing left in the part.
void SYTYPE(int tool_class, int& master_id, int& status);

// The class routines of SYTYPE, one per kind of drawing (tools/symbol_*.cpp).
void symbol_drill(symbol_list& list, int& status);
void symbol_lathe_drill(symbol_list& list, int& status);
void symbol_mill(symbol_list& list, int& status);
void symbol_lathe(symbol_list& list, int& status);
void symbol_punch(symbol_list& list, int& status);
void symbol_wire(symbol_list& list, int& status);
void symbol_thread(symbol_list& list, int& status);
void symbol_groove(symbol_list& list, int& status);
