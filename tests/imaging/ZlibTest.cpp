// zlib found by name in a program folder: Debian's real library, and stand-ins that lack an
// export and so must count as missing.
#include "imaging/Zlib.h"
#include "imaging/c32bppDIB.h"
#include "runtime/Runtime.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::wstring RealZlib() { return test::BuildDir() + L"\\bin\\zlib1.dll"; }
std::wstring Fake(const wchar_t* missing)
{
    return test::BuildDir() + L"\\tests\\imaging\\fakezlib\\no-" + missing + L"\\zlib1.dll";
}

void Place(const std::wstring& from, const test::TempFolder& folder, const wchar_t* as)
{
    ASSERT_TRUE(CopyFileW(from.c_str(), (folder / as).c_str(), FALSE)) << test::Narrow(from);
}

TEST(Zlib, ShippedLibraryWorks)
{
    imaging::Zlib zlib({test::BuildDir() + L"\\bin"});
    ASSERT_TRUE(zlib.Available()) << "zlib1.dll ships beside the programs";
    EXPECT_EQ(zlib.Version(), 2);
    const char* text = "123456789";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text);
    EXPECT_EQ(zlib.Crc32(0, bytes, 9), 0xCBF43926u) << "the standard check value";

    std::vector<std::uint8_t> data(5000);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * i % 251);
    std::vector<std::uint8_t> packed(6000), unpacked(5000);
    std::uint32_t packedSize = 6000, unpackedSize = 5000;
    ASSERT_EQ(zlib.Compress2(packed.data(), packedSize, data.data(), 5000, 9), 0);
    ASSERT_EQ(zlib.Uncompress(unpacked.data(), unpackedSize, packed.data(), packedSize), 0);
    EXPECT_EQ(unpackedSize, 5000u);
    EXPECT_EQ(unpacked, data);
    packedSize = 6000;
    EXPECT_EQ(zlib.Compress(packed.data(), packedSize, data.data(), 5000), 0);
    unpackedSize = 10;
    EXPECT_NE(zlib.Uncompress(unpacked.data(), unpackedSize, packed.data(), packedSize), 0) << "too little room";

    EXPECT_TRUE(imaging::c32bppDIB().isZlibEnabled()) << "found beside this test program";
    EXPECT_EQ(imaging::ProcessZlib().Path(), rt::ExecutableFolder() + L"\\zlib1.dll") << "before the system's own";
}

TEST(Zlib, LibraryLackingAnExportCountsAsMissing)
{
    struct Case {
        const char* name;
        std::vector<std::pair<std::wstring, const wchar_t*>> files;
        int version;
    };
    const Case cases[] = {
        {"none found", {}, 0},
        {"no crc32", {{Fake(L"crc32"), L"zlib1.dll"}}, 0},
        {"no uncompress", {{Fake(L"uncompress"), L"zlib1.dll"}}, 0},
        {"zlib.dll alone", {{RealZlib(), L"zlib.dll"}}, 1},
        {"broken zlib1.dll passed over", {{Fake(L"crc32"), L"zlib1.dll"}, {RealZlib(), L"zlib.dll"}}, 1},
        {"zlib1.dll first", {{RealZlib(), L"zlib1.dll"}, {Fake(L"uncompress"), L"zlib.dll"}}, 2},
    };
    for (const auto& c : cases) {
        test::TempFolder folder;
        for (const auto& [from, as] : c.files)
            Place(from, folder, as);
        // The system folder is left out: Wine keeps a zlib1.dll of its own there.
        imaging::Zlib zlib({folder.Path()});
        EXPECT_EQ(zlib.Version(), c.version) << c.name;
        EXPECT_EQ(zlib.Available(), c.version != 0) << c.name;
        std::uint8_t out[16] = {};
        std::uint32_t size = sizeof out;
        if (c.version == 0) {
            // Nothing is called: a missing function is neither a checksum nor a success.
            EXPECT_FALSE(zlib.Crc32(0, out, 1)) << c.name;
            EXPECT_FALSE(zlib.Uncompress(out, size, out, 4)) << c.name;
            EXPECT_FALSE(zlib.Compress2(out, size, out, 4, 9)) << c.name;
        } else {
            EXPECT_EQ(zlib.Crc32(0, reinterpret_cast<const std::uint8_t*>("a"), 1), 0xE8B7BE43u) << c.name;
        }
    }
}

TEST(Zlib, ProgramFolderComesBeforeTheSystemFolder)
{
    test::TempFolder folder;
    Place(RealZlib(), folder, L"zlib1.dll");
    imaging::Zlib first({folder.Path(), rt::SystemFolder()});
    EXPECT_EQ(first.Path(), folder / L"zlib1.dll");
    test::TempFolder empty;
    imaging::Zlib system({empty.Path(), rt::SystemFolder()});
    EXPECT_EQ(system.Path(), rt::SystemFolder() + L"\\zlib1.dll") << "Wine's own";
    EXPECT_EQ(system.Crc32(0, reinterpret_cast<const std::uint8_t*>("a"), 1), 0xE8B7BE43u);
}

} // namespace
