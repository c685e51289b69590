// A picture as the controls hold it: a bitmap or an icon that it owns, its size in pixels,
// and its bytes for the property bag (bitmaps as BMP files, icons as .ico files).
#pragma once

#include "runtime/PropertyBag.h"

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
    // A BMP or an .ico file's bytes, told apart by their header; null when they are neither
    // a well-formed bitmap nor a well-formed icon.
    static std::shared_ptr<Picture> FromBytes(const std::vector<std::uint8_t>& bytes);

    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    int Type() const { return kind_; }
    HANDLE Handle() const { return handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // A 24-bit BMP file of a bitmap, or an .ico file of an icon (32 bits a pixel with its
    // alpha, or 1 bit for a monochrome icon); empty when the system cannot read the pixels.
    std::vector<std::uint8_t> Bytes() const;

private:
    Picture(Kind kind, HANDLE handle, int w, int h) : kind_(kind), handle_(handle), width_(w), height_(h) {}
    Kind kind_;
    HANDLE handle_;
    int width_;
    int height_;
};

using PicturePtr = std::shared_ptr<Picture>;

// A picture property in the bag: its bytes under `key`, none when there are none.
PicturePtr ReadPicture(const rt::PropertyBag& bag, const wchar_t* key);
void WritePicture(rt::PropertyBag& bag, const wchar_t* key, const PicturePtr& picture);

} // namespace skin
