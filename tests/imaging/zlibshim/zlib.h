// The few zlib calls the tests' PNG writer makes, answered by the zlib1.dll that ships beside the
// programs: the Windows toolchain has the library but no headers or import library for it.
#pragma once

using uInt = unsigned int;
using uLong = unsigned long;
using uLongf = unsigned long;
using Bytef = unsigned char;

uLong compressBound(uLong sourceLen);
int compress2(Bytef* dest, uLongf* destLen, const Bytef* source, uLong sourceLen, int level);
uLong crc32(uLong crc, const Bytef* buf, uInt len);
