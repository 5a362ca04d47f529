// Control view of the geometry entities (host/vantu_geom.hpp): the temporary linked to an entity
// and the length recorded for it.
#pragma once

namespace vantu::control {

// The temporary of entity id, -1 when none is linked.
int geometry_temporary(int id);
// The length recorded for entity id, -1 when none was recorded.
int geometry_length(int id);

}  // namespace vantu::control
