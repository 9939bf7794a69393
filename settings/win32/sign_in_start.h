// Start at sign-in: the program's value under the current user's Run key.
// The system keeps this, not the settings file.
#pragma once

#include <string>

namespace orbilux {

// The value's name: "Tamrik Screen Print".
extern const wchar_t kSignInValueName[];
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run
extern const wchar_t kRunKeyPath[];

// The full path of the running program in double quotes; empty when unknown.
std::wstring QuotedProgramPath();

// Whether the Run key holds a value of this name.
bool StartsAtSignIn(const wchar_t* valueName = kSignInValueName);

// Adds the value (the quoted path of the running program) or removes it.
// True when the Run key is as asked afterwards; removing a value that is not
// there succeeds.
bool SetStartAtSignIn(bool start, const wchar_t* valueName = kSignInValueName);

}  // namespace orbilux
