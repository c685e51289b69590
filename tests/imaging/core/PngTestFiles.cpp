#include "PngTestFiles.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace pngtest {

namespace {

constexpr unsigned kPasses[7][4] = {{0, 0, 8, 8}, {0, 4, 8, 8}, {4, 0, 8, 4}, {0, 2, 4, 4}, {2, 0, 4, 2}, {0, 1, 2, 2}, {1, 0, 2, 1}};

void Put32(Bytes& b, std::uint32_t v)
{
    for (int s = 24; s >= 0; s -= 8)
        b.push_back(static_cast<std::uint8_t>(v >> s));
}

// Packs pixels (x, y) of the listed positions into one unfiltered row.
Bytes PackRow(const Picture& p, std::uint32_t y, std::uint32_t x0, std::uint32_t step)
{
    const unsigned n = Channels(p.header.colourType), d = p.header.depth;
    Bytes row;
    unsigned acc = 0, bits = 0;
    for (std::uint32_t x = x0; x < p.header.width; x += step)
        for (unsigned c = 0; c < n; ++c) {
            const std::uint16_t s = p.samples[(std::size_t{y} * p.header.width + x) * n + c];
            if (d == 16) {
                row.push_back(static_cast<std::uint8_t>(s >> 8));
                row.push_back(static_cast<std::uint8_t>(s));
            } else {
                acc = acc << d | s;
                bits += d;
                if (bits == 8) {
                    row.push_back(static_cast<std::uint8_t>(acc));
                    acc = bits = 0;
                }
            }
        }
    if (bits)
        row.push_back(static_cast<std::uint8_t>(acc << (8 - bits)));
    return row;
}

void FilterRows(const std::vector<Bytes>& rows, std::size_t unit, std::mt19937& rng, Bytes& out)
{
    Bytes prev;
    for (const Bytes& row : rows) {
        if (prev.empty())
            prev.assign(row.size(), 0);
        const int f = static_cast<int>(rng() % 5);
        out.push_back(static_cast<std::uint8_t>(f));
        for (std::size_t i = 0; i < row.size(); ++i) {
            const int a = i >= unit ? row[i - unit] : 0, b = prev[i], c = i >= unit ? prev[i - unit] : 0;
            int pred = 0;
            if (f == 1) pred = a;
            if (f == 2) pred = b;
            if (f == 3) pred = (a + b) / 2;
            if (f == 4) {
                const int q = a + b - c, pa = std::abs(q - a), pb = std::abs(q - b), pc = std::abs(q - c);
                pred = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
            }
            out.push_back(static_cast<std::uint8_t>(row[i] - pred));
        }
        prev = row;
    }
}

} // namespace

unsigned Channels(std::uint8_t colourType) { return colourType == 2 ? 3 : colourType == 4 ? 2 : colourType == 6 ? 4 : 1; }

Picture RandomPicture(std::mt19937& rng, std::uint8_t colourType, std::uint8_t depth, bool interlace,
                      std::uint32_t width, std::uint32_t height)
{
    Picture p;
    p.header = {width, height, depth, colourType, static_cast<std::uint8_t>(interlace)};
    const unsigned n = Channels(colourType), max = (1u << depth) - 1;
    p.samples.resize(std::size_t{width} * height * n);
    for (auto& s : p.samples)
        s = static_cast<std::uint16_t>(rng() % (max + 1));
    // Alphas of 0 and 255 are common in real pictures and take their own paths.
    if (colourType == 4 || colourType == 6)
        for (std::size_t i = n - 1; i < p.samples.size(); i += n)
            if (rng() % 3 == 0)
                p.samples[i] = static_cast<std::uint16_t>(rng() % 2 ? max : 0);
    if (colourType == 3) {
        p.palette.resize(3u << depth);
        for (auto& b : p.palette)
            b = static_cast<std::uint8_t>(rng());
        if (rng() % 2) {
            p.alphas.resize(rng() % (1u << depth) + 1);
            for (auto& a : p.alphas)
                a = static_cast<std::uint8_t>(rng() % 3 == 0 ? 255 : rng());
        }
    }
    if (colourType == 0 || colourType == 2) {
        p.hasKey = rng() % 4 != 0;
        const std::size_t at = rng() % (std::size_t{width} * height) * n;
        for (unsigned c = 0; c < n; ++c)
            p.key[c] = p.samples[at + c];
        if (depth < 16 && rng() % 3 == 0)
            p.key[0] |= 0x100u << (depth == 8 ? 0 : 4); // equal only in its low bits: must not match
    }
    return p;
}

Bytes RawRows(const Picture& p, std::mt19937& rng)
{
    const unsigned bpp = Channels(p.header.colourType) * p.header.depth;
    const std::size_t unit = bpp < 8 ? 1 : bpp / 8;
    Bytes out;
    if (!p.header.interlace) {
        std::vector<Bytes> rows;
        for (std::uint32_t y = 0; y < p.header.height; ++y)
            rows.push_back(PackRow(p, y, 0, 1));
        FilterRows(rows, unit, rng, out);
        return out;
    }
    for (const auto& pass : kPasses) {
        if (pass[1] >= p.header.width)
            continue;
        std::vector<Bytes> rows;
        for (std::uint32_t y = pass[0]; y < p.header.height; y += pass[2])
            rows.push_back(PackRow(p, y, pass[1], pass[3]));
        FilterRows(rows, unit, rng, out);
    }
    return out;
}

std::vector<Bytes> PackedRows(const Picture& p)
{
    std::vector<Bytes> rows;
    for (std::uint32_t y = 0; y < p.header.height; ++y)
        rows.push_back(PackRow(p, y, 0, 1));
    return rows;
}

Bytes Compress(const Bytes& raw, int level)
{
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    Bytes out(size);
    compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), level);
    out.resize(size);
    return out;
}

void AppendChunk(Bytes& png, const std::string& type, const Bytes& data)
{
    Put32(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    Put32(png, static_cast<std::uint32_t>(crc32(0, png.data() + start, static_cast<uInt>(png.size() - start))));
}

Bytes WritePng(const Picture& p, const Bytes& zlibData, std::size_t piece)
{
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    Put32(ihdr, p.header.width);
    Put32(ihdr, p.header.height);
    ihdr.insert(ihdr.end(), {p.header.depth, p.header.colourType, 0, 0, p.header.interlace});
    AppendChunk(png, "IHDR", ihdr);
    if (!p.palette.empty())
        AppendChunk(png, "PLTE", p.palette);
    if (!p.alphas.empty())
        AppendChunk(png, "tRNS", p.alphas);
    if (p.hasKey) {
        Bytes key;
        for (unsigned c = 0; c < Channels(p.header.colourType); ++c)
            key.insert(key.end(), {static_cast<std::uint8_t>(p.key[c] >> 8), static_cast<std::uint8_t>(p.key[c])});
        AppendChunk(png, "tRNS", key);
    }
    const std::size_t step = piece ? piece : std::max<std::size_t>(zlibData.size(), 1);
    for (std::size_t at = 0; at < zlibData.size() || at == 0; at += step)
        AppendChunk(png, "IDAT", Bytes(zlibData.begin() + at, zlibData.begin() + std::min(at + step, zlibData.size())));
    AppendChunk(png, "IEND", {});
    return png;
}

Bytes ExpectedBgra(const Picture& p)
{
    const auto& h = p.header;
    const unsigned n = Channels(h.colourType), d = h.depth;
    const auto to8 = [d](unsigned s) { return d == 16 ? s >> 8 : s * 255 / ((1u << d) - 1); };
    Bytes out(std::size_t{h.width} * h.height * 4);
    for (std::uint32_t y = 0; y < h.height; ++y)
        for (std::uint32_t x = 0; x < h.width; ++x) {
            const std::uint16_t* s = &p.samples[(std::size_t{y} * h.width + x) * n];
            unsigned r, g, b, a = 255;
            if (h.colourType == 3) {
                r = p.palette[3 * s[0]], g = p.palette[3 * s[0] + 1], b = p.palette[3 * s[0] + 2];
                a = s[0] < p.alphas.size() ? p.alphas[s[0]] : 255;
            } else if (n <= 2) {
                r = g = b = to8(s[0]);
                a = n == 2 ? to8(s[1]) : p.hasKey && s[0] == p.key[0] ? 0 : 255;
            } else {
                r = to8(s[0]), g = to8(s[1]), b = to8(s[2]);
                a = n == 4 ? to8(s[3]) : p.hasKey && s[0] == p.key[0] && s[1] == p.key[1] && s[2] == p.key[2] ? 0 : 255;
            }
            std::uint8_t* o = &out[((std::size_t{h.height} - 1 - y) * h.width + x) * 4];
            o[0] = static_cast<std::uint8_t>(b * a / 255);
            o[1] = static_cast<std::uint8_t>(g * a / 255);
            o[2] = static_cast<std::uint8_t>(r * a / 255);
            o[3] = static_cast<std::uint8_t>(a);
        }
    return out;
}

std::vector<ChunkAt> Chunks(const Bytes& png)
{
    std::vector<ChunkAt> list;
    for (std::size_t pos = 8; pos + 12 <= png.size();) {
        const std::uint32_t len = std::uint32_t{png[pos]} << 24 | png[pos + 1] << 16 | png[pos + 2] << 8 | png[pos + 3];
        list.push_back({pos, len, std::string(png.begin() + pos + 4, png.begin() + pos + 8)});
        pos += len + 12;
    }
    return list;
}

} // namespace pngtest
