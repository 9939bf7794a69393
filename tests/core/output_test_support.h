// A private scratch folder for output tests, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text.h"

namespace outtest {

class ScratchFolder {
public:
    ScratchFolder() {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                ("tamrik-" + std::string(info ? info->name() : "x") + "-" + std::to_string(::getpid()) + "-" +
                 std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& Path() const { return path_; }
    // The folder as a stored (wide) path.
    std::wstring Wide() const { return tamrik::Utf8ToWide(path_.string()); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    void Touch(const std::string& name) const { std::ofstream(path_ / name) << "x"; }

private:
    std::filesystem::path path_;
};

}  // namespace outtest
