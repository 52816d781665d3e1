#include "sync/Comparison.h"

#include <initializer_list>
#include <optional>

namespace {

// The lower-cased form of the parts joined, the same as lower-casing the joined text: plain ASCII is
// lowered here directly, anything else with Qt's full case mapping over the whole text, so that a
// letter is mapped the same whichever field boundary it stands next to.
QString loweredJoin(std::initializer_list<QStringView> parts)
{
    qsizetype size = 0;
    for (QStringView part : parts) {
        size += part.size();
    }
    QString key(size, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(key.data());
    char16_t seen = 0;
    for (QStringView part : parts) {
        for (QChar qc : part) {
            const char16_t c = qc.unicode();
            seen |= c;
            *out++ = (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
        }
    }
    if (seen < 0x80) {
        return key;
    }
    QString joined;
    joined.reserve(size);
    for (QStringView part : parts) {
        joined += part;
    }
    return joined.toLower();
}

QString lowered(QStringView text)
{
    return loweredJoin({text});
}

QString fullKey(const SnippetRecord& record)
{
    return loweredJoin({record.Language, record.Title, record.Code});
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
    keys.codeHash = qHash(lowered(record.Code));
    // The fields run together, so a title's end may pass for the code's start: the hash covers the
    // joined text, as the comparison does.
    keys.fullHash = qHash(fullKey(record));
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
    return loweredJoin({language, title});
}

namespace {

template <typename Listed>
std::vector<Row> fill(const LocalIndex& index, const CodeArray& staged, const QString& language,
                      Listed listed)
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
    QString text =
        QString::number(listed) + QLatin1String(" of ") + QString::number(staged) + QLatin1String(what);
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
    return statusText(listed, staged,
                      " source code snippets have matching snippet titles but different code.",
                      importFileName);
}

} // namespace Comparison
