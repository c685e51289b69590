// The property bag through which controls read and write their design-time properties by
// name. Typed reads take a default for a missing entry and ignore out-of-range values.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace rt {

class PropertyBag {
public:
    using Bytes = std::vector<std::uint8_t>;
    using Value = std::variant<std::int64_t, double, std::wstring, Bytes>;

    std::int64_t ReadInt(const std::wstring& key, std::int64_t def, std::int64_t min, std::int64_t max) const;
    bool ReadBool(const std::wstring& key, bool def) const;
    double ReadDouble(const std::wstring& key, double def, double min, double max) const;
    std::wstring ReadString(const std::wstring& key, const std::wstring& def) const;
    Bytes ReadBytes(const std::wstring& key) const;
    bool Has(const std::wstring& key) const { return values_.count(key) != 0; }

    // A value equal to its default is not stored.
    void WriteInt(const std::wstring& key, std::int64_t value, std::int64_t def);
    void WriteBool(const std::wstring& key, bool value, bool def);
    void WriteDouble(const std::wstring& key, double value, double def);
    void WriteString(const std::wstring& key, const std::wstring& value, const std::wstring& def);
    void WriteBytes(const std::wstring& key, const Bytes& value);

    // Stores a value as given (form designs use this).
    PropertyBag& Set(const std::wstring& key, Value value);
    // A design of one entry, such as a caption.
    static PropertyBag With(const std::wstring& key, Value value);

private:
    std::map<std::wstring, Value> values_;
};

} // namespace rt
