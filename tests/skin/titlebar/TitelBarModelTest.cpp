// Properties and the property bag of the title bar.
#include "TitelBarFixture.h"
#include "runtime/Handles.h"
#include "skin/CaptionFont.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <tuple>

using namespace test;
using skin::TitelBar;

namespace {

struct Loaded {
    BarForm form;
    explicit Loaded(rt::PropertyBag bag) : form(std::move(bag)) { form.Load(); }
    ~Loaded() { form.Unload(); }
    TitelBar& bar() { return form.bar; }
};

// A bitmap whose bytes are a count in steps of `step`.
HBITMAP Counted(int w, int h, int bits, int step)
{
    std::vector<std::uint8_t> px(4 * static_cast<std::size_t>(w * h));
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<std::uint8_t>(i * step);
    return CreateBitmap(w, h, 1, static_cast<UINT>(bits), px.data());
}

skin::PicturePtr Icon(HBITMAP colour, HBITMAP mask)
{
    rt::Gdi<HBITMAP> c(colour), m(mask);
    ICONINFO ii{TRUE, 0, 0, mask, colour};
    return skin::Picture::FromIcon(CreateIconIndirect(&ii));
}

void AddRows(std::vector<std::uint8_t>& out, HBITMAP bmp, int w, int h, int bits)
{
    struct { BITMAPINFOHEADER head; RGBQUAD palette[2]; } info{};
    info.head = {sizeof(BITMAPINFOHEADER), w, h, 1, static_cast<WORD>(bits), BI_RGB, 0, 0, 0, 0, 0};
    std::vector<std::uint8_t> rows(4 * static_cast<std::size_t>((w + 1) * h)); // room for any depth
    rt::UniqueDC dc(CreateCompatibleDC(nullptr));
    GetDIBits(dc.get(), bmp, 0, static_cast<UINT>(h), rows.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    out.insert(out.end(), rows.begin(), rows.end());
}

// What the system reports of a picture: kind, size, a bitmap's 24-bit rows, an icon's 32-bit
// colour rows (alpha included) and its mask.
std::vector<std::uint8_t> PictureBits(const skin::Picture& picture)
{
    const int w = picture.Width(), h = picture.Height();
    std::vector<std::uint8_t> out{std::uint8_t(picture.Type()), std::uint8_t(w), std::uint8_t(h)};
    if (picture.Type() == skin::Picture::kBitmap) {
        AddRows(out, static_cast<HBITMAP>(picture.Handle()), w, h, 24);
        return out;
    }
    ICONINFO ii{};
    GetIconInfo(static_cast<HICON>(picture.Handle()), &ii);
    rt::Gdi<HBITMAP> mask(ii.hbmMask), colour(ii.hbmColor);
    if (colour)
        AddRows(out, colour.get(), w, h, 32);
    AddRows(out, mask.get(), w, colour ? h : 2 * h, 1);
    return out;
}

} // namespace

TEST(TitelBarModel, AnEmptyBagIsNotANewInstance)
{
    Loaded empty{rt::PropertyBag{}};
    Loaded fresh{TitelBar::NewInstanceDesign()};
    struct Row {
        const char* what;
        std::function<double(TitelBar&)> get;
        double emptyBag, newInstance;
    } rows[] = {
        {"BackColor", [](TitelBar& b) { return b.BackColor(); }, RGB(230, 230, 230), RGB(38, 48, 79)},
        {"BackColorCover", [](TitelBar& b) { return b.BackColorCover(); }, 0, 3},
        {"ShowMaximizedEnabled", [](TitelBar& b) { return b.ShowMaximizedEnabled(); }, 0, 1},
        {"BorderNormal", [](TitelBar& b) { return b.BorderNormal(); }, 0, 2},
        {"Style", [](TitelBar& b) { return b.Style(); }, 8, 8},
        {"ForeColor (after the repaint)", [](TitelBar& b) { return b.ForeColor(); }, RGB(255, 255, 255),
         RGB(255, 255, 255)},
        {"Font size", [](TitelBar& b) { return b.Font().size; }, 8.25, 14.25},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(r.get(empty.bar()), r.emptyBag) << r.what << " from an empty bag";
        EXPECT_EQ(r.get(fresh.bar()), r.newInstance) << r.what << " of a new instance";
    }
    EXPECT_EQ(empty.bar().Caption(), L"TitelBar");
    EXPECT_EQ(fresh.bar().Font().name, L"Tahoma");
}

TEST(TitelBarModel, BagValuesGoThroughTheSettersLimits)
{
    struct Row {
        const wchar_t* key;
        rt::PropertyBag::Value value;
        std::function<double(TitelBar&)> get;
        double want;
    } rows[] = {
        {L"IconStyle", std::int64_t{7}, [](TitelBar& b) { return b.IconStyle(); }, 2},
        {L"IconStyle", std::int64_t{300}, [](TitelBar& b) { return b.IconStyle(); }, 0},
        {L"BackColorCover", NAN, [](TitelBar& b) { return b.BackColorCover(); }, 0},
        {L"BackColorCover", INFINITY, [](TitelBar& b) { return b.BackColorCover(); }, 0},
        {L"BackColorCover", 12.0, [](TitelBar& b) { return b.BackColorCover(); }, 10},
        {L"BackColorCover", -3.0, [](TitelBar& b) { return b.BackColorCover(); }, 0},
        {L"BackColorCover", 0.5, [](TitelBar& b) { return b.BackColorCover(); }, 0.5},
        {L"Style", std::int64_t{70000}, [](TitelBar& b) { return b.Style(); }, 8},
        {L"Style", std::int64_t{-3}, [](TitelBar& b) { return b.Style(); }, -3},
        {L"BorderNormal", std::int64_t{256}, [](TitelBar& b) { return b.BorderNormal(); }, 0},
        {L"Caption3DWidth", std::int64_t{-1}, [](TitelBar& b) { return b.Caption3DWidth(); }, 2},
        {L"CaptionColorBack", std::int64_t{-5}, [](TitelBar& b) { return b.CaptionColorBack(); }, RGB(60, 60, 60)},
        {L"PicturePosX", std::int64_t{40000}, [](TitelBar& b) { return b.PicturePosX(); }, 6},
    };
    for (const Row& r : rows) {
        Loaded l{rt::PropertyBag::With(r.key, r.value)};
        EXPECT_EQ(r.get(l.bar()), r.want) << test::Narrow(r.key);
    }
}

TEST(TitelBarModel, SettersLimitAndNotify)
{
    Loaded l{TitelBar::NewInstanceDesign()};
    TitelBar& b = l.bar();
    const std::pair<float, float> covers[] = {{12, 10}, {0, 1}, {-3, 1}, {0.5f, 0.5f}, {NAN, 1}};
    for (auto [set, want] : covers) {
        b.SetBackColorCover(set);
        EXPECT_EQ(b.BackColorCover(), want) << "cover set to " << set;
    }
    b.SetIconStyle(7);
    EXPECT_EQ(b.IconStyle(), 2);
    EXPECT_FALSE(b.SetStyle(40000));
    EXPECT_EQ(b.Style(), 8) << "an overflowing style keeps the old one";
    b.SetCaption3DLeft(true);
    EXPECT_EQ(b.ChangedProperties().count(L"Caption3DappLeft"), 1u);
    b.SetForeColor(RGB(1, 2, 3));
    EXPECT_EQ(b.ForeColor(), RGB(255, 255, 255)) << "the repaint puts the caption colour back";
}

TEST(TitelBarModel, SaveKeepsAutoRedrawAndTheButtonFaceBackColour)
{
    rt::PropertyBag saved;
    {
        Loaded l{TitelBar::NewInstanceDesign()};
        l.bar().SetAutoRedraw(true);
        l.bar().SetBackColor(0x8000000F);
        l.bar().SetFont({L"Verdana", 9, true});
        l.bar().WriteTo(saved);
    }
    Loaded back{saved};
    EXPECT_TRUE(back.bar().AutoRedraw());
    EXPECT_EQ(back.bar().BackColor(), 0x8000000Fu);
    EXPECT_EQ(back.bar().Font(), (skin::TitleFont{L"Verdana", 9, true}));
    EXPECT_EQ(back.bar().BorderNormal(), 2);
}

TEST(TitelBarModel, PicturesComeBackFromTheBagAsTheyWent)
{
    using Set = void (TitelBar::*)(skin::PicturePtr);
    using Get = skin::PicturePtr (TitelBar::*)() const;
    const std::tuple<Set, Get, skin::PicturePtr> rows[] = {
        {&TitelBar::SetPicture, &TitelBar::Picture, skin::Picture::FromBitmap(Counted(7, 5, 32, 3))},
        {&TitelBar::SetPicture, &TitelBar::Picture, Icon(Counted(20, 18, 32, 7), Counted(20, 18, 1, 29))},
        {&TitelBar::SetPictureButton, &TitelBar::PictureButton, skin::Picture::FromBitmap(Counted(6, 9, 32, 5))},
        {&TitelBar::SetPictureButton, &TitelBar::PictureButton, Icon(Counted(16, 16, 32, 3), Counted(16, 16, 1, 7))},
        {&TitelBar::SetPictureButton, &TitelBar::PictureButton, Icon(nullptr, Counted(16, 32, 1, 11))}, // monochrome
    };
    for (const auto& [set, get, picture] : rows) {
        ASSERT_TRUE(picture);
        rt::PropertyBag saved;
        {
            Loaded l{TitelBar::NewInstanceDesign()};
            (l.bar().*set)(picture);
            l.bar().WriteTo(saved);
        }
        Loaded back{saved};
        const skin::PicturePtr got = (back.bar().*get)();
        ASSERT_TRUE(got) << "kind " << picture->Type();
        EXPECT_EQ(PictureBits(*got), PictureBits(*picture)) << "kind " << picture->Type();
    }
}

TEST(CaptionFont, FaceIsCutToThirtyOneCharactersAndHeightScales)
{
    const std::wstring longName(40, L'x');
    LOGFONTW lf = skin::CaptionLogFont({longName, 9, true, true}, 96);
    EXPECT_EQ(std::wstring(lf.lfFaceName), longName.substr(0, 31));
    EXPECT_EQ(lf.lfHeight, 14) << "a cell of nearest(9 x 1.5)";
    EXPECT_EQ(lf.lfWeight, 800);
    EXPECT_EQ(skin::CaptionLogFont({L"Tahoma", 8.25f, false, false}, 144).lfHeight, 18);
}
