// The caption boxes: their pictures, drawn in code once a process, and their places.
#include "skin/TitelBar.h"
#include "skin/core/Gradient.h"

#include <map>
#include <tuple>

namespace skin {
namespace {

const BoxPicture& PictureOf(TitleBox box, int set, BoxState state, int dpi)
{
    // One thread draws every window, so a plain cache will do.
    static std::map<std::tuple<TitleBox, int, BoxState, int>, BoxPicture> cache;
    auto key = std::make_tuple(box, set, state, dpi);
    auto it = cache.find(key);
    if (it == cache.end())
        it = cache.emplace(key, DrawBoxPicture(box, set, state, dpi)).first;
    return it->second;
}

constexpr TitleBox kBoxes[] = {TitleBox::Close, TitleBox::Max, TitleBox::Min};

} // namespace

void TitelBar::SetTBX_()
{
    for (TitleBox b : kBoxes) {
        const int i = Index(b);
        boxState_[i] = enabled_[i] ? BoxState::Normal : BoxState::Disabled;
        const BoxPicture& p = PictureOf(b, iconStyle_, boxState_[i], Dpi());
        place_[i].width = static_cast<float>(p.width);
        place_[i].height = static_cast<float>(p.height);
    }
    BoxLayoutDesign s;
    s.style = static_cast<BarStyle>(style_);
    s.barWidth = static_cast<float>(ScaleWidth());
    s.barHeight = static_cast<float>(ScaleHeight());
    s.showClose = show_[kClose];
    s.showMax = show_[kMax];
    s.showMin = show_[kMin];
    s.close = place_[kClose];
    s.max = place_[kMax];
    s.min = place_[kMin];
    s.dpi = Dpi();
    const BoxPlaces p = LayOutBoxes(s);
    place_[kClose] = p.close;
    place_[kMax] = p.max;
    place_[kMin] = p.min;
}

BoxPlaces TitelBar::Places() const { return BoxPlaces{place_[kClose], place_[kMax], place_[kMin]}; }

RECT TitelBar::BoxRect(TitleBox box) const
{
    const BoxPlace& p = place_[Index(box)];
    const int l = Nearest(p.left), t = Nearest(p.top);
    return RECT{l, t, l + Nearest(p.width), t + Nearest(p.height)};
}

void TitelBar::DrawBoxes()
{
    const int w = ScaleWidth(), h = ScaleHeight();
    if (!BackBits() || face_.size() != static_cast<std::size_t>(w) * h)
        return;
    Canvas canvas(std::span<Pixel>(static_cast<Pixel*>(BackBits()), face_.size()), w, h);
    for (TitleBox b : kBoxes) {
        const int i = Index(b);
        if (!show_[i])
            continue;
        const BoxPicture& p = PictureOf(b, iconStyle_, boxState_[i], Dpi());
        const RECT r = BoxRect(b);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const auto k = static_cast<std::size_t>(y) * p.width + x;
                if (p.opaque[k])
                    canvas.Set(r.left + x, r.top + y, p.pixels[k]);
            }
    }
}

void TitelBar::ShowBoxes()
{
    const int w = ScaleWidth(), h = ScaleHeight();
    if (!BackBits() || face_.size() != static_cast<std::size_t>(w) * h) {
        Refresh();
        return;
    }
    GdiFlush();
    std::copy(face_.begin(), face_.end(), static_cast<Pixel*>(BackBits()));
    DrawBoxes();
    InvalidateRect(hWnd(), nullptr, FALSE);
}

void TitelBar::SetBoxState(TitleBox box, BoxState state)
{
    BoxState& s = boxState_[Index(box)];
    if (s == state)
        return;
    s = state;
    ShowBoxes();
}

} // namespace skin
