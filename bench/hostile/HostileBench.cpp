// Hostile image files, made here: the shapes that once took seconds and gigabytes, each at the
// engine's pixel limit (8192 x 8191, the largest 8192-wide picture under 2^26 pixels) and one
// row past it, plus refused icons. For each, with GDI+ off and on: the load time inside this
// process (LoadPicture_File, min and median) and the peak working set of one imgdump run over it
// (a process of its own, so that one file's peak is not another's). Run under Wine: see
// bench/README.md.
#include "bench/common/BenchTiming.h"
#include "imaging/c32bppDIB.h"
#include "imaging/core/Crc32.h"
#include "tests/imaging/core/BmpTestFiles.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Le(Bytes& b, std::uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Be32(Bytes& b, std::uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// Bits least significant first, as GIF's LZW codes and deflate's fields are packed.
class Bits {
public:
    void Put(std::uint32_t value, unsigned count)
    {
        acc_ |= std::uint64_t{value} << n_;
        n_ += count;
        while (n_ >= 8) {
            out.push_back(static_cast<std::uint8_t>(acc_));
            acc_ >>= 8;
            n_ -= 8;
        }
    }
    // A Huffman code goes most significant bit first.
    void Code(std::uint32_t code, unsigned count)
    {
        std::uint32_t r = 0;
        for (unsigned i = 0; i < count; ++i)
            r |= ((code >> i) & 1) << (count - 1 - i);
        Put(r, count);
    }
    Bytes Done()
    {
        if (n_)
            out.push_back(static_cast<std::uint8_t>(acc_));
        return out;
    }
    Bytes out;

private:
    std::uint64_t acc_ = 0;
    unsigned n_ = 0;
};

// `pixels` zero indexes as GIF LZW codes of a 2-bit minimum size: each code the string before
// it and one more zero, then the longest string over and over once the table is full.
Bytes LzwZeros(std::uint64_t pixels)
{
    Bits bits;
    unsigned width = 3, next = 6;
    std::vector<std::uint32_t> codeOfLength{0, 0}; // the code of each run length, from 1
    std::uint64_t previous = 0;
    bits.Put(4, width); // clear
    while (pixels > 0) {
        std::uint64_t length;
        unsigned code;
        if (previous != 0 && next < 4096 && previous + 1 <= pixels) {
            length = previous + 1, code = next; // the entry the decoder is about to make
        } else {
            length = std::min<std::uint64_t>(pixels, codeOfLength.size() - 1);
            code = codeOfLength[length];
        }
        bits.Put(code, width);
        if (previous != 0 && next < 4096) {
            if (codeOfLength.size() == previous + 1)
                codeOfLength.push_back(next);
            ++next;
        }
        if (next >= (1u << width) && width < 12)
            ++width;
        previous = length;
        pixels -= length;
    }
    bits.Put(5, width); // end
    return bits.Done();
}

Bytes Gif(std::uint16_t width, std::uint16_t height)
{
    Bytes g{'G', 'I', 'F', '8', '9', 'a'};
    Le(g, width, 2), Le(g, height, 2);
    g.insert(g.end(), {0x80, 0, 0, 0, 0, 0, 255, 255, 255, 0x2C, 0, 0, 0, 0});
    Le(g, width, 2), Le(g, height, 2);
    g.insert(g.end(), {0, 2});
    const Bytes data = LzwZeros(std::uint64_t{width} * height);
    for (std::size_t at = 0; at < data.size(); at += 255) {
        const std::size_t n = std::min<std::size_t>(255, data.size() - at);
        g.push_back(static_cast<std::uint8_t>(n));
        g.insert(g.end(), data.begin() + static_cast<std::ptrdiff_t>(at), data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    g.insert(g.end(), {0, 0x3B});
    return g;
}

// A PNG of `width` x `height` transparent RGBA pixels: zlib data of fixed Huffman codes, a zero
// then matches of 258 bytes one back.
Bytes Png(std::uint32_t width, std::uint32_t height)
{
    const std::uint64_t raw = std::uint64_t{height} * (std::uint64_t{width} * 4 + 1);
    Bits bits;
    bits.Put(1, 1), bits.Put(1, 2); // the last block, fixed codes
    bits.Code(0x30, 8);             // literal 0
    std::uint64_t left = raw - 1;
    for (; left >= 258; left -= 258)
        bits.Code(0xC5, 8), bits.Code(0, 5); // length 258, distance 1
    for (; left > 0; --left)
        bits.Code(0x30, 8);
    bits.Code(0, 7); // end of block
    Bytes z{0x78, 0x01};
    const Bytes deflated = bits.Done();
    z.insert(z.end(), deflated.begin(), deflated.end());
    Be32(z, static_cast<std::uint32_t>(raw % 65521) << 16 | 1); // Adler-32 of zeros
    Bytes png{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    const auto chunk = [&](const char* type, const Bytes& data) {
        Be32(png, static_cast<std::uint32_t>(data.size()));
        const std::size_t from = png.size();
        png.insert(png.end(), type, type + 4);
        png.insert(png.end(), data.begin(), data.end());
        Be32(png, imaging::Crc32(std::span(png).subspan(from)));
    };
    Bytes ihdr;
    Be32(ihdr, width), Be32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    chunk("IHDR", ihdr);
    chunk("IDAT", z);
    chunk("IEND", {});
    return png;
}

// An icon file of the images (0 for a side of 256 or more in the directory).
Bytes Ico(const std::vector<std::pair<int, Bytes>>& images)
{
    Bytes f;
    Le(f, 0, 2), Le(f, 1, 2), Le(f, static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t at = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const auto& [side, image] : images) {
        f.insert(f.end(), {static_cast<std::uint8_t>(side < 256 ? side : 0), static_cast<std::uint8_t>(side < 256 ? side : 0), 0, 0});
        Le(f, 1, 2), Le(f, 32, 2), Le(f, static_cast<std::uint32_t>(image.size()), 4), Le(f, at, 4);
        at += static_cast<std::uint32_t>(image.size());
    }
    for (const auto& image : images)
        f.insert(f.end(), image.second.begin(), image.second.end());
    return f;
}

Bytes IconBitmap32(int side)
{
    Bytes b;
    for (std::uint32_t v : {40u, std::uint32_t(side), std::uint32_t(2 * side)})
        Le(b, v, 4);
    Le(b, 1, 2), Le(b, 32, 2);
    b.resize(40);
    b.insert(b.end(), std::size_t(side) * side * 4, 0x80);
    b.insert(b.end(), std::size_t((side + 31) / 32 * 4) * side, 0);
    return b;
}

// A BMP of runs whose data end the picture at once.
Bytes Rle(int bits, std::int32_t width, std::int32_t height)
{
    return bmptest::File({.width = width, .height = height, .bits = std::uint16_t(bits), .compression = bits == 8 ? 1u : 2u,
                          .sizeImage = 2, .table = Bytes(std::size_t(4) << bits)},
                         {0, 1});
}

// A placeable metafile of `width` x `height` units at `perInch` an inch: one rectangle.
Bytes Placeable(std::uint16_t width, std::uint16_t height, std::uint16_t perInch)
{
    std::vector<std::uint16_t> head{0xCDD7, 0x9AC6, 0, 0, 0, width, height, perInch, 0, 0};
    std::uint16_t sum = 0;
    for (std::uint16_t w : head)
        sum ^= w;
    head.push_back(sum);
    const std::vector<std::uint16_t> records{5, 0, 0x020B, 0, 0,     5, 0, 0x020C, height, width,
                                             7, 0, 0x041B, height, width, 0, 0, 3, 0, 0};
    std::vector<std::uint16_t> words = head;
    words.insert(words.end(), {1, 9, 0x300, std::uint16_t(9 + records.size()), 0, 0, 7, 0, 0});
    words.insert(words.end(), records.begin(), records.end());
    Bytes b;
    for (std::uint16_t w : words)
        Le(b, w, 2);
    return b;
}

// An enhanced metafile whose frame is `width` x `height` hundredths of a millimetre, and whose
// header says it is `bytes` long.
Bytes Emf(std::uint32_t width, std::uint32_t height, std::uint32_t bytes = 108)
{
    const std::uint32_t header[] = {1, 88, 0, 0, 100, 100, 0, 0, width, height, 0x464D4520, 0x10000, bytes, 2, 1, 0, 0, 0,
                                    1280, 1024, 320, 240};
    Bytes b;
    for (std::uint32_t v : header)
        Le(b, v, 4);
    for (std::uint32_t v : {14u, 20u, 0u, 16u, 20u})
        Le(b, v, 4);
    return b;
}

// A TIFF of `width` x `height` grey pixels in PackBits, a strip a row, every strip the same bytes.
Bytes Tiff(std::uint32_t width, std::uint32_t height)
{
    Bytes strip;
    for (std::uint32_t left = width; left > 0; left -= std::min(left, 128u))
        strip.insert(strip.end(), {static_cast<std::uint8_t>(257 - std::min(left, 128u)), 0}); // a run of zeros
    strip.resize(strip.size() + strip.size() % 2);
    const std::uint32_t offsets = 8 + static_cast<std::uint32_t>(strip.size()), counts = offsets + 4 * height;
    Bytes b{'I', 'I', 42, 0};
    Le(b, counts + 4 * height, 4);
    b.insert(b.end(), strip.begin(), strip.end());
    for (std::uint32_t v : {8u, static_cast<std::uint32_t>(strip.size())})
        for (std::uint32_t row = 0; row < height; ++row)
            Le(b, v, 4);
    const std::uint32_t entries[][3] = {{256, 4, width}, {257, 4, height}, {258, 3, 8}, {259, 3, 32773},
                                        {262, 3, 1},     {278, 4, 1},      {273, 4, offsets}, {279, 4, counts}};
    Le(b, std::size(entries), 2);
    for (const auto& [tag, type, value] : entries) {
        Le(b, tag, 2), Le(b, type, 2), Le(b, tag == 273 || tag == 279 ? height : 1, 4);
        Le(b, value, type == 3 ? 2 : 4);
        if (type == 3)
            Le(b, 0, 2);
    }
    Le(b, 0, 4);
    return b;
}

// A grey baseline JPEG of flat blocks: its tables hold one code each, so a block takes two bits.
// Without `data` its scan holds no blocks, which decoders take as flat too.
Bytes FlatJpeg(std::uint16_t width, std::uint16_t height, bool data = true)
{
    Bytes j{0xFF, 0xD8};
    const auto segment = [&j](std::uint8_t marker, const Bytes& contents) {
        j.insert(j.end(), {0xFF, marker, 0, static_cast<std::uint8_t>(contents.size() + 2)});
        j.insert(j.end(), contents.begin(), contents.end());
    };
    Bytes ones(65, 1); // quantisation table 0, all ones
    ones[0] = 0;
    segment(0xDB, ones);
    segment(0xC0, {8, std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8), std::uint8_t(width), 1, 1,
                   0x11, 0}); // the frame: 8 bits, one component
    Bytes oneCode{0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; // one code of one bit, for 0
    segment(0xC4, oneCode);
    oneCode[0] = 0x10; // and for the end of a block
    segment(0xC4, oneCode);
    segment(0xDA, {1, 1, 0, 0, 63, 0});
    if (data)
        j.resize(j.size() + (std::uint64_t{(width + 7u) / 8} * ((height + 7u) / 8) * 2 + 7) / 8);
    j.insert(j.end(), {0xFF, 0xD9});
    return j;
}

// A BMP whose pixel data are `jpeg`.
Bytes BmpOfJpeg(const Bytes& jpeg)
{
    return bmptest::File({.width = 64, .height = 48, .bits = 0, .compression = 4, .sizeImage = std::uint32_t(jpeg.size())},
                         jpeg);
}

// Hundredths of a millimetre that make `pixels` at the display's pixels per inch.
std::uint32_t Himetric(int pixels, int dpi) { return static_cast<std::uint32_t>(std::int64_t{pixels} * 2540 / dpi); }

struct Sample {
    const char* name;
    Bytes bytes;
};

std::vector<Sample> Samples(int dpi)
{
    Bytes two = Ico({{16, IconBitmap32(16)}, {256, Png(256, 256)}});
    two.resize(two.size() * 15 / 16);
    Bytes pastEnd = Ico({{16, IconBitmap32(16)}});
    pastEnd[18] = 0xF0, pastEnd[19] = pastEnd[20] = pastEnd[21] = 0xFF;
    return {
        {"RLE4 BMP 23170 x 23170", Rle(4, 23170, 23170)},
        {"RLE8 BMP 16384 x 8192", Rle(8, 16384, 8192)},
        {"GIF 23170 x 23170 of zeros", Gif(23170, 23170)},
        {"placeable WMF, 1 unit an inch", Placeable(230, 230, 1)},
        {"RLE8 BMP 1 x 536870911", Rle(8, 1, 536870911)},
        {"EMF of a 6 m frame", Emf(600000, 600000)},
        {"ICO, 8192 x 8192 PNG entry", Ico({{256, Png(8192, 8192)}})},
        {"ICO, offset past the end", pastEnd},
        {"ICO of two entries, 15/16 of it", two},
        {"RLE4 BMP 8192 x 8191", Rle(4, 8192, 8191)},
        {"RLE4 BMP 8192 x 8192", Rle(4, 8192, 8192)},
        {"RLE8 BMP 8192 x 8191", Rle(8, 8192, 8191)},
        {"RLE8 BMP 8192 x 8192", Rle(8, 8192, 8192)},
        {"GIF 8192 x 8191 of zeros", Gif(8192, 8191)},
        {"GIF 8192 x 8192 of zeros", Gif(8192, 8192)},
        {"placeable WMF 8192 x 8191", Placeable(8192, 8191, static_cast<std::uint16_t>(dpi))},
        {"placeable WMF 8192 x 8192", Placeable(8192, 8192, static_cast<std::uint16_t>(dpi))},
        {"EMF 8192 x 8191", Emf(Himetric(8192, dpi), Himetric(8191, dpi))},
        {"EMF 8192 x 8192", Emf(Himetric(8192, dpi), Himetric(8192, dpi))},
        {"PNG 8192 x 8191", Png(8192, 8191)},
        {"PNG 8192 x 8192", Png(8192, 8192)},
        {"ICO, 8192 x 8191 PNG entry", Ico({{256, Png(8192, 8191)}})},
        {"JPEG header of 65500 x 65500", FlatJpeg(65500, 65500, false)},
        {"JPEG header of 20000 x 20000", FlatJpeg(20000, 20000, false)},
        {"JPEG header of 8193 x 8193", FlatJpeg(8193, 8193, false)},
        {"JPEG 8192 x 8191 of flat blocks", FlatJpeg(8192, 8191)},
        {"JPEG 8192 x 8192 of flat blocks", FlatJpeg(8192, 8192)},
        {"BMP of a JPEG header of 20000 x 20000", BmpOfJpeg(FlatJpeg(20000, 20000, false))},
        {"TIFF 20000 x 20000", Tiff(20000, 20000)},
        {"TIFF 8192 x 8191", Tiff(8192, 8191)},
        {"TIFF 8192 x 8192", Tiff(8192, 8192)},
        {"EMF whose header says 2 GB", Emf(Himetric(96, dpi), Himetric(96, dpi), 0x7FFFFFFF)},
    };
}

std::wstring Here()
{
    wchar_t path[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

bool Write(const std::wstring& path, const Bytes& b)
{
    const HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    const bool ok = f != INVALID_HANDLE_VALUE && WriteFile(f, b.data(), DWORD(b.size()), &written, nullptr) && written == b.size();
    if (f != INVALID_HANDLE_VALUE)
        CloseHandle(f);
    return ok;
}

struct Run {
    DWORD exitCode = 0;
    double peakMb = 0;
};

// One imgdump run over `file`: its exit code and its peak working set.
Run Imgdump(const std::wstring& imgdump, const std::wstring& file, const std::wstring& out, bool gdiplus)
{
    std::wstring cmd = L"\"" + imgdump + L"\" \"" + file + L"\" \"" + out + L"\" --gdiplus " + (gdiplus ? L"on" : L"off");
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    Run run;
    if (!CreateProcessW(imgdump.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return {9999, 0};
    // Wine reads a process's counters from the live process only: the peak is taken while it runs,
    // and its last reading (after the load, while the pixels are written out) stands.
    do {
        PROCESS_MEMORY_COUNTERS pmc{};
        pmc.cb = sizeof pmc;
        if (GetProcessMemoryInfo(pi.hProcess, &pmc, sizeof pmc) && pmc.PeakWorkingSetSize > 0)
            run.peakMb = std::max(run.peakMb, static_cast<double>(pmc.PeakWorkingSetSize) / (1 << 20));
    } while (WaitForSingleObject(pi.hProcess, 1) == WAIT_TIMEOUT);
    GetExitCodeProcess(pi.hProcess, &run.exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DeleteFileW(out.c_str());
    return run;
}

} // namespace

// With an argument, only the files whose names hold it.
int wmain(int argc, wchar_t** argv)
{
    const std::wstring only = argc > 1 ? argv[1] : L"";
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::wstring folder = std::wstring(temp) + L"hostile_bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring imgdump = Here() + L"\\..\\..\\tests\\imaging\\imgdump.exe";
    const std::wstring out = folder + L"\\out";
    const double bitmapMb = 8192.0 * 8191 * 4 / (1 << 20);
    std::printf("display %d dpi; a bitmap at the limit (8192 x 8191) is %.1f MB\n", dpi, bitmapMb);
    std::printf("| file | bytes | GDI+ | loaded | load min | load median | imgdump exit | peak | peak / bitmap |\n");
    std::printf("|---|---:|---|---|---:|---:|---:|---:|---:|\n");
    int n = 0;
    for (const Sample& s : Samples(dpi)) {
        if (std::wstring(s.name, s.name + std::strlen(s.name)).find(only) == std::wstring::npos)
            continue;
        const std::wstring file = folder + L"\\sample" + std::to_wstring(n++);
        if (!Write(file, s.bytes))
            return 1;
        for (bool gdiplus : {false, true}) {
            bool loaded = false;
            int w = 0, h = 0;
            imaging::c32bppDIB dib;
            dib.isGDIplusEnabled(gdiplus);
            const auto times = bench::Summarise(bench::Time(
                5, [&] { dib.DestroyDIB(); }, [&] { loaded = dib.LoadPicture_File(file); }));
            w = dib.Width(), h = dib.Height();
            dib.DestroyDIB();
            const Run run = Imgdump(imgdump, file, out, gdiplus);
            std::printf("| %s | %zu | %s | %s | %.1f ms | %.1f ms | %lu | %.0f MB | %.2f |\n", s.name, s.bytes.size(),
                        gdiplus ? "on" : "off", loaded ? (std::to_string(w) + " x " + std::to_string(h)).c_str() : "no",
                        times.min, times.median, run.exitCode, run.peakMb, run.peakMb / bitmapMb);
            std::fflush(stdout);
        }
        DeleteFileW(file.c_str());
    }
    RemoveDirectoryW(folder.c_str());
    return 0;
}
