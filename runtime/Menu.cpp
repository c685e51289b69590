#include "runtime/Menu.h"

#include "runtime/Handles.h"
#include "runtime/Runtime.h"

namespace rt {

Event<const std::wstring&>& MenuOpening()
{
    static Event<const std::wstring&> event;
    return event;
}

MenuItem& Menu::Add(std::wstring name, std::wstring caption)
{
    items_.push_back(std::make_unique<MenuItem>(std::move(name), std::move(caption)));
    return *items_.back();
}

MenuItem* Menu::Find(const std::wstring& name) const
{
    for (auto& item : items_) {
        if (item->Name() == name)
            return item.get();
    }
    return nullptr;
}

HMENU Menu::Build() const
{
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return nullptr;
    UINT id = 1;
    for (auto& item : items_) {
        if (item->IsSeparator())
            AppendMenuW(menu, MF_SEPARATOR, id, nullptr);
        else
            AppendMenuW(menu, MF_STRING, id, item->Caption().c_str());
        ++id;
    }
    return menu;
}

MenuItem* Menu::Popup(HWND owner) const
{
    POINT pt{};
    GetCursorPos(&pt);
    return Popup(owner, pt);
}

MenuItem* Menu::Popup(HWND owner, POINT screen) const { return Popup(owner, screen, 0, nullptr); }

MenuItem* Menu::Popup(HWND owner, POINT screen, UINT flags, const MenuItem* defaultItem) const
{
    UniqueMenu menu(Build());
    if (!menu)
        return nullptr;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == defaultItem)
            SetMenuDefaultItem(menu.get(), static_cast<UINT>(i + 1), FALSE);
    }
    MenuOpening().Raise(name_);
    // The owner must be foreground, or the menu does not close when the user clicks away.
    SetForegroundWindow(owner);
    UINT cmd = static_cast<UINT>(TrackPopupMenu(menu.get(), flags | TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                screen.x, screen.y, 0, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    if (cmd == 0 || cmd > items_.size())
        return nullptr;
    MenuItem* item = items_[cmd - 1].get();
    item->Click.Raise();
    return item;
}

} // namespace rt
