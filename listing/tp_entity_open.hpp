// Opening and closing the host's tool-path entities that the listings walk (a tool path, a
// procedure), with the check that the entity opened is of the kind the caller expects.
#pragma once

// Opens entity id; true when it opened as a tool-path entity of the given type (3 a tool path,
// 4 a procedure). The caller closes it again with close_entity, whatever the answer.
bool open_tool_path_entity(int id, int type);
// Closes the open entity.
void close_entity();
