// The command line for scripts: option forms, unknown options, several options.
#include <gtest/gtest.h>

#include "app/command_line.h"

using namespace orbilux;
using Cmd = CommandLineCommand;

namespace {

Cmd Parse(std::vector<std::wstring> arguments) {
    return ParseCommandLine(arguments).command;
}

}  // namespace

TEST(AppCommandLine, EveryOptionInEveryPrefixAndCase) {
    const std::pair<const wchar_t*, Cmd> names[] = {{L"print", Cmd::Print},       {L"shot", Cmd::Shot},
                                                    {L"settings", Cmd::Settings}, {L"exit", Cmd::Exit},
                                                    {L"help", Cmd::Help},         {L"?", Cmd::Help}};
    for (const auto& [name, command] : names) {
        const std::wstring plain = name;
        std::wstring upper = plain;
        for (wchar_t& c : upper)
            if (c >= L'a' && c <= L'z') c = wchar_t(c - L'a' + L'A');
        std::wstring mixed = plain;
        mixed[0] = upper[0];
        for (const wchar_t* prefix : {L"/", L"-", L"--"})
            for (const std::wstring& form : {plain, upper, mixed})
                EXPECT_EQ(Parse({prefix + form}), command) << prefix << form;
    }
}

TEST(AppCommandLine, NoOptionStartsAsBefore) {
    EXPECT_EQ(Parse({}), Cmd::None);
    // Empty arguments (a script's "" or an empty variable) are no option.
    EXPECT_EQ(Parse({L""}), Cmd::None);
    EXPECT_EQ(Parse({L"", L"/shot", L""}), Cmd::Shot);
}

TEST(AppCommandLine, AnythingElseIsUnknownAndNamed) {
    for (const wchar_t* argument : {L"/printer", L"/pr", L"print", L"/", L"-", L"--", L"---print", L"//print",
                                    L"/print=1", L"/ print", L"/PRİNT", L"/s", L"-h", L"C:\\pictures"}) {
        const CommandLineRequest request = ParseCommandLine({argument});
        EXPECT_EQ(request.command, Cmd::Unknown) << argument;
        EXPECT_EQ(request.offending, argument);
    }
}

TEST(AppCommandLine, OneOptionAtATime) {
    // A second option, even the same one, is refused and named, whatever came first.
    CommandLineRequest request = ParseCommandLine({L"/print", L"/shot"});
    EXPECT_EQ(request.command, Cmd::Unknown);
    EXPECT_EQ(request.offending, L"/shot");
    EXPECT_EQ(Parse({L"/exit", L"/exit"}), Cmd::Unknown);
    request = ParseCommandLine({L"/help", L"/nonsense"});
    EXPECT_EQ(request.offending, L"/nonsense");
    request = ParseCommandLine({L"/nonsense", L"/help"});
    EXPECT_EQ(request.offending, L"/nonsense");
}

TEST(AppCommandLine, UsageNamesEveryOptionAndTheExitCodes) {
    const std::wstring usage = CommandLineUsage();
    for (const wchar_t* option : {L"/print", L"/shot", L"/settings", L"/exit", L"/help", L"/?"})
        EXPECT_NE(usage.find(option), std::wstring::npos) << option;
    for (int code : {kExitDelivered, kExitNotDelivered, kExitUsage})
        EXPECT_NE(usage.find(std::to_wstring(code) + L" "), std::wstring::npos) << code;
    EXPECT_EQ(usage.substr(usage.size() - 2), L"\r\n");
}
