// Pictures written by the system's libpng, read by it and by us, compared byte for byte once
// libpng's rows are brought to the engine's form (high bytes, premultiplied, bottom-up BGRA).
#include "PngTestFiles.h"

#include "imaging/core/PngReader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>

using namespace pngtest;

namespace {

struct LibpngFile {
    Picture picture;
    int level = 6;
    std::size_t idatSize = 8192; // libpng's IDAT chunk size
};

void Quiet(png_structp, png_const_charp) {}

Bytes LibpngWrite(const LibpngFile& f)
{
    const Picture& p = f.picture;
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, Quiet);
    png_infop info = png_create_info_struct(png);
    std::vector<Bytes> rows = PackedRows(p);
    std::vector<png_bytep> pointers;
    for (Bytes& r : rows)
        pointers.push_back(r.data());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, [](png_structp s, png_bytep d, png_size_t n) {
        static_cast<Bytes*>(png_get_io_ptr(s))->insert(static_cast<Bytes*>(png_get_io_ptr(s))->end(), d, d + n);
    }, nullptr);
    png_set_IHDR(png, info, p.header.width, p.header.height, p.header.depth, p.header.colourType,
                 p.header.interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!p.palette.empty())
        png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(p.palette.data()), static_cast<int>(p.palette.size() / 3));
    if (!p.alphas.empty())
        png_set_tRNS(png, info, p.alphas.data(), static_cast<int>(p.alphas.size()), nullptr);
    if (p.hasKey) {
        png_color_16 key{};
        key.gray = key.red = p.key[0];
        key.green = p.key[1];
        key.blue = p.key[2];
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    png_set_compression_level(png, f.level);
    png_set_compression_buffer_size(png, f.idatSize);
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    png_write_info(png, info);
    if (p.header.interlace)
        png_set_interlace_handling(png);
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

// libpng's decode, brought to the engine's convention.
std::optional<Bytes> LibpngRead(const Bytes& file)
{
    struct Cursor {
        const Bytes* b;
        std::size_t pos;
    } cur{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, Quiet);
    png_infop info = png_create_info_struct(png);
    Bytes pixels;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return std::nullopt;
    }
    png_set_read_fn(png, &cur, [](png_structp s, png_bytep d, png_size_t n) {
        auto* c = static_cast<Cursor*>(png_get_io_ptr(s));
        if (c->b->size() - c->pos < n)
            png_error(s, "short");
        std::memcpy(d, c->b->data() + c->pos, n);
        c->pos += n;
    });
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png); // keeps the high byte
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    pixels.resize(w * h * 4);
    for (std::size_t y = 0; y < h; ++y) // bottom-up
        rows.push_back(&pixels[(h - 1 - y) * w * 4]);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    for (std::size_t i = 0; i < pixels.size(); i += 4)
        for (int c = 0; c < 3; ++c)
            pixels[i + c] = static_cast<std::uint8_t>(pixels[i + c] * pixels[i + 3] / 255);
    return pixels;
}

// Inserts `chunk` before the first chunk of type `before`.
Bytes Splice(const Bytes& png, const std::string& before, const std::string& type, const Bytes& data)
{
    Bytes out(png.begin(), png.begin() + 8);
    bool done = false;
    for (const ChunkAt& c : Chunks(png)) {
        if (!done && c.type == before) {
            AppendChunk(out, type, data);
            done = true;
        }
        out.insert(out.end(), png.begin() + c.offset, png.begin() + c.offset + c.length + 12);
    }
    return out;
}

TEST(PngLibpng, DecodesLikeLibpng)
{
    struct Format {
        std::uint8_t type, depth;
    };
    const Format formats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                              {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    const std::pair<std::uint32_t, std::uint32_t> sizes[] = {{1, 1}, {7, 5}, {33, 3}, {64, 61}};
    std::mt19937 rng(161);
    std::vector<std::pair<std::string, Bytes>> corpus;
    int n = 0;
    for (const Format& f : formats)
        for (int interlace = 0; interlace < 2; ++interlace)
            for (auto [w, h] : sizes) {
                LibpngFile file{RandomPicture(rng, f.type, f.depth, interlace, w, h), n % 10, n % 3 ? 8192u : 61u};
                for (auto& k : file.picture.key) // libpng writes no key beyond the depth
                    k = static_cast<std::uint16_t>(k & ((1u << f.depth) - 1));
                corpus.emplace_back("type " + std::to_string(f.type) + " depth " + std::to_string(f.depth) + " interlace " +
                                        std::to_string(interlace) + " " + std::to_string(w) + "x" + std::to_string(h) +
                                        " level " + std::to_string(file.level) + " IDAT " + std::to_string(file.idatSize),
                                    LibpngWrite(file));
                ++n;
            }
    LibpngFile rgb{RandomPicture(rng, 2, 8, false, 64, 64)};
    for (std::size_t i = 3; i < rgb.picture.samples.size(); ++i) // compressible: levels differ
        if (rng() % 4)
            rgb.picture.samples[i] = rgb.picture.samples[i - 3];
    for (rgb.level = 0; rgb.level <= 9; ++rgb.level)
        corpus.emplace_back("level " + std::to_string(rgb.level), LibpngWrite(rgb));
    LibpngFile palette{RandomPicture(rng, 3, 8, true, 20, 20), 6, 100};
    palette.picture.alphas.resize(3);
    const Bytes withPalette = LibpngWrite(palette);
    corpus.emplace_back("zero-length IDATs",
                        Splice(Splice(withPalette, "IDAT", "IDAT", {}), "IEND", "IDAT", {}));
    corpus.emplace_back("ancillary chunks before and after PLTE",
                        Splice(Splice(Splice(withPalette, "PLTE", "tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'h', 'i'}), "tRNS",
                                      "bKGD", {0}),
                               "IEND", "vaNt", {1, 2, 3}));
    // libpng stops once the rows are complete, and gives an index past the palette its own pixel.
    Picture tall = RandomPicture(rng, 2, 8, false, 13, 6), shorter = tall, past = RandomPicture(rng, 3, 2, true, 9, 7);
    shorter.header.height = 5;
    Bytes z = Compress(RawRows(tall, rng));
    z.insert(z.end(), 300, 0x55);
    corpus.emplace_back("a row more than the header's, then bytes after the stream", WritePng(shorter, z));
    past.palette.resize(6);
    past.alphas.assign(1, 90);
    corpus.emplace_back("indices past a palette of 2", WritePng(past, Compress(RawRows(past, rng))));

    for (const auto& [name, png] : corpus) {
        ASSERT_FALSE(png.empty()) << name;
        const auto expected = LibpngRead(png);
        ASSERT_TRUE(expected) << name;
        imaging::PngPicture pic;
        ASSERT_EQ(imaging::DecodePng(png, pic), imaging::PngLoad::Decoded) << name;
        EXPECT_EQ(pic.pixels, *expected) << name;
    }
}

} // namespace
