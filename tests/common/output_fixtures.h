// Pieces the file-output tests share, native and under Windows: the moment
// the naming expectations are written around, and an output platform whose
// clock stands still and whose folders a test chooses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "base/calendar_time.h"
#include "output/output_naming.h"

namespace outfix {

// 5 March 2024 at the given time of day: by default 14:23:41, whose names
// carry "MN20240305_??_6bf".
inline tamrik::CalendarTime March5At(int hour = 14, int minute = 23, int second = 41, int day = 5) {
    tamrik::CalendarTime t;
    t.year = 2024;
    t.month = 3;
    t.day = uint16_t(day);
    t.hour = uint16_t(hour);
    t.minute = uint16_t(minute);
    t.second = uint16_t(second);
    return t;
}

// Base's file functions and folders, with the clock standing at `now`; file
// functions or a folder set here replace Base's own (an empty folder stands
// for "unknown").
template <class Base>
class FixedPlatform : public Base {
public:
    explicit FixedPlatform(const tamrik::CalendarTime& now = March5At()) : now_(now) {}

    orbilux::OutputFileSystem& Files() override { return files_ ? *files_ : Base::Files(); }
    tamrik::CalendarTime LocalTime() override { return now_; }
    std::wstring PicturesFolder() override { return pictures_ ? *pictures_ : Base::PicturesFolder(); }
    std::wstring LocalAppDataFolder() override {
        return localAppData_ ? *localAppData_ : Base::LocalAppDataFolder();
    }

    void SetFiles(orbilux::OutputFileSystem* files) { files_ = files; }
    void SetPicturesFolder(std::wstring folder) { pictures_ = std::move(folder); }
    void SetLocalAppDataFolder(std::wstring folder) { localAppData_ = std::move(folder); }

private:
    tamrik::CalendarTime now_;
    orbilux::OutputFileSystem* files_ = nullptr;
    std::optional<std::wstring> pictures_;
    std::optional<std::wstring> localAppData_;
};

using FixedPortablePlatform = FixedPlatform<orbilux::PortableOutputPlatform>;

}  // namespace outfix
