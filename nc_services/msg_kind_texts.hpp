// The texts of a post-processor message kind: the kind character that starts its block, the
// label shown before its text, the prompt of its input and its title. The message insertion and
// editing call it.
#pragma once

#include <string>

// Kinds: 1 message (" "), 2 code with sequence number ("$"), 3 code without ("*"), 4 name of a
// user-defined block ("@"). A kind outside 1 to 4 is taken from the first character ("$" 2,
// "*" 3, "@" 4, any other 1); the kind then sets the first character and the three texts.
void msg_kind_texts(int& kind, char& first, std::string& label, std::string& prompt, std::string& title);
