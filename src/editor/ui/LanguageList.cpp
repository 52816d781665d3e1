#include "editor/ui/LanguageList.h"

#include "editor/ui/SyntaxLexers.h"

#include <QDir>
#include <Qsci/qscilexer.h>

namespace {

const QString DefaultFile = QStringLiteral("default.lng");

void addMissingStyle(LanguageDefinition& definition, TokenKind kind, quint32 colour)
{
    if (definition.indexOfStyle(kind) < 0) {
        definition.styles.append({kind, colour, 0});
    }
}

} // namespace

LanguageList::LanguageList()
{
    clear();
}

LanguageList::~LanguageList() = default;

void LanguageList::clear()
{
    m_entries.clear();
    m_byName.clear();
    add(LanguageDefinition::plain(), 0, 0);
}

QStringList LanguageList::load(const QString& folder, quint32 keywordColour, quint32 commentColour)
{
    m_entries.clear();
    m_byName.clear();
    QStringList problems;
    const QDir dir(folder);
    // The listing is taken in name order, without regard to case, so the first of two files that
    // define the same language is always the same one.
    const QStringList files =
        dir.exists() ? dir.entryList({QStringLiteral("*.lng")}, QDir::Files, QDir::Name | QDir::IgnoreCase)
                     : QStringList();

    QString defaultName;
    for (const QString& file : files) {
        if (file.trimmed().toLower() == DefaultFile && (defaultName.isEmpty() || file == DefaultFile)) {
            defaultName = file;
        }
    }
    std::optional<LanguageDefinition> first;
    QString error;
    if (!defaultName.isEmpty()) {
        first = LanguageDefinition::load(dir.filePath(defaultName), &error);
        if (!first) {
            problems << defaultName + QStringLiteral(": ") + error;
        }
    }
    add(first.value_or(LanguageDefinition::plain()), keywordColour, commentColour);

    for (const QString& file : files) {
        if (file.trimmed().toLower() == DefaultFile) {
            continue;
        }
        std::optional<LanguageDefinition> definition = LanguageDefinition::load(dir.filePath(file), &error);
        if (definition) {
            add(std::move(*definition), keywordColour, commentColour);
        } else {
            problems << file + QStringLiteral(": ") + error;
        }
    }
    return problems;
}

void LanguageList::add(LanguageDefinition definition, quint32 keywordColour, quint32 commentColour)
{
    // Every kind resolves to a style of the list, so the colouring options reach all of the text.
    if (definition.indexOfStyle(TokenKind::Default) < 0) {
        definition.styles.prepend({TokenKind::Default, 0, 0});
    }
    addMissingStyle(definition, TokenKind::Keyword, keywordColour);
    addMissingStyle(definition, TokenKind::Comment, commentColour);

    auto entry = std::make_unique<Entry>();
    entry->lexer.reset(SyntaxLexers::create(definition, nullptr));
    if (entry->lexer) {
        for (int style = 0; style < 256; ++style) {
            const QString description = entry->lexer->description(style);
            if (!description.isEmpty()) {
                entry->lexerStyles.append({style, TokenKinds::classify(description)});
            }
        }
    }
    entry->keywordCase = std::make_shared<const KeywordCase>(definition);
    const int index = int(m_entries.size());
    // Of two files that define the same language, the first one listed is used.
    if (index > 0 && !m_byName.contains(definition.name.toLower())) {
        m_byName.insert(definition.name.toLower(), index);
    }
    entry->definition = std::move(definition);
    m_entries.push_back(std::move(entry));
}

int LanguageList::find(const QString& language) const
{
    return m_byName.value(language.toLower(), 0);
}

bool LanguageList::setAllStyles(Entry& entry, std::optional<quint32> colour, std::optional<int> fontStyle)
{
    bool changed = false;
    for (TokenStyle& style : entry.definition.styles) {
        const TokenStyle wanted{style.kind, colour.value_or(style.colour),
                                fontStyle.value_or(style.fontStyle)};
        if (!(style == wanted)) {
            style = wanted;
            changed = true;
        }
    }
    if (changed) {
        ++entry.revision;
    }
    return changed;
}
