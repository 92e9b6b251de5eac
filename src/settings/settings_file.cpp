#include "settings/settings_file.h"

#include "globals/saver_globals.h"
#include "port/file_kind.h"
#include "port/user_settings.h"

namespace {

// Room for any path the platform accepts in a call: Windows' MAX_PATH is 260, Linux
// paths are cut off at this length as unusable rather than at PATH_MAX.
constexpr std::size_t kSettingsPathSize = 1024;

std::FILE* OpenSettingsFile(const char* name, const char* mode)
{
    return IsFileOrNothing(name) ? std::fopen(name, mode) : nullptr;
}

}  // namespace

void ReadSettingsFile()
{
    // This user's own file when there is one; else the current directory's, as always,
    // so that a file a user already has still counts.
    char path[kSettingsPathSize];
    saver.settingsFile = nullptr;
    if (UserSettingsPath(path, sizeof path, saver.settingsFileName, false))
        saver.settingsFile = OpenSettingsFile(path, "rb");
    if (saver.settingsFile == nullptr)
        saver.settingsFile = OpenSettingsFile(saver.settingsFileName, "rb");
    if (saver.settingsFile == nullptr)
        return;
    // How much was read does not matter, so the count is left unused (a C library that
    // checks its callers, as a hardened build's does, insists it be taken).
    [[maybe_unused]] const std::size_t read =
        std::fread(saver.settingsRecord.data(), 1, kSettingsRecordSize, saver.settingsFile);
    // A short file is fine: the record keeps what it held past the file's end. A read
    // error is not: some systems open a directory for reading and only fail the read, and
    // that must leave the count alone just like a file that cannot be opened.
    if (!std::ferror(saver.settingsFile))
        saver.varbuleCount = saver.settingsRecord[kVarbuleCountOffset];
    std::fclose(saver.settingsFile);
    saver.settingsFile = nullptr;
}

bool WriteSettingsFile()
{
    // This user's own file wherever there is a place for it (its folder made now); a file
    // in the current directory is then left as it is.
    char path[kSettingsPathSize];
    const char* name = UserSettingsPath(path, sizeof path, saver.settingsFileName, true) ? path : saver.settingsFileName;
    saver.settingsFile = OpenSettingsFile(name, "wb+");
    if (saver.settingsFile == nullptr)
        return false;
    std::fseek(saver.settingsFile, 0, SEEK_SET);
    saver.settingsRecord[kVarbuleCountOffset] = static_cast<unsigned char>(saver.varbuleCount & 0xFF);
    std::fwrite(saver.settingsRecord.data(), 1, kSettingsRecordSize, saver.settingsFile);
    std::fclose(saver.settingsFile);
    saver.settingsFile = nullptr;
    return true;
}
