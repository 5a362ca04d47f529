// Control calls of the working model's updates (updtwa): how often a changed tool path was noted,
// and the part as the last save wrote it. The stand-in keeps the save in memory rather than
// overwriting the part file a run was loaded from.
#pragma once

#include <string>

namespace vantu::control {

long work_model_changes();                   // updtwa(1) calls since the reset
long work_model_saves();                     // updtwa(2) calls since the reset
const std::string& work_model_saved_text();  // the part as the last save wrote it ("" before)

}  // namespace vantu::control
