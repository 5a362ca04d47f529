// The machining type of a procedure on the machine of its tool path: set_machining_type decides
// it from the NC function and the machine type (NPT1 word 2; for a procedure viewed through the
// host's procedure manager from another tool path, that tool path's), with the cutting condition
// of the current tool, the allowed tool classes, the machine-parameter type and whether the
// procedure may be suspended; it refuses an NC function the machine cannot run. The type itself
// is kept in nc_services/machining_type.hpp.
#pragma once

// Status 0, or -1: "SEGMENT NOT FIT FOR CURRENT MACHINING TYPE" for an NC function the machine's
// family does not run, "PATH NOT FIT FOR CURRENT MACHINING TYPE" for a milling machine below the
// function's lowest machine type, and no message for a machine type outside the milling (22-26),
// lathe (31), wire-EDM (62-65) and punch (12) families; "set_machining_type, CANNOT READ THE
// TOOL PATH OF THE PROCEDURE" when the tool path of a viewed procedure cannot be read (a failed
// host call, a header without a machine type). On -1 the machining type, the machine-parameter
// type and the allowed tool classes keep their values. Reads NPT1 and the current tool's class
// (current_tool.tool_class, 0 with no tool loaded); sets current_tool.condition.
void set_machining_type(int nc_function, int& mach_param_type, int& suspend_allowed, int& status);
