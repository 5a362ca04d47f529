// Control calls of the host messages: every call of host/vantu_messages.hpp, and every line
// another host component records (questions of the interaction engine, the host's own
// diagnostics on channel "host_error"), kept in order.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantu::control {

struct message {
    // The call's name: "eroutc", "erou1c", "errout", "userrc", "user1c", "usmsgc", "shmsgc",
    // "shlmsg", "prmptc", "msg_mdls", "msg_prompt", "shms1c", "usms1c", "dbg_printf"; "host_error" for the
    // host's own diagnostics; other components record under their own names.
    std::string channel;
    // The text argument exactly as sent: errout and shlmsg exactly count/length characters (cut
    // at a terminator); user1c its first text; dbg_printf the formatted text; msg_mdls and
    // msg_prompt "group/number".
    std::string text;
    // The whole line as a user sees it: erou1c the text and the number, user1c text1, the value
    // and text2 (one blank between pieces unless a piece already brings one), msg_mdls
    // "message 319/30" followed by a blank and the inserted text when one was given, then each
    // value shown after a blank as format_real writes it, msg_prompt "prompt 319/0", dbg_printf without its final
    // newline; the text itself for the other channels.
    std::string line;
};

// Most messages kept; beyond it further messages are counted but dropped, and the end-of-run
// report says how many (a runaway loop must not exhaust memory).
inline constexpr std::size_t kMaxMessages = 200000;

const std::vector<message>& messages();
// Texts of one channel, in order.
std::vector<std::string> texts_of(std::string_view channel);
// Lines of one channel, in order.
std::vector<std::string> lines_of(std::string_view channel);
void clear_messages();

// How user1c writes a real value ('R', and 'U' for a value in the user's unit): fixed with four
// decimals, as the host's listings show lengths ("12.5000").
std::string format_real(double value);

}  // namespace vantu::control
