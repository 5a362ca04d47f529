// The state of the block display and the small drawing routines its handlers share: the
// registration of a block under its address in the display file, the drawing of a move, a drill
// stroke or an arc, the figure and the line attributes, and the modal values handed to the
// simulation. Sources 8 and above feed the material-removal simulation instead of the display.
#pragma once

#include <array>

// Block sources (the WHERE codes of the block readers) and display modes.
inline constexpr int kSourceEntity = 1, kSourceList = 2, kSourceWritten = 3;
inline constexpr int kFirstSimSource = 8, kSimShift = 7;
inline constexpr int kDisplayRemove = 0, kDisplayDraw = 1, kDisplayPosition = 2;

// dspblk_state: the display state, one for the module.
struct dspblk_state {
    int blank_next = 0;                 // the block is created with the blank attribute
    int move_to = 0;                    // a pen move to the next point is pending
    int fast_blank = 0;                 // the block is a rapid move the host does not show
    int figure_open = 0;                // a host figure is open and must be closed
    int attrs_set = 0;                  // the attributes need not be set before the next move
    int font = 0, colour = 0, pen = 0;  // the saved line font, colour and pen
    int sub_procedure = 0;              // raised by each movement entity displayed
    int proc_blanked = 0;               // the current procedure is displayed blanked
    float cycle_step = 0.0f;            // kept cycle values: surface step, level and integer mode
    float cycle_level = 0.0f;
    int cycle_mode = 0;
    int last_type = -1;  // the type of the block displayed last
};
dspblk_state& dspblk();

// The state at the start of a procedure: blank-next, move-to and fast-move blank set, no figure;
// font, colour and pen saved from DSP8; the attributes count as set unless the source is 3.
void dspblk_init_state(int source);
// Registers the block: the address (level, block numbers of levels 1 and 2) goes to BLSK and to
// the host. Display mode 0 deletes the display from the block on; mode 1 registers it. Reads
// TLER, DSM4 (FEED) and the flag segment of the current procedure.
void dsp_register_block(int source, int display_mode, int block_number);
// Draws the move to the current position of DSP8 (through TRS1 while it is active), or hands it
// to the simulation. Status 0; -1 when the host refuses the block.
void dsp_draw_move(int source, int display_mode, int block_number, int& status);
// The same for one stroke of a drill cycle: font 4 with the saved colour and pen at feed, font 5,
// colour 2, pen 3 in rapid.
void dsp_draw_drill(int source, int display_mode, int rapid, int block_number, int& status);
// Draws an arc (centre, radius, start angle and swept angle in radians) in display mode 1 or in
// the simulation.
struct dsp_arc {
    std::array<float, 3> centre{};
    float radius = 0.0f, start = 0.0f, sweep = 0.0f;
};
void dsp_draw_arc(int source, int display_mode, const dsp_arc& arc);
// Closes the open figure.
void dsp_close_figure();
// Display mode 1: DSP8's font, colour and pen := the given ones (a negative one: the saved one)
// and the host's current attributes follow.
void dsp_set_attrs(int source, int display_mode, int font, int colour, int pen);
// The procedure's attributes: the saved colour and pen become DSP8's, the saved font 4.
void dsp_proc_attrs(int source, int display_mode);
// The simulation's modal value of a parameter type (1 feed, 2 spin, 3 coolant, 55 origin, 100
// tool); status 0, or the simulation's negative status. Other sources do nothing.
void dsp_sim_modal(int source, int display_mode, int prmtyp, int& status);

// Whether a source feeds the simulation, and the source its readers take.
inline bool is_sim_source(int source) { return source >= kFirstSimSource; }
inline int reader_source(int source) { return source >= kFirstSimSource ? source - kSimShift : source; }
