#include "export/TextExport.h"

#include "export/LanguageExport.h"
#include "store/LanguageIds.h"
#include "store/LibraryOrdering.h"
#include "store/PathNames.h"
#include "store/SafeFile.h"
#include "store/TextCodec.h"

#include <algorithm>
#include <numeric>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace TextExport {

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// The indexes in library order; the array itself may have been edited out of order since its sort.
std::vector<qsizetype> inLibraryOrder(const CodeArray& records, std::vector<qsizetype> indexes)
{
    std::vector<QString> keys;
    keys.reserve(indexes.size());
    for (qsizetype i : indexes) {
        keys.push_back(LibraryOrdering::sortKey(records[size_t(i)]));
    }
    std::vector<size_t> order(indexes.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys[a] < keys[b]; });
    std::vector<qsizetype> sorted;
    sorted.reserve(order.size());
    for (size_t o : order) {
        sorted.push_back(indexes[o]);
    }
    return sorted;
}

// text as a JSON string, quotes included.
QString jsonString(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'"':
            out += QLatin1String("\\\"");
            break;
        case u'\\':
            out += QLatin1String("\\\\");
            break;
        case u'\b':
            out += QLatin1String("\\b");
            break;
        case u'\f':
            out += QLatin1String("\\f");
            break;
        case u'\n':
            out += QLatin1String("\\n");
            break;
        case u'\r':
            out += QLatin1String("\\r");
            break;
        case u'\t':
            out += QLatin1String("\\t");
            break;
        default:
            if (c.unicode() < 0x20) {
                out += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            } else {
                out += c;
            }
        }
    }
    out += u'"';
    return out;
}

// The first keyword that is not the bookmark mark, else the title as a word: lower case, blanks as "-".
QString prefixOf(const SnippetRecord& record)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
    for (const QString& word : record.Keywords.split(separators, Qt::SkipEmptyParts)) {
        if (word.compare(QLatin1String("bookmark"), Qt::CaseInsensitive) != 0) {
            return word;
        }
    }
    return record.Title.toLower().replace(u' ', u'-');
}

// A heading holds one line, whatever a damaged record carries.
QString oneLine(QString text)
{
    for (QChar& c : text) {
        if (c == u'\r' || c == u'\n') {
            c = u' ';
        }
    }
    return text;
}

QByteArray utf8(const QString& text)
{
    QByteArray bytes;
    TextCodec::appendUtf8(bytes, text);
    return bytes;
}

// name, or name with " (2)", " (3)", ... before its ending, whichever is not taken yet; taken learns it.
QString unused(const QString& name, const QString& ending, QSet<QString>& taken)
{
    QString candidate = name + ending;
    for (int n = 2; taken.contains(candidate); ++n) {
        candidate = name + QStringLiteral(" (%1)").arg(n) + ending;
    }
    taken.insert(candidate);
    return candidate;
}

// A file is written beside its place and renamed over it, so a symbolic link standing at the name is
// replaced, never followed, and a failed write leaves the file that was there whole.
bool writeInFolder(const QString& folder, const QString& name, const QByteArray& bytes, QString& path,
                   QString& error)
{
    path = QDir(folder).absoluteFilePath(name);
    SafeFile temp(MergePathData(folder, QStringLiteral(".zqExport-XXXXXX")), SafeFile::Mode::Temporary);
    if (!temp.open()) {
        error = temp.errorString();
        return false;
    }
    const QFileInfo existing(path);
    const QFileDevice::Permissions permissions = existing.isFile() && !existing.isSymLink()
                                                     ? existing.permissions()
                                                     : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                           QFileDevice::ReadGroup | QFileDevice::ReadOther;
    if (!temp.write(bytes) || !temp.setPermissions(permissions) || !temp.commit()) {
        error = temp.errorString();
        return false;
    }
    return SafeFile::rename(temp.fileName(), path, &error);
}

bool makeFolder(const QString& folder, Result& result)
{
    if (folder.isEmpty() || !QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        result.status = Result::Unwritable;
        result.error = QStringLiteral("Cannot create the folder %1").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    return true;
}

bool write(const QString& folder, const QString& name, const QByteArray& bytes, Result& result)
{
    QString path;
    QString why;
    if (!writeInFolder(folder, name, bytes, path, why)) {
        result.status = Result::Unwritable;
        result.error = QStringLiteral("Cannot write %1: %2").arg(QDir::toNativeSeparators(path), why);
        return false;
    }
    result.written.append(path);
    return true;
}

QByteArray document(const CodeArray& records, const std::vector<qsizetype>& indexes, Format format)
{
    return format == Format::VsCodeSnippets ? vsCodeDocument(records, indexes)
                                            : markdownDocument(records, indexes);
}

} // namespace

std::vector<qsizetype> languageRecords(const CodeArray& records, const QString& language)
{
    const QString wanted = language.toLower();
    std::vector<qsizetype> indexes;
    for (size_t i = 0; i < records.size(); ++i) {
        const SnippetRecord& r = records[i];
        if (!r.Deleted && r.Language.toLower() == wanted) {
            indexes.push_back(qsizetype(i));
        }
    }
    return inLibraryOrder(records, std::move(indexes));
}

QStringList languages(const CodeArray& records)
{
    std::vector<qsizetype> all;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!records[i].Deleted) {
            all.push_back(qsizetype(i));
        }
    }
    QStringList names;
    QSet<QString> seen;
    for (qsizetype i : inLibraryOrder(records, std::move(all))) {
        const QString& language = records[size_t(i)].Language;
        if (!seen.contains(language.toLower())) {
            seen.insert(language.toLower());
            names.append(language);
        }
    }
    return names;
}

QString fileName(const QString& language, Format format)
{
    return LanguageExport::baseName(language) +
           (format == Format::VsCodeSnippets ? QStringLiteral(".code-snippets") : QStringLiteral(".md"));
}

QStringList codeLines(const QString& code)
{
    return code.split(LineEnd);
}

QByteArray vsCodeDocument(const CodeArray& records, const std::vector<qsizetype>& indexes)
{
    QString text = QStringLiteral("{") + LineEnd;
    QSet<QString> keys;
    for (size_t n = 0; n < indexes.size(); ++n) {
        const SnippetRecord& r = records[size_t(indexes[n])];
        text += QStringLiteral("  ") + jsonString(unused(r.Title, QString(), keys)) + QStringLiteral(": {") +
                LineEnd;
        text += QStringLiteral("    \"prefix\": ") + jsonString(prefixOf(r)) + u',' + LineEnd;
        text += QStringLiteral("    \"body\": [") + LineEnd;
        const QStringList lines = codeLines(r.Code.toString());
        for (qsizetype l = 0; l < lines.size(); ++l) {
            text += QStringLiteral("      ") + jsonString(lines[l]) +
                    (l + 1 < lines.size() ? QStringLiteral(",") : QString()) + LineEnd;
        }
        text += QStringLiteral("    ],") + LineEnd;
        const QString scope = LanguageIds::idFor(r.Language);
        text += QStringLiteral("    \"description\": ") + jsonString(r.Category) +
                (scope.isEmpty() ? QString() : QStringLiteral(",")) + LineEnd;
        if (!scope.isEmpty()) {
            text += QStringLiteral("    \"scope\": ") + jsonString(scope) + LineEnd;
        }
        text += QStringLiteral("  }") + (n + 1 < indexes.size() ? QStringLiteral(",") : QString()) + LineEnd;
    }
    text += QStringLiteral("}") + LineEnd;
    return utf8(text);
}

QString fenceFor(const QString& code)
{
    qsizetype longest = 0;
    qsizetype run = 0;
    for (const QChar c : code) {
        run = c == u'`' ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return QString(std::max<qsizetype>(3, longest + 1), u'`');
}

QByteArray markdownDocument(const CodeArray& records, const std::vector<qsizetype>& indexes)
{
    if (indexes.empty()) {
        return {};
    }
    const QString language = records[size_t(indexes.front())].Language;
    const QString info = LanguageIds::idFor(language);
    QString text = QStringLiteral("# ") + oneLine(language) + LineEnd;
    QString category;
    for (size_t n = 0; n < indexes.size(); ++n) {
        const SnippetRecord& r = records[size_t(indexes[n])];
        // The tree joins categories that differ only in letter case, and so does the page.
        if (n == 0 || r.Category.toLower() != category) {
            category = r.Category.toLower();
            text += LineEnd + QStringLiteral("## ") + oneLine(r.Category) + LineEnd;
        }
        text += LineEnd + QStringLiteral("### ") + oneLine(r.Title) + LineEnd + LineEnd;
        const QString keywords = r.Keywords.simplified();
        if (!keywords.isEmpty()) {
            text += QStringLiteral("Keywords: ") + keywords + LineEnd + LineEnd;
        }
        const QString code = r.Code.toString();
        const QString fence = fenceFor(code);
        text += fence + info + LineEnd;
        if (!code.isEmpty()) {
            text += code + LineEnd;
        }
        text += fence + LineEnd;
    }
    return utf8(text);
}

Result exportLanguage(const CodeArray& records, const QString& language, const QString& folder, Format format)
{
    Result result;
    const std::vector<qsizetype> indexes = languageRecords(records, language);
    if (indexes.empty()) {
        result.status = Result::NoSnippet;
        result.error = QStringLiteral("The language %1 has no snippet").arg(language);
        return result;
    }
    if (!makeFolder(folder, result) ||
        !write(folder, fileName(records[size_t(indexes.front())].Language, format),
               document(records, indexes, format), result)) {
        return result;
    }
    result.snippets = qsizetype(indexes.size());
    return result;
}

Result exportLibraryMarkdown(const CodeArray& records, const QString& folder)
{
    Result result;
    const QStringList names = languages(records);
    if (names.isEmpty()) {
        result.status = Result::NoSnippet;
        result.error = QStringLiteral("The library has no snippet");
        return result;
    }
    if (!makeFolder(folder, result)) {
        return result;
    }
    QSet<QString> taken;
    for (const QString& language : names) {
        const std::vector<qsizetype> indexes = languageRecords(records, language);
        const QString name = unused(LanguageExport::baseName(language), QStringLiteral(".md"), taken);
        if (!write(folder, name, markdownDocument(records, indexes), result)) {
            return result;
        }
        result.snippets += qsizetype(indexes.size());
    }
    return result;
}

} // namespace TextExport
