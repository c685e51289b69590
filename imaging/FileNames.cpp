// The file names of a drop and of a clipboard file list, read with DragQueryFileW once the list
// is known to lie inside its memory.
#include "imaging/c32bppDIB.h"
#include "imaging/DropNames.h"

#include "imaging/core/DropFiles.h"

#include <shellapi.h>

namespace imaging {

bool ReadDropNames(HGLOBAL block, std::vector<std::wstring>& names)
{
    const SIZE_T size = GlobalSize(block);
    const void* at = GlobalLock(block);
    if (!at)
        return false;
    const auto list = CheckDropFiles({static_cast<const std::uint8_t*>(at), size});
    GlobalUnlock(block);
    if (!list || list->count == 0)
        return false;
    auto drop = static_cast<HDROP>(block);
    for (UINT i = 0; i < list->count; ++i) {
        const UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(length + 1, L'\0');
        name.resize(DragQueryFileW(drop, i, name.data(), length + 1));
        names.push_back(std::move(name));
    }
    return true;
}

bool c32bppDIB::GetDroppedFileNames(IDataObject* data, std::vector<std::wstring>& files) const
{
    if (!data)
        return false;
    FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium)))
        return false;
    std::vector<std::wstring> names;
    const bool ok = medium.tymed == TYMED_HGLOBAL && medium.hGlobal && ReadDropNames(medium.hGlobal, names);
    // The medium belongs to its provider's rules (it may name an owner to release it).
    ReleaseStgMedium(&medium);
    if (!ok)
        return false;
    files = std::move(names);
    return true;
}

std::size_t c32bppDIB::GetPastedFileNames(std::vector<std::wstring>& files) const
{
    if (!OpenClipboard(nullptr))
        return 0;
    std::vector<std::wstring> names;
    HANDLE block = GetClipboardData(CF_HDROP);
    const bool ok = block && ReadDropNames(block, names);
    CloseClipboard();
    if (!ok)
        return 0;
    files = std::move(names);
    return files.size();
}

} // namespace imaging
