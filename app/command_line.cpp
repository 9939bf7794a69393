#include "app/command_line.h"

namespace orbilux {

namespace {

wchar_t Lower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
}

// The option's name without its "/", "-" or "--", in lower case; empty when
// the argument is no option.
std::wstring OptionName(const std::wstring& argument) {
    size_t start = 0;
    if (argument.compare(0, 2, L"--") == 0)
        start = 2;
    else if (!argument.empty() && (argument[0] == L'/' || argument[0] == L'-'))
        start = 1;
    else
        return {};
    std::wstring name;
    for (size_t i = start; i < argument.size(); ++i) name += Lower(argument[i]);
    return name;
}

CommandLineCommand CommandOf(const std::wstring& argument) {
    const std::wstring name = OptionName(argument);
    if (name == L"print") return CommandLineCommand::Print;
    if (name == L"shot") return CommandLineCommand::Shot;
    if (name == L"settings") return CommandLineCommand::Settings;
    if (name == L"exit") return CommandLineCommand::Exit;
    if (name == L"help" || name == L"?") return CommandLineCommand::Help;
    return CommandLineCommand::Unknown;
}

}  // namespace

CommandLineRequest ParseCommandLine(const std::vector<std::wstring>& arguments) {
    CommandLineRequest request;
    for (const std::wstring& argument : arguments) {
        if (argument.empty()) continue;
        const CommandLineCommand command = CommandOf(argument);
        if (command == CommandLineCommand::Unknown || request.command != CommandLineCommand::None) {
            request.command = CommandLineCommand::Unknown;
            request.offending = argument;
            return request;
        }
        request.command = command;
    }
    return request;
}

std::wstring CommandLineUsage() {
    return L"Usage: tamrik.exe [/print | /shot | /settings | /exit | /help]\r\n"
           L"  /print     the print key's action (in the running copy, or after starting)\r\n"
           L"  /shot      the shot key's action: the whole desktop to a file\r\n"
           L"  /settings  opens the settings\r\n"
           L"  /exit      ends the running copy\r\n"
           L"  /help, /?  this text\r\n"
           L"Options may start with /, - or -- and are read in any case; one at a time.\r\n"
           L"Exit codes: 0 done or handed to the running copy; 1 no copy runs (/exit) or it did not\r\n"
           L"take the command; 2 an option that is not understood.\r\n";
}

}  // namespace orbilux
