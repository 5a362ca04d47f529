// Checks of the current tool's geometry before the tool dialog accepts it and before its default
// symbol is drawn, and of the shank, holders and spindle of a mill that carries a holder set.
#pragma once

// Runs the rules of the class on tool_shape_records (2 mill, 3 lathe, 4 punch, 5-7 accepted,
// 9 thread, 10 groove; 1, 8 and any other class the drill rules). The first rule that fails shows
// its message and gives -1; 0 when every rule holds. The lathe rule sets QRTNUM, the thread rule
// CUTWTH.
void tool_validate(int tool_class, int& status);
// Every tool passes: status 0 (also the pocket procedure's tool check).
void tool_check_none(int& status);
// The holder set of the current mill (holder_set). Status 0, or -1 after the failing rule's
// message.
void holder_set_validate(int& status);
