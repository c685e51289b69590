// The files the programs keep: whole-file reads, and the address files that only ever grow at
// their end (whole-file replacement is runtime/Files.h's).
#pragma once

#include "common/core/AddressLog.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantorel {

// Reads a whole file; false when it cannot be opened or read.
bool ReadFileContents(const std::wstring& path, std::string& bytes);

// How far an address file has been read, kept between its loads and saves.
struct AddressFileCursor {
    std::wstring path;
    std::uint64_t readTo = 0;
    std::uint64_t fileIndex = 0;
    std::uint32_t volume = 0;
    bool endsWithLineEnd = true;
};

// At most this much of a file is read at once; the rest of a larger file is skipped.
inline constexpr std::uint64_t kAddressFileReadLimit = 64ull << 20;

// Reads the file at `cursor.path` while keeping writers out: its addresses count as saved, and
// those new to the list are added to `log` and to `listed`. False when there is no such file
// or it cannot be opened.
bool LoadAddressFile(AddressFileCursor& cursor, AddressLog& log, std::vector<AddressValue>& listed);

enum class SaveResult { Saved, Busy, Failed };

// One save: opens the file alone (creating it, and its folder, when missing, with
// `firstLine` as its first line), reads what others appended since the last read (as
// LoadAddressFile), then appends each listed address that the file lacks, at its end. Nothing
// on disk is removed or changed. Busy when another writer still holds the file after
// `waitMs`.
SaveResult SaveAddressFile(AddressFileCursor& cursor, AddressLog& log, std::string_view firstLine,
                           std::vector<AddressValue>& listed, unsigned long waitMs);

} // namespace vantorel
