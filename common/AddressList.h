// A list box of addresses kept with its file: the box the user sees, the addresses by value
// beside it, and the file's load and append-only save. The day's log and the block history
// are each one of these.
#pragma once

#include "common/SafeFile.h"
#include "common/core/AddressLog.h"

#include <string>
#include <string_view>
#include <vector>

namespace rt {
class ListBox;
}

namespace vantorel {

class AddressList {
public:
    explicit AddressList(rt::ListBox& box) : box_(box) {}
    AddressList(const AddressList&) = delete;
    AddressList& operator=(const AddressList&) = delete;

    rt::ListBox& Box() { return box_; }
    // True when the text is an address that the list holds.
    bool Contains(const std::wstring& address) const;
    // Adds the addresses not listed yet (other texts are no addresses and are skipped) to the
    // box at once; the number added.
    int AddMany(const std::vector<std::wstring>& addresses);
    bool Add(const std::wstring& address) { return AddMany({address}) == 1; }
    // Empties the list; the file is forgotten.
    void Clear();
    int Count() const { return static_cast<int>(log_.Count()); }
    std::vector<std::wstring> Items() const;
    // True while a listed address is not known to be in the file.
    bool HasUnsaved() const { return log_.HasUnsaved(); }

    // Adds the addresses of the file at `path` that the list lacks; the number added. A file
    // too large to read whole adds what its first part holds.
    int Load(const std::wstring& path);
    // Appends to the file at `path` the listed addresses it lacks (see SaveAddressFile); the
    // addresses that others appended join the list. A file that another copy holds is waited
    // for up to `waitMs`. False when something is left unsaved.
    bool Save(const std::wstring& path, std::string_view firstLine, unsigned long waitMs);

private:
    void UseFile(const std::wstring& path);
    void Show(const std::vector<AddressValue>& values);

    rt::ListBox& box_;
    AddressLog log_;
    AddressFileCursor file_;
};

} // namespace vantorel
