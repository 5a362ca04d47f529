// Creation of a new tool of a class for the tool choice of the procedure driver. Least version:
// the tool-library dialog replaces this file (keeping the name) with the dialog in which the
// user gives the tool its values.
#pragma once

// Creates a tool of the class (1 to 10) with the class's default values, named after its class
// and id, and makes it the current tool. The slot is the caller's tool-list slot (unused here).
// tool_id: the new id, -1 on failure. Status 0, or -5 when the tool cannot be stored.
void tool_create(int tool_class, int slot, int& tool_id, int& status);
