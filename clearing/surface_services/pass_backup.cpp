// The periodic backup of a long surface clearing (backup_due, BKUPNC).
#include "clearing/surface_services/pass_backup.hpp"

#include "clearing/surface_services/backup_seams.hpp"
#include "host/vantu_mdata.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/nc_state_blocks.hpp"

bool backup_due(int passes)
{
    const service_words& words = UPW2();
    const int interval = words.at(1);
    return words.at(0) == kBackupOn && interval > 0 && passes > 0 && passes % interval == 0;
}

void BKUPNC(int passes, int& status)
{
    status = 0;
    usmsgc("");
    surface_backup_service_table().save_nc_state(status);
    if (status < 0) {
        eroutc("BKUPNC: PROBLEMS WITH SEGFIN", status);
        return;
    }
    status = 0;
    usms1c("", passes, " PASSES COMPLETED. BACKUP STARTING");
    updtwa(kWorkModelSave);
    usmsgc("BACKUP FINISHED");
}

surface_backup_services& surface_backup_service_table()
{
    static surface_backup_services table;
    return table;
}
