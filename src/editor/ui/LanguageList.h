#pragma once

#include "editor/KeywordCase.h"
#include "editor/LanguageDefinition.h"

#include <memory>
#include <QHash>
#include <QList>
#include <QStringList>
#include <vector>

class QsciLexer;

// The language definitions of the "language_def" folder with the lexers that show them: element 0
// from "default.lng", the others from every other "*.lng" file in name order.
class LanguageList
{
public:
    // One registered definition. Its styles are shared: the colouring options change them in place
    // until the list is loaded again.
    struct Entry
    {
        LanguageDefinition definition;
        std::unique_ptr<QsciLexer> lexer; // nullptr for plain text
        std::shared_ptr<const KeywordCase> keywordCase;
        QList<QPair<int, TokenKind>> lexerStyles; // every style the lexer has, with the kind it shows
        int revision = 0;                         // counts changes of the styles
    };

    LanguageList();
    ~LanguageList();

    // Reads the folder afresh and registers every definition; the messages name the files skipped.
    // Definitions without a keyword or comment style get keywordColour and commentColour.
    QStringList load(const QString& folder, quint32 keywordColour, quint32 commentColour);

    // Unregisters every definition; element 0 stays, plain.
    void clear();

    int count() const { return int(m_entries.size()); }
    Entry& at(int index) { return *m_entries.at(size_t(index)); }
    const Entry& at(int index) const { return *m_entries.at(size_t(index)); }

    // The first element from 1 on whose name is language, in any case; 0 when none is.
    int find(const QString& language) const;

    // Sets every style's colour and font style, where given; true when any changed.
    static bool setAllStyles(Entry& entry, std::optional<quint32> colour, std::optional<int> fontStyle);

private:
    void add(LanguageDefinition definition, quint32 keywordColour, quint32 commentColour);

    std::vector<std::unique_ptr<Entry>> m_entries;
    QHash<QString, int> m_byName; // lower-case name to the first element that has it
};
