#include "alphaimage/ppgSourceImage.h"

#include "alphaimage/core/page/PreviewPlace.h"
#include "imaging/DropNames.h"
#include "runtime/OpenDialog.h"
#include "runtime/Runtime.h"

#include <shellapi.h>

#include <vector>

namespace aic {

namespace {

// The open dialog's flags: an existing file, the explorer style with long names, resizable,
// and no entry in the recent documents.
constexpr DWORD kOpenFlags = OFN_FILEMUSTEXIST | OFN_EXPLORER | OFN_LONGNAMES | OFN_ENABLESIZING | OFN_DONTADDTORECENT;

std::vector<IconEntry> EntriesOf(const imaging::c32bppDIB& image)
{
    std::vector<imaging::SourceIconSize> sizes;
    std::vector<IconEntry> entries;
    if (image.SourceIconSizes(sizes) == 0)
        return entries;
    for (const imaging::SourceIconSize& s : sizes)
        entries.push_back({s.width, s.height, s.bitDepth, s.colorCount});
    return entries;
}

} // namespace

ppgSourceImage::ppgSourceImage(FileChooser chooser)
    : rt::PropertyPage(L"Image Source", 4800, 3600), chooser_(std::move(chooser))
{
    cmdBrowse.Click.Connect([this] {
        const std::wstring path = BrowseForImage();
        if (!path.empty())
            PreviewFile(path);
    });
    cmdClipBoard.Click.Connect([this] { FromClipboard(); });
    Command1.Click.Connect([this] {
        HidePreview();
        SetChanged(true);
    });
    cboIcon.Click.Connect([this] { IconChosen(); });
}

void ppgSourceImage::CreateControls(rt::Form& frame)
{
    HWND page = hWnd();
    Shape1.Create(frame, page, rt::BoundsFromTwips(150, 210, 2880, 2880));
    // The page is running, so its preview is in run mode, inside the frame until ShowPreview
    // places it.
    ucAlphaImage1.SetAmbientUserMode(true);
    ucAlphaImage1.Create(frame, page, rt::BoundsFromTwips(165, 225, 2850, 2850));
    // The preview keeps the bytes of whatever it loads: they are what ApplyChanges hands on.
    ucAlphaImage1.SetKeepOriginalFormat(true);
    // ShowPreview places and sizes the preview, never its picture.
    ucAlphaImage1.SetAutoSize(false);
    ucAlphaImage1.SetVisible(false);
    cmdBrowse.Create(frame, page, rt::BoundsFromTwips(3090, 915, 1605, 480), L"Browse");
    cmdClipBoard.Create(frame, page, rt::BoundsFromTwips(3090, 1500, 1605, 480), L"From Clipboard");
    Command1.Create(frame, page, rt::BoundsFromTwips(3090, 2100, 1605, 480), L"Clear Image");
    // The entry list and the format line share the line under the frame; one shows at a time.
    cboIcon.Create(frame, page, rt::BoundsFromTwips(120, 3120, 2955, 330), L"Arial", 8.25);
    cboIcon.SetVisible(false);
    lblFormat.Create(frame, page, rt::BoundsFromTwips(165, 3120, 4605, 345), L"");
    lblFormat.SetVisible(false);
    DragAcceptFiles(page, TRUE);
}

aicAlphaImage* ppgSourceImage::SelectedImage() const
{
    return dynamic_cast<aicAlphaImage*>(selected_.lock().get());
}

void ppgSourceImage::SelectionChanged()
{
    const auto& selection = SelectedControls();
    auto first = selection.empty() ? std::shared_ptr<rt::Selectable>{} : selection.front().lock();
    if (!first) {
        selected_.reset();
        return;
    }
    HidePreview();
    selected_ = first;
    std::vector<std::uint8_t> bytes;
    aicAlphaImage* image = SelectedImage();
    if (image && image->GetSourceBytes(bytes)) {
        ucAlphaImage1.LoadImage_FromArray(bytes, PreviewSize());
        if (!ShowSourceInfo())
            ShowPreview();
    } else {
        ucAlphaImage1.ClearImage();
    }
    SetChanged(false);
}

void ppgSourceImage::ApplyChanges()
{
    // A control destroyed while the page was open takes nothing.
    aicAlphaImage* image = SelectedImage();
    if (!image)
        return;
    std::vector<std::uint8_t> bytes;
    if (ucAlphaImage1.GetSourceBytes(bytes)) {
        const IconChoice choice = ReadIconChoice();
        image->LoadSourceStream(bytes, choice.width, choice.height, choice.bitDepth);
    } else {
        image->ClearImage();
    }
}

LRESULT ppgSourceImage::WndProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DROPFILES) {
        auto drop = reinterpret_cast<HDROP>(wp);
        std::vector<std::wstring> names;
        const bool listed = imaging::ReadDropNames(reinterpret_cast<HGLOBAL>(drop), names);
        // The drop's memory is the receiver's to free.
        DragFinish(drop);
        // Of several files, only the first is taken.
        if (listed)
            PreviewFile(names.front());
        return 0;
    }
    return rt::PropertyPage::WndProc(msg, wp, lp);
}

std::wstring ppgSourceImage::BrowseForImage() const
{
    const std::wstring filter = ImageFileFilter(ucAlphaImage1.GDIplusEnabled());
    if (chooser_)
        return chooser_(hWnd(), filter);
    return rt::ShowOpenDialog(hWnd(), filter, L"Select Image", kOpenFlags);
}

IconChoice ppgSourceImage::ReadIconChoice() const
{
    const int index = cboIcon.ListIndex();
    if (!cboIcon.Visible() || index < 0)
        return {};
    return aic::ReadIconChoice(cboIcon.List(index));
}

IconWanted ppgSourceImage::PreviewSize() const
{
    return {rt::PixelsFromTwipsX(ucAlphaImage1.Width()), rt::PixelsFromTwipsY(ucAlphaImage1.Height()), 0};
}

void ppgSourceImage::ShowPreview()
{
    const int dpi = rt::DpiOf(hWnd());
    const TwipsBox frame{Shape1.Left(), Shape1.Top(), Shape1.Width(), Shape1.Height()};
    const PixelSize room = PreviewRoom(frame, dpi, dpi);
    int w = room.width, h = room.height;
    // 2: fit without enlarging, so a small picture keeps its own size.
    ucAlphaImage1.GetImageScales(w, h, 2, room.width, room.height);
    const TwipsBox at = PreviewPlace(frame, {w, h}, dpi, dpi);
    ucAlphaImage1.Move(at.left, at.top, at.width, at.height);
    ucAlphaImage1.SetVisible(true);
}

void ppgSourceImage::HidePreview()
{
    ucAlphaImage1.SetVisible(false);
    ucAlphaImage1.ClearImage();
}

bool ppgSourceImage::ShowSourceInfo()
{
    const std::shared_ptr<imaging::c32bppDIB> image = ucAlphaImage1.SourceDIB();
    const std::vector<IconEntry> entries = EntriesOf(*image);
    if (!entries.empty()) {
        lblFormat.SetVisible(false);
        cboIcon.Clear();
        for (const IconListItem& item : IconEntryList(entries)) {
            cboIcon.AddItem(item.text);
            cboIcon.SetItemData(cboIcon.ListCount() - 1, static_cast<long>(item.key));
        }
        cboIcon.SetVisible(true);
    } else {
        lblFormat.SetCaption(FormatLine(image->Width(), image->Height(), image->ImageType(), image->Alpha()));
        cboIcon.SetVisible(false);
        cboIcon.Clear();
        lblFormat.SetVisible(true);
    }
    const int count = cboIcon.ListCount();
    cboIcon.SetEnabled(count > 1);
    // The largest entry is chosen, which loads it into the preview through IconChosen.
    if (count > 0)
        cboIcon.SetListIndex(count - 1);
    return count > 0;
}

void ppgSourceImage::IconChosen()
{
    std::vector<std::uint8_t> bytes;
    ucAlphaImage1.GetSourceBytes(bytes);
    HidePreview();
    const IconChoice choice = ReadIconChoice();
    ucAlphaImage1.LoadImage_FromArray(bytes, IconWanted{choice.width, choice.height, choice.bitDepth});
    ShowPreview();
    SetChanged(true);
}

void ppgSourceImage::FromClipboard()
{
    bool picture = false;
    for (UINT format : {CF_BITMAP, CF_DIB, CF_ENHMETAFILE, CF_METAFILEPICT})
        picture = picture || IsClipboardFormatAvailable(format);
    if (picture) {
        // The entry list and the format line keep what they showed.
        HidePreview();
        if (ucAlphaImage1.LoadImage_FromClipboard()) {
            ShowPreview();
            SetChanged(true);
        }
        return;
    }
    std::vector<std::wstring> names;
    imaging::c32bppDIB reader;
    if (reader.GetPastedFileNames(names) > 0)
        PreviewFile(names.front());
}

void ppgSourceImage::PreviewFile(const std::wstring& path)
{
    HidePreview();
    // The page repaints without the old preview before the load takes its time.
    UpdateWindow(hWnd());
    if (ucAlphaImage1.LoadImage_FromFile(path, PreviewSize()) && !ShowSourceInfo())
        ShowPreview();
    SetChanged(true);
}

} // namespace aic
