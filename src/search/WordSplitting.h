#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <QtGlobal>
#include <utility>
#include <vector>

// Splitting text into words at boundary characters: the rule, and a finder for the separators of
// UTF-8 bytes that looks at 64 bytes at a time.
namespace WordSplitting {

// What a character below 256 is to the splitter: part of a word, a boundary, or a CR that is a
// boundary together with a following LF. Only ASCII characters are ever boundaries.
enum Kind : quint8
{
    WordChar = 0,
    Boundary = 1,
    CarriageReturn = 2
};

// Up to this many ranges of boundaries are compared sixteen bytes at a time; a rule with more is
// looked up byte by byte.
constexpr size_t MaxRanges = 8;

// How a text splits: what each byte below 256 is, and the boundaries again as ranges of byte
// values, for comparing many bytes at once.
struct SplitRule
{
    std::array<quint8, 256> kinds{};
    bool crLfSplits = false;
    // Each range of boundaries as its first value and its width - 1.
    std::vector<std::pair<uchar, uchar>> ranges;
};

SplitRule splitRule(const char* boundaries, bool crLfSplits);

// The separators of UTF-8 text, 64 bytes at a time: bit k of a block's mask stands for byte base + k.
// A separator is a boundary, or the LF of a CR LF pair (which is one boundary, at the CR). Bytes past
// the end count as separators. Each block's boundaries are counted as the block is first asked for;
// blocks must be asked for in order.
class SeparatorBlocks
{
public:
    SeparatorBlocks(const uchar* bytes, qsizetype size, const SplitRule& rule)
        : m_bytes(bytes), m_size(size), m_rule(rule)
    {}

    // The first position from `from` on that is a separator (or, with wanted false, that is not), or
    // the size when there is none.
    qsizetype next(qsizetype from, bool wanted)
    {
        for (qsizetype base = from & ~qsizetype(63); base < m_size; base += 64) {
            quint64 bits = separators(base);
            if (!wanted) {
                bits = ~bits;
            }
            if (base < from) {
                bits &= ~quint64(0) << (from - base);
            }
            if (bits != 0) {
                return std::min(m_size, base + qsizetype(std::countr_zero(bits)));
            }
        }
        return m_size;
    }

    qsizetype boundaries() const { return m_boundaries; }

private:
    quint64 separators(qsizetype base) { return base == m_base ? m_separators : compute(base); }

    quint64 compute(qsizetype base);

    const uchar* m_bytes;
    qsizetype m_size;
    const SplitRule& m_rule;
    qsizetype m_base = -1;
    quint64 m_separators = 0;
    qsizetype m_boundaries = 0;
};

} // namespace WordSplitting
