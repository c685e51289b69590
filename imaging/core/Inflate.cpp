#include "imaging/core/Inflate.h"
#include "imaging/core/Simd.h"

#include "imaging/core/Adler32.h"
#include "imaging/core/SpanReader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <type_traits>

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define VANTOREL_INFLATE_AVX2 1
#endif

namespace imaging {

namespace {

// Table entries keep in bits 0-5 the bits they take from the bit buffer (their code, or codes, and
// their extra bits): a shift count as it stands, so taking an entry shifts the buffer by the entry
// itself, and a length or distance leaves with its extra bits in that one shift; they are read
// from a copy of the buffer taken before. The rest is laid out in one of two ways.
//
// Literal/length entries: bits 30-31 the number of literals the entry writes, 1 to 3 (the codes
// of a few short literals lie together within the table's index bits, and one look-up takes them
// all), with the literals in bits 6-13, 14-21 and 22-29 in their order. Other entries, and those
// of the distance and code-length tables: kind in bits 6-8, code length 9-12 (0: no code ends
// here), extra bits 13-16 (for a link: the index bits of its second-level table), value 17-31
// (literal/length values stay below bit 30).
enum Kind : std::uint32_t { kSymbol = 0, kLength = 1, kEnd = 2, kDistance = 3, kLink = 4, kNone = 5 };

template <std::uint32_t KindMask>
struct Layout {
    static constexpr std::uint32_t Make(std::uint32_t len, std::uint32_t kind, std::uint32_t extra, std::uint32_t value)
    {
        return (kind == kLink ? 0 : len + extra) | kind << 6 | len << 9 | extra << 13 | value << 17;
    }
    static constexpr bool Is(std::uint32_t e, Kind kind) { return (e & KindMask) == kind << 6; }
    static constexpr std::uint32_t CodeLength(std::uint32_t e) { return (e >> 9) & 15; }
    static constexpr std::uint32_t Extra(std::uint32_t e) { return (e >> 13) & 15; }
    static constexpr std::uint32_t Value(std::uint32_t e) { return e >> 17; }
    // The base plus the extra bits, from the bit buffer as it was before the entry was taken.
    static constexpr std::size_t ValueWithExtra(std::uint32_t e, std::uint64_t before)
    {
        return Value(e) + static_cast<std::size_t>((before >> CodeLength(e)) & ((std::uint64_t{1} << Extra(e)) - 1));
    }
    static constexpr std::uint32_t kNoCode = Make(0, kNone, 0, 0);
};
// The kind of a literal/length entry is tested with its literal count, so one mask and compare
// tells a length from literals.
using LitLenEntry = Layout<0xC00001C0>;
using PlainEntry = Layout<0x1C0>;

constexpr std::uint32_t BitsOf(std::uint32_t e) { return e & 63; }
constexpr std::uint32_t LiteralsOf(std::uint32_t e) { return e >> 30; }
constexpr std::uint32_t Literal(std::uint32_t len, std::uint32_t sym) { return len | sym << 6 | 1u << 30; }
constexpr std::uint32_t LiteralByte(std::uint32_t e) { return (e >> 6) & 0xFF; }

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
            return Literal(len, sym);
        if (sym == 256)
            return LitLenEntry::Make(len, kEnd, 0, 0);
        if (sym < 286)
            return LitLenEntry::Make(len, kLength, kLenExtra[sym - 257], kLenBase[sym - 257]);
        return LitLenEntry::kNoCode; // 286 and 287 belong to the fixed code but mean nothing
    case Alphabet::Dist:
        return sym < 30 ? PlainEntry::Make(len, kDistance, kDistExtra[sym], kDistBase[sym]) : PlainEntry::kNoCode; // 30 and 31 likewise
    case Alphabet::CodeLen:
        return PlainEntry::Make(len, kSymbol, 0, sym);
    }
    return PlainEntry::kNoCode;
}

constexpr auto kReversedBytes = [] {
    std::array<std::uint8_t, 256> r{};
    for (unsigned i = 0; i < 256; ++i)
        for (unsigned b = 0; b < 8; ++b)
            r[i] |= static_cast<std::uint8_t>(((i >> b) & 1) << (7 - b));
    return r;
}();
// A code of `len` bits (at most 15) as the stream holds it: first bit lowest.
unsigned ReverseBits(unsigned code, unsigned len)
{
    return static_cast<unsigned>(kReversedBytes[code & 0xFF] << 8 | kReversedBytes[(code >> 8) & 0xFF]) >> (16 - len);
}

// Builds a two-level table for the code lengths `lens`. Like zlib, an incomplete code is taken for
// literals/lengths and distances only when it is a single one-bit code or empty; its unused slots
// hold kNoCode and fail when a stream reaches them.
template <class L>
bool BuildHuffmanTable(const std::uint8_t* lens, unsigned n, Alphabet alphabet, unsigned root, std::uint32_t* table)
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
    // The symbols in the order of their codes: by length, then by value.
    unsigned at[16] = {};
    for (unsigned l = 1; l < 15; ++l)
        at[l + 1] = at[l] + count[l];
    std::uint16_t sorted[288];
    for (unsigned sym = 0; sym < n; ++sym)
        if (lens[sym])
            sorted[at[lens[sym]]++] = static_cast<std::uint16_t>(sym);
    // The root grows a bit at a time: its entries so far are doubled (a code shorter than the
    // index fills every slot that starts with it) and the codes of the new length go in. A
    // length whose extra bits fit in the root as well goes in with them, an entry for each of
    // their values, once the root is as long as both: its entries need no extra bits read.
    struct Later {
        unsigned rev, len, extra, base;
    } later[29];
    unsigned lateCount = 0;
    table[0] = L::kNoCode;
    unsigned code = 0, k = 0;
    for (unsigned len = 1; len <= root; ++len, code <<= 1) {
        std::memcpy(table + (1u << (len - 1)), table, sizeof *table << (len - 1));
        for (unsigned c = 0; c < count[len]; ++c, ++code, ++k) {
            const unsigned sym = sorted[k];
            if (alphabet == Alphabet::LitLen && sym > 256 && sym < 286 && kLenExtra[sym - 257] &&
                len + kLenExtra[sym - 257] <= root)
                later[lateCount++] = {ReverseBits(code, len), len, kLenExtra[sym - 257], kLenBase[sym - 257]};
            else
                table[ReverseBits(code, len)] = SymbolEntry(alphabet, sym, len);
        }
        for (unsigned i = 0; i < lateCount; ++i)
            if (later[i].len + later[i].extra == len)
                for (unsigned v = 0; v < 1u << later[i].extra; ++v)
                    table[later[i].rev | v << later[i].len] = L::Make(len, kLength, 0, later[i].base + v);
    }
    // Longer codes: the root slot of their first bits links to a second-level table.
    const unsigned rootMask = (1u << root) - 1;
    const unsigned subBits = maxLen > root ? maxLen - root : 0;
    unsigned nextSub = rootMask + 1;
    for (unsigned len = root + 1; len <= maxLen; ++len, code <<= 1)
        for (unsigned c = 0; c < count[len]; ++c, ++code, ++k) {
            const unsigned rev = ReverseBits(code, len);
            std::uint32_t& link = table[rev & rootMask];
            if (!L::Is(link, kLink)) {
                std::fill(table + nextSub, table + nextSub + (std::size_t{1} << subBits), L::kNoCode);
                link = L::Make(0, kLink, subBits, nextSub);
                nextSub += 1u << subBits;
            }
            const std::uint32_t e = SymbolEntry(alphabet, sorted[k], len);
            for (unsigned i = rev >> root; i < (1u << subBits); i += 1u << (len - root))
                table[L::Value(link) + i] = e;
        }
    return true;
}

// Joins literals whose codes follow one another within the root's index bits into entries of two
// or three. Walking down, an entry reads only entries at lower indexes, which are still single.
void JoinLiterals(std::uint32_t* table)
{
    for (unsigned i = 1u << kLitRoot; i-- > 0;) {
        const std::uint32_t a = table[i];
        if (!LiteralsOf(a))
            continue;
        const std::uint32_t b = table[i >> BitsOf(a)];
        const unsigned two = BitsOf(a) + BitsOf(b);
        if (!LiteralsOf(b) || two > kLitRoot)
            continue;
        const std::uint32_t c = table[i >> two];
        const std::uint32_t pair = LiteralByte(a) << 6 | LiteralByte(b) << 14;
        table[i] = LiteralsOf(c) && two + BitsOf(c) <= kLitRoot ? (two + BitsOf(c)) | pair | LiteralByte(c) << 22 | 3u << 30
                                                                 : two | pair | 2u << 30;
    }
}

bool BuildLitLen(const std::uint8_t* lens, unsigned n, std::uint32_t* table)
{
    if (!BuildHuffmanTable<LitLenEntry>(lens, n, Alphabet::LitLen, kLitRoot, table))
        return false;
    const std::uint8_t shortest = *std::min_element(lens, lens + 256, [](auto x, auto y) { return (x - 1u) < (y - 1u); });
    if (shortest && 2 * shortest <= kLitRoot) // else no two literals fit together
        JoinLiterals(table);
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
        BuildLitLen(lens, 288, lit.data());
        std::memset(lens, 5, 32);
        BuildHuffmanTable<PlainEntry>(lens, 32, Alphabet::Dist, kDistRoot, dist.data());
    }
};

const FixedTables& LoadFixedTables()
{
    static const FixedTables tables;
    return tables;
}

typedef std::uint8_t Block16 __attribute__((vector_size(16)));
typedef std::uint8_t Block32 __attribute__((vector_size(32)));

// Writes an entry's literals. Four bytes are stored whatever the count; the ones past it are
// rewritten by what follows.
inline std::uint8_t* PutLiterals(std::uint8_t* out, std::uint32_t e)
{
    const std::uint32_t bytes = e >> 6;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &bytes, sizeof bytes);
    } else {
        out[0] = static_cast<std::uint8_t>(bytes);
        out[1] = static_cast<std::uint8_t>(bytes >> 8);
        out[2] = static_cast<std::uint8_t>(bytes >> 16);
    }
    return out + LiteralsOf(e);
}

// Deflate looks back at most 32 KB; a streamed output keeps that much before new bytes.
constexpr std::size_t kHistory = 32768;
constexpr std::size_t kWindow = kHistory + 65536;
// Output summed into the checksum at a time, while it is still in the cache.
constexpr std::size_t kChunk = 65536;
// Room for one step of the bulk loop: three entries of literals (nine bytes and the stores'
// overshoot), the longest match and a copy's overshoot.
constexpr std::ptrdiff_t kOvershoot = 64;
constexpr std::ptrdiff_t kRoom = 9 + 3 + 258 + kOvershoot;
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
        : in_(in), inBytes_(in), outStart_(out.data()), out_(out.data()), outEnd_(out.data() + out.size()), flushed_(out.data())
    {
    }
    // Streams the output through a window of its own, handing each stretch to `sink`.
    Inflater(std::span<const std::uint8_t> in, const InflateSink& sink)
        : in_(in), inBytes_(in), sink_(&sink), window_(new std::uint8_t[kWindow])
    {
        outStart_ = out_ = flushed_ = window_.get();
        outEnd_ = outStart_ + kWindow;
    }
    // The same, with the input taken piece by piece from `source`, up to `limit` bytes of output.
    Inflater(const InflateSource& source, const InflateSink& sink, std::size_t limit) : Inflater(source(), sink)
    {
        source_ = &source;
        ended_ = inBytes_.empty();
        limit_ = limit;
        fetched_ = inBytes_.size();
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
            if (!FillBitBuffer())
                return std::nullopt;
            if (Produced() >= limit_ && !usedAtLimit_)
                usedAtLimit_ = Position(); // a block after the limit only looks ahead
            last = ReadBits(1);
            const unsigned type = ReadBits(2);
            bool ok = false;
            if (type == 0)
                ok = Stored();
            else if (type == 1)
                ok = Huffman(LoadFixedTables().lit.data(), LoadFixedTables().dist.data());
            else if (type == 2)
                ok = ReadDynamicTables() && Huffman(tables_->lit.data(), tables_->dist.data());
            if (!ok && extra_)
                break;
            if (!ok || Overrun())
                return std::nullopt;
        }
        if (extra_ || Produced() > limit_) { // output past the limit: the checksum covers bytes not kept
            used_ = usedAtLimit_.value_or(Position());
            return Flush() ? std::optional<std::size_t>(total_) : std::nullopt;
        }
        const bool returned = ReturnBytes();
        TopUp();
        const auto stored = returned ? in_.Be32() : std::nullopt;
        if (!stored || !Flush())
            return std::nullopt;
        used_ = Position();
        return adler_ == *stored ? std::optional<std::size_t>(total_) : std::nullopt;
    }

    // After a Run that succeeded, the input it took: up to the end of the stream, or up to the
    // block that went past the limit when one before it reached the limit.
    std::uint64_t Used() const { return used_; }

private:
    // Input bytes taken from pieces so far: those fetched, less those not yet read and the whole
    // bytes of input that the bit buffer holds.
    std::uint64_t Position() const
    {
        const std::uint64_t held = std::max(count_ >> 3, pad_) - pad_;
        return fetched_ - pending_.size() - in_.Remaining() - held;
    }

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
            if (pending_.empty()) {
                pending_ = (*source_)();
                fetched_ += pending_.size();
            }
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
    bool FillBitBuffer()
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
    std::size_t Produced() const { return total_ + static_cast<std::size_t>(out_ - flushed_); }
    // Before a symbol that writes: at the limit the inflate ends there, as a success unless the
    // output so far took bits from past the end of the input.
    bool AtLimit()
    {
        if (Produced() < limit_)
            return false;
        extra_ = !Overrun();
        return true;
    }
    // Sums the new output into the checksum. A streamed output hands it to the sink and keeps the
    // last 32 KB for matches to reach.
    bool Flush()
    {
        std::span<const std::uint8_t> fresh(flushed_, static_cast<std::size_t>(out_ - flushed_));
        fresh = fresh.first(std::min(fresh.size(), limit_ - total_)); // nothing past the limit goes out
        adler_ = Adler32(fresh, adler_);
        total_ += fresh.size();
        flushed_ = out_;
        if (!sink_)
            return true;
        if (!fresh.empty() && !(*sink_)(fresh))
            return false;
        const std::size_t held = static_cast<std::size_t>(out_ - outStart_), keep = held < kHistory ? held : kHistory;
        std::memmove(outStart_, out_ - keep, keep);
        out_ = flushed_ = outStart_ + keep;
        return true;
    }
    // Whether the output is due to be flushed before the bulk loop goes on: a streamed window
    // near its end, or a chunk not yet summed.
    bool FlushDue() const { return (sink_ && outEnd_ - out_ < kRoom) || static_cast<std::size_t>(out_ - flushed_) >= kChunk; }
    unsigned ReadBits(unsigned n)
    {
        const unsigned v = static_cast<unsigned>(bits_ & ((std::uint64_t{1} << n) - 1));
        bits_ >>= n;
        count_ -= n;
        return v;
    }
    // Drops the bits of a partial byte and hands the whole bytes held back to the input.
    bool ReturnBytes()
    {
        ReadBits(count_ & 7);
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
            if (AtLimit() || (out_ == outEnd_ && !Flush())) // only a streamed output fills up here
                return false;
            TopUp();
            const std::size_t room = static_cast<std::size_t>(outEnd_ - out_);
            // Up to the limit at most: a block of data past the rows is not copied.
            const auto piece = in_.Take(std::min({left, room, in_.Remaining(), limit_ - Produced()}));
            if (!piece || piece->empty())
                return false; // the input ended inside the block
            std::memcpy(out_, piece->data(), piece->size());
            out_ += piece->size();
            left -= piece->size();
        }
        return true;
    }

    bool ReadDynamicTables()
    {
        if (!tables_)
            tables_ = std::make_unique<Tables>();
        const unsigned hlit = ReadBits(5) + 257, hdist = ReadBits(5) + 1, hclen = ReadBits(4) + 4;
        if (hlit > 286 || hdist > 30)
            return false;
        std::uint8_t lens[320] = {};
        for (unsigned i = 0; i < hclen; ++i) {
            if (!FillBitBuffer())
                return false;
            lens[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(ReadBits(3));
        }
        std::uint32_t cl[1u << kCodeLenRoot];
        if (!BuildHuffmanTable<PlainEntry>(lens, 19, Alphabet::CodeLen, kCodeLenRoot, cl))
            return false;
        const unsigned total = hlit + hdist;
        for (unsigned n = 0; n < total;) {
            if (!FillBitBuffer())
                return false;
            const std::uint32_t e = cl[bits_ & ((1u << kCodeLenRoot) - 1)];
            if (!PlainEntry::CodeLength(e))
                return false;
            ReadBits(BitsOf(e));
            const unsigned sym = PlainEntry::Value(e);
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
                rep = 3 + ReadBits(2);
            } else if (sym == 17) {
                rep = 3 + ReadBits(3);
            } else {
                rep = 11 + ReadBits(7);
            }
            if (n + rep > total)
                return false;
            std::memset(lens + n, value, rep);
            n += rep;
        }
        if (lens[256] == 0 || Overrun())
            return false;
        return BuildLitLen(lens, hlit, tables_->lit.data()) &&
               BuildHuffmanTable<PlainEntry>(lens + hlit, hdist, Alphabet::Dist, kDistRoot, tables_->dist.data());
    }

    template <class L>
    static std::uint32_t Lookup(const std::uint32_t* table, unsigned root, std::uint64_t bits)
    {
        std::uint32_t e = table[bits & ((1u << root) - 1)];
        if (L::Is(e, kLink))
            e = table[L::Value(e) + ((bits >> root) & ((1u << L::Extra(e)) - 1))];
        return e;
    }

    bool Huffman(const std::uint32_t* lit, const std::uint32_t* dist)
    {
        for (;;) {
            if (Produced() > limit_) { // the last step went past it
                extra_ = !Overrun();
                return false;
            }
            if (FlushDue() && !Flush())
                return false;
            TopUp();
            if (const int fast = HuffmanFast(lit, dist))
                return fast > 0;
            if (FlushDue())
                continue; // a streamed window is handed over before a match may need its end
            // Near the end of the input or of the output: one step with every check.
            if (!FillBitBuffer())
                return false;
            const std::uint32_t e = Lookup<LitLenEntry>(lit, kLitRoot, bits_);
            if ((LiteralsOf(e) || LitLenEntry::Is(e, kLength)) && AtLimit())
                return false;
            if (const unsigned n = LiteralsOf(e)) {
                // The entry's literals are the stream's next symbols, so a stream they do not fit overruns.
                if (static_cast<std::size_t>(outEnd_ - out_) < n)
                    return false;
                ReadBits(BitsOf(e));
                for (unsigned i = 0; i < n; ++i)
                    *out_++ = static_cast<std::uint8_t>(e >> (6 + 8 * i));
                continue;
            }
            if (LitLenEntry::Is(e, kEnd)) {
                ReadBits(BitsOf(e));
                return true;
            }
            if (!LitLenEntry::Is(e, kLength))
                return false;
            // Lengths take at most 15 + 5 bits and distances 15 + 13: one refill covers both.
            std::uint64_t before = bits_;
            ReadBits(BitsOf(e));
            const std::size_t length = LitLenEntry::ValueWithExtra(e, before);
            const std::uint32_t d = Lookup<PlainEntry>(dist, kDistRoot, bits_);
            if (!PlainEntry::CodeLength(d))
                return false;
            before = bits_;
            ReadBits(BitsOf(d));
            const std::size_t distance = PlainEntry::ValueWithExtra(d, before);
            const std::size_t room = static_cast<std::size_t>(outEnd_ - out_);
            if (distance > static_cast<std::size_t>(out_ - outStart_) || length > room)
                return false;
            const std::uint8_t* src = out_ - distance;
            for (std::size_t i = 0; i < length; ++i)
                out_[i] = src[i];
            out_ += length;
        }
    }

    // The bulk of a block: runs while the input holds kFastInput bytes more, so refills need no
    // checks, and the output has kRoom, so neither literals nor matches check their room, up to
    // the next chunk to sum. The state lives in locals meanwhile, since every byte written might
    // otherwise alias it. Returns 1 at the end of the block, -1 for damage, and 0 where the
    // checked steps or a flush must take over.
    int HuffmanFast(const std::uint32_t* lit, const std::uint32_t* dist)
    {
#if defined(VANTOREL_INFLATE_AVX2)
        if (simd::Avx2Present())
            return HuffmanFastAvx2(lit, dist);
#endif
        return HuffmanFastWith<false>(lit, dist);
    }
#if defined(VANTOREL_INFLATE_AVX2)
    __attribute__((target("avx2"))) int HuffmanFastAvx2(const std::uint32_t* lit, const std::uint32_t* dist)
    {
        return HuffmanFastWith<true>(lit, dist);
    }
#endif
    template <bool Wide>
    [[gnu::always_inline]] int HuffmanFastWith(const std::uint32_t* lit, const std::uint32_t* dist)
    {
        const std::span<const std::uint8_t> ahead = in_.Rest();
        const std::size_t outRoom = static_cast<std::size_t>(outEnd_ - out_), unsummed = static_cast<std::size_t>(out_ - flushed_);
        const std::size_t produced = total_ + unsummed;
        if (ahead.size() < kFastInput || outRoom < static_cast<std::size_t>(kRoom) || unsummed >= kChunk || produced >= limit_)
            return 0;
        const std::size_t lastUse = ahead.size() - kFastInput;
        std::uint8_t* out = out_;
        std::uint8_t* const outStart = outStart_;
        // Steps start below the limit; the checked steps see what comes at it.
        std::uint8_t* const lastOut = out + std::min({outRoom - kRoom, kChunk - unsummed, limit_ - produced - 1});
        std::size_t used = 0;
        std::uint64_t bits = bits_;
        unsigned count = count_;
        // Only the low six bits of `count` mean anything here: an entry is taken by subtracting
        // the whole of it, whose low six bits are its bits.
        const auto refill = [&] {
            bits |= LoadLe64(ahead.subspan(used).first<8>()) << (count & 63);
            used += RefillBytes(count & 63);
            count |= 56;
        };
        const auto take = [&](std::uint32_t e) {
            bits >>= BitsOf(e);
            count -= e;
        };
        const auto next = [&] { return lit[bits & ((1u << kLitRoot) - 1)]; };
        // Each step starts with 56 bits held and the next entry looked up, which it looks up in
        // turn for the step after before it copies a match: the table's latency overlaps the copy.
        // A refill loads 64 bits but counts only whole bytes, and no step takes more than 48 bits
        // between refills, so 16 loaded bits always remain: the next entry (11 bits, 15 through a
        // link) is looked up from them before the refill, which waits on the count.
        int result = 0;
        refill();
        std::uint32_t e = next();
        while (used <= lastUse && out <= lastOut) {
            if (LiteralsOf(e)) {
                // Up to three entries to a refill: 56 bits cover three codes of 15.
                take(e);
                out = PutLiterals(out, e);
                e = next();
                if (LiteralsOf(e)) {
                    take(e);
                    out = PutLiterals(out, e);
                    e = next();
                    if (LiteralsOf(e)) {
                        take(e);
                        out = PutLiterals(out, e);
                        e = next();
                        refill();
                        continue;
                    }
                }
                refill(); // the entry's bits stay where they are
            }
            if (!LitLenEntry::Is(e, kLength)) {
                if (LitLenEntry::Is(e, kLink))
                    e = lit[LitLenEntry::Value(e) + ((bits >> kLitRoot) & ((1u << LitLenEntry::Extra(e)) - 1))];
                if (LiteralsOf(e)) {
                    take(e);
                    out = PutLiterals(out, e);
                    e = next();
                    refill();
                    continue;
                }
                if (!LitLenEntry::Is(e, kLength)) {
                    take(e);
                    result = LitLenEntry::Is(e, kEnd) ? 1 : -1;
                    break;
                }
            }
            std::uint64_t before = bits;
            take(e);
            std::size_t length = LitLenEntry::Value(e);
            if (LitLenEntry::Extra(e)) // only a length whose extra bits did not fit in the root
                length = LitLenEntry::ValueWithExtra(e, before);
            std::uint32_t d = dist[bits & ((1u << kDistRoot) - 1)];
            if (PlainEntry::Is(d, kLink))
                d = dist[PlainEntry::Value(d) + ((bits >> kDistRoot) & ((1u << PlainEntry::Extra(d)) - 1))];
            before = bits;
            take(d);
            // Where no code ends the entry gives distance 0, which this refuses with the rest.
            const std::size_t distance = PlainEntry::ValueWithExtra(d, before);
            if (distance - 1 >= static_cast<std::size_t>(out - outStart)) {
                result = -1;
                break;
            }
            e = next();
            refill();
            out = CopyMatch<Wide>(out, distance, length);
        }
        // A step refills at most twice, from 14 of the 16 bytes the loop proved there, so `used`
        // lies inside `ahead`. The last refill's bits stay held: the checked steps go on from them.
        if (!in_.Skip(used))
            result = -1;
        out_ = out;
        bits_ = bits;
        count_ = count & 63;
        return result;
    }

    // Copies a match of `length` bytes from `distance` back to `dst`, which has room for the
    // match and kOvershoot bytes more: it copies in blocks that may overshoot the match, and what
    // follows rewrites those bytes. Returns the end of the match. With AVX2 (`Wide`) the blocks
    // are 32 bytes, and a run of one byte is stored 64 bytes a step.
    template <bool Wide>
    static std::uint8_t* CopyMatch(std::uint8_t* dst, std::size_t distance, std::size_t length)
    {
        std::uint8_t* const end = dst + length;
        const std::uint8_t* src = dst - distance;
        if (distance >= 16) {
            // Short matches first, whatever their distance: the second block reads only bytes
            // written before it, from the first block's store when the distance is under 32.
            Move<16>(dst, src);
            Move<16>(dst + 16, src + 16);
            if (length > 32) {
                dst += 32;
                src += 32;
                if (distance >= 32) {
                    do {
                        Move<32>(dst, src);
                        dst += 32;
                        src += 32;
                    } while (dst < end);
                } else {
                    do {
                        Move<16>(dst, src);
                        dst += 16;
                        src += 16;
                    } while (dst < end);
                }
            }
        } else if (distance == 1) {
            const Block32 run = Block32{} + *src;
            for (; dst < end; dst += Wide ? 64 : 32) {
                std::memcpy(dst, &run, 32);
                if (Wide)
                    std::memcpy(dst + 32, &run, 32);
            }
        } else {
            // The bytes from `src` repeat every `distance`: copying from `src` itself to the
            // output as far as it has been written doubles the stretch each time, until it
            // holds 16 bytes; after that any 16 bytes of it repeat 16 bytes on.
            while (dst < end && dst - src < 16) {
                Move<16>(dst, src);
                dst += dst - src;
            }
            for (; dst < end; dst += 16, src += 16)
                Move<16>(dst, src);
        }
        return end;
    }
    // Bytes held in a vector register (or two), which GCC keeps out of memory where it would
    // spill an array; so the source and the destination may overlap.
    template <std::size_t N>
    static void Move(std::uint8_t* dst, const std::uint8_t* src)
    {
        std::conditional_t<N == 16, Block16, Block32> held;
        std::memcpy(&held, src, N);
        std::memcpy(dst, &held, N);
    }

    struct Tables {
        std::array<std::uint32_t, kLitSize> lit;
        std::array<std::uint32_t, kDistSize> dist;
    };

    SpanReader in_;
    std::span<const std::uint8_t> inBytes_; // what in_ reads
    const InflateSource* source_ = nullptr;
    std::uint64_t fetched_ = 0; // bytes the source handed over
    std::optional<std::uint64_t> usedAtLimit_; // Position() where a block started with the output at the limit
    std::uint64_t used_ = 0;
    std::span<const std::uint8_t> pending_; // of the source's last piece, not yet staged
    std::unique_ptr<std::uint8_t[]> stage_;
    bool ended_ = false; // the source gave its last piece
    std::uint8_t* outStart_;
    std::uint8_t* out_;
    std::uint8_t* outEnd_;
    std::uint8_t* flushed_; // output before this is summed (and, streamed, went to the sink)
    std::uint64_t bits_ = 0;
    unsigned count_ = 0;
    unsigned pad_ = 0;
    std::unique_ptr<Tables> tables_;
    const InflateSink* sink_ = nullptr;
    std::unique_ptr<std::uint8_t[]> window_;
    std::uint32_t adler_ = 1;
    std::size_t total_ = 0;
    std::size_t limit_ = SIZE_MAX;
    bool extra_ = false; // output went on past the limit
};

} // namespace

std::optional<std::size_t> InflateData(std::span<const std::uint8_t> in, std::span<std::uint8_t> out)
{
    return Inflater(in, out).Run();
}

std::optional<std::size_t> InflateDataTo(std::span<const std::uint8_t> in, const InflateSink& sink)
{
    return Inflater(in, sink).Run();
}

std::optional<std::size_t> InflateDataTo(const InflateSource& source, const InflateSink& sink, std::size_t limit,
                                         std::uint64_t* used)
{
    Inflater inflater(source, sink, limit);
    const auto produced = inflater.Run();
    if (produced && used)
        *used = inflater.Used();
    return produced;
}

} // namespace imaging
