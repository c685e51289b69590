// The folder picker: a few options and a start folder for the shell's folder-browse dialog,
// and the chosen folder read back after BrowseFolder.
#pragma once

#include "runtime/UserControl.h"

#include <shlobj.h>

#include <string>

namespace vantorel::ostrevi {

class FolderBrowser : public rt::UserControl {
public:
    explicit FolderBrowser(std::wstring name);

    bool IncludeFiles() const { return includeFiles_; }
    void SetIncludeFiles(bool value);
    bool EditBox() const { return editBox_; }
    void SetEditBox(bool value);
    // After a successful browse: the display name of the chosen item.
    std::wstring DisplayName() const { return displayName_; }
    void SetDisplayName(const std::wstring& value);
    std::wstring Title() const { return title_; }
    void SetTitle(const std::wstring& value);
    // Selected when the dialog opens; after a successful browse, the chosen path (empty when
    // the item has no file-system path).
    std::wstring FolderPath() const { return folderPath_; }
    void SetFolderPath(const std::wstring& value);
    bool MakeNewFolderButton() const { return makeNewFolderButton_; }
    void SetMakeNewFolderButton(bool value);
    bool IncludeUrls() const { return includeUrls_; }
    void SetIncludeUrls(bool value);

    // Shows the dialog, modal; true when the user chose an item.
    bool BrowseFolder();

protected:
    void InitProperties() override;
    void ReadProperties(const rt::PropertyBag& bag) override;
    void WriteProperties(rt::PropertyBag& bag) const override;
    // Nothing of it shows at run time; its window only owns the dialog.
    void Paint(HDC, int, int) override {}
    DWORD WindowStyle() const override { return WS_CHILD | WS_CLIPSIBLINGS; }

private:
    // The dialog's flags for the current options.
    UINT BrowseFlags() const;

    bool includeFiles_ = true;
    bool editBox_ = true;
    std::wstring displayName_;
    std::wstring title_ = L"OrvelFolderBrowser";
    std::wstring folderPath_;
    bool makeNewFolderButton_ = true;
    bool includeUrls_ = false;
};

// The dialog's callback: once the dialog is up, it selects the start folder handed over as
// the callback's data. Always 0.
int CALLBACK BrowseCallbackProc(HWND dialog, UINT msg, LPARAM itemList, LPARAM data);

} // namespace vantorel::ostrevi
