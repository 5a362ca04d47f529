// The periodic backup of a long surface clearing: every so many passes (the SERVICE menu's words
// in UPW2) the NC state is saved and the working model written to its file, so that a run cut
// short loses at most that many passes. The surface pass loop asks backup_due at the set-up of
// each call and runs BKUPNC when it answers yes.
#pragma once

// UPW2 word 1: the frequent-backup switch.
inline constexpr int kBackupOff = 1, kBackupOn = 2;

// True when the switch is on and passes is a positive multiple of the interval (UPW2 word 2); an
// interval of 0 or less never backs up. Reads UPW2.
bool backup_due(int passes);

// Saves the NC state and writes the working model, telling the user on the message line. Status 0;
// the save's negative status with "BKUPNC: PROBLEMS WITH SEGFIN" when the NC state cannot be saved
// (the model is not written then); the pass loop stops on it.
void BKUPNC(int passes, int& status);
