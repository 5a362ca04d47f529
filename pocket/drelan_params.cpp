// The two parameter blocks of the pocket procedure, in zero-filled static storage.
#include "pocket/drelan_params.hpp"

drelan_params drelan_params_current;
drelan_params drelan_params_previous;
