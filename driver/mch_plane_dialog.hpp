// The machine and part-plane dialog of the go-point procedure: its front end (machining type,
// tool, the page), the page with its go choices and part-plane picking, the display and message
// menu (tool display mode, clearance, message insertion, change of origin) and the change of
// origin. The SERVICE page and the machine-parameter entry of the procedures open it.
#pragma once

#include <array>

// The fields a caller enables on the page's two sub-pages, one flag per position (a flag not 0
// offers the field). machine: the MACHINE PARAMS page, whose items are its first kMachItemFlags
// positions (pocket/proc_dialog_seams.hpp) in the page's order; service: the SERVICE display and
// message menu, whose field switches are its first kDisplayMenuSwitches positions in the order
// below; display: eleven further flags of that menu, handed on with it, of which its present
// fields read none.
struct go_page_masks {
    std::array<int, 30> machine{};
    std::array<int, 20> service{};
    std::array<int, 11> display{};
    // Every field offered: the go-point procedure's own page.
    static go_page_masks all()
    {
        go_page_masks m;
        m.machine.fill(1);
        m.service.fill(1);
        m.display.fill(1);
        return m;
    }
    friend bool operator==(const go_page_masks&, const go_page_masks&) = default;
};

// Front end for machine group 1 to 5: machining type, a tool, then the page. Inside a function
// (inside set) the user is told that the parameters set do not affect it. Status 0, or the first
// failing status.
void mch_params_dialog(int group, int inside, int& status);

// The page: runs until the user leaves it (status 0); each accepted page makes one go motion, the
// first of them writing the go procedure's block unless procedure_written is already set (a
// caller that inserts into a procedure of its own sets it) and noting motion_made. masks: the
// fields its MACHINE PARAMS and SERVICE pages offer. A
// failing motion ends the page with status -3; the display figure is closed after every motion.
// The page starts with the procedure geometry flags at their start values and, for groups 1, 2 and
// 4, the base feed of PRM9 as the feed of GO AT FEED. Reads and writes go_page() and
// go_motion_choice().
void mch_plane_dialog(int group, int procedure, const go_page_masks& masks, int& procedure_written, int& motion_made,
                      int& status);

// The fields of the display and message menu, each shown when its switch is non-zero: the current
// tool's name and free text, the tool and motion display mode, four header texts of the tool path
// (TP NAME, TP SIZE, BYTES LEFT, TYPE), the clearance, the message insertion and the change of
// origin.
inline constexpr int kShowToolTexts = 0, kShowDisplayMode = 1, kShowHeaderTexts = 2, kShowClear = 3,
                     kShowInsertMessage = 4, kShowChangeOrigin = 5, kDisplayMenuSwitches = 6;
// The message words: the target-select flag handed to the message insertion, and the entered flag
// it sets when a message or code was inserted.
inline constexpr int kMessageTargetSelect = 0, kMessageEntered = 1, kMessageWords = 2;
// The display and message menu. With the procedure flag set (a procedure with relations) CLEAR is
// the expression field of the clearance itself; otherwise it is the clearance above the part.
// Leaving the page stores the clearance (HEI8 word 0 = part top + value) and the display mode
// (TLER and the host's fast-display flag), each only when its field was shown. Status 0, or the
// negative status of the message insertion or of the change of origin. Reads PRM9 (tool), NPT1
// and RAXN (header texts) and the depth level of NPT1.
void proc_display_menu(int procedure, const int (&switches)[kDisplayMenuSwitches], int (&message)[kMessageWords],
                       int& status);

// Hands the common arguments to the host, runs its change of origin and takes them back.
void change_origin(int& status);
