#include "Png.h"

#include <array>
#include <cstring>

namespace test {

namespace {
const std::uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};

std::uint32_t Crc(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0xFFFFFFFFu)
{
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    for (std::size_t i = 0; i < n; ++i)
        crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc;
}

void Put32(std::string& s, std::uint32_t v)
{
    for (int i = 3; i >= 0; --i)
        s.push_back(static_cast<char>((v >> (i * 8)) & 0xFF));
}

std::uint32_t Get32(const std::string& s, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | static_cast<std::uint8_t>(s[at + static_cast<std::size_t>(i)]);
    return v;
}

void Chunk(std::string& out, const char* type, const std::string& data)
{
    Put32(out, static_cast<std::uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    Put32(out, Crc(reinterpret_cast<const std::uint8_t*>(body.data()), body.size()) ^ 0xFFFFFFFFu);
}
} // namespace

std::uint32_t Image::Pixel(int x, int y) const
{
    const std::uint8_t* p = &rgba[(static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 4];
    return (static_cast<std::uint32_t>(p[0]) << 16) | (static_cast<std::uint32_t>(p[1]) << 8) | p[2];
}

std::string EncodePng(const Image& img)
{
    std::string raw;
    const std::size_t row = static_cast<std::size_t>(img.width) * 4;
    for (int y = 0; y < img.height; ++y) {
        raw.push_back(0); // filter: none
        raw.append(reinterpret_cast<const char*>(img.rgba.data()) + row * static_cast<std::size_t>(y), row);
    }
    std::string z = {'\x78', '\x01'};
    std::size_t pos = 0;
    do {
        std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(static_cast<char>(n & 0xFF));
        z.push_back(static_cast<char>(n >> 8));
        z.push_back(static_cast<char>(~n & 0xFF));
        z.push_back(static_cast<char>((~n >> 8) & 0xFF));
        z.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    Put32(z, (b << 16) | a);

    std::string out(reinterpret_cast<const char*>(kSignature), 8);
    std::string ihdr;
    Put32(ihdr, static_cast<std::uint32_t>(img.width));
    Put32(ihdr, static_cast<std::uint32_t>(img.height));
    ihdr += std::string("\x08\x06\x00\x00\x00", 5);
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", z);
    Chunk(out, "IEND", "");
    return out;
}

bool DecodePng(const std::string& s, Image& out)
{
    if (s.size() < 8 || std::memcmp(s.data(), kSignature, 8) != 0)
        return false;
    std::string z;
    std::size_t at = 8;
    Image img;
    while (at + 12 <= s.size()) {
        std::uint32_t len = Get32(s, at);
        if (len > s.size() - at - 12)
            return false;
        std::string type = s.substr(at + 4, 4);
        if (type == "IHDR" && len == 13) {
            img.width = static_cast<int>(Get32(s, at + 8));
            img.height = static_cast<int>(Get32(s, at + 12));
            if (s[at + 16] != 8 || s[at + 17] != 6 || img.width <= 0 || img.height <= 0 || img.width > 8192 ||
                img.height > 8192)
                return false;
        } else if (type == "IDAT") {
            z.append(s, at + 8, len);
        }
        at += 12 + len;
    }
    if (img.width == 0 || z.size() < 6)
        return false;
    std::string raw;
    std::size_t p = 2;
    for (;;) {
        if (p + 5 > z.size())
            return false;
        bool last = (z[p] & 1) != 0;
        if ((z[p] & 6) != 0) // only stored blocks
            return false;
        std::size_t n = static_cast<std::uint8_t>(z[p + 1]) | (static_cast<std::size_t>(static_cast<std::uint8_t>(z[p + 2])) << 8);
        p += 5;
        if (p + n > z.size())
            return false;
        raw.append(z, p, n);
        p += n;
        if (last)
            break;
    }
    const std::size_t row = static_cast<std::size_t>(img.width) * 4;
    if (raw.size() != (row + 1) * static_cast<std::size_t>(img.height))
        return false;
    img.rgba.resize(row * static_cast<std::size_t>(img.height));
    for (int y = 0; y < img.height; ++y) {
        const std::size_t src = (row + 1) * static_cast<std::size_t>(y);
        if (raw[src] != 0)
            return false;
        std::memcpy(&img.rgba[row * static_cast<std::size_t>(y)], raw.data() + src + 1, row);
    }
    out = std::move(img);
    return true;
}

} // namespace test
