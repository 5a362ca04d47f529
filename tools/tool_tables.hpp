// The record types of tools, drill cycles and cutting conditions, built in code (STDTYP), and the
// creation of a class's record tables on first use (tool_tables_ensure), with the user record
// types of "USER.DEF".
#pragma once

// Flag 0 builds the record type of the class (1..10 or 15), flag 1 "$TLTECH". Answers the new
// record table's id and status 0, or -1 and -5.
void STDTYP(int tool_class, int condition_flag, int& table_id, int& status);
// Makes sure the tables of the class exist and saves SYT2 when an id changed. Status 0; 1 when
// the user record type was just found for a class whose table already holds tools; -5 failure.
void tool_tables_ensure(int tool_class, int& status);
