// Host flags and settings the module queries, and the host's start-up hooks. Defaults never
// switch the module off (see host/core/flags.cpp).
#pragma once

int get_verbos_fn();  // non-zero: the module prints its version block on attach
int get_disp_stock();
int get_extflag();
int tamsa_flag_get();
// Run flags of a run without questions: execute the procedure, replace an unchanged one.
int execute_flag_get();
int replace_flag_get();
int D3DS_algorithmIsRun();  // non-zero while the host's 3-D surface algorithm runs
int macexe();               // non-zero while the host executes a recorded macro
int macdfn();               // non-zero while the host records a macro
int nu_mod_get_flag();      // the host dialog flag: pages are built without their items
int nu_sgcd_get_code();     // the current NC sub-code of the host (56: guide points)
int tstrg_flg_get();        // the test-string switch: 0 unless a run sets it
int batch_flag_get();       // non-zero in a batch run: questions take their default answer
int IsNcDebug();
int IsDebugMode();
int modhix();  // height of the host screen in pixels

// Template flags of the host's procedure manager.
int is_create_from_template();
int is_read_singlePROC();
int get_TP_TemplateFlag();
int get_ManageTp_TemplateFlag();
void set_ManageTp_TemplateFlag(int value);
void set_Proc_Oper_TemplateFlag(int value);
// 1 while any template operation runs; 1 while a template create or read operation runs.
int is_some_template_operation();
int is_some_template_CreateRead_operation();
// The host's debug switch.
int indbug();

// Enables every host menu of the NC function (module start-up).
void enaall();
// The host's dummy solid-update hook: sets result 0 and does nothing else.
void ncs_dum_sud(int& mode, int& result);
