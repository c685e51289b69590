// Whatever the address check accepts must print back as four fields of 0 to 255 and parse
// to the same address; the key filter and the field routines must not fault on any text.
#include "blocker/core/AddressCheck.h"
#include "blocker/core/BatchText.h"
#include "blocker/core/KeyFilter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

using namespace vantorel;

namespace {

bool IsCanonicalDottedQuad(const std::wstring& text)
{
    int fields = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        std::size_t end = text.find(L'.', pos);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring field = text.substr(pos, end - pos);
        if (field.empty() || field.size() > 3 || (field.size() > 1 && field[0] == L'0'))
            return false;
        int value = 0;
        for (wchar_t c : field) {
            if (c < L'0' || c > L'9')
                return false;
            value = value * 10 + (c - L'0');
        }
        if (value > 255)
            return false;
        ++fields;
        pos = end + 1;
    }
    return fields == 4;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Two bytes a character, so any UTF-16 unit can appear.
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));

    if (auto address = vantorel::brennix::CheckBlockAddress(text)) {
        const std::wstring canonical = FormatIPv4(*address);
        if (!IsCanonicalDottedQuad(canonical))
            std::abort();
        auto again = ParseIPv4(canonical);
        if (!again || *again != *address || FormatIPv4(*again) != canonical)
            std::abort();
        // Past the two header lines nothing that cmd would act on may appear.
        std::wstring batch = vantorel::brennix::BuildBatchText(L"10.0", *again, L"C:\\p").value_or(L"");
        std::size_t body = batch.find(L"\r\n", batch.find(L"\r\n") + 2) + 2;
        if (batch.find_first_of(L"&|^<>%", body) != std::wstring::npos)
            std::abort();
    }
    int caret = size > 0 ? data[0] % (text.size() + 1) : 0;
    int key = size > 1 ? data[size - 1] : 0;
    (void)vantorel::brennix::FilterAddressKey({text, caret, (size & 1) != 0}, key);
    return 0;
}
