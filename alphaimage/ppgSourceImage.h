// The "Image Source" property page: chooses the picture of an aicAlphaImage from a file, the
// clipboard or a dropped file, and for an icon or cursor file the entry to use. A preview in a
// square frame and one line about the picture (its entries, or its size and format) show what
// ApplyChanges hands to the selected control.
#pragma once

#include "alphaimage/aicAlphaImage.h"
#include "alphaimage/core/page/SourceInfo.h"
#include "runtime/ComboBox.h"
#include "runtime/PropertyPage.h"
#include "runtime/PushButton.h"
#include "runtime/Shape.h"

#include <functional>
#include <memory>
#include <string>

namespace aic {

class ppgSourceImage : public rt::PropertyPage {
public:
    // Asks for an image file over `owner` with the open dialog's `filter` (pairs, each part
    // followed by a NUL); the path, or empty when none was chosen.
    using FileChooser = std::function<std::wstring(HWND owner, const std::wstring& filter)>;

    // Without a chooser, Browse shows the system's open dialog.
    explicit ppgSourceImage(FileChooser chooser = {});

    aicAlphaImage ucAlphaImage1{L"ucAlphaImage1"};
    rt::Shape Shape1{L"Shape1"};
    rt::PushButton cmdBrowse{L"cmdBrowse"};
    rt::PushButton cmdClipBoard{L"cmdClipBoard"};
    rt::PushButton Command1{L"Command1"};
    rt::ComboBox cboIcon{L"cboIcon"};
    rt::Label lblFormat{L"lblFormat"};

protected:
    void CreateControls(rt::Form& frame) override;
    void SelectionChanged() override;
    void ApplyChanges() override;
    LRESULT WndProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    // The path chosen for the preview, or empty.
    std::wstring BrowseForImage() const;
    // The size and depth of the listed entry; all 0 while no entry list is shown.
    IconChoice ReadIconChoice() const;
    // Fits the preview into the frame, centred, and shows it.
    void ShowPreview();
    void HidePreview();
    // Lists an icon's entries, or writes the format line; true when entries are listed.
    bool ShowSourceInfo();

    void IconChosen();
    void FromClipboard();
    // The steps of Browse, a drop and a pasted file list: the preview loads `path`.
    void PreviewFile(const std::wstring& path);
    // The preview's size in pixels, as the loads ask for an icon's entry.
    IconWanted PreviewSize() const;
    // The first selected control, while it lives and is an image control.
    aicAlphaImage* SelectedImage() const;

    FileChooser chooser_;
    std::weak_ptr<rt::Selectable> selected_;
};

} // namespace aic
