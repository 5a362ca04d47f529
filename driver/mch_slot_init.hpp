// The machine-parameter slots of a procedure (INITMC), the re-attachment of a stored procedure
// block's machine-table entities to the current list (UPDCMC), and the search of the n-th block
// of a header code (NXTCNT). The store and finish steps and the manual editor call them.
#pragma once

// Clears the slots (status 0, value 0, code 0, force 1) and sets those of the machine-parameter
// type (category): status 1 (user value) or 2 (computed), the code written for the slot, force 2.
// An unknown category reports "INITMC, FOR CODE=" with it and "NO INITIALIZATION IS DONE".
void INITMC(int category);
// On the current block, which must be a procedure ("UPDCMC-THE CURRENT BLOCK IS NOT A PROCEDURE",
// -1): attaches the entities of items 10 and 47 of segment 23 to the current list.
void UPDCMC(int& status);
// Positions the list on the n-th block from the list's start whose header code (block class)
// equals code; a negative n searches for the |n|-th without a message when the list ends first.
void NXTCNT(int code, int n, int& status);
