#include "settings/settings_file.h"

#include "globals/saver_globals.h"
#include "port/file_kind.h"

void ReadSettingsFile()
{
    if (!IsFileOrNothing(saver.settingsFileName))
        return;
    saver.settingsFile = std::fopen(saver.settingsFileName, "rb");
    if (saver.settingsFile == nullptr)
        return;
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
    if (!IsFileOrNothing(saver.settingsFileName))
        return false;
    saver.settingsFile = std::fopen(saver.settingsFileName, "wb+");
    if (saver.settingsFile == nullptr)
        return false;
    std::fseek(saver.settingsFile, 0, SEEK_SET);
    saver.settingsRecord[kVarbuleCountOffset] = static_cast<unsigned char>(saver.varbuleCount & 0xFF);
    std::fwrite(saver.settingsRecord.data(), 1, kSettingsRecordSize, saver.settingsFile);
    std::fclose(saver.settingsFile);
    saver.settingsFile = nullptr;
    return true;
}
