#include "runtime/PropertyBag.h"

namespace rt {

std::int64_t PropertyBag::ReadInt(const std::wstring& key, std::int64_t def, std::int64_t min, std::int64_t max) const
{
    auto it = values_.find(key);
    if (it == values_.end())
        return def;
    std::int64_t v = 0;
    if (auto* i = std::get_if<std::int64_t>(&it->second))
        v = *i;
    else if (auto* d = std::get_if<double>(&it->second)) {
        // Not a number, or beyond what 64 bits hold: no integer to convert to.
        if (!(*d >= -0x1p63 && *d < 0x1p63))
            return def;
        v = static_cast<std::int64_t>(*d);
    } else
        return def;
    return v < min || v > max ? def : v;
}

bool PropertyBag::ReadBool(const std::wstring& key, bool def) const
{
    return ReadInt(key, def ? -1 : 0, INT64_MIN, INT64_MAX) != 0;
}

double PropertyBag::ReadDouble(const std::wstring& key, double def, double min, double max) const
{
    auto it = values_.find(key);
    if (it == values_.end())
        return def;
    double v = 0;
    if (auto* d = std::get_if<double>(&it->second))
        v = *d;
    else if (auto* i = std::get_if<std::int64_t>(&it->second))
        v = static_cast<double>(*i);
    else
        return def;
    // Written so that a stored NaN, which no comparison admits, keeps the default too.
    return v >= min && v <= max ? v : def;
}

std::wstring PropertyBag::ReadString(const std::wstring& key, const std::wstring& def) const
{
    auto it = values_.find(key);
    if (it == values_.end())
        return def;
    if (auto* s = std::get_if<std::wstring>(&it->second))
        return *s;
    return def;
}

PropertyBag::Bytes PropertyBag::ReadBytes(const std::wstring& key) const
{
    auto it = values_.find(key);
    if (it != values_.end()) {
        if (auto* b = std::get_if<Bytes>(&it->second))
            return *b;
    }
    return {};
}

void PropertyBag::WriteInt(const std::wstring& key, std::int64_t value, std::int64_t def)
{
    if (value == def)
        values_.erase(key);
    else
        values_[key] = value;
}

void PropertyBag::WriteBool(const std::wstring& key, bool value, bool def)
{
    WriteInt(key, value ? -1 : 0, def ? -1 : 0);
}

void PropertyBag::WriteDouble(const std::wstring& key, double value, double def)
{
    if (value == def)
        values_.erase(key);
    else
        values_[key] = value;
}

void PropertyBag::WriteString(const std::wstring& key, const std::wstring& value, const std::wstring& def)
{
    if (value == def)
        values_.erase(key);
    else
        values_[key] = value;
}

void PropertyBag::WriteBytes(const std::wstring& key, const Bytes& value)
{
    if (value.empty())
        values_.erase(key);
    else
        values_[key] = value;
}

PropertyBag& PropertyBag::Set(const std::wstring& key, Value value)
{
    values_[key] = std::move(value);
    return *this;
}

PropertyBag PropertyBag::With(const std::wstring& key, Value value)
{
    PropertyBag bag;
    bag.Set(key, std::move(value));
    return bag;
}

} // namespace rt
