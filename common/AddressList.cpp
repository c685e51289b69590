#include "common/AddressList.h"

#include "runtime/Controls.h"

#include <utility>

namespace vantorel {

bool AddressList::Contains(const std::wstring& address) const
{
    auto value = AddressValueOf(address);
    return value && log_.Contains(*value);
}

void AddressList::Show(const std::vector<AddressValue>& values)
{
    if (values.empty())
        return;
    std::vector<std::wstring> texts;
    texts.reserve(values.size());
    for (AddressValue v : values)
        texts.push_back(AddressText(v));
    box_.AddItems(std::move(texts));
}

int AddressList::AddMany(const std::vector<std::wstring>& addresses)
{
    std::vector<AddressValue> added;
    for (const auto& a : addresses) {
        auto value = AddressValueOf(a);
        if (value && log_.Add(*value))
            added.push_back(*value);
    }
    Show(added);
    return static_cast<int>(added.size());
}

void AddressList::Clear()
{
    log_.Clear();
    file_ = AddressFileCursor{};
    box_.Clear();
}

std::vector<std::wstring> AddressList::Items() const
{
    std::vector<std::wstring> texts;
    texts.reserve(log_.Count());
    for (AddressValue v : log_.Items())
        texts.push_back(AddressText(v));
    return texts;
}

void AddressList::UseFile(const std::wstring& path)
{
    if (file_.path == path)
        return;
    // Another file: it holds none of the list until it has been read.
    log_.ForgetFile();
    file_ = AddressFileCursor{};
    file_.path = path;
}

int AddressList::Load(const std::wstring& path)
{
    UseFile(path);
    std::vector<AddressValue> listed;
    LoadAddressFile(file_, log_, listed);
    Show(listed);
    return static_cast<int>(listed.size());
}

bool AddressList::Save(const std::wstring& path, std::string_view firstLine, unsigned long waitMs)
{
    UseFile(path);
    std::vector<AddressValue> listed;
    SaveResult result = SaveAddressFile(file_, log_, firstLine, listed, waitMs);
    Show(listed);
    return result == SaveResult::Saved;
}

} // namespace vantorel
