// Store step: a back answer from the questions sends the pass back to preparation, any other
// negative status ends the run. This version then hands the procedure type's writers their
// parts in the order the procedure block receives them (own parameters, geometry, contour
// records); the block writer itself joins it later.
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "driver/proc_type_table.hpp"

// WHERE codes of the writers: the open entity and the tool-path list numbering its blocks.
static constexpr int kWhereEntity = 1, kWhereListNumbered = 3;

static void write_procedure_parts(int& status)
{
    const proc_type_table& table = proc_type_registration();
    int procedure_type = proc_nc_function();
    int where = kWhereListNumbered;
    int counter = 0;
    table.put_parameters(procedure_type, where, counter, status);
    if (status != 0) return;
    where = kWhereEntity;
    counter = 0;
    table.put_geometry(procedure_type, where, counter, status);
    if (status != 0) return;
    // A failing contour-records store does not stop the writer.
    int mode = kContourRecordsStore;
    int new_block = 1;
    int scratch = 0;
    int records_status = 0;
    table.contour_records(mode, new_block, scratch, records_status);
}

void proc_store(int& status)
{
    if (status == kBack) {
        proc_run.back = 1;
        status = kRedo;
        return;
    }
    if (run_ended(status)) {
        proc_end(status);
        status = kCancel;
        return;
    }
    // A new procedure is always computed.
    proc_run.execute_word = 1;
    write_procedure_parts(status);
    if (status != 0) {
        proc_end(status);
        status = kCancel;
        return;
    }
    proc_run.sublist_open = 1;
    status = kGoOn;
}
