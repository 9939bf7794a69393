// The program's command line for scripts: one option, "/print", "/shot",
// "/settings", "/exit" or "/help" ("/?"), written with "/", "-" or "--" in any
// case. Portable: the Windows side splits the command line and delivers the
// command.
#pragma once

#include <string>
#include <vector>

namespace orbilux {

enum class CommandLineCommand {
    None,      // no option: the program starts as usual
    Print,     // the print key's action
    Shot,      // the shot key's action
    Settings,  // the settings sheet
    Exit,      // ends the running copy
    Help,      // the usage text
    Unknown,   // an option that is not one of the above, or more than one option
};

struct CommandLineRequest {
    CommandLineCommand command = CommandLineCommand::None;
    std::wstring offending;  // with Unknown: the argument that was not understood
};

// The request of the arguments after the program's name. Empty arguments are
// skipped; a second option makes the request Unknown.
CommandLineRequest ParseCommandLine(const std::vector<std::wstring>& arguments);

// The process exit codes of a command-line start.
constexpr int kExitDelivered = 0;     // done here, or handed to the running copy, which took it
constexpr int kExitNotDelivered = 1;  // no copy runs for /exit, or the running copy did not take it
constexpr int kExitUsage = 2;         // an option that is not understood

// The usage text, lines ending in "\r\n".
std::wstring CommandLineUsage();

}  // namespace orbilux
