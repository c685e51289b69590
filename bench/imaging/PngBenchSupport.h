// What the PNG benches share: the clock, the summary line, libpng's decode and a file's zlib stream.
#pragma once

#include "NativeTiming.h"

#include <png.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

namespace pngbench {

using Bytes = std::vector<std::uint8_t>;
using nativebench::NowMs;
using nativebench::Report;

// libpng reading a file held in memory, its header read; its structs freed with it.
class LibpngReader {
public:
    explicit LibpngReader(const Bytes& file) : file_(file)
    {
        png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        info = png_create_info_struct(png);
        png_set_read_fn(png, this, [](png_structp p, png_bytep d, png_size_t n) {
            auto* r = static_cast<LibpngReader*>(png_get_io_ptr(p));
            std::memcpy(d, r->file_.data() + r->pos_, n);
            r->pos_ += n;
        });
        png_read_info(png, info);
    }
    ~LibpngReader() { png_destroy_read_struct(&png, &info, nullptr); }
    LibpngReader(const LibpngReader&) = delete;
    LibpngReader& operator=(const LibpngReader&) = delete;

    png_structp png = nullptr;
    png_infop info = nullptr;

private:
    const Bytes& file_;
    std::size_t pos_ = 0;
};

// libpng's decode to 8-bit BGRA rows, bottom-up like the engine's (no premultiply).
inline void LibpngDecode(const Bytes& file, Bytes& pixels)
{
    LibpngReader reader(file);
    png_structp png = reader.png;
    png_infop info = reader.info;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const std::size_t w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    pixels.resize(w * h * 4);
    std::vector<png_bytep> rows;
    for (std::size_t y = 0; y < h; ++y)
        rows.push_back(&pixels[(h - 1 - y) * w * 4]);
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
}

// The picture's zlib stream: the IDAT chunks joined.
inline Bytes ImageData(const Bytes& png)
{
    Bytes z;
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const std::uint32_t len = std::uint32_t{png[pos]} << 24 | png[pos + 1] << 16 | png[pos + 2] << 8 | png[pos + 3];
        if (std::memcmp(&png[pos + 4], "IDAT", 4) == 0)
            z.insert(z.end(), png.begin() + pos + 8, png.begin() + pos + 8 + len);
        pos += len + 12;
    }
    return z;
}

// A photo-like picture written by libpng at its defaults (8 KB IDAT chunks): smooth gradients with
// noise, and alpha that varies over the picture. Made a row at a time.
inline Bytes NoisePng(std::uint32_t side, int channels)
{
    std::mt19937 rng(4096);
    Bytes out, row(std::size_t{side} * channels);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, [](png_structp s, png_bytep d, png_size_t n) {
        auto* o = static_cast<Bytes*>(png_get_io_ptr(s));
        o->insert(o->end(), d, d + n);
    }, nullptr);
    png_set_IHDR(png, info, side, side, 8, channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < side; ++y) {
        for (std::uint32_t x = 0; x < side; ++x)
            for (int c = 0; c < channels; ++c) {
                const int base = static_cast<int>((x * (c + 1) + y * (3 - c)) / 24 + ((x / 64 + y / 64) % 5) * 20);
                row[std::size_t{x} * channels + c] = static_cast<std::uint8_t>(c == 3 ? (x + y) / 32 : base + rng() % 7);
            }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

} // namespace pngbench
