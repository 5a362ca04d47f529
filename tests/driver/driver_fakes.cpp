// Fake steps and callbacks for the driver tests.
#include "driver_fakes.hpp"

#include "driver/proc_driver.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "nc_services/machining_type.hpp"

namespace fakes {

int nc_function_cell = 77;
int block_length_cell = 12;

namespace {
word current_block[12];
word previous_block[12];

int next_status(const std::string& step)
{
    std::deque<int>& script = rec().step_statuses[step];
    if (script.empty()) return kGoOn;
    int status = script.front();
    script.pop_front();
    return status;
}

// Logs the step, notes the table's cells as the step sees them, and answers its scripted status.
void step(const std::string& name, int& status)
{
    rec().events.push_back(name);
    rec().nc_function_seen.push_back(proc_nc_function());
    rec().block_length_seen.push_back(proc_block_length());
    status = next_status(name);
}

void fake_start(int restart, int& status)
{
    step("start " + std::to_string(restart), status);
    if (rec().start_sets_cells) {
        nc_function_cell = rec().start_sets_cells->first;
        block_length_cell = rec().start_sets_cells->second;
    }
}
void fake_check_moved(int& status) { step("check_moved", status); }
void fake_prepare(int& status) { step("prepare", status); }
void fake_define(int& status) { step("define", status); }
void fake_check_solid(int& status, int& go)
{
    step("check_solid", status);
    go = kGoOn;
    if (!rec().go_words.empty()) {
        go = rec().go_words.front();
        rec().go_words.pop_front();
    }
}
void fake_store(int& status) { step("store", status); }
void fake_execute(int restart, int& status) { step("execute " + std::to_string(restart), status); }
void fake_finish(int& status) { step("finish", status); }

void note(const std::string& event) { rec().events.push_back(event); }
}  // namespace

recorder& rec()
{
    static recorder r;
    return r;
}

void reset()
{
    rec() = recorder{};
    proc_driver_steps() = default_proc_steps();
    proc_run = proc_run_state{};
    nc_function_cell = 77;
    block_length_cell = 12;
}

proc_steps fake_steps()
{
    return {fake_start,       fake_check_moved, fake_prepare, fake_define,
            fake_check_solid, fake_store,       fake_execute, fake_finish};
}

void define(int& procedure_number, int& /*view_only*/, int& /*tool_path_moved*/, int& repeat, int& /*change_status*/,
            int& /*back*/, int& /*geometry_redefined*/, int& end_run, int& status)
{
    rec().define_repeat_flags.push_back(repeat);
    rec().define_machining_types.push_back(machining_type());
    note("cb define procedure=" + std::to_string(procedure_number) + " repeat=" + std::to_string(repeat));
    if (static_cast<int>(rec().define_repeat_flags.size()) == rec().define_ends_run_on_call) end_run = 1;
    status = rec().define_status;
}

void execute(int& mode, int& status)
{
    note("cb execute " + std::to_string(mode));
    status = rec().execute_status;
    if (rec().execute_body) rec().execute_body(mode, status);
}

void put_parameters(int& procedure_type, int& where, int& /*counter*/, int& status)
{
    note("cb put_parameters type=" + std::to_string(procedure_type) + " where=" + std::to_string(where));
    status = rec().put_parameters_status;
}

void put_geometry(int& procedure_type, int& where, int& /*counter*/, int& status)
{
    note("cb put_geometry type=" + std::to_string(procedure_type) + " where=" + std::to_string(where));
    status = 0;
}

void read_parameters(int&, int&, int&, int&, int&, int& status)
{
    note("cb read_parameters");
    status = 0;
}

void parameters_changed(int&, int&, int& status)
{
    note("cb parameters_changed");
    status = 0;
}

void defaults(int& mode, int& status)
{
    note("cb defaults " + std::to_string(mode));
    status = 0;
}

void contour_records(int& mode, int&, int&, int& status)
{
    note("cb contour_records " + std::to_string(mode));
    status = 0;
}

void pre_exec(int&, int& count, float*, int&, float*, int&, float*, int& status)
{
    note("cb pre_exec");
    count = 0;
    status = 0;
}

void translations(int& status)
{
    note("cb translations");
    status = 0;
}

void solid_update(int&, int& result)
{
    note("cb solid_update");
    result = 0;
}

void run_driver_with_fakes()
{
    proc_driver(nc_function_cell, define, execute, put_parameters, put_geometry, read_parameters, parameters_changed,
                defaults, contour_records, pre_exec, translations, solid_update, "TEST", block_length_cell,
                current_block, previous_block);
}

}  // namespace fakes
