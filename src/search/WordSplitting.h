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
// the end count as separators.
class SeparatorBlocks
{
public:
    SeparatorBlocks(const uchar* bytes, qsizetype size, const SplitRule& rule);

    // Calls take(begin, end) for each piece of text between separators, in order, and returns the
    // number of boundaries. Each block's pieces are found from its masks alone: where a word byte
    // follows a separator one begins, and the next separator ends it.
    template <typename Take> qsizetype forEachPiece(Take take)
    {
        qsizetype open = -1; // where a piece began that runs on into the block looked at
        for (qsizetype base = 0; base < m_size; base += 64) {
            const quint64 separators = compute(base);
            if (open >= 0) {
                if (separators == 0) {
                    continue;
                }
                take(open, base + std::countr_zero(separators));
                open = -1;
            }
            // A word byte begins a piece when the byte before it is a separator.
            quint64 starts = ~separators & ((separators << 1) | quint64(m_previousSeparator));
            while (starts != 0) {
                const int start = std::countr_zero(starts);
                starts &= starts - 1;
                const quint64 after = separators >> start;
                if (after == 0) {
                    open = base + start;
                    break;
                }
                take(base + start, base + start + std::countr_zero(after));
            }
            m_previousSeparator = (separators >> 63) != 0;
        }
        if (open >= 0) {
            take(open, m_size);
        }
        return m_boundaries;
    }

private:
    // The block's separators, its boundaries counted; blocks are computed in order.
    quint64 compute(qsizetype base);

    const uchar* m_bytes;
    qsizetype m_size;
    const SplitRule& m_rule;
    // Each range's first value and width - 1, sixteen times over, for comparing sixteen bytes at once.
    alignas(16) std::array<std::array<uchar, 16>, MaxRanges> m_firsts{};
    alignas(16) std::array<std::array<uchar, 16>, MaxRanges> m_widths{};
    bool m_previousSeparator = true; // whether the byte before the block is one (or there is none)
    qsizetype m_boundaries = 0;
};

} // namespace WordSplitting
