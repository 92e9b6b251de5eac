// Fuzzes the settings file's read and write cycle. The input is the file as it stands on
// disk, of any length; the saver reads it into a record it has filled with a known
// pattern, then writes the record back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "globals/saver_globals.h"
#include "settings/settings_file.h"

namespace {

// The saver opens the file by its bare name in the current directory, as on Windows.
constexpr char kFileName[] = "Varbule.ini";

// Neither a byte value nor any count a file could give, so a count not set shows.
constexpr std::int32_t kSentinelCount = 0x5EC0DE01;

unsigned char PatternByte(std::size_t i)
{
    return static_cast<unsigned char>(i * 131 + 17);
}

std::size_t currentSize = 0;
std::string privateDirectory;
int privateDirectoryFd = -1;
int startDirectoryFd = -1;

// libFuzzer reads and writes its corpus and its crash files relative to the directory it
// was started in, so the saver's directory is only entered for the length of one input.
void LeavePrivateDirectory()
{
    if (fchdir(startDirectoryFd) != 0)
        std::perror("settings_file_fuzz: back to the starting directory");
}

void RemovePrivateDirectory()
{
    std::remove((privateDirectory + "/" + kFileName).c_str());
    rmdir(privateDirectory.c_str());
}

void Check(bool condition, const char* what)
{
    if (condition)
        return;
    LeavePrivateDirectory();
    RemovePrivateDirectory();
    std::fprintf(stderr, "settings_file_fuzz: %s (a file of %zu bytes)\n", what, currentSize);
    std::abort();
}

// The lowest free descriptor: a file the saver left open, or closed through a pointer it
// had damaged, keeps its descriptor and moves this up.
int LowestFreeDescriptor()
{
    const int fd = open("/dev/null", O_RDONLY);
    Check(fd >= 0, "/dev/null cannot be opened");
    close(fd);
    return fd;
}

std::vector<unsigned char> ReadBack()
{
    std::vector<unsigned char> bytes;
    std::FILE* file = std::fopen(kFileName, "rb");
    Check(file != nullptr, "the written file cannot be opened");
    unsigned char buffer[1024];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    std::fclose(file);
    return bytes;
}

}  // namespace

// Every run works in a private directory of its own, so nothing outside it is touched.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string directory = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/settings_file_fuzz.XXXXXX";
    if (mkdtemp(directory.data()) == nullptr) {
        std::perror("settings_file_fuzz: private directory");
        std::abort();
    }
    privateDirectory = directory;
    std::atexit(RemovePrivateDirectory);
    privateDirectoryFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    startDirectoryFd = open(".", O_RDONLY | O_DIRECTORY);
    if (privateDirectoryFd < 0 || startDirectoryFd < 0) {
        std::perror("settings_file_fuzz: opening the directories");
        std::abort();
    }
    std::strcpy(saver.settingsFileName, kFileName);
    // The user's own settings folder is one that cannot be made: the file under test is
    // the private directory's alone.
    const std::string nowhere = directory + "/no-such-folder/here";
    setenv("XDG_CONFIG_HOME", nowhere.c_str(), 1);
    setenv("HOME", nowhere.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    currentSize = size;
    Check(fchdir(privateDirectoryFd) == 0, "the private directory cannot be entered");

    std::FILE* file = std::fopen(kFileName, "wb");
    Check(file != nullptr, "the input file cannot be created");
    Check(size == 0 || std::fwrite(data, 1, size, file) == size, "the input file cannot be written");
    Check(std::fclose(file) == 0, "the input file cannot be closed");

    const int freeDescriptor = LowestFreeDescriptor();
    for (std::size_t i = 0; i < kSettingsRecordSize; ++i)
        saver.settingsRecord[i] = PatternByte(i);
    saver.varbuleCount = kSentinelCount;

    ReadSettingsFile();

    Check(saver.settingsFile == nullptr && LowestFreeDescriptor() == freeDescriptor, "the file is left open after reading");
    // The count is the record's byte 1 once the file is read: the file's own when it has
    // one, otherwise what the record held before (zero in a real process, the pattern here).
    if (size >= 2)
        Check(saver.varbuleCount == data[kVarbuleCountOffset], "the count is not the file's byte 1");
    else
        Check(saver.varbuleCount == PatternByte(kVarbuleCountOffset), "a file without byte 1 left the count elsewhere");

    // What the record must hold now: the file's bytes as far as they go, the pattern after.
    unsigned char expected[kSettingsRecordSize];
    for (std::size_t i = 0; i < kSettingsRecordSize; ++i) {
        expected[i] = i < size ? data[i] : PatternByte(i);
        Check(saver.settingsRecord[i] == expected[i], i < size ? "a record byte differs from the file's"
                                                                : "a record byte past the file's end changed");
    }

    // Any count, even one that does not fit a byte, is written as its low byte; take one
    // from the input so that the fuzzer varies it too.
    std::uint32_t count = 0x9E3779B9u;
    for (std::size_t i = 0; i < size; ++i)
        count = (count ^ data[i]) * 16777619u;
    saver.varbuleCount = static_cast<std::int32_t>(count);

    Check(WriteSettingsFile(), "the file cannot be written");
    Check(saver.settingsFile == nullptr && LowestFreeDescriptor() == freeDescriptor, "the file is left open after writing");

    const std::vector<unsigned char> written = ReadBack();
    Check(written.size() == kSettingsRecordSize, "the written file is not 512 bytes");
    Check(written[kVarbuleCountOffset] == (count & 0xFF), "byte 1 of the written file is not the count's low byte");
    for (std::size_t i = 0; i < kSettingsRecordSize; ++i) {
        if (i != static_cast<std::size_t>(kVarbuleCountOffset))
            Check(written[i] == expected[i], "a written byte other than the count is not the record's");
    }
    LeavePrivateDirectory();
    return 0;
}
