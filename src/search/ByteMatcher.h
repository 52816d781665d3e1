#pragma once

#include "search/TextMatcher.h"
#include "store/TextCodec.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Looks for a search term in UTF-8 bytes without decoding them. Case-sensitive, the bytes hold the
// term exactly when their text does. Ignoring case, it looks for the term's longest run of ASCII
// characters that no other character folds like (most of them; not K or S, which the Kelvin sign and
// the long s fold to), ASCII letters in either case: text that holds the term holds that run, so
// bytes without it are passed over and the rest are candidates, confirmed on the decoded text.
class ByteMatcher
{
public:
    ByteMatcher(const QString& term, Qt::CaseSensitivity cs);

    // Whether the bytes can be searched for this term at all: not for a term with a line break (a
    // text block's breaks may differ from its bytes), a lone surrogate, or, ignoring case, no ASCII
    // character to look for.
    bool usable() const { return m_usable; }

    // Whether a hit is a match of the whole term, with no need to confirm it on the text.
    bool exact() const { return m_exact; }

    // The number of bytes a hit spans.
    qsizetype length() const { return m_needle.size(); }

    // Whether the bytes hold what is looked for.
    bool isIn(QByteArrayView bytes) const;

    // Whether a text holds the term, given as its UTF-8 bytes and as decode(), called only when the
    // bytes cannot tell. matcher looks for the same term the same way.
    template <typename Decode>
    bool isIn(QByteArrayView bytes, const TextMatcher& matcher, Decode decode) const
    {
        if (!m_usable) {
            return !(m_beyondAscii && TextCodec::isAscii(bytes)) && matcher.isIn(decode());
        }
        if (!isIn(bytes)) {
            return false;
        }
        switch (wholeTermIn(bytes)) {
        case Found:
            return true;
        case Absent:
            return false;
        case Unknown:
            break;
        }
        return matcher.isIn(decode());
    }

private:
    enum Verdict
    {
        Found,
        Absent,
        Unknown
    };

    // Ignoring case, an ASCII term is in ASCII text exactly when its bytes are, in either case;
    // other text may hold a character that folds like one of the term's.
    Verdict wholeTermIn(QByteArrayView bytes) const;

    static bool find(QByteArrayView bytes, const QByteArray& needle, bool fold);

    QByteArray m_needle;        // lower-case when folding
    QByteArray m_whole;         // an ASCII term lower-cased, when folding and the needle is not all of it
    bool m_beyondAscii = false; // the term has a character that no ASCII character matches
    bool m_fold = false;
    bool m_usable = false;
    bool m_exact = false;
};
