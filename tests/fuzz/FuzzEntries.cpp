#include "FuzzEntries.h"

#include "editor/LanguageDefinition.h"
#include "export/RtfToHtml.h"
#include "import/ForeignSnippets.h"
#include "import/JsoncReader.h"
#include "import/SourceSplitter.h"
#include "objects/ResourceFile.h"
#include "objects/SafeNames.h"
#include "settings/AppSettings.h"
#include "settings/SettingsStore.h"
#include "store/DatabaseFile.h"
#include "store/TextCodec.h"
#include "store/Zq5File.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

namespace {

// A broken promise: says which and stops, so the fuzzer keeps the input as it keeps a crash.
void require(bool holds, const char* promise)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz entry: broken promise: %s\n", promise);
        std::fflush(stderr);
        std::abort();
    }
}

// A splitter that finds nothing leaves the one empty staging record; one that finds something
// stores its snippets from index 0 on, each under the import's category.
void requireStaging(const CodeArray& staged, bool found)
{
    require(!staged.empty(), "the staging array keeps its first record");
    if (!found) {
        require(staged.size() == 1 && staged.front() == SnippetRecord{}, "nothing found stages nothing");
        return;
    }
    for (const SnippetRecord& r : staged) {
        require(r.Category == QLatin1String(SourceSplitter::Category),
                "a staged snippet is in category import");
    }
}

// What every other tool's file stages: nothing but the one empty record, or records whose code
// has CR LF between its lines and nothing else as a line end.
void requireForeignStaging(const CodeArray& staged, bool found, const QString& error)
{
    require(!found || error.isEmpty(), "a file that stages snippets reports no error");
    if (!found) {
        require(staged.size() == 1 && staged.front() == SnippetRecord{}, "nothing found stages nothing");
        return;
    }
    for (const SnippetRecord& r : staged) {
        for (const QString& text : {r.Code.toString(), r.DText}) {
            const qsizetype crLf = text.count(QLatin1String("\r\n"));
            require(text.count(u'\r') == crLf && text.count(u'\n') == crLf, "staged lines end with CR LF");
        }
    }
}

} // namespace

// Qt asks for whatever size a hostile "@Variant" setting claims and copes when the allocation is
// refused, as the system's malloc refuses it; AddressSanitizer (fuzz targets, the sanitizer suite)
// is told to refuse it too rather than call it a crash. ASAN_OPTIONS given at run time still win.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1";
}

namespace FuzzEntries {

const QList<Target>& targets()
{
    static const QList<Target> all{
        {"database", &database, ".txt"},
        {"database_spans", &databaseSpans, ""},
        {"zq5", &zq5, ".zq5"},
        {"split_vb", &splitVB, ".bas"},
        {"split_html", &splitHTML, ".html"},
        {"split_function", &splitFunction, ".cpp"},
        {"language_definition", &languageDefinition, ""},
        {"rtf_to_html", &rtfToHtml, ""},
        {"settings", &settings, ""},
        {"text_codec", &textCodec, ""},
        {"attachment_name", &attachmentName, ""},
        {"attachment_range", &attachmentRange, ""},
        {"jsonc", &jsonc, ".json"},
        {"toml", &toml, ".toml"},
    };
    return all;
}

const Target* find(QStringView name)
{
    for (const Target& target : targets()) {
        if (name == QLatin1StringView(target.name)) {
            return &target;
        }
    }
    return nullptr;
}

void database(QByteArrayView bytes)
{
    const DatabaseFile::ReadResult read = DatabaseFile::parse(bytes.toByteArray());
    require(read.lostRecords >= 0 && read.lostRecords <= read.recordStarts,
            "no more records lost than record starts seen");
    require(read.lostTitles.size() <= read.recordStarts, "no more lost titles than record starts seen");
    // Read in two halves at once, as a large library is, the bytes give the same.
    const DatabaseFile::ReadResult halves = DatabaseFile::parse(bytes.toByteArray(), 0);
    require(halves.records == read.records && halves.complete == read.complete &&
                halves.recordStarts == read.recordStarts && halves.lostRecords == read.lostRecords &&
                halves.lostTitles == read.lostTitles && halves.nonUtf8Bytes == read.nonUtf8Bytes,
            "a read in two halves finds what one read finds");

    // What was read, saved and read again, is what was read once mended to fit the format.
    CodeArray records = read.records;
    DatabaseFile::fitToFormat(records);
    const DatabaseFile::ReadResult again =
        DatabaseFile::parse(DatabaseFile::serialize(records, QStringLiteral("2026-01-01 00:00:00")));
    require(again.opened || again.error.isEmpty(), "parsing bytes reports no file error");
    require(again.complete, "a saved library reads to its end marker");
    require(!again.damaged(), "a saved library reads as undamaged");
    require(again.nonUtf8Bytes == 0, "a saved library is UTF-8");
    require(again.records == records, "a saved library reads back as the records saved");
}

void databaseSpans(QByteArrayView bytes)
{
    if (!TextCodec::isUtf8(bytes)) {
        DatabaseFile::Walk walk;
        DatabaseFile::parseSpans(bytes, nullptr, walk);
        // A walk that saw only ASCII leaves the rest to be checked, which must then fail.
        require(!walk.ascii || !TextCodec::isUtf8(bytes.sliced(walk.end)),
                "bytes that are not UTF-8 are found so by the walk and the check of the rest");
        return;
    }
    const DatabaseFile::ReadResult read = DatabaseFile::parse(bytes.toByteArray());
    std::vector<DatabaseFile::RecordSpans> spans;
    DatabaseFile::Walk walk;
    // Small inputs are walked in two halves too, as a large library is.
    const DatabaseFile::ReadResult walked =
        DatabaseFile::parseSpans(bytes, &spans, walk, bytes.size() % 2 ? 0 : 1 << 30);
    const qsizetype count = walk.records;
    const bool lfMode = walk.lfMode;
    const QByteArrayView looked = bytes.first(walk.end);
    // Loads of sixteen bytes can see past the walk's end, so only "ASCII" is a promise.
    require(!walk.ascii || std::all_of(looked.begin(), looked.end(), [](char c) { return uchar(c) < 0x80; }),
            "a walk that says ASCII looked at ASCII bytes only");
    require(walked.complete == read.complete && walked.recordStarts == read.recordStarts &&
                walked.lostRecords == read.lostRecords && walked.lostTitles == read.lostTitles &&
                walked.nonUtf8Bytes == read.nonUtf8Bytes,
            "the walk finds the reader's end, starts and losses");
    require(count == qsizetype(read.records.size()) && spans.size() == read.records.size(),
            "the walk finds as many records as the reader");
    auto text = [&](const DatabaseFile::Span& span) { return DatabaseFile::spanText(bytes, span, lfMode); };
    auto number = [&](const DatabaseFile::Span& span) {
        return LeadingNumber(bytes.sliced(span.begin, span.size));
    };
    for (size_t i = 0; i < spans.size(); ++i) {
        const DatabaseFile::RecordSpans& s = spans[i];
        SnippetRecord r;
        r.Title = text(s.title);
        r.Language = text(s.language);
        r.Category = text(s.category);
        r.Keywords = text(s.keywords);
        r.Date = text(s.date);
        r.ObjectName = text(s.objectName);
        r.ObjectFlag = number(s.objectFlag);
        r.ObjectStart = number(s.objectStart);
        r.ObjectLength = number(s.objectLength);
        r.DText = text(s.dText);
        r.Code = text(s.code);
        r.HText = text(s.hText);
        require(r == read.records[i], "every value of the walk decodes to the reader's value");
    }
}

void zq5(QByteArrayView bytes)
{
    CodeArray staged;
    QString error;
    const bool found = ParseZq5CodeData(TextCodec::decode(bytes), staged, &error);
    require(!staged.empty(), "the staging array keeps its first record");
    for (const SnippetRecord& r : staged) {
        require(!found || r.Language == QLatin1String(Zq5Language),
                "version-5 records stage under one language");
    }
}

void splitVB(QByteArrayView bytes)
{
    CodeArray staged;
    requireStaging(staged, SourceSplitter::splitVB(staged, TextCodec::decode(bytes)));
}

void splitHTML(QByteArrayView bytes)
{
    CodeArray staged;
    const bool found = SourceSplitter::splitHTML(staged, TextCodec::decode(bytes));
    requireStaging(staged, found);
    for (size_t i = 0; found && i < staged.size(); ++i) {
        require(staged[i].Code.toString().startsWith(u'<') && staged[i].Code.toString().endsWith(u'>'),
                "an HTML snippet runs from its opening tag to its closing one");
    }
}

void splitFunction(QByteArrayView bytes)
{
    const QString text = TextCodec::decode(bytes);
    for (const char* subType : {"class", "Sub"}) {
        CodeArray staged;
        const bool found = SourceSplitter::splitFunction(staged, text, QLatin1String(subType), "Language");
        requireStaging(staged, found);
        for (size_t i = 0; found && i < staged.size(); ++i) {
            require(staged[i].Code.toString().startsWith(QLatin1String(subType), Qt::CaseInsensitive) &&
                        staged[i].Code.toString().endsWith(u'}'),
                    "a definition runs from its keyword to a closing brace");
        }
    }
}

void languageDefinition(QByteArrayView bytes)
{
    QString error;
    const std::optional<LanguageDefinition> def = LanguageDefinition::parse(TextCodec::decode(bytes), &error);
    if (!def) {
        require(!error.isEmpty(), "a definition that cannot be read says why");
        return;
    }
    require(!def->name.isEmpty(), "a definition names its language");
    require(LanguageDefinition::lexerNames().contains(def->lexer), "a definition's lexer is a known one");
    for (int kind = int(TokenKind::Default); kind <= int(TokenKind::Attribute); ++kind) {
        const TokenStyle* style = def->styleFor(TokenKind(kind));
        require(!style || def->styles.contains(*style), "a style shown is one of the definition's");
    }
}

void rtfToHtml(QByteArrayView bytes)
{
    const QString html = RtfToHtml::convert(bytes);
    const std::optional<QString> withProgress = RtfToHtml::convert(bytes, [] { return true; });
    require(withProgress && *withProgress == html, "progress calls leave the conversion as it is");
}

void settings(QByteArrayView bytes)
{
    // A file written per input: in memory where the system has a folder for it.
    static QTemporaryDir folder(QDir("/dev/shm").exists() ? "/dev/shm/zorbeth-fuzz-settings-XXXXXX"
                                                          : QString());
    static qint64 run = 0;
    const QString path = folder.path() + QLatin1String("/zorbeth.ini");
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
                    file.write(bytes.data(), bytes.size()) == bytes.size(),
                "the settings file can be written");
        // A new time each run, so the settings cache never takes one input for the one before.
        file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++run),
                         QFileDevice::FileModificationTime);
    }
    SettingsStore store(folder.path());
    AppSettings options;
    options.get(store);
    // QSettings lists a line "=value" as a key without a name, which no one can ask for.
    for (const auto& [key, value] : store.all()) {
        require(key.isEmpty() || store.contains(key), "every key listed is found again");
    }
}

void textCodec(QByteArrayView bytes)
{
    qsizetype nonUtf8 = 0;
    const QString mixed = TextCodec::decodeMixed(bytes, &nonUtf8);
    require(nonUtf8 >= 0 && nonUtf8 <= bytes.size(), "no more bytes read as Windows-1252 than there are");
    if (TextCodec::isUtf8(bytes)) {
        require(nonUtf8 == 0 && mixed == QString::fromUtf8(bytes), "UTF-8 reads as UTF-8");
        require(TextCodec::decode(bytes) == mixed, "a file of UTF-8 reads as UTF-8");
    } else {
        require(nonUtf8 > 0, "text that is not UTF-8 has a byte read as Windows-1252");
        require(TextCodec::decode(bytes) == mixed, "a file not all UTF-8 reads as mixed text");
    }
    QByteArray written;
    TextCodec::appendUtf8(written, mixed);
    require(TextCodec::isUtf8(written), "text written out is UTF-8");
    qsizetype again = 0;
    require(TextCodec::decodeMixed(written, &again) == mixed && again == 0,
            "text written out reads back as it was");
}

void attachmentName(QByteArrayView bytes)
{
    const QString name = SafeNames::fileName(TextCodec::decodeMixed(bytes));
    if (name.isEmpty()) {
        return;
    }
    for (QChar c : name) {
        require(c != u'/' && c != u'\\' && c != u':', "a safe name has no path separator");
        require(c.unicode() >= 0x20 && c.unicode() != 0x7f, "a safe name has no control character");
    }
    require(name != QLatin1String(".") && name != QLatin1String(".."), "a safe name is no dot name");
    require(name.toUtf8().size() <= SafeNames::MaxNameBytes, "a safe name fits a file system's name");
    require(SafeNames::fileName(name) == name, "a safe name stays as it is");
}

void attachmentRange(QByteArrayView bytes)
{
    if (bytes.size() < 8) {
        return;
    }
    auto number = [&](qsizetype at) {
        quint32 value = 0;
        for (int i = 3; i >= 0; --i) {
            value = (value << 8) | quint8(bytes[at + i]);
        }
        return qint64(qint32(value));
    };
    const qint64 start = number(0);
    const qint64 length = number(4);
    const QByteArrayView content = bytes.sliced(8);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zorbethresource.res"));
    {
        QFile file(path);
        require(file.open(QIODevice::WriteOnly) &&
                    file.write(content.data(), content.size()) == content.size(),
                "the resource file of the test is written");
    }
    const bool inside = ResourceFile::inRange(start, length, content.size());
    const ResourceFile::ReadResult read = ResourceFile::read(path, start, length);
    require(read.ok == inside, "an object is read exactly when it lies inside the file");
    if (inside) {
        require(read.bytes == content.sliced(start - 1, length), "an object reads back its own bytes");
    } else {
        require(read.bytes.isEmpty() && !read.error.isEmpty(), "an object outside the file reads nothing");
    }
}

void jsonc(QByteArrayView bytes)
{
    JsoncReader::Document document;
    QString error;
    const bool parsed = JsoncReader::parse(bytes, document, &error);
    require(parsed != !error.isEmpty(), "a parse fails exactly when it says why");
    if (parsed && document.json.isObject()) {
        const QJsonObject members = document.json.object();
        // Compared with the object's key list: Qt lists a name that began with a byte-order mark
        // without it, and then cannot look it up by that name either. Such a name and the same name
        // without the mark are two members of the object under one name, which is listed once.
        const QStringList keys = members.keys();
        require(document.memberOrder.size() == QSet<QString>(keys.begin(), keys.end()).size(),
                "every member's name is listed once");
        for (const QString& name : document.memberOrder) {
            require(keys.contains(name), "the listed members are the object's");
        }
    }
    // The same bytes as a VS Code file and, by their shape, as a massCode library.
    for (const auto format : {ForeignSnippets::Format::VsCode, ForeignSnippets::Format::Json}) {
        CodeArray staged;
        QString why;
        const bool found = ForeignSnippets::stageBytes(bytes, QStringLiteral("python.json"), format,
                                                       QStringLiteral("now"), staged, &why);
        requireForeignStaging(staged, found, why);
    }
}

void toml(QByteArrayView bytes)
{
    CodeArray staged;
    QString error;
    const bool found =
        ForeignSnippets::stageBytes(bytes, QStringLiteral("pet.toml"), ForeignSnippets::Format::Pet,
                                    QStringLiteral("now"), staged, &error);
    requireForeignStaging(staged, found, error);
    for (const SnippetRecord& r : staged) {
        require(!found || (r.Language == QLatin1String("Bash") && r.Category == QLatin1String("pet")),
                "pet snippets stage as Bash in category pet");
    }
}

} // namespace FuzzEntries
