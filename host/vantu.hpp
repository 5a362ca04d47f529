// The host library (vantu) as the module sees it: one declaration per call, inputs by value or
// const reference, outputs by reference, status last.
#pragma once

#include "host/words.hpp"
#include "host/vantu_clock.hpp"
#include "host/vantu_compare.hpp"
#include "host/vantu_datafiles.hpp"
#include "host/vantu_datamenu.hpp"
#include "host/vantu_display.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_entity_ext.hpp"
#include "host/vantu_flags.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_list.hpp"
#include "host/vantu_masters.hpp"
#include "host/vantu_mdata.hpp"
#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_nc.hpp"
#include "host/vantu_ncstate.hpp"
#include "host/vantu_output.hpp"
#include "host/vantu_template.hpp"
#include "host/vantu_vector.hpp"
