#pragma once

#include <array>
#include <QString>
#include <QStringView>

// Finds a fixed term in text, exactly or without regard to case (the case folding QString::contains
// uses), fast enough to scan a whole library per keystroke: candidates are found by their first and
// last characters several at a time, then checked in full.
class TextMatcher
{
public:
    TextMatcher(const QString& term, Qt::CaseSensitivity cs);

    // Position of the first occurrence of the term in text, or -1; an empty term is found at 0.
    qsizetype indexIn(QStringView text) const;

    bool isIn(QStringView text) const { return indexIn(text) >= 0; }

    const QString& term() const { return m_term; }
    Qt::CaseSensitivity caseSensitivity() const { return m_cs; }

private:
    // Every character that matches one character of the term: itself, or all that fold alike.
    struct Variants
    {
        std::array<char16_t, 4> chars{};
        int count = 0;
        bool contains(char16_t c) const;
    };

    bool fitsVariants(char16_t c, Variants& variants) const;
    bool matchesAt(const char16_t* at) const;
    qsizetype scanShort(const char16_t* h, qsizetype from, qsizetype lastStart) const;

    QString m_term;
    Qt::CaseSensitivity m_cs;
    Variants m_first;
    Variants m_last;
    // Both variant lists padded to the same length for the wide scan.
    int m_variants = 1;
    std::array<char16_t, 4> m_firsts{};
    std::array<char16_t, 4> m_lasts{};
    bool m_useQt = false; // terms the quick filter cannot take (rare): Qt's own search
};
