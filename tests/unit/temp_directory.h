#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include <gtest/gtest.h>

// The environment variable that names the folder of this user's settings: Windows NT's
// application data, Linux's XDG configuration.
// Linux falls back on ~/.config when the variable names no absolute path.
#ifdef _WIN32
constexpr const char* kUserSettingsVariable = "APPDATA";
constexpr const char* kUserSettingsFallback = "APPDATA";
#else
constexpr const char* kUserSettingsVariable = "XDG_CONFIG_HOME";
constexpr const char* kUserSettingsFallback = "HOME";
#endif

// Sets an environment variable for the scope, and restores it after.
class ScopedEnvironmentVariable {
public:
    ScopedEnvironmentVariable(const char* name, const std::string& value) : name_(name)
    {
        if (const char* old = std::getenv(name))
            previous_ = old;
        Set(value);
    }
    ~ScopedEnvironmentVariable() { Set(previous_.value_or("")); }
    ScopedEnvironmentVariable(const ScopedEnvironmentVariable&) = delete;
    ScopedEnvironmentVariable& operator=(const ScopedEnvironmentVariable&) = delete;

private:
    void Set(const std::string& value)
    {
#ifdef _WIN32
        _putenv((name_ + "=" + value).c_str());  // an empty value removes it
#else
        if (value.empty())
            unsetenv(name_.c_str());
        else
            setenv(name_.c_str(), value.c_str(), 1);
#endif
    }

    std::string name_;
    std::optional<std::string> previous_;
};

// Makes an empty directory named after the running test and makes it current, as a fresh
// saver process would find its own; the old directory is restored at the end. The user's
// own settings folder is then one that cannot be made, so the settings file lives in the
// current directory alone, unless a test says otherwise (UseUserSettingsFolder).
class ScopedTempDirectory {
public:
    ScopedTempDirectory()
        : previous_(std::filesystem::current_path()), path_(MakePath()),
          userFolder_(kUserSettingsVariable, (path_ / "no-such-folder" / "here").string()),
          fallback_(kUserSettingsFallback, (path_ / "no-such-folder" / "here").string())
    {
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

    const std::filesystem::path& path() const { return path_; }

private:
    static std::filesystem::path MakePath()
    {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        return std::filesystem::temp_directory_path() /
               (std::string("varbules-") + test->test_suite_name() + "-" + test->name());
    }

    std::filesystem::path previous_;
    std::filesystem::path path_;
    ScopedEnvironmentVariable userFolder_;
    ScopedEnvironmentVariable fallback_;
};
