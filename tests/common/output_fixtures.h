// An output platform for the file-output tests, native and under Windows:
// its clock stands at the fixed clock's moment (or one a test gives) and a
// test chooses its file functions and folders.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "base/calendar_time.h"
#include "output/output_naming.h"
#include "tests/common/fixed_clock.h"

namespace tamrik_test {

// Base's file functions and folders, with the clock standing at `now`; file
// functions or a folder set here replace Base's own (an empty folder stands
// for "unknown").
template <class Base>
class FixedPlatform : public Base {
public:
    explicit FixedPlatform(const tamrik::CalendarTime& now = FixedClock()) : now_(now) {}

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

}  // namespace tamrik_test
