#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>

// A fresh directory under the system temp directory, removed with everything in it at scope exit.
class TempDir {
public:
    explicit TempDir(const std::wstring& suffix = L"") {
        static std::atomic<int> counter{0};
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        path_ = std::filesystem::temp_directory_path() /
                (L"brisquel-test-" + std::to_wstring(stamp) + L"-" + std::to_wstring(counter++) + suffix);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};
