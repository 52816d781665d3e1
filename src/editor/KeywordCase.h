#pragma once

#include "editor/CodeScanner.h"

#include <optional>
#include <QHash>

// Writes keywords in the case their definition gives them, outside comments and strings.
// Only languages whose keywords match in any case are normalised: in the others a word in
// another case is no keyword.
class KeywordCase
{
public:
    // One rewrite of the text: replace length characters at start by text.
    struct Replacement
    {
        qsizetype start = 0;
        qsizetype length = 0;
        QString text;
    };

    explicit KeywordCase(const LanguageDefinition& definition);

    // True when this language has nothing to normalise.
    bool isEmpty() const { return m_canonical.isEmpty(); }

    // The definition's form of a keyword written in another case; empty otherwise.
    QString canonical(QStringView word) const;

    // The text with every keyword in code written in the definition's case.
    QString capitalizeAll(const QString& text) const;

    // True for letters, digits, "_" and the definition's extra word characters.
    bool isWordChar(QChar c) const { return m_scanner.isWordChar(c); }

    // The rewrite of the word that ends at position end, when it is a keyword in code whose case differs.
    std::optional<Replacement> completedWord(QStringView text, qsizetype end) const;

private:
    CodeScanner m_scanner;
    QHash<QString, QString> m_canonical; // lower case to the definition's case
};
