// The module's two exports and its start-up: the attach entry the host's loader calls right
// after loading the library, and drelan, which registers the wire-EDM pocket procedure type
// with the procedure driver and returns when the user leaves the procedure loop.
#pragma once

// Reason codes of the attach entry, as a DLL entry receives them.
inline constexpr int kProcessDetach = 0;
inline constexpr int kProcessAttach = 1;
inline constexpr int kThreadAttach = 2;
inline constexpr int kThreadDetach = 3;

// What the module registers.
inline constexpr int kDrelanNcFunction = 50;
inline constexpr const char* kDrelanTypeCode = "KQ47";

extern "C" {
// On process attach: starts the formatted-output layer, prints the version block and runs the
// module start-up. The other reasons do nothing. Always answers 1 (success).
int drelan_attach(int reason);
// Registers the pocket procedure type and runs the procedure driver.
void drelan();
}

// The version block in the host's message window: seven lines. Mode 2 (attach) prints nothing
// when the host's verbosity is 0; any other mode always prints.
void dll_info_print(int mode);
// Module start-up: enables the host's menus of the NC function (enaall, once per call).
void dll_start_init();
