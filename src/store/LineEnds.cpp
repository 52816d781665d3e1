#include "store/LineEnds.h"

namespace {

// The number of line ends in text that are not CR LF. Unit is QChar or char (UTF-8, whose line
// ends are the same bytes).
template <typename Unit> qsizetype bareLineEnds(const Unit* p, qsizetype n)
{
    qsizetype bare = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == Unit('\r')) {
            if (i + 1 < n && p[i + 1] == Unit('\n')) {
                ++i;
            } else {
                ++bare;
            }
        } else if (p[i] == Unit('\n')) {
            ++bare;
        }
    }
    return bare;
}

template <typename Text> Text joinedWithCrLf(const Text& text, qsizetype bare)
{
    using Unit = typename Text::value_type;
    const qsizetype n = text.size();
    const Unit* p = text.constData();
    Text fixed;
    fixed.reserve(n + bare);
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] == Unit('\r') || p[i] == Unit('\n')) {
            if (p[i] == Unit('\r') && i + 1 < n && p[i + 1] == Unit('\n')) {
                ++i;
            }
            fixed += Unit('\r');
            fixed += Unit('\n');
        } else {
            fixed += p[i];
        }
    }
    return fixed;
}

} // namespace

QString withCrLf(QString text)
{
    // Most code already has CR LF throughout: then the text is returned without a copy.
    const qsizetype bare = bareLineEnds(text.constData(), text.size());
    return bare == 0 ? text : joinedWithCrLf(text, bare);
}

CodeText withCrLf(CodeText code)
{
    const qsizetype bare = bareLineEnds(code.bytes().data(), code.bytes().size());
    return bare == 0 ? code : CodeText::fromValidUtf8(joinedWithCrLf(code.bytes().toByteArray(), bare));
}
