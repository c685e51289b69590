#include "common/core/AddressLog.h"

#include "common/core/Ipv4Text.h"

namespace vantorel {

namespace {

// An address line is short; anything longer is skipped without being kept whole.
constexpr std::size_t kLongestLine = 64;

} // namespace

std::optional<AddressValue> AddressValueOf(std::wstring_view text)
{
    auto bytes = ParseIPv4(text);
    if (!bytes)
        return std::nullopt;
    return static_cast<AddressValue>((*bytes)[0]) << 24 | static_cast<AddressValue>((*bytes)[1]) << 16 |
           static_cast<AddressValue>((*bytes)[2]) << 8 | static_cast<AddressValue>((*bytes)[3]);
}

std::wstring AddressText(AddressValue value)
{
    return FormatIPv4({static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
                       static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)});
}

namespace {

// The rules of ParseIPv4 on the line's bytes, without widening them first.
std::optional<AddressValue> AddressValueOfBytes(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    AddressValue value = 0;
    std::size_t pos = 0;
    for (int field = 0; field < 4; ++field) {
        if (field > 0) {
            if (pos >= text.size() || text[pos] != '.')
                return std::nullopt;
            ++pos;
        }
        unsigned part = 0;
        int digits = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            if (++digits > 3)
                return std::nullopt;
            part = part * 10 + static_cast<unsigned>(text[pos] - '0');
            ++pos;
        }
        if (digits == 0 || part > 255)
            return std::nullopt;
        value = value << 8 | part;
    }
    if (pos != text.size())
        return std::nullopt;
    return value;
}

} // namespace

void AddressLineReader::EndLine(std::vector<AddressValue>& out)
{
    if (!overlong_ && !line_.empty()) {
        if (auto v = AddressValueOfBytes(line_))
            out.push_back(*v);
    }
    line_.clear();
    overlong_ = false;
}

void AddressLineReader::Feed(std::string_view bytes, std::vector<AddressValue>& out)
{
    while (!bytes.empty()) {
        std::size_t end = bytes.find_first_of("\r\n");
        std::string_view part = bytes.substr(0, end);
        if (!overlong_) {
            if (line_.size() + part.size() > kLongestLine)
                overlong_ = true;
            else
                line_.append(part);
        }
        if (end == std::string_view::npos)
            return;
        EndLine(out);
        bytes.remove_prefix(end + 1);
    }
}

void AddressLineReader::Finish(std::vector<AddressValue>& out) { EndLine(out); }

void AddressLineReader::Reset()
{
    line_.clear();
    overlong_ = false;
}

std::vector<AddressValue> ParseAddressLines(std::string_view bytes)
{
    std::vector<AddressValue> out;
    AddressLineReader reader;
    reader.Feed(bytes, out);
    reader.Finish(out);
    return out;
}

void AppendAddressLines(std::string& out, const std::vector<AddressValue>& values)
{
    for (AddressValue v : values) {
        for (wchar_t c : AddressText(v))
            out += static_cast<char>(c);
        out += "\r\n";
    }
}

bool AddressLog::Add(AddressValue value)
{
    if (!listed_.insert(value).second)
        return false;
    items_.push_back(value);
    if (!saved_.count(value))
        pending_.push_back(value);
    return true;
}

bool AddressLog::AddSaved(AddressValue value)
{
    saved_.insert(value);
    if (!listed_.insert(value).second)
        return false;
    items_.push_back(value);
    return true;
}

void AddressLog::Reserve(std::size_t more)
{
    // A few more grow as they come; an exact reserve for each would copy the list every time.
    if (more < 1024)
        return;
    items_.reserve(items_.size() + more);
    listed_.reserve(listed_.size() + more);
    saved_.reserve(saved_.size() + more);
}

void AddressLog::Clear()
{
    items_.clear();
    listed_.clear();
    saved_.clear();
    pending_.clear();
}

void AddressLog::ForgetFile()
{
    saved_.clear();
    pending_ = items_;
}

std::vector<AddressValue> AddressLog::Unsaved() const
{
    std::vector<AddressValue> out;
    for (AddressValue v : pending_) {
        if (!saved_.count(v))
            out.push_back(v);
    }
    return out;
}

void AddressLog::MarkSaved(const std::vector<AddressValue>& values)
{
    saved_.insert(values.begin(), values.end());
    std::vector<AddressValue> still;
    for (AddressValue v : pending_) {
        if (!saved_.count(v))
            still.push_back(v);
    }
    pending_.swap(still);
}

} // namespace vantorel
