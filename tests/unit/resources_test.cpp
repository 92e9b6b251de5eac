// The program's resources as Windows reads them from the module: dialog 2003 field by
// field, the icon, the manifest and the version. Windows builds only.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/resource.h"

namespace {

// Reads a classic (not extended) dialog template: WORD-aligned records of WORDs and
// wide strings, each control on a DWORD boundary.
class TemplateReader {
public:
    explicit TemplateReader(const void* data) : at_(static_cast<const BYTE*>(data)), start_(at_) {}

    DWORD Dword()
    {
        DWORD value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    WORD Word()
    {
        WORD value;
        std::memcpy(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    // A string, or 0xFFFF and an ordinal written as "#ordinal".
    std::string NameOrOrdinal()
    {
        if (PeekWord() == 0xFFFF) {
            Word();
            return "#" + std::to_string(Word());
        }
        std::string text;
        for (WORD c = Word(); c != 0; c = Word())
            text += static_cast<char>(c);
        return text;
    }
    void AlignDword()
    {
        while ((at_ - start_) % 4 != 0)
            ++at_;
    }

private:
    WORD PeekWord() const
    {
        WORD value;
        std::memcpy(&value, at_, sizeof value);
        return value;
    }
    const BYTE* at_;
    const BYTE* start_;
};

const void* Resource(LPCSTR name, LPCSTR type, DWORD* size = nullptr)
{
    HRSRC found = FindResourceExA(nullptr, type, name, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (found == nullptr)
        return nullptr;
    if (size != nullptr)
        *size = SizeofResource(nullptr, found);
    return LockResource(LoadResource(nullptr, found));
}

struct Control {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string windowClass, text;
};

TEST(Resources, TheSettingsDialogIsLaidOutAsDesigned)
{
    const void* data = Resource(MAKEINTRESOURCEA(IDD_SETTINGS), MAKEINTRESOURCEA(5));  // RT_DIALOG
    ASSERT_NE(data, nullptr) << "dialog 2003 in English (United States)";
    TemplateReader t(data);
    EXPECT_EQ(t.Dword(), 0x80C800C4u) << "style";
    EXPECT_EQ(t.Dword(), 0u) << "extended style";
    const WORD controls = t.Word();
    EXPECT_EQ(t.Short(), 66);
    EXPECT_EQ(t.Short(), 73);
    EXPECT_EQ(t.Short(), 169);
    EXPECT_EQ(t.Short(), 51);
    EXPECT_EQ(t.NameOrOrdinal(), "") << "no menu";
    EXPECT_EQ(t.NameOrOrdinal(), "") << "the default dialog class";
    EXPECT_EQ(t.NameOrOrdinal(), "Setting");
    EXPECT_EQ(t.Word(), 8) << "point size";
    EXPECT_EQ(t.NameOrOrdinal(), "MS Sans Serif");

    ASSERT_EQ(controls, 6);
    std::vector<Control> items;
    for (int i = 0; i < controls; ++i) {
        t.AlignDword();
        Control c;
        c.style = t.Dword();
        EXPECT_EQ(t.Dword(), 0u) << "control " << i << " extended style";
        c.x = t.Short();
        c.y = t.Short();
        c.cx = t.Short();
        c.cy = t.Short();
        c.id = t.Word();
        c.windowClass = t.NameOrOrdinal();
        c.text = t.NameOrOrdinal();
        EXPECT_EQ(t.Word(), 0) << "control " << i << " creation data";
        items.push_back(c);
    }
    const Control expected[] = {
        {0x50010001, 120, 24, 40, 16, 1, "#128", "OK"},
        {0x50000E24, 8, 20, 24, 10, 4001, "#128", "16"},
        {0x50000E24, 40, 20, 24, 10, 4002, "#128", "32"},
        {0x50000E24, 72, 20, 24, 10, 4004, "#128", "64"},
        {0x50028007, 4, 8, 108, 28, 4007, "#128", "Number of varbules"},
        {0x50010000, 120, 8, 40, 12, 1010, "#128", "?"},
    };
    for (int i = 0; i < controls; ++i) {
        const Control& got = items[static_cast<std::size_t>(i)];
        const Control& want = expected[i];
        EXPECT_EQ(got.style, want.style) << want.text;
        EXPECT_EQ(got.x, want.x) << want.text;
        EXPECT_EQ(got.y, want.y) << want.text;
        EXPECT_EQ(got.cx, want.cx) << want.text;
        EXPECT_EQ(got.cy, want.cy) << want.text;
        EXPECT_EQ(got.id, want.id) << want.text;
        // The button class is stored as its predefined ordinal or by name; either is it.
        EXPECT_TRUE(got.windowClass == "#128" || _stricmp(got.windowClass.c_str(), "Button") == 0) << want.text;
        EXPECT_EQ(got.text, want.text);
    }
}

TEST(Resources, TheIconIsOne32By32ImageOf256Colours)
{
    // RT_GROUP_ICON: a header of three WORDs, then one 14-byte entry per image.
    DWORD size = 0;
    const auto* group = static_cast<const BYTE*>(Resource(MAKEINTRESOURCEA(IDI_VARBULE), MAKEINTRESOURCEA(14), &size));
    ASSERT_NE(group, nullptr);
    WORD count;
    std::memcpy(&count, group + 4, sizeof count);
    ASSERT_EQ(count, 1);
    EXPECT_EQ(group[6], 32) << "width";
    EXPECT_EQ(group[7], 32) << "height";
    WORD bitCount;
    std::memcpy(&bitCount, group + 6 + 6, sizeof bitCount);
    EXPECT_EQ(bitCount, 8);
    EXPECT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VARBULE)), nullptr);
}

TEST(Resources, TheManifestAsksForDpiAwarenessAndCommonControls6)
{
    DWORD size = 0;
    const auto* manifest = static_cast<const char*>(Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size));
    ASSERT_NE(manifest, nullptr);
    const std::string text(manifest, size);
    EXPECT_NE(text.find("<dpiAware"), std::string::npos);
    EXPECT_NE(text.find(">true<"), std::string::npos);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
}

TEST(Resources, TheVersionNamesTheProduct)
{
    DWORD size = 0;
    const auto* version = static_cast<const BYTE*>(Resource(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16), &size));
    ASSERT_NE(version, nullptr);
    // The strings are UTF-16; look for them as such.
    auto contains = [&](const char* ascii) {
        std::string wide;
        for (const char* c = ascii; *c != '\0'; ++c) {
            wide += *c;
            wide += '\0';
        }
        return std::string(reinterpret_cast<const char*>(version), size).find(wide) != std::string::npos;
    };
    EXPECT_TRUE(contains("FileDescription"));
    EXPECT_TRUE(contains("Varbules collisions"));
    EXPECT_TRUE(contains("ProductName"));
    EXPECT_TRUE(contains("FileVersion"));
}

}  // namespace
