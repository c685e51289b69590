#include "monitor/FolderBrowser.h"

#include "runtime/ComApartment.h"
#include "runtime/SystemLibrary.h"

#include <memory>
#include <vector>

namespace vantorel::ostrevi {

namespace {

constexpr const wchar_t* kDefaultTitle = L"OrvelFolderBrowser";

// Item lists from the shell are freed with the task allocator.
struct ItemListFree {
    void operator()(LPITEMIDLIST list) const { CoTaskMemFree(list); }
};

} // namespace

FolderBrowser::FolderBrowser(std::wstring name) : rt::UserControl(std::move(name), L"FolderBrowser") {}

void FolderBrowser::SetIncludeFiles(bool value)
{
    includeFiles_ = value;
    PropertyChanged(L"IncludeFiles");
}

void FolderBrowser::SetEditBox(bool value)
{
    editBox_ = value;
    PropertyChanged(L"EditBox");
}

void FolderBrowser::SetDisplayName(const std::wstring& value)
{
    displayName_ = value;
    PropertyChanged(L"DisplayName");
}

void FolderBrowser::SetTitle(const std::wstring& value)
{
    title_ = value;
    PropertyChanged(L"Title");
}

void FolderBrowser::SetFolderPath(const std::wstring& value)
{
    folderPath_ = value;
    PropertyChanged(L"FolderPath");
}

void FolderBrowser::SetMakeNewFolderButton(bool value)
{
    makeNewFolderButton_ = value;
    PropertyChanged(L"MakeNewFolderButton");
}

void FolderBrowser::SetIncludeUrls(bool value)
{
    includeUrls_ = value;
    PropertyChanged(L"IncludeUrls");
}

void FolderBrowser::InitProperties()
{
    includeFiles_ = true;
    editBox_ = true;
    displayName_.clear();
    title_ = kDefaultTitle;
    folderPath_.clear();
    makeNewFolderButton_ = true;
    includeUrls_ = false;
}

void FolderBrowser::ReadProperties(const rt::PropertyBag& bag)
{
    includeFiles_ = bag.ReadBool(L"IncludeFiles", true);
    editBox_ = bag.ReadBool(L"EditBox", true);
    makeNewFolderButton_ = bag.ReadBool(L"MakeNewFolderButton", true);
    includeUrls_ = bag.ReadBool(L"IncludeUrls", false);
    displayName_ = bag.ReadString(L"DisplayName", L"");
    title_ = bag.ReadString(L"Title", kDefaultTitle);
    folderPath_ = bag.ReadString(L"FolderPath", L"");
}

void FolderBrowser::WriteProperties(rt::PropertyBag& bag) const
{
    bag.WriteBool(L"IncludeFiles", includeFiles_, true);
    bag.WriteBool(L"EditBox", editBox_, true);
    bag.WriteBool(L"MakeNewFolderButton", makeNewFolderButton_, true);
    bag.WriteBool(L"IncludeUrls", includeUrls_, false);
    bag.WriteString(L"DisplayName", displayName_, L"");
    bag.WriteString(L"Title", title_, kDefaultTitle);
    bag.WriteString(L"FolderPath", folderPath_, L"");
}

UINT FolderBrowser::BrowseFlags() const
{
    // Only these four: the choice is not limited to file-system folders.
    UINT flags = 0;
    if (editBox_)
        flags |= BIF_EDITBOX;
    if (includeFiles_)
        flags |= BIF_BROWSEINCLUDEFILES;
    if (includeUrls_)
        flags |= BIF_BROWSEINCLUDEURLS;
    if (makeNewFolderButton_)
        flags |= BIF_NEWDIALOGSTYLE;
    return flags;
}

bool FolderBrowser::BrowseFolder()
{
    // The new-style dialog is built from COM objects.
    rt::ComApartment com;
    wchar_t displayName[500] = {};
    // Lives until the dialog has closed, so the callback may read it at any time.
    std::wstring startFolder = folderPath_;

    BROWSEINFOW info{};
    info.hwndOwner = hWnd();
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName; // the shell writes at most MAX_PATH characters
    info.lpszTitle = title_.c_str();
    info.ulFlags = BrowseFlags();
    info.lpfn = &BrowseCallbackProc;
    info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    info.iImage = 0;

    std::unique_ptr<ITEMIDLIST, ItemListFree> chosen(SHBrowseForFolderW(&info));
    if (!chosen)
        return false;
    // The older call writes at most MAX_PATH characters; where the newer one exists, a folder
    // of any length comes back whole.
    using PathFromItemList = BOOL(WINAPI*)(LPCITEMIDLIST, PWSTR, DWORD, int);
    static const auto pathFromItemListEx =
        rt::Bind<PathFromItemList>(GetModuleHandleW(L"shell32.dll"), "SHGetPathFromIDListEx");
    std::vector<wchar_t> path(pathFromItemListEx ? 32768 : MAX_PATH + 1, L'\0');
    BOOL got = pathFromItemListEx ? pathFromItemListEx(chosen.get(), path.data(), static_cast<DWORD>(path.size()), 0)
                                  : SHGetPathFromIDListW(chosen.get(), path.data());
    // An item without a file-system path (a control panel entry, a web address) leaves it empty.
    if (!got)
        path[0] = L'\0';
    path.back() = L'\0';
    SetFolderPath(path.data());
    SetDisplayName(displayName);
    return true;
}

int CALLBACK BrowseCallbackProc(HWND dialog, UINT msg, LPARAM, LPARAM data)
{
    // An empty start folder keeps the dialog's own default selection.
    auto* start = reinterpret_cast<const wchar_t*>(data);
    if (msg == BFFM_INITIALIZED && start && *start)
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
    return 0;
}

} // namespace vantorel::ostrevi
