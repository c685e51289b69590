// Decodes a small bitmap through one user of GDI+, named by the argument: "engine" (the image
// engine) or "control" (the alpha image control), each the first to load GDI+ in its process.
// Exit code 0 when the bitmap was decoded.
#include "alphaimage/GdiPlus.h"
#include "imaging/c32bppDIB.h"
#include "imaging/cGDIPlus.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

// A 2 x 2 bitmap file of 32-bit pixels.
std::vector<std::uint8_t> BitmapFile()
{
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const std::uint8_t pixels[16] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    file.bfType = 0x4D42; // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + sizeof(pixels);
    info.biSize = sizeof(info);
    info.biWidth = info.biHeight = 2;
    info.biPlanes = 1;
    info.biBitCount = 32;
    std::vector<std::uint8_t> bytes(file.bfSize);
    std::memcpy(bytes.data(), &file, sizeof(file));
    std::memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    std::memcpy(bytes.data() + file.bfOffBits, pixels, sizeof(pixels));
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::uint8_t> bytes = BitmapFile();
    const std::string user = argc > 1 ? argv[1] : "";
    if (user == "engine") {
        imaging::c32bppDIB host;
        return imaging::cGDIPlus().LoadThroughGDIplus(L"", bytes, host, imaging::GdiPlusToken{}) && host.Width() == 2 ? 0 : 1;
    }
    if (user == "control")
        return aic::DecodeImage(bytes).width == 2 ? 0 : 1;
    return 2;
}
