// The PNG writer on three 2048 x 2048 pictures: a screenshot with gradients, a photo with alpha
// and a 256-colour picture (made from make-real-pictures.sh's files). Our whole write (census,
// rows, filters, compress2 at level 9, chunks) against libpng's writer at level 9 with its default
// filtering, storing the colour type, depth, palette and transparency that ours chose, and
// against compress2 at level 9 of our filtered rows alone. Minimum and median of 31 runs; ratios
// taken run by run.
#include "PngBenchSupport.h"

#include "imaging/core/PngReader.h"
#include "imaging/core/PngWriter.h"

#include <zlib.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

using namespace pngbench;

namespace {

int kRuns = 31;

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::optional<std::size_t> Compress2(std::span<std::uint8_t> to, std::span<const std::uint8_t> from)
{
    uLongf size = to.size();
    if (compress2(to.data(), &size, from.data(), from.size(), 9) != Z_OK)
        return std::nullopt;
    return size;
}

const imaging::PngWriteServices kServices{Compress2, nullptr, nullptr};

// Level 9 with zlib's strategy for filtered data, which libpng uses and compress2 cannot: to
// show how much of a size gap is the strategy's.
std::size_t FilteredStrategySize(const Bytes& rows)
{
    z_stream z{};
    Bytes out(compressBound(rows.size()));
    deflateInit2(&z, 9, Z_DEFLATED, 15, 8, Z_FILTERED);
    z.next_in = const_cast<Bytef*>(rows.data());
    z.avail_in = static_cast<uInt>(rows.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    const std::size_t size = z.total_out;
    deflateEnd(&z);
    return size;
}

// What a PNG holds, as libpng reads it without transforms: the rows as stored, and the chunks
// that say how.
struct Stored {
    png_uint_32 width = 0, height = 0;
    int depth = 0, colourType = 0;
    std::vector<png_color> palette;
    Bytes alphas;
    png_color_16 key{};
    bool hasKey = false;
    std::vector<Bytes> rows;
};

Stored LibpngRead(const Bytes& file)
{
    Stored s;
    LibpngReader reader(file);
    png_structp png = reader.png;
    png_infop info = reader.info;
    png_get_IHDR(png, info, &s.width, &s.height, &s.depth, &s.colourType, nullptr, nullptr, nullptr);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries))
        s.palette.assign(palette, palette + entries);
    png_bytep alphas = nullptr;
    int count = 0;
    png_color_16p key = nullptr;
    if (png_get_tRNS(png, info, &alphas, &count, &key)) {
        if (s.colourType == PNG_COLOR_TYPE_PALETTE)
            s.alphas.assign(alphas, alphas + count);
        else
            s.key = *key, s.hasKey = true;
    }
    s.rows.assign(s.height, Bytes(png_get_rowbytes(png, info)));
    std::vector<png_bytep> rows;
    for (Bytes& r : s.rows)
        rows.push_back(r.data());
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return s;
}

// libpng's writer at level 9 and its default filters and strategy, into memory.
void LibpngWrite(const Stored& s, Bytes& out)
{
    out.clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, [](png_structp p, png_bytep d, png_size_t n) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(p));
        o->insert(o->end(), d, d + n);
    }, nullptr);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, s.width, s.height, s.depth, s.colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty())
        png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
    if (!s.alphas.empty() || s.hasKey)
        png_set_tRNS(png, info, s.alphas.empty() ? nullptr : s.alphas.data(), static_cast<int>(s.alphas.size()),
                     s.hasKey ? &s.key : nullptr);
    png_write_info(png, info);
    for (const Bytes& r : s.rows)
        png_write_row(png, r.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
}

imaging::PngPicture Decode(const std::string& path)
{
    imaging::PngPicture picture;
    if (imaging::DecodePng(ReadFile(path), picture) != imaging::PngLoad::Decoded) {
        std::fprintf(stderr, "%s: no picture (make-real-pictures.sh makes them)\n", path.c_str());
        std::exit(1);
    }
    return picture;
}

// The screenshot with a title bar shaded top to bottom and a panel shaded left to right, as a
// themed window draws them.
imaging::PngPicture Screenshot(const std::string& folder)
{
    imaging::PngPicture p = Decode(folder + "/screenshot.png");
    const auto w = static_cast<std::size_t>(p.width), h = static_cast<std::size_t>(p.height);
    for (std::size_t y = 0; y < h; ++y) {
        const std::size_t top = h - 1 - y; // rows are bottom up
        for (std::size_t x = 0; x < w; ++x) {
            std::uint8_t* px = &p.pixels[(y * w + x) * 4];
            if (top < 64) {
                px[0] = static_cast<std::uint8_t>(154 + top), px[1] = static_cast<std::uint8_t>(87 + top / 2),
                px[2] = static_cast<std::uint8_t>(43 + top / 4);
            } else if (top >= 1520 && top < 2016 && x >= 1040 && x < 2016) {
                const std::size_t t = (x - 1040) * 255 / 975;
                px[0] = static_cast<std::uint8_t>(255 - t / 3), px[1] = static_cast<std::uint8_t>(230 - t / 4),
                px[2] = static_cast<std::uint8_t>(200 + t / 5);
            }
        }
    }
    p.alpha = false;
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : VANTOREL_PNG_PICTURES;
    if (argc > 2)
        kRuns = std::atoi(argv[2]);
    const struct {
        const char* name;
        imaging::PngPicture picture;
    } pictures[] = {
        {"screenshot with gradients", Screenshot(folder)},
        {"photo with alpha", Decode(folder + "/adam7.png")},
        {"256 colours", Decode(folder + "/palette.png")},
    };
    std::printf("| what | ours min / median | reference min / median | ratio min / median |\n|---|---:|---:|---:|\n");
    std::string sizes;
    for (const auto& [name, picture] : pictures) {
        if (argc > 3 && std::strstr(name, argv[3]) == nullptr)
            continue;
        const imaging::DibPixels dib{picture.pixels, picture.width, picture.height, picture.alpha};
        Bytes ours, theirs;
        if (!imaging::WritePng(dib, {}, kServices, ours))
            return std::fprintf(stderr, "%s: our writer failed\n", name), 1;
        const Stored stored = LibpngRead(ours);
        // Our filtered rows, back out of our own file.
        const Bytes z = ImageData(ours);
        Bytes filtered(stored.height * (stored.rows[0].size() + 1)), packed(compressBound(filtered.size()));
        uLongf n = filtered.size();
        if (uncompress(filtered.data(), &n, z.data(), z.size()) != Z_OK || n != filtered.size())
            return std::fprintf(stderr, "%s: our image data do not inflate\n", name), 1;
        std::vector<double> own, libpng, zlib;
        for (int i = 0; i < kRuns; ++i) { // interleaved, so load changes weigh on every side alike
            double t = NowMs();
            if (!imaging::WritePng(dib, {}, kServices, ours))
                return 1;
            own.push_back(NowMs() - t);
            t = NowMs();
            LibpngWrite(stored, theirs);
            libpng.push_back(NowMs() - t);
            t = NowMs();
            if (!Compress2(packed, filtered))
                return 1;
            zlib.push_back(NowMs() - t);
        }
        std::printf("| %s: colour type %d, %zu rows | | | |\n", name, stored.colourType,
                    static_cast<std::size_t>(stored.height));
        Report("write ÷ libpng", own, libpng);
        Report("write ÷ compress2 of the filtered rows", own, zlib);
        imaging::PngWriteOptions adaptive;
        adaptive.filterSetting = 6;
        Bytes perRow;
        imaging::WritePng(dib, adaptive, kServices, perRow);
        char line[300];
        std::snprintf(line, sizeof line, "| %s | %d | %zu | %zu | %.4f | %zu | %zu | %zu |\n", name, stored.colourType,
                      ours.size(), theirs.size(), double(ours.size()) / double(theirs.size()), ImageData(theirs).size(),
                      FilteredStrategySize(filtered), ImageData(perRow).size());
        sizes += line;
    }
    std::printf("\n| picture | colour type | ours (bytes) | libpng (bytes) | ratio | libpng's image data | our rows, "
                "Z_FILTERED | setting 6, compress2 |\n|---|---:|---:|---:|---:|---:|---:|---:|\n%s",
                sizes.c_str());
    return 0;
}
