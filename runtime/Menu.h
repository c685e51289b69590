// Pop-up menus of a form: named items with captions ("-" is a separator, "&&" shows one
// ampersand) and a Click event each. The menus never show as a menu bar.
#pragma once

#include "runtime/Event.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace rt {

class Form;

class MenuItem {
public:
    MenuItem(std::wstring name, std::wstring caption) : name_(std::move(name)), caption_(std::move(caption)) {}
    const std::wstring& Name() const { return name_; }
    const std::wstring& Caption() const { return caption_; }
    bool IsSeparator() const { return caption_ == L"-"; }
    Event<> Click;

private:
    std::wstring name_;
    std::wstring caption_;
};

class Menu {
public:
    Menu(std::wstring name, std::wstring caption) : name_(std::move(name)), caption_(std::move(caption)) {}
    MenuItem& Add(std::wstring name, std::wstring caption);
    const std::wstring& Name() const { return name_; }
    const std::wstring& Caption() const { return caption_; }
    const std::vector<std::unique_ptr<MenuItem>>& Items() const { return items_; }
    MenuItem* Find(const std::wstring& name) const;

    // Shows the menu at the cursor (or the given screen point) and raises the chosen item's
    // Click after the menu has closed. Returns the chosen item, or null.
    MenuItem* Popup(HWND owner) const;
    MenuItem* Popup(HWND owner, POINT screen) const;
    // The same with extra TrackPopupMenu alignment flags and a default (bold) item.
    MenuItem* Popup(HWND owner, POINT screen, UINT flags, const MenuItem* defaultItem) const;

    // The menu as Win32 builds it, for inspection; the caller destroys it.
    HMENU Build() const;

private:
    std::wstring name_;
    std::wstring caption_;
    std::vector<std::unique_ptr<MenuItem>> items_;
};

// Raised each time any Menu is about to show, with its name; tests use it to act while a
// menu is open.
Event<const std::wstring&>& MenuOpening();

} // namespace rt
