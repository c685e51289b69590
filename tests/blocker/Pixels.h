// A window's pixels as the screen shows them, for tests that check what the user sees.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace test {

struct Pixels {
    int w = 0;
    int h = 0;
    std::vector<std::uint32_t> rgb; // 0x00RRGGBB, top row first

    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * w + x]; }

    static Pixels Of(HWND hwnd)
    {
        Pixels p;
        RECT r{};
        GetClientRect(hwnd, &r);
        if (r.right <= 0 || r.bottom <= 0)
            return p;
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        // Read from the screen, which shows other processes' windows too.
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        HDC screen = GetDC(nullptr);
        HDC mem = CreateCompatibleDC(screen);
        HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (bmp) {
            HGDIOBJ old = SelectObject(mem, bmp);
            BitBlt(mem, 0, 0, r.right, r.bottom, screen, origin.x, origin.y, SRCCOPY);
            GdiFlush();
            const auto* first = static_cast<const std::uint32_t*>(bits);
            p.w = r.right;
            p.h = r.bottom;
            p.rgb.assign(first, first + static_cast<std::size_t>(p.w) * p.h);
            for (auto& c : p.rgb)
                c &= 0xFFFFFF;
            SelectObject(mem, old);
            DeleteObject(bmp);
        }
        DeleteDC(mem);
        ReleaseDC(nullptr, screen);
        return p;
    }
};

inline bool IsWhite(std::uint32_t c) { return (c & 0xFF) > 230 && ((c >> 8) & 0xFF) > 230 && (c >> 16) > 230; }

} // namespace test
