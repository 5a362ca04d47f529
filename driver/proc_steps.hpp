// The steps of the procedure driver's loop, each in its own file. Every step that ends the
// run calls proc_end (or proc_release alone, on the roads where nothing was loaded yet) before
// it leaves kCancel, so the loop only has to stop.
#pragma once

void proc_start(int restart, int& status);
void proc_check_moved(int& status);
void proc_prepare(int& status);
void proc_define(int& status);
void proc_after_define(int& status);
void proc_check_solid(int& status, int& go);
void proc_store(int& status);
void proc_execute(int restart, int& status);
void proc_finish(int& status);
void proc_end(int& status);
void proc_release(int& status);

// The steps the loop calls, as a table: the driver calls through it, so a test can run the
// loop with steps of its own. It holds the real steps unless replaced.
struct proc_steps {
    void (*start)(int restart, int& status);
    void (*check_moved)(int& status);
    void (*prepare)(int& status);
    void (*define)(int& status);
    void (*check_solid)(int& status, int& go);
    void (*store)(int& status);
    void (*execute)(int restart, int& status);
    void (*finish)(int& status);
};

// The real steps.
proc_steps default_proc_steps();
// The steps the driver calls; assign to replace them, restore with default_proc_steps().
proc_steps& proc_driver_steps();
