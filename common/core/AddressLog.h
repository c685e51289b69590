// The rules both programs' address files share (the day's log and the block history): lines
// read from file bytes piece by piece, and the list of addresses with what its file holds.
// Platform-neutral: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vantorel {

// An IPv4 address as one number, first byte highest: the key the lists compare by.
using AddressValue = std::uint32_t;
std::optional<AddressValue> AddressValueOf(std::wstring_view text);
std::wstring AddressText(AddressValue value);

// Reads lines from bytes handed over in pieces. A line that is a dotted IPv4 address after
// trimming blanks gives its value; every other line is skipped, and a long one is not kept.
class AddressLineReader {
public:
    void Feed(std::string_view bytes, std::vector<AddressValue>& out);
    // Ends the bytes: a last line without a line end counts too.
    void Finish(std::vector<AddressValue>& out);
    void Reset();

private:
    void EndLine(std::vector<AddressValue>& out);
    std::string line_;
    bool overlong_ = false;
};

// The addresses of whole file bytes, in file order.
std::vector<AddressValue> ParseAddressLines(std::string_view bytes);

// Each address as one line ended by CR LF, appended to `out`.
void AppendAddressLines(std::string& out, const std::vector<AddressValue>& values);

// The addresses of a list in order, each once, and which of them its file is known to hold.
class AddressLog {
public:
    bool Contains(AddressValue value) const { return listed_.count(value) != 0; }
    // Adds a new address at the end, not yet saved; false when it is listed already.
    bool Add(AddressValue value);
    // An address read from the file: saved, and listed at the end when new (then true).
    bool AddSaved(AddressValue value);
    // Room for `more` addresses, so that a large file's load grows the sets once.
    void Reserve(std::size_t more);
    // Empties the list and forgets the file.
    void Clear();
    // The list is to be saved to another file: nothing is known to be in that one.
    void ForgetFile();
    // The listed addresses the file is not known to hold, in list order.
    std::vector<AddressValue> Unsaved() const;
    bool HasUnsaved() const { return !Unsaved().empty(); }
    void MarkSaved(const std::vector<AddressValue>& values);
    std::size_t Count() const { return items_.size(); }
    const std::vector<AddressValue>& Items() const { return items_; }

private:
    std::vector<AddressValue> items_;
    std::unordered_set<AddressValue> listed_;
    std::unordered_set<AddressValue> saved_;
    // Listed but not yet seen in the file, in list order; some may have been seen since.
    std::vector<AddressValue> pending_;
};

} // namespace vantorel
