// zlib, found by name at run time ("zlib1.dll", then "zlib.dll") in the program's folder and
// then the system folder, never the current one. The library counts as present only when it
// exports all four functions the engine uses.
#pragma once

#include "runtime/Handles.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imaging {

class Zlib {
public:
    // zlib's own prototypes (uLong is 32 bits on Windows).
    using Crc32Fn = unsigned long (*)(unsigned long crc, const unsigned char* buf, unsigned int len);
    using UncompressFn = int (*)(unsigned char* dest, unsigned long* destLen, const unsigned char* source,
                                 unsigned long sourceLen);
    using CompressFn = UncompressFn;
    using Compress2Fn = int (*)(unsigned char* dest, unsigned long* destLen, const unsigned char* source,
                                unsigned long sourceLen, int level);

    // Tries "zlib1.dll" and then "zlib.dll", each in `folders` (no trailing separator) in order.
    explicit Zlib(const std::vector<std::wstring>& folders);

    bool Available() const { return static_cast<bool>(module_); }
    // 2 for "zlib1.dll", 1 for "zlib.dll", 0 when none was found.
    int Version() const { return version_; }
    // The full path of the library in use; empty when none.
    const std::wstring& Path() const { return path_; }

    // Each call reports failure when zlib is missing; an unbound function is never called.
    std::optional<std::uint32_t> Crc32(std::uint32_t crc, const std::uint8_t* data, std::uint32_t length) const;
    // zlib's result code (0 = Z_OK); none when zlib is missing.
    std::optional<int> Uncompress(std::uint8_t* dest, std::uint32_t& destLength, const std::uint8_t* source,
                                  std::uint32_t sourceLength) const;
    std::optional<int> Compress(std::uint8_t* dest, std::uint32_t& destLength, const std::uint8_t* source,
                                std::uint32_t sourceLength) const;
    std::optional<int> Compress2(std::uint8_t* dest, std::uint32_t& destLength, const std::uint8_t* source,
                                 std::uint32_t sourceLength, int level) const;

private:
    // Takes the module when it exports all four functions.
    bool Bind(rt::UniqueModule& module);
    rt::UniqueModule module_;
    int version_ = 0;
    std::wstring path_;
    Crc32Fn crc32_ = nullptr;
    UncompressFn uncompress_ = nullptr;
    CompressFn compress_ = nullptr;
    Compress2Fn compress2_ = nullptr;
};

// The program's zlib, bound once a process: from the program's folder, then the system folder.
const Zlib& ProcessZlib();

} // namespace imaging
