// What the portable core needs from the operating system beyond standard C++:
// calendar conversions, the user's folders, file names and the Japanese code
// page. One implementation per platform (base/platform/posix.cpp,
// base/platform/win32.cpp), chosen by the build; the core calls these and
// holds no platform conditionals of its own.
#pragma once

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <string>

namespace tamrik {

// The calendar fields of a moment in the local time zone, or in UTC; false
// when the system cannot convert it.
bool LocalCalendar(std::time_t moment, std::tm& fields);
bool UtcCalendar(std::time_t moment, std::tm& fields);

// The user's own pictures folder and per-user application data folder as the
// environment names them, or empty when it names none.
std::wstring HomePicturesFolder();
std::wstring HomeLocalDataFolder();

// A path written with either separator as the file system takes it, and a
// name the file system gives back as wide text.
std::filesystem::path NativePath(const std::wstring& path);
std::wstring WideFileName(const std::filesystem::path& path);
// Opens a file for binary writing (created or emptied); null with errno set
// when it cannot.
std::FILE* OpenFileForWriting(const std::filesystem::path& path);

// Text in code page 932 (Shift_JIS with the Windows extensions); characters it
// cannot hold become "?". False when the system has no such conversion.
bool EncodeCodePage932(const std::wstring& text, std::string& bytes);

}  // namespace tamrik
