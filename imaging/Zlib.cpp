#include "imaging/Zlib.h"

#include "runtime/SystemLibrary.h"

#include <iterator>
#include <type_traits>
#include <utility>

#if defined(__i386__)
// 32-bit zlib builds export either C or standard-call functions. This helper pushes the
// arguments, calls, and then restores the stack pointer from the frame, so it does not matter
// whether the callee or the caller was to remove them. (Built and linked for i686 only.)
extern "C" __attribute__((naked, noinline)) std::uint32_t imaging_call_either(const void*, const std::uint32_t*,
                                                                             std::uint32_t)
{
    asm("pushl %ebp\n"
        "movl %esp, %ebp\n"
        "movl 16(%ebp), %ecx\n"
        "movl 12(%ebp), %edx\n"
        "1: testl %ecx, %ecx\n"
        "jz 2f\n"
        "pushl -4(%edx,%ecx,4)\n"
        "decl %ecx\n"
        "jmp 1b\n"
        "2: call *8(%ebp)\n"
        "movl %ebp, %esp\n"
        "popl %ebp\n"
        "ret\n");
}
#endif

namespace imaging {

namespace {

#if defined(__i386__)
template <typename T>
std::uint32_t ToWord(T v)
{
    if constexpr (std::is_pointer_v<T>)
        return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(v));
    else
        return static_cast<std::uint32_t>(v);
}
#endif

template <typename F, typename... Args>
auto Call(F fn, Args... args)
{
#if defined(__i386__)
    const std::uint32_t words[] = {ToWord(args)...};
    return static_cast<decltype(fn(args...))>(
        imaging_call_either(reinterpret_cast<const void*>(fn), words, static_cast<std::uint32_t>(std::size(words))));
#else
    return fn(args...);
#endif
}

} // namespace

Zlib::Zlib(const std::vector<std::wstring>& folders)
{
    const struct {
        const wchar_t* name;
        int version;
    } names[] = {{L"zlib1.dll", 2}, {L"zlib.dll", 1}};
    for (const auto& candidate : names) {
        for (const std::wstring& place : folders) {
            if (place.empty())
                continue;
            const std::wstring path = place + L"\\" + candidate.name;
            rt::UniqueModule module = rt::LoadLibraryAt(path);
            if (module && Bind(module)) {
                version_ = candidate.version;
                path_ = path;
                return;
            }
        }
    }
}

bool Zlib::Bind(rt::UniqueModule& module)
{
    crc32_ = rt::Bind<Crc32Fn>(module.get(), "crc32");
    uncompress_ = rt::Bind<UncompressFn>(module.get(), "uncompress");
    compress_ = rt::Bind<CompressFn>(module.get(), "compress");
    compress2_ = rt::Bind<Compress2Fn>(module.get(), "compress2");
    if (!crc32_ || !uncompress_ || !compress_ || !compress2_) {
        crc32_ = nullptr;
        uncompress_ = compress_ = nullptr;
        compress2_ = nullptr;
        return false;
    }
    module_ = std::move(module);
    return true;
}

std::optional<std::uint32_t> Zlib::Crc32(std::uint32_t crc, const std::uint8_t* data, std::uint32_t length) const
{
    if (!crc32_)
        return std::nullopt;
    return static_cast<std::uint32_t>(Call(crc32_, static_cast<unsigned long>(crc), data, static_cast<unsigned int>(length)));
}

std::optional<int> Zlib::Uncompress(std::uint8_t* dest, std::uint32_t& destLength, const std::uint8_t* source,
                                    std::uint32_t sourceLength) const
{
    if (!uncompress_)
        return std::nullopt;
    unsigned long length = destLength;
    const int result = Call(uncompress_, dest, &length, source, static_cast<unsigned long>(sourceLength));
    destLength = static_cast<std::uint32_t>(length);
    return result;
}

std::optional<int> Zlib::Compress(std::uint8_t* dest, std::uint32_t& destLength, const std::uint8_t* source,
                                  std::uint32_t sourceLength) const
{
    if (!compress_)
        return std::nullopt;
    unsigned long length = destLength;
    const int result = Call(compress_, dest, &length, source, static_cast<unsigned long>(sourceLength));
    destLength = static_cast<std::uint32_t>(length);
    return result;
}

std::optional<int> Zlib::Compress2(std::uint8_t* dest, std::uint32_t& destLength, const std::uint8_t* source,
                                   std::uint32_t sourceLength, int level) const
{
    if (!compress2_)
        return std::nullopt;
    unsigned long length = destLength;
    const int result = Call(compress2_, dest, &length, source, static_cast<unsigned long>(sourceLength), level);
    destLength = static_cast<std::uint32_t>(length);
    return result;
}

const Zlib& ProcessZlib()
{
    static const Zlib zlib(rt::ShippedLibraryFolders());
    return zlib;
}

} // namespace imaging
