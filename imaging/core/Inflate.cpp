#include "imaging/core/Inflate.h"

#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VANTOREL_ADLER_AVX2 1
#endif

namespace imaging {

namespace {

// A table entry: bits 0-5 the bits a symbol takes (its code and its extra bits), 6-8 kind, 9-12
// code length (0: no code ends here), 13-16 extra bits (for a link: the index bits of its
// second-level table), 17-31 value (literal, base, or table offset). The low six bits are a shift
// count as they stand, so taking a symbol shifts the bit buffer by the entry itself; a length or
// distance leaves with its extra bits in that one shift, and they are read from a copy taken before.
// Literals are kind 0, so one test of the kind bits tells them from everything else.
enum Kind : std::uint32_t { kLiteral = 0, kLength = 1, kEnd = 2, kDistance = 3, kLink = 4, kNone = 5 };

constexpr std::uint32_t Entry(std::uint32_t len, std::uint32_t kind, std::uint32_t extra, std::uint32_t value)
{
    return (kind == kLink ? 0 : len + extra) | kind << 6 | len << 9 | extra << 13 | value << 17;
}
constexpr std::uint32_t BitsOf(std::uint32_t e) { return e & 63; }
constexpr std::uint32_t KindOf(std::uint32_t e) { return (e >> 6) & 7; }
constexpr std::uint32_t CodeLengthOf(std::uint32_t e) { return (e >> 9) & 15; }
constexpr std::uint32_t ExtraOf(std::uint32_t e) { return (e >> 13) & 15; }
constexpr std::uint32_t ValueOf(std::uint32_t e) { return e >> 17; }
// The base plus the extra bits, from the bit buffer as it was before the symbol was taken.
constexpr std::size_t ValueWithExtra(std::uint32_t e, std::uint64_t before)
{
    return ValueOf(e) + static_cast<std::size_t>((before >> CodeLengthOf(e)) & ((std::uint64_t{1} << ExtraOf(e)) - 1));
}
constexpr bool IsLiteral(std::uint32_t e) { return !(e & 0x1C0); }
constexpr bool IsLink(std::uint32_t e) { return (e & 0x1C0) == kLink << 6; }
// The entry where no code ends: length 0, and not a literal.
constexpr std::uint32_t kNoCode = Entry(0, kNone, 0, 0);

constexpr std::uint16_t kLenBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                        31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLenExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                         193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
constexpr std::uint8_t kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

enum class Alphabet { LitLen, Dist, CodeLen };

constexpr unsigned kLitRoot = 11;
constexpr unsigned kDistRoot = 8;
constexpr unsigned kCodeLenRoot = 7;
// Root plus the largest second level: one link per code longer than the root, each of 2^(15-root).
constexpr std::size_t kLitSize = (1u << kLitRoot) + 288 * (1u << (15 - kLitRoot));
constexpr std::size_t kDistSize = (1u << kDistRoot) + 32 * (1u << (15 - kDistRoot));

std::uint32_t SymbolEntry(Alphabet a, unsigned sym, unsigned len)
{
    switch (a) {
    case Alphabet::LitLen:
        if (sym < 256)
            return Entry(len, kLiteral, 0, sym);
        if (sym == 256)
            return Entry(len, kEnd, 0, 0);
        if (sym < 286)
            return Entry(len, kLength, kLenExtra[sym - 257], kLenBase[sym - 257]);
        return kNoCode; // 286 and 287 belong to the fixed code but mean nothing
    case Alphabet::Dist:
        return sym < 30 ? Entry(len, kDistance, kDistExtra[sym], kDistBase[sym]) : kNoCode; // 30 and 31 likewise
    case Alphabet::CodeLen:
        return Entry(len, kLiteral, 0, sym);
    }
    return kNoCode;
}

// Builds a two-level table for the code lengths `lens`. Like zlib, an incomplete code is taken for
// literals/lengths and distances only when it is a single one-bit code or empty; its unused slots
// hold kNoCode and fail when a stream reaches them.
bool BuildTable(const std::uint8_t* lens, unsigned n, Alphabet alphabet, unsigned root, std::uint32_t* table)
{
    unsigned count[16] = {};
    for (unsigned i = 0; i < n; ++i)
        ++count[lens[i]];
    count[0] = 0;
    unsigned maxLen = 0;
    int left = 1;
    for (unsigned l = 1; l < 16; ++l) {
        left = left * 2 - static_cast<int>(count[l]);
        if (left < 0)
            return false;
        if (count[l])
            maxLen = l;
    }
    if (left > 0 && (alphabet == Alphabet::CodeLen || maxLen > 1))
        return false;
    unsigned next[16] = {};
    for (unsigned l = 1, code = 0; l < 16; ++l) {
        code = (code + count[l - 1]) << 1;
        next[l] = code;
    }
    const unsigned rootSize = 1u << root;
    const unsigned subBits = maxLen > root ? maxLen - root : 0;
    std::fill(table, table + rootSize, kNoCode);
    unsigned nextSub = rootSize;
    for (unsigned sym = 0; sym < n; ++sym) {
        const unsigned len = lens[sym];
        if (!len)
            continue;
        unsigned code = next[len]++, rev = 0;
        for (unsigned b = 0; b < len; ++b, code >>= 1)
            rev = rev << 1 | (code & 1);
        const std::uint32_t e = SymbolEntry(alphabet, sym, len);
        if (len <= root) {
            for (unsigned i = rev; i < rootSize; i += 1u << len)
                table[i] = e;
            continue;
        }
        std::uint32_t& link = table[rev & (rootSize - 1)];
        if (!IsLink(link)) {
            std::fill(table + nextSub, table + nextSub + (std::size_t{1} << subBits), kNoCode);
            link = Entry(0, kLink, subBits, nextSub);
            nextSub += 1u << subBits;
        }
        const unsigned base = ValueOf(link);
        for (unsigned i = rev >> root; i < (1u << subBits); i += 1u << (len - root))
            table[base + i] = e;
    }
    return true;
}

struct FixedTables {
    std::array<std::uint32_t, kLitSize> lit{};
    std::array<std::uint32_t, kDistSize> dist{};
    FixedTables()
    {
        std::uint8_t lens[288];
        std::memset(lens, 8, 144);
        std::memset(lens + 144, 9, 112);
        std::memset(lens + 256, 7, 24);
        std::memset(lens + 280, 8, 8);
        BuildTable(lens, 288, Alphabet::LitLen, kLitRoot, lit.data());
        std::memset(lens, 5, 32);
        BuildTable(lens, 32, Alphabet::Dist, kDistRoot, dist.data());
    }
};

const FixedTables& Fixed()
{
    static const FixedTables tables;
    return tables;
}

// Deflate looks back at most 32 KB; a streamed output keeps that much before new bytes.
constexpr std::size_t kHistory = 32768;
constexpr std::size_t kWindow = kHistory + 65536;
// Room for the longest match and a copy's overshoot.
constexpr std::ptrdiff_t kRoom = 258 + 16;
// Input for two refills of eight bytes (the first takes at most seven).
constexpr std::size_t kFastInput = 16;
// Input that comes in pieces is joined here; the bytes a bit reader may hand back stay before it.
constexpr std::size_t kStage = 32768;
constexpr std::size_t kHandBack = 8;

// Whole bytes that bring a bit buffer of `count` bits (at most 63) to 56 bits or more: seven at most.
constexpr unsigned RefillBytes(unsigned count) { return (~count & 63) >> 3; }

class Inflater {
public:
    Inflater(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
        : in_(in), inBytes_(in), outStart_(out.data()), out_(out.data()), outEnd_(out.data() + out.size())
    {
    }
    // Streams the output through a window of its own, handing each stretch to `sink`.
    Inflater(std::span<const std::uint8_t> in, const InflateSink& sink)
        : in_(in), inBytes_(in), sink_(&sink), window_(new std::uint8_t[kWindow])
    {
        outStart_ = out_ = flushed_ = window_.get();
        outEnd_ = outStart_ + kWindow;
    }
    // The same, with the input taken piece by piece from `source`.
    Inflater(const InflateSource& source, const InflateSink& sink) : Inflater(source(), sink)
    {
        source_ = &source;
        ended_ = inBytes_.empty();
    }

    std::optional<std::size_t> Run()
    {
        TopUp();
        const auto header = in_.Be16();
        if (!header)
            return std::nullopt;
        const unsigned cmf = *header >> 8, flg = *header & 0xFF;
        if ((cmf & 15) != 8 || (cmf >> 4) > 7 || *header % 31 != 0 || (flg & 0x20))
            return std::nullopt;
        for (bool last = false; !last;) {
            if (!Refill())
                return std::nullopt;
            last = Take(1);
            const unsigned type = Take(2);
            bool ok = false;
            if (type == 0)
                ok = Stored();
            else if (type == 1)
                ok = Huffman(Fixed().lit.data(), Fixed().dist.data());
            else if (type == 2)
                ok = Dynamic();
            if (!ok || Overrun())
                return std::nullopt;
        }
        const bool returned = ReturnBytes();
        TopUp();
        const auto stored = returned ? in_.Be32() : std::nullopt;
        if (!stored || (sink_ && !Flush()))
            return std::nullopt;
        if (sink_)
            return adler_ == *stored ? std::optional<std::size_t>(total_) : std::nullopt;
        const std::size_t produced = static_cast<std::size_t>(out_ - outStart_);
        if (Adler32({outStart_, produced}) != *stored)
            return std::nullopt;
        return produced;
    }

private:
    // With input in pieces, makes kFastInput bytes readable where the input still holds them: the
    // bytes not yet read, and the kHandBack before them, move to the front of the stage, and the
    // next pieces fill it behind them. A no-op while kFastInput bytes remain.
    void TopUp()
    {
        if (!source_ || in_.Remaining() >= kFastInput || ended_)
            return;
        if (!stage_)
            stage_.reset(new std::uint8_t[kStage]);
        const std::size_t back = std::min(in_.Consumed(), kHandBack);
        const auto kept = inBytes_.subspan(in_.Consumed() - back);
        std::memmove(stage_.get(), kept.data(), kept.size());
        std::size_t filled = kept.size();
        while (filled < kStage) {
            if (pending_.empty())
                pending_ = (*source_)();
            if (pending_.empty()) {
                ended_ = true;
                break;
            }
            const std::size_t n = std::min(pending_.size(), kStage - filled);
            std::memcpy(stage_.get() + filled, pending_.data(), n);
            pending_ = pending_.subspan(n);
            filled += n;
        }
        inBytes_ = {stage_.get(), filled};
        in_ = SpanReader(inBytes_);
        (void)in_.Skip(back);
    }

    // Keeps at least 56 bits held. Past the end of the input zero bytes are counted in `pad_`; a
    // stream that consumes them is cut short, which Overrun() reports.
    bool Refill()
    {
        TopUp();
        // Eight bytes are loaded, and the few of them the buffer takes are passed over.
        if (const auto ahead = in_.PeekFixed<8>(); ahead && in_.Skip(RefillBytes(count_))) {
            bits_ |= LoadLe64(*ahead) << count_;
            count_ |= 56;
            return true;
        }
        while (count_ <= 56) {
            if (const auto byte = in_.U8())
                bits_ |= std::uint64_t{*byte} << count_;
            else if (++pad_ > 8)
                return false;
            count_ += 8;
        }
        return true;
    }
    bool Overrun() const { return pad_ * 8 > count_; }
    // Hands the new bytes to the sink and keeps the last 32 KB of output for matches to reach.
    bool Flush()
    {
        const std::span<const std::uint8_t> fresh(flushed_, static_cast<std::size_t>(out_ - flushed_));
        if (!fresh.empty()) {
            adler_ = Adler32(fresh, adler_);
            total_ += fresh.size();
            if (!(*sink_)(fresh))
                return false;
        }
        const std::size_t held = static_cast<std::size_t>(out_ - outStart_), keep = held < kHistory ? held : kHistory;
        std::memmove(outStart_, out_ - keep, keep);
        out_ = flushed_ = outStart_ + keep;
        return true;
    }
    unsigned Take(unsigned n)
    {
        const unsigned v = static_cast<unsigned>(bits_ & ((std::uint64_t{1} << n) - 1));
        bits_ >>= n;
        count_ -= n;
        return v;
    }
    // Drops the bits of a partial byte and hands the whole bytes held back to the input.
    bool ReturnBytes()
    {
        Take(count_ & 7);
        if (Overrun())
            return false;
        // The bytes held were all read from the input, so they go back inside it.
        if (!in_.Seek(in_.Consumed() - ((count_ >> 3) - pad_)))
            return false;
        bits_ = 0;
        count_ = 0;
        pad_ = 0;
        return true;
    }

    bool Stored()
    {
        if (!ReturnBytes())
            return false;
        TopUp();
        const auto len = in_.Le16();
        const auto nlen = in_.Le16();
        if (!len || !nlen || *len != (~*nlen & 0xFFFF) || (!sink_ && static_cast<std::size_t>(outEnd_ - out_) < *len))
            return false;
        for (std::size_t left = *len; left > 0;) {
            if (out_ == outEnd_ && !Flush()) // only a streamed output fills up here
                return false;
            TopUp();
            const std::size_t room = static_cast<std::size_t>(outEnd_ - out_);
            const auto piece = in_.Take(std::min({left, room, in_.Remaining()}));
            if (!piece || piece->empty())
                return false; // the input ended inside the block
            std::memcpy(out_, piece->data(), piece->size());
            out_ += piece->size();
            left -= piece->size();
        }
        return true;
    }

    bool Dynamic()
    {
        if (!tables_)
            tables_ = std::make_unique<Tables>();
        const unsigned hlit = Take(5) + 257, hdist = Take(5) + 1, hclen = Take(4) + 4;
        if (hlit > 286 || hdist > 30)
            return false;
        std::uint8_t lens[320] = {};
        for (unsigned i = 0; i < hclen; ++i) {
            if (!Refill())
                return false;
            lens[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(Take(3));
        }
        std::uint32_t cl[1u << kCodeLenRoot];
        if (!BuildTable(lens, 19, Alphabet::CodeLen, kCodeLenRoot, cl))
            return false;
        const unsigned total = hlit + hdist;
        for (unsigned n = 0; n < total;) {
            if (!Refill())
                return false;
            const std::uint32_t e = cl[bits_ & ((1u << kCodeLenRoot) - 1)];
            if (!CodeLengthOf(e))
                return false;
            Take(BitsOf(e));
            const unsigned sym = ValueOf(e);
            if (sym < 16) {
                lens[n++] = static_cast<std::uint8_t>(sym);
                continue;
            }
            unsigned rep;
            std::uint8_t value = 0;
            if (sym == 16) {
                if (n == 0)
                    return false;
                value = lens[n - 1];
                rep = 3 + Take(2);
            } else if (sym == 17) {
                rep = 3 + Take(3);
            } else {
                rep = 11 + Take(7);
            }
            if (n + rep > total)
                return false;
            std::memset(lens + n, value, rep);
            n += rep;
        }
        if (lens[256] == 0 || Overrun())
            return false;
        return BuildTable(lens, hlit, Alphabet::LitLen, kLitRoot, tables_->lit.data()) &&
               BuildTable(lens + hlit, hdist, Alphabet::Dist, kDistRoot, tables_->dist.data()) &&
               Huffman(tables_->lit.data(), tables_->dist.data());
    }

    static std::uint32_t Lookup(const std::uint32_t* table, unsigned root, std::uint64_t bits)
    {
        std::uint32_t e = table[bits & ((1u << root) - 1)];
        if (IsLink(e))
            e = table[ValueOf(e) + ((bits >> root) & ((1u << ExtraOf(e)) - 1))];
        return e;
    }

    bool Huffman(const std::uint32_t* lit, const std::uint32_t* dist)
    {
        for (;;) {
            if (sink_ && outEnd_ - out_ < kRoom && !Flush())
                return false;
            TopUp();
            if (const int fast = HuffmanFast(lit, dist))
                return fast > 0;
            if (sink_ && outEnd_ - out_ < kRoom)
                continue; // a streamed window is handed over before a match may need its end
            // Near the end of the input or of the output: one step with every check.
            if (!Refill())
                return false;
            std::uint32_t e = Lookup(lit, kLitRoot, bits_);
            if (IsLiteral(e)) {
                if (out_ == outEnd_)
                    return false;
                Take(BitsOf(e));
                *out_++ = static_cast<std::uint8_t>(ValueOf(e));
                // A second literal without a refill: 56 bits cover two codes of 15.
                e = Lookup(lit, kLitRoot, bits_);
                if (!IsLiteral(e) || out_ == outEnd_)
                    continue;
                Take(BitsOf(e));
                *out_++ = static_cast<std::uint8_t>(ValueOf(e));
                continue;
            }
            if (KindOf(e) == kEnd) {
                Take(BitsOf(e));
                return true;
            }
            if (KindOf(e) != kLength)
                return false;
            // Lengths take at most 15 + 5 bits and distances 15 + 13: one refill covers both.
            std::uint64_t before = bits_;
            Take(BitsOf(e));
            const std::size_t length = ValueWithExtra(e, before);
            const std::uint32_t d = Lookup(dist, kDistRoot, bits_);
            if (!CodeLengthOf(d))
                return false;
            before = bits_;
            Take(BitsOf(d));
            const std::size_t distance = ValueWithExtra(d, before);
            const std::size_t room = static_cast<std::size_t>(outEnd_ - out_);
            if (distance > static_cast<std::size_t>(out_ - outStart_) || length > room)
                return false;
            out_ = Copy(out_, distance, length, room);
        }
    }

    // The bulk of a block: runs while the input holds kFastInput bytes more, so refills need no
    // checks, and the output has kRoom, so neither literals nor matches check their room. The
    // state lives in locals meanwhile, since every byte written might otherwise alias it. Returns
    // 1 at the end of the block, -1 for damage, and 0 where the checked steps must take over.
    int HuffmanFast(const std::uint32_t* lit, const std::uint32_t* dist)
    {
        const std::span<const std::uint8_t> ahead = in_.Rest();
        std::size_t used = 0;
        std::uint8_t* out = out_;
        std::uint8_t* const outStart = outStart_;
        std::uint8_t* const outEnd = outEnd_;
        std::uint64_t bits = bits_;
        unsigned count = count_;
        // Only the low six bits of `count` mean anything here: a symbol is taken by subtracting
        // its whole entry, whose low six bits are its bits.
        const auto refill = [&] {
            bits |= LoadLe64(ahead.subspan(used).first<8>()) << (count & 63);
            used += RefillBytes(count & 63);
            count |= 56;
        };
        const auto take = [&](std::uint32_t e) {
            bits >>= BitsOf(e);
            count -= e;
        };
        // Each step starts with 56 bits held and the next entry looked up, which it looks up in
        // turn for the step after before it copies a match: the table's latency overlaps the copy.
        const auto room = [&] { return ahead.size() - used >= kFastInput && outEnd - out >= kRoom; };
        int result = 0;
        std::uint32_t e = 0;
        if (room()) {
            refill();
            e = Lookup(lit, kLitRoot, bits);
        }
        for (bool more = room(); more; more = room()) {
            if (IsLiteral(e)) {
                // Up to three literals to a refill: 56 bits cover three codes of 15.
                take(e);
                *out++ = static_cast<std::uint8_t>(ValueOf(e));
                e = Lookup(lit, kLitRoot, bits);
                if (IsLiteral(e)) {
                    take(e);
                    *out++ = static_cast<std::uint8_t>(ValueOf(e));
                    e = Lookup(lit, kLitRoot, bits);
                    if (IsLiteral(e)) {
                        take(e);
                        *out++ = static_cast<std::uint8_t>(ValueOf(e));
                        refill();
                        e = Lookup(lit, kLitRoot, bits);
                        continue;
                    }
                }
                refill(); // the entry's bits stay where they are
            }
            if (KindOf(e) != kLength) {
                take(e);
                result = KindOf(e) == kEnd ? 1 : -1;
                break;
            }
            std::uint64_t before = bits;
            take(e);
            const std::size_t length = ValueWithExtra(e, before);
            const std::uint32_t d = Lookup(dist, kDistRoot, bits);
            if (!CodeLengthOf(d)) {
                result = -1;
                break;
            }
            before = bits;
            take(d);
            const std::size_t distance = ValueWithExtra(d, before);
            if (distance > static_cast<std::size_t>(out - outStart)) {
                result = -1;
                break;
            }
            refill();
            e = Lookup(lit, kLitRoot, bits);
            out = Copy(out, distance, length, static_cast<std::size_t>(outEnd - out));
        }
        // A step refills at most twice, from 14 of the 16 bytes the loop proved there, so `used`
        // lies inside `ahead`.
        if (!in_.Skip(used))
            result = -1;
        out_ = out;
        bits_ = bits;
        count_ = count & 63;
        return result;
    }

    // Copies a match of `length` bytes from `distance` back to `dst`, with `room` bytes free there
    // (at least `length`); returns the end of the copy. With 16 bytes to spare, it copies in
    // blocks that may overshoot the match by up to 15 bytes, which what follows rewrites.
    static std::uint8_t* Copy(std::uint8_t* dst, std::size_t distance, std::size_t length, std::size_t room)
    {
        const std::uint8_t* src = dst - distance;
        if (room < length + 16) {
            for (std::size_t i = 0; i < length; ++i)
                dst[i] = src[i];
        } else if (distance >= 16) {
            for (std::size_t i = 0; i < length; i += 16)
                std::memcpy(dst + i, src + i, 16);
        } else if (distance >= 8) {
            for (std::size_t i = 0; i < length; i += 8)
                std::memcpy(dst + i, src + i, 8);
        } else if (distance == 1 && length >= 64) {
            std::memset(dst, *src, length); // a long run: the library's widest stores
        } else if (distance == 1) {
            std::uint8_t run[16];
            std::memset(run, *src, 16);
            for (std::size_t i = 0; i < length; i += 16)
                std::memcpy(dst + i, run, 16);
        } else {
            // Eight bytes a step of `distance`: each step reads only bytes the step before wrote.
            for (std::size_t i = 0; i < length; i += distance)
                std::memcpy(dst + i, src + i, 8);
        }
        return dst + length;
    }

    struct Tables {
        std::array<std::uint32_t, kLitSize> lit;
        std::array<std::uint32_t, kDistSize> dist;
    };

    SpanReader in_;
    std::span<const std::uint8_t> inBytes_; // what in_ reads
    const InflateSource* source_ = nullptr;
    std::span<const std::uint8_t> pending_; // of the source's last piece, not yet staged
    std::unique_ptr<std::uint8_t[]> stage_;
    bool ended_ = false; // the source gave its last piece
    std::uint8_t* outStart_;
    std::uint8_t* out_;
    std::uint8_t* outEnd_;
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    unsigned pad_ = 0;
    std::unique_ptr<Tables> tables_;
    const InflateSink* sink_ = nullptr;
    std::unique_ptr<std::uint8_t[]> window_;
    std::uint8_t* flushed_ = nullptr; // streamed output before this went to the sink
    std::uint32_t adler_ = 1;
    std::size_t total_ = 0;
};

constexpr std::uint32_t kAdlerBase = 65521;

#if defined(VANTOREL_ADLER_AVX2)
// The sums over whole 32-byte blocks of `data`, for processors with AVX2; returns the bytes taken.
// Over a run of n blocks the second sum grows by the first sum before it times the run's length,
// 32 times the sum over blocks of the bytes of all blocks before them, and each block's bytes
// weighted 32 down to 1. In a 512-block run the sums of earlier blocks, summed over the four
// lanes that hold them, stay below 4 * 512 * 512 / 2 * 8 * 255 < 2^31.
__attribute__((target("avx2"))) std::uint64_t Total(const __m256i& v)
{
    __m128i x = _mm_add_epi32(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
    x = _mm_add_epi32(x, _mm_shuffle_epi32(x, 0x4E));
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_add_epi32(x, _mm_shuffle_epi32(x, 0xB1))));
}

__attribute__((target("avx2"))) std::size_t Adler32Blocks(std::span<const std::uint8_t> data, std::uint32_t& a, std::uint32_t& b)
{
    constexpr std::size_t kBlock = 32, kMaxBlocks = 512;
    const __m256i zero = _mm256_setzero_si256(), ones = _mm256_set1_epi16(1);
    const __m256i weights = _mm256_set_epi8(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23,
                                            24, 25, 26, 27, 28, 29, 30, 31, 32);
    SpanReader in(data);
    for (;;) {
        const std::size_t blocks = std::min(in.Remaining() / kBlock, kMaxBlocks);
        const auto run = in.Take(blocks * kBlock);
        if (!run || blocks == 0)
            break;
        __m256i sums = zero, earlier = zero, weighted = zero;
        for (std::size_t k = 0; k < blocks; ++k) {
            const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(run->subspan(k * kBlock).first<kBlock>().data()));
            earlier = _mm256_add_epi32(earlier, sums);
            sums = _mm256_add_epi32(sums, _mm256_sad_epu8(v, zero));
            weighted = _mm256_add_epi32(weighted, _mm256_madd_epi16(_mm256_maddubs_epi16(v, weights), ones));
        }
        const std::uint64_t grown = std::uint64_t{a} * blocks * kBlock + Total(earlier) * kBlock + Total(weighted);
        b = static_cast<std::uint32_t>((b + grown) % kAdlerBase);
        a = static_cast<std::uint32_t>((a + Total(sums)) % kAdlerBase);
    }
    return in.Consumed();
}

bool HasAvx2()
{
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

} // namespace

std::uint32_t Adler32(std::span<const std::uint8_t> data, std::uint32_t adler)
{
    constexpr std::uint32_t kBase = kAdlerBase;
    // Runs of 16-byte blocks. Each of the 16 columns sums its bytes and, block by block, those
    // sums: the second sum follows from them, since a byte adds itself once for every byte from it
    // to the run's end. The columns are independent, so they go side by side. In a run of at most
    // 4096 blocks a column's running sum stays below 255 * 4096 * 4097 / 2 < 2^31.
    constexpr std::size_t kBlock = 16, kMaxBlocks = 4096;
    std::uint32_t a = adler & 0xFFFF, b = adler >> 16;
    SpanReader in(data);
#if defined(VANTOREL_ADLER_AVX2)
    if (HasAvx2() && !in.Skip(Adler32Blocks(data, a, b)))
        return 0; // cannot happen: the blocks lie inside the data
#endif
    for (;;) {
        const std::size_t blocks = std::min(in.Remaining() / kBlock, kMaxBlocks);
        const auto run = in.Take(blocks * kBlock);
        if (!run || blocks == 0)
            break;
        std::uint32_t column[kBlock] = {}, running[kBlock] = {};
        for (std::size_t k = 0; k < blocks; ++k) {
            // Blocks of the run by count, not by a reader: an optional per block keeps GCC from
            // holding the sums in registers.
            const auto block = run->subspan(k * kBlock).first<kBlock>();
            for (std::size_t j = 0; j < kBlock; ++j) {
                column[j] += block[j];
                running[j] += column[j];
            }
        }
        std::uint64_t sum = 0, sums = 0, weighted = 0;
        for (std::size_t j = 0; j < kBlock; ++j) {
            sum += column[j];
            sums += running[j];
            weighted += j * std::uint64_t{column[j]};
        }
        b = static_cast<std::uint32_t>((b + std::uint64_t{a} * blocks * kBlock + sums * kBlock - weighted) % kBase);
        a = static_cast<std::uint32_t>((a + sum) % kBase);
    }
    while (const auto byte = in.U8()) // fewer than 16 bytes
        b += a += *byte;
    return b % kBase << 16 | a % kBase;
}

std::optional<std::size_t> InflateZlib(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    return Inflater(in, out).Run();
}

std::optional<std::size_t> InflateZlibTo(std::span<const std::uint8_t> in, const InflateSink& sink)
{
    return Inflater(in, sink).Run();
}

std::optional<std::size_t> InflateZlibTo(const InflateSource& source, const InflateSink& sink)
{
    return Inflater(source, sink).Run();
}

} // namespace imaging
