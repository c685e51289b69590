/* A stand-in zlib that lacks one export (chosen at build time), to prove such a library is
   passed over, or none, to show which inflate a reader used. Its functions answer plainly wrong
   values: in a library that lacks an export they must never be called. */
#define EXPORT __declspec(dllexport)

#ifndef FAKE_WITHOUT_CRC32
EXPORT unsigned long crc32(unsigned long crc, const unsigned char* buf, unsigned int len)
{
    (void)crc, (void)buf, (void)len;
    return 0xDEADBEEFul;
}
#endif

#ifndef FAKE_WITHOUT_UNCOMPRESS
EXPORT int uncompress(unsigned char* dest, unsigned long* destLen, const unsigned char* src, unsigned long srcLen)
{
    (void)dest, (void)destLen, (void)src, (void)srcLen;
    return 0;
}
#endif

EXPORT int compress(unsigned char* dest, unsigned long* destLen, const unsigned char* src, unsigned long srcLen)
{
    (void)dest, (void)destLen, (void)src, (void)srcLen;
    return 0;
}

EXPORT int compress2(unsigned char* dest, unsigned long* destLen, const unsigned char* src, unsigned long srcLen, int level)
{
    (void)dest, (void)destLen, (void)src, (void)srcLen, (void)level;
    return 0;
}
