// Tests on the procedure type (the NC function number of a procedure).
#pragma once

// 1 for the procedure types 10, 11, 12, 19, 20, 26, 39, 40, 41 and 42 (the types without a
// machining path of their own), else 0.
int proc_type_group_a(int procedure_type);
// 1 for procedure type 55, else 0.
int is_proc_type_55(int procedure_type);
