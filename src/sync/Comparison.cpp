#include "sync/Comparison.h"

#include <optional>

namespace {

// Lower-cases text into out; plain ASCII directly, anything else with Qt's full case mapping.
void appendLowered(QString& out, QStringView text)
{
    char16_t seen = 0;
    for (QChar c : text) {
        seen |= c.unicode();
    }
    if (seen >= 0x80) {
        out += text.toString().toLower();
        return;
    }
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char16_t* to = reinterpret_cast<char16_t*>(out.data()) + start;
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        *to++ = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    }
}

QString lowered(QStringView text)
{
    QString out;
    appendLowered(out, text);
    return out;
}

QString fullKey(const SnippetRecord& record)
{
    QString key;
    key.reserve(record.Language.size() + record.Title.size() + record.Code.size());
    appendLowered(key, record.Language);
    appendLowered(key, record.Title);
    appendLowered(key, record.Code);
    return key;
}

} // namespace

LocalIndex::LocalIndex(const CodeArray& library) : m_library(library)
{
    m_byTitle.reserve(qsizetype(library.size()));
    m_byFullHash.reserve(qsizetype(library.size()));
    for (size_t i = 0; i < library.size(); ++i) {
        const SnippetRecord& record = library[i];
        if (record.Deleted) {
            continue;
        }
        const Keys keys = keysOf(record);
        m_byTitle[keys.titleKey].push_back({qsizetype(i), keys.codeHash});
        m_byFullHash[keys.fullHash].push_back(qsizetype(i));
    }
}

LocalIndex::Keys LocalIndex::keysOf(const SnippetRecord& record)
{
    Keys keys;
    keys.titleKey = Comparison::titleKey(record.Language, record.Title);
    const QString code = lowered(record.Code);
    keys.codeHash = qHash(code);
    // The full key is the title key and the code run together, so a title's end may pass for the
    // code's start: the hash covers the joined text, as the comparison does.
    keys.fullHash = qHash(QString(keys.titleKey + code));
    return keys;
}

bool LocalIndex::isUnique(const SnippetRecord& staged, const Keys& keys) const
{
    const auto candidates = m_byFullHash.constFind(keys.fullHash);
    if (candidates == m_byFullHash.cend()) {
        return true;
    }
    const QString key = fullKey(staged);
    for (const qsizetype i : *candidates) {
        if (fullKey(m_library[size_t(i)]) == key) {
            return false;
        }
    }
    return true;
}

bool LocalIndex::isMatching(const SnippetRecord& staged, const Keys& keys) const
{
    const auto entries = m_byTitle.constFind(keys.titleKey);
    if (entries == m_byTitle.cend()) {
        return false;
    }
    QString code;
    for (const Entry& entry : *entries) {
        if (entry.codeHash != keys.codeHash) {
            return true;
        }
        if (code.isNull()) {
            code = lowered(staged.Code);
        }
        if (lowered(m_library[size_t(entry.index)].Code) != code) {
            return true;
        }
    }
    return false;
}

bool LocalIndex::RemoteIsUnique(const SnippetRecord& staged) const
{
    return isUnique(staged, keysOf(staged));
}

bool LocalIndex::RemoteIsMatching(const SnippetRecord& staged) const
{
    return isMatching(staged, keysOf(staged));
}

LocalIndex::Verdict LocalIndex::compare(const SnippetRecord& staged) const
{
    const Keys keys = keysOf(staged);
    return {isUnique(staged, keys), isMatching(staged, keys)};
}

qsizetype LocalIndex::FindMatchToRemote(const QString& titleKey) const
{
    const auto entries = m_byTitle.constFind(titleKey);
    return entries == m_byTitle.cend() ? -1 : entries->front().index;
}

namespace Comparison {

QString titleKey(const QString& language, const QString& title)
{
    QString key;
    key.reserve(language.size() + title.size());
    appendLowered(key, language);
    appendLowered(key, title);
    return key;
}

namespace {

template <typename Listed>
std::vector<Row> fill(const LocalIndex& index, const CodeArray& staged, const QString& language, Listed listed)
{
    const QString shown = language.toLower();
    std::vector<Row> rows;
    for (size_t i = 0; i < staged.size(); ++i) {
        const SnippetRecord& record = staged[i];
        if (!shown.isEmpty() && record.Language.toLower() != shown) {
            continue;
        }
        const LocalIndex::Verdict verdict = index.compare(record);
        if (const std::optional<bool> red = listed(verdict)) {
            rows.push_back({qsizetype(i), record.Language, record.Category, record.Title, *red});
        }
    }
    return rows;
}

} // namespace

std::vector<Row> FillListViewRemote(const LocalIndex& index, const CodeArray& staged, const QString& language)
{
    return fill(index, staged, language, [](const LocalIndex::Verdict& v) {
        return v.unique ? std::optional<bool>(v.matching) : std::nullopt;
    });
}

std::vector<Row> FillListViewRemoteMatching(const LocalIndex& index, const CodeArray& staged,
                                            const QString& language)
{
    return fill(index, staged, language, [](const LocalIndex::Verdict& v) {
        return v.matching ? std::optional<bool>(true) : std::nullopt;
    });
}

namespace {

QString statusText(qsizetype listed, qsizetype staged, const char* what, const QString& importFileName)
{
    QString text = QString::number(listed) + QLatin1String(" of ") + QString::number(staged) +
                   QLatin1String(what);
    if (!importFileName.isEmpty()) {
        text += QLatin1String("  Local file name:   ") + importFileName;
    }
    return text;
}

} // namespace

QString differencesStatus(qsizetype listed, qsizetype staged, const QString& importFileName)
{
    return importFileName.isEmpty()
               ? statusText(listed, staged, " source code snippet have differences", importFileName)
               : statusText(listed, staged, " source code snippet have differences.", importFileName);
}

QString matchingStatus(qsizetype listed, qsizetype staged, const QString& importFileName)
{
    return statusText(listed, staged, " source code snippets have matching snippet titles but different code.",
                      importFileName);
}

} // namespace Comparison
