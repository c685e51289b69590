// The PNG reader's Win32 entry points on files made by the tests' own writer: every layout through
// the file and the stream door, with GDI+ and with our own decoder; broken files that must fail
// quietly; and imgdump run as a process, beside zlib libraries that must not change its pictures.
#include "core/PngTestFiles.h"

#include "imaging/Files.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cPNGparser.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>

using namespace pngtest;
using imaging::c32bppDIB;
using imaging::cPNGparser;

namespace {

std::wstring ZlibFolder(const wchar_t* fake = nullptr)
{
    return fake ? test::BuildDir() + L"\\tests\\imaging\\fakezlib\\no-" + fake : test::BuildDir() + L"\\bin";
}

struct Loaded {
    bool result = false;
    bool picture = false;
    int width = 0, height = 0, type = 0;
    bool alpha = false;
    Bytes bits;
};

Loaded Take(bool result, const c32bppDIB& host)
{
    Loaded l{result, host.BitsPointer() != nullptr, host.Width(), host.Height(), host.ImageType(), host.Alpha(), {}};
    if (l.picture)
        l.bits.assign(host.BitsPointer(), host.BitsPointer() + std::size_t(host.scanWidth()) * host.Height());
    return l;
}

// Through the file entry point, from a file in a fresh folder.
Loaded LoadFile(const Bytes& png, bool gdiplus)
{
    test::TempFolder folder;
    const std::wstring name = folder / L"picture.png";
    test::WriteBytes(name, std::string(png.begin(), png.end()));
    c32bppDIB host;
    host.isGDIplusEnabled(gdiplus);
    EXPECT_EQ(host.isGDIplusEnabled(), gdiplus) << "GDI+ runs here";
    const rt::UniqueFile file(imaging::OpenImageFile(name, true));
    EXPECT_TRUE(file);
    return Take(cPNGparser().LoadFile(file.get(), name, host, host.gdiToken()), host);
}

// Through the stream entry point, from a slice with other bytes on both sides.
Loaded LoadStream(const Bytes& png, bool gdiplus)
{
    Bytes array{1, 2, 3, 4, 5};
    array.insert(array.end(), png.begin(), png.end());
    array.insert(array.end(), {0x89, 'P', 'N'});
    c32bppDIB host;
    host.isGDIplusEnabled(gdiplus);
    return Take(cPNGparser().LoadStream(array, host, 5, png.size(), host.gdiToken()), host);
}

// GDI+ rounds where we truncate, in premultiplying and in taking 16-bit samples to 8: such bytes
// may be one step apart; opaque 8-bit pixels must match exactly.
testing::AssertionResult Alike(const Bytes& got, const Bytes& expected, bool gdiplus, bool sixteen)
{
    if (got.size() != expected.size())
        return testing::AssertionFailure() << got.size() << " bytes, not " << expected.size();
    for (std::size_t i = 0; i < got.size(); ++i) {
        const bool rounded = gdiplus && (sixteen || expected[i | 3] != 255);
        if (rounded ? std::abs(got[i] - expected[i]) > 1 : got[i] != expected[i])
            return testing::AssertionFailure() << "byte " << i << ": " << +got[i] << ", not " << +expected[i];
    }
    return testing::AssertionSuccess();
}

bool OutOfRangeKey(const Picture& p)
{
    const unsigned channels = p.header.colourType == 2 ? 3 : 1;
    for (unsigned c = 0; p.hasKey && c < channels; ++c)
        if (p.key[c] >> p.header.depth)
            return true;
    return false;
}

using Loader = std::function<Loaded(const Bytes&, bool)>;
const std::pair<const char*, Loader> kDoors[] = {{"file", LoadFile}, {"stream", LoadStream}};

struct Format {
    std::uint8_t type, depth;
};
constexpr Format kFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                               {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

TEST(PngParser, EveryLayoutDecodesAlikeThroughBothDoorsWithAndWithoutGdiPlus)
{
    std::mt19937 rng(160);
    int byGdiPlus = 0;
    for (const Format& f : kFormats)
        for (bool interlace : {false, true})
            for (auto [w, h] : {std::pair{9u, 9u}, std::pair{33u, 1u}}) {
                const Picture p = RandomPicture(rng, f.type, f.depth, interlace, w, h);
                const Bytes png = WritePng(p, Compress(RawRows(p, rng), int(rng() % 10)));
                const Bytes expected = ExpectedBgra(p);
                for (const auto& [door, load] : kDoors)
                    for (bool gdiplus : {false, true}) {
                        SCOPED_TRACE(testing::Message() << door << " gdiplus " << gdiplus << " type " << +f.type
                                                        << " depth " << +f.depth << " interlace " << interlace
                                                        << " " << w << "x" << h);
                        const Loaded l = load(png, gdiplus);
                        EXPECT_TRUE(l.result);
                        ASSERT_TRUE(l.picture);
                        EXPECT_EQ(l.width, int(w));
                        EXPECT_EQ(l.height, int(h));
                        EXPECT_EQ(l.type, imaging::imgPNG);
                        // A key no sample can equal is a whole 16-bit value to us; GDI+ cuts it to
                        // the sample depth and may make a pixel clear.
                        if (!gdiplus || !OutOfRangeKey(p)) {
                            EXPECT_TRUE(Alike(l.bits, expected, gdiplus, f.depth == 16));
                        }
                        // Our decoder takes the colour type's word; GDI+'s loader looks at the pixels.
                        const bool declared = f.type >= 4 || p.hasKey || !p.alphas.empty();
                        if (!gdiplus) {
                            EXPECT_EQ(l.alpha, declared);
                        } else if (l.alpha != declared) {
                            ++byGdiPlus;
                        }
                    }
            }
    EXPECT_GT(byGdiPlus, 0) << "some pictures were decoded by GDI+, not by our decoder";
}

// Writes `png` into a fresh folder beside a copy of imgdump and, when `zlib` names one, that zlib1.dll;
// what imgdump wrote, or nothing when it failed.
std::optional<std::string> DumpBeside(const Bytes& png, const std::wstring& zlib)
{
    test::TempFolder folder;
    test::WriteBytes(folder / L"in.png", std::string(png.begin(), png.end()));
    const std::wstring exe = folder / L"imgdump.exe";
    if (!CopyFileW((test::BuildDir() + L"\\tests\\imaging\\imgdump.exe").c_str(), exe.c_str(), FALSE) ||
        (!zlib.empty() && !CopyFileW(zlib.c_str(), (folder / L"zlib1.dll").c_str(), FALSE))) {
        ADD_FAILURE() << "copies";
        return std::nullopt;
    }
    test::Process run(exe, L"in.png out", folder.Path());
    if (!run.Started() || !run.WaitForExit(60000) || run.ExitCode() != 0)
        return std::nullopt;
    return test::ReadBytes(folder / L"out");
}

// Our own inflate decodes whether zlib is there or not, so a zlib beside the program, even one
// whose inflate reports success and writes nothing, never changes a picture.
TEST(PngParser, PicturesDecodeTheSameWhateverZlibIsBesideTheProgram)
{
    std::mt19937 rng(161);
    const Picture p = RandomPicture(rng, 6, 8, false, 40, 30);
    const std::wstring zlibs[] = {ZlibFolder() + L"\\zlib1.dll", ZlibFolder(L"none") + L"\\zlib1.dll"};
    for (int level : {0, 6}) {
        const Bytes png = WritePng(p, Compress(RawRows(p, rng), level));
        const auto expected = DumpBeside(png, L"");
        ASSERT_TRUE(expected) << "level " << level;
        for (const std::wstring& zlib : zlibs)
            EXPECT_EQ(DumpBeside(png, zlib), expected) << "level " << level << " " << test::Narrow(zlib);
    }
}

// The file again with an ancillary chunk before every chunk after IHDR, and the image data cut
// into pieces of 1, 0, some and the rest bytes.
Bytes Rechunked(const Bytes& png)
{
    Bytes out(png.begin(), png.begin() + 8);
    for (const ChunkAt& c : Chunks(png)) {
        const Bytes data(png.begin() + c.offset + 8, png.begin() + c.offset + 8 + c.length);
        if (c.type != "IHDR")
            AppendChunk(out, "tEXt", {'K', 0, 'v'});
        if (c.type != "IDAT") {
            AppendChunk(out, c.type, data);
            continue;
        }
        const std::size_t cuts[] = {0, 1, 1, data.size() / 2, data.size()};
        for (std::size_t i = 0; i + 1 < std::size(cuts); ++i)
            AppendChunk(out, "IDAT", Bytes(data.begin() + cuts[i], data.begin() + cuts[i + 1]));
    }
    return out;
}

TEST(PngParser, ImageDataInPiecesAmongAncillaryChunksDecodes)
{
    std::mt19937 rng(166);
    for (const Format f : {Format{3, 4}, Format{2, 16}, Format{0, 8}}) {
        const Picture p = RandomPicture(rng, f.type, f.depth, true, 11, 7);
        const Bytes png = Rechunked(WritePng(p, Compress(RawRows(p, rng), 9)));
        for (const auto& [door, load] : kDoors)
            for (bool gdiplus : {false, true}) {
                SCOPED_TRACE(testing::Message() << door << " gdiplus " << gdiplus << " type " << +f.type);
                const Loaded l = load(png, gdiplus);
                ASSERT_TRUE(l.picture);
                if (!gdiplus || !OutOfRangeKey(p)) {
                    EXPECT_TRUE(Alike(l.bits, ExpectedBgra(p), gdiplus, f.depth == 16));
                }
            }
    }
}

// A small picture and ways to break it.
struct Broken {
    const char* name;
    std::function<Bytes(const Picture&, Bytes raw, Bytes zlibData)> make;
};

void SetBe32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}
ChunkAt Find(const Bytes& png, const std::string& type)
{
    for (const ChunkAt& c : Chunks(png))
        if (c.type == type)
            return c;
    ADD_FAILURE() << "no " << type;
    return {};
}
Bytes Without(Bytes png, const std::string& type)
{
    const ChunkAt c = Find(png, type);
    png.erase(png.begin() + c.offset, png.begin() + c.offset + c.length + 12);
    return png;
}

const Broken kBroken[] = {
    {"bad IDAT CRC", [](const Picture& p, Bytes, Bytes z) { Bytes f = WritePng(p, z); const ChunkAt c = Find(f, "IDAT"); f[c.offset + 12 + c.length - 1] ^= 1; return f; }},
    {"bad IHDR CRC", [](const Picture& p, Bytes, Bytes z) { Bytes f = WritePng(p, z); f[8 + 8 + 13] ^= 0x40; return f; }},
    {"length 0xFFFFFFF4", [](const Picture& p, Bytes, Bytes z) { Bytes f = WritePng(p, z); SetBe32(f, Find(f, "IDAT").offset, 0xFFFFFFF4u); return f; }},
    {"length past the end", [](const Picture& p, Bytes, Bytes z) { Bytes f = WritePng(p, z); const ChunkAt c = Find(f, "IDAT"); SetBe32(f, c.offset, c.length + 100); return f; }},
    {"no IHDR", [](const Picture& p, Bytes, Bytes z) { return Without(WritePng(p, z), "IHDR"); }},
    {"no IDAT", [](const Picture& p, Bytes, Bytes z) { return Without(WritePng(p, z), "IDAT"); }},
    {"filter byte 5", [](const Picture& p, Bytes raw, Bytes) { raw[0] = 5; return WritePng(p, Compress(raw)); }},
    {"bad zlib header", [](const Picture& p, Bytes, Bytes z) { z[1] ^= 1; return WritePng(p, z); }},
    {"bad adler", [](const Picture& p, Bytes, Bytes z) { z.back() ^= 1; return WritePng(p, z); }},
    {"rows cut short", [](const Picture& p, Bytes raw, Bytes) { raw.pop_back(); return WritePng(p, Compress(raw)); }},
    {"huge IHDR, tiny IDAT", [](Picture p, Bytes, Bytes z) { p.header.width = p.header.height = 8000; return WritePng(p, z); }},
};

TEST(PngParser, BrokenFilesFailQuietlyInBothModes)
{
    std::mt19937 rng(162);
    const Picture p = RandomPicture(rng, 6, 8, false, 9, 9);
    const Bytes raw = RawRows(p, rng), zlibData = Compress(raw);
    for (const Broken& b : kBroken) {
        const Bytes png = b.make(p, raw, zlibData);
        for (const auto& [door, load] : kDoors)
            for (bool gdiplus : {false, true}) {
                SCOPED_TRACE(testing::Message() << b.name << " " << door << " gdiplus " << gdiplus);
                const Loaded l = load(png, gdiplus);
                EXPECT_TRUE(l.result) << "a PNG, if a broken one: no other reader tries it";
                EXPECT_FALSE(l.picture);
            }
    }
}

// Cut before IEND, the image data end before the rows do; IEND itself is never read.
TEST(PngParser, EveryTruncationBeforeIendFailsQuietly)
{
    std::mt19937 rng(163);
    const Picture p = RandomPicture(rng, 3, 4, true, 5, 4);
    const Bytes png = WritePng(p, Compress(RawRows(p, rng)));
    for (std::size_t size = 0; size < png.size(); ++size) {
        const Bytes cut(png.begin(), png.begin() + size);
        // GDI+ is asked on a sample only: each call starts it anew.
        for (bool gdiplus : {false, size % 16 == 0}) {
            const Loaded l = LoadStream(cut, gdiplus);
            EXPECT_EQ(l.result, size >= 8) << size << " bytes, gdiplus " << gdiplus;
            EXPECT_EQ(l.picture, size >= png.size() - 12) << size << " bytes, gdiplus " << gdiplus;
        }
    }
}

// Read past as libpng does, and an index past the palette its opaque black: alike with GDI+ or without.
TEST(PngParser, DataPastTheRowsDecodeAlikeWithAndWithoutGdiPlus)
{
    std::mt19937 rng(167);
    const Picture p = RandomPicture(rng, 6, 8, false, 9, 9);
    Picture shorter = p, past = RandomPicture(rng, 3, 8, false, 9, 9);
    shorter.header.height = 8;
    past.palette.resize(6); // two entries
    past.alphas.clear();
    const Bytes pastPng = WritePng(past, Compress(RawRows(past, rng)));
    past.palette.resize(768, 0);
    Bytes z = Compress(RawRows(p, rng));
    const Bytes all = ExpectedBgra(p), first8(all.begin() + 9 * 4, all.end()), noIend = Without(WritePng(p, z), "IEND");
    z.insert(z.end(), 300, 0x55);
    const std::pair<Bytes, Bytes> cases[] = {{WritePng(shorter, z), first8}, // a row more, then bytes after the stream
                                             {noIend, all},
                                             {pastPng, ExpectedBgra(past)}};
    for (std::size_t i = 0; i < std::size(cases); ++i)
        for (const auto& [door, load] : kDoors)
            for (bool gdiplus : {false, true}) {
                SCOPED_TRACE(testing::Message() << "case " << i << " " << door << " gdiplus " << gdiplus);
                const Loaded l = load(cases[i].first, gdiplus);
                ASSERT_TRUE(l.picture);
                EXPECT_TRUE(Alike(l.bits, cases[i].second, gdiplus, false));
            }
}

TEST(PngParser, OtherDataIsLeftToOtherReaders)
{
    const Bytes bmp{'B', 'M', 0x3A, 0, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0, 0x28, 0, 0, 0, 1, 0, 0, 0};
    std::mt19937 rng(164);
    const Picture p = RandomPicture(rng, 0, 8, false, 2, 2);
    const Bytes png = WritePng(p, Compress(RawRows(p, rng)));
    for (bool gdiplus : {false, true}) {
        for (const auto& [door, load] : kDoors)
            EXPECT_FALSE(load(bmp, gdiplus).result) << door << " gdiplus " << gdiplus;
        c32bppDIB host;
        host.isGDIplusEnabled(gdiplus);
        ASSERT_TRUE(host.InitializeDIB(3, 3));
        EXPECT_FALSE(cPNGparser().LoadStream(bmp, host, 0, bmp.size(), {}));
        EXPECT_FALSE(cPNGparser().LoadStream(png, host, 1, png.size(), {})) << "a slice past the array";
        EXPECT_FALSE(cPNGparser().LoadStream(png, host, png.size() + 1, 0, {})) << "an offset past the array";
        EXPECT_EQ(host.Width(), 3) << "the host is left as it was";
    }
}

TEST(PngParser, ImgdumpWritesThePixelsOrNothing)
{
    std::mt19937 rng(165);
    const Picture p = RandomPicture(rng, 4, 8, true, 7, 5);
    const Bytes good = WritePng(p, Compress(RawRows(p, rng)));
    Bytes broken = good;
    broken[broken.size() - 20] ^= 0x55;
    // What imgdump must write: the engine's bottom-up rows, top row first.
    const Bytes bgra = ExpectedBgra(p);
    Bytes topFirst;
    for (int y = 4; y >= 0; --y)
        topFirst.insert(topFirst.end(), bgra.begin() + y * 28, bgra.begin() + y * 28 + 28);

    test::TempFolder folder;
    test::WriteBytes(folder / L"good.png", std::string(good.begin(), good.end()));
    test::WriteBytes(folder / L"broken.png", std::string(broken.begin(), broken.end()));
    const struct {
        const wchar_t* args;
        DWORD exitCode;
        bool written, gdiplus;
    } cases[] = {
        {L"good.png out1", 0, true, false},
        {L"good.png out2 --gdiplus off", 0, true, false},
        {L"good.png out3 --gdiplus on", 0, true, true},
        {L"broken.png out4", 1, false, false},
        {L"broken.png out5 --gdiplus on", 1, false, true},
        {L"missing.png out6", 1, false, false},
    };
    const std::wstring exe = test::BuildDir() + L"\\tests\\imaging\\imgdump.exe";
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(test::Narrow(c.args));
        const std::wstring out = folder / (L"out" + std::to_wstring(++n));
        test::Process run(exe, c.args, folder.Path());
        ASSERT_TRUE(run.Started()) << test::Narrow(exe);
        ASSERT_TRUE(run.WaitForExit(60000)) << "imgdump did not end";
        EXPECT_EQ(run.ExitCode(), c.exitCode);
        ASSERT_EQ(test::FileExists(out), c.written);
        if (c.written) {
            const std::string dump = test::ReadBytes(out);
            ASSERT_EQ(dump.substr(0, 4), "7 5\n");
            EXPECT_TRUE(Alike(Bytes(dump.begin() + 4, dump.end()), topFirst, c.gdiplus, false));
        }
    }
}

} // namespace
