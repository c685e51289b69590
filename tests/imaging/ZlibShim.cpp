#include "zlibshim/zlib.h"

#include "imaging/Zlib.h"
#include "tests/support/TestSupport.h"

#include <stdexcept>

namespace {

const imaging::Zlib& Shipped()
{
    static const imaging::Zlib zlib({test::BuildDir() + L"\\bin"});
    if (!zlib.Available())
        throw std::runtime_error("the tests' PNG writer needs the shipped zlib1.dll");
    return zlib;
}

} // namespace

// zlib's own bound for one call of compress2.
uLong compressBound(uLong sourceLen) { return sourceLen + (sourceLen >> 12) + (sourceLen >> 14) + (sourceLen >> 25) + 13; }

int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int level)
{
    std::uint32_t size = static_cast<std::uint32_t>(*destLen);
    const int result = Shipped().Compress2(dest, size, source, static_cast<std::uint32_t>(sourceLen), level).value_or(-1);
    *destLen = size;
    return result;
}

uLong crc32(uLong crc, const Bytef* buf, uInt len) { return Shipped().Crc32(static_cast<std::uint32_t>(crc), buf, len).value_or(0); }
