// A picture as the button holds it: a bitmap or an icon that it owns, its size in pixels,
// and its bytes for the property bag (bitmaps as BMP files).
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace skin {

class Picture {
public:
    enum Kind : int { kBitmap = 1, kIcon = 3 };

    // Takes ownership of the handle; null when it is null or unusable.
    static std::shared_ptr<Picture> FromBitmap(HBITMAP bitmap);
    static std::shared_ptr<Picture> FromIcon(HICON icon);
    // A BMP file's bytes; null when they are not a well-formed bitmap.
    static std::shared_ptr<Picture> FromBmpBytes(const std::vector<std::uint8_t>& bytes);

    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int Type() const { return kind_; }
    HANDLE Handle() const { return handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // A 24-bit BMP file of a bitmap; empty for an icon (icons are not persisted).
    std::vector<std::uint8_t> BmpBytes() const;

private:
    Picture(Kind kind, HANDLE handle, int w, int h) : kind_(kind), handle_(handle), width_(w), height_(h) {}
    Kind kind_;
    HANDLE handle_;
    int width_;
    int height_;
};

using PicturePtr = std::shared_ptr<Picture>;

} // namespace skin
