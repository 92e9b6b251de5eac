#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

// Makes an empty directory named after the running test and makes it current, as a fresh
// saver process would find its own; the old directory is restored at the end.
class ScopedTempDirectory {
public:
    ScopedTempDirectory() : previous_(std::filesystem::current_path())
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = std::filesystem::temp_directory_path() /
                (std::string("varbules-") + test->test_suite_name() + "-" + test->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScopedTempDirectory()
    {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    ScopedTempDirectory(const ScopedTempDirectory&) = delete;
    ScopedTempDirectory& operator=(const ScopedTempDirectory&) = delete;

private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};
