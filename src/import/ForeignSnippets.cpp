#include "import/ForeignSnippets.h"

#include "import/JsoncReader.h"
#include "import/MassCodeLibrary.h"
#include "import/PetSnippets.h"
#include "import/VsCodeSnippets.h"
#include "store/DateStamp.h"
#include "store/StagedRecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

// The staging array as the comparison expects it: what was found, or one empty record.
bool fill(CodeArray& staged, CodeArray records)
{
    StagedRecords to(staged);
    to.adopt(std::move(records));
    return to.found();
}

QString cannotImport(const QString& path, const QString& why)
{
    return QStringLiteral("The file \"%1\" cannot be imported: %2.").arg(QDir::toNativeSeparators(path), why);
}

} // namespace

namespace ForeignSnippets {

Format formatFor(const QString& path)
{
    if (path.endsWith(QLatin1String(".code-snippets"))) {
        return Format::VsCode;
    }
    if (path.endsWith(QLatin1String(".json"))) {
        return Format::Json;
    }
    if (path.endsWith(QLatin1String(".db"))) {
        return Format::MassCodeDatabase;
    }
    if (path.endsWith(QLatin1String(".toml"))) {
        return Format::Pet;
    }
    return Format::None;
}

bool stageBytes(QByteArrayView bytes, const QString& fileName, Format format, const QString& date,
                CodeArray& staged, QString* error)
{
    CodeArray records;
    bool ok = false;
    QString why;
    if (format == Format::Pet) {
        ok = PetSnippets::read(bytes, date, records, &why);
        if (!ok) {
            why = QStringLiteral("it is not valid TOML at ") + why;
        }
    } else if (format == Format::VsCode || format == Format::Json) {
        JsoncReader::Document document;
        ok = JsoncReader::parse(bytes, document, &why);
        if (!ok) {
            why = QStringLiteral("it is not valid JSON at ") + why;
        } else if (format == Format::Json && MassCodeLibrary::isLibrary(document.json)) {
            MassCodeLibrary::stage(MassCodeLibrary::fromJson(document.json), date, records);
        } else {
            ok = VsCodeSnippets::read(document, fileName, date, records, &why);
        }
    }
    if (!ok) {
        records.clear();
        if (error) {
            *error = why;
        }
    }
    return fill(staged, std::move(records));
}

bool stageFile(const QString& path, CodeArray& staged, QString* error)
{
    staged.assign(1, SnippetRecord{});
    const Format format = formatFor(path);
    const QFileInfo info(path);
    if (format == Format::None) {
        return false;
    }
    if (info.size() > MaxFileSize) {
        if (error) {
            *error = cannotImport(path, QStringLiteral("it is %1 large, and files over %2 are not imported")
                                            .arg(QLocale::c().formattedDataSize(info.size()),
                                                 QLocale::c().formattedDataSize(MaxFileSize)));
        }
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = cannotImport(path, file.errorString());
        }
        return false;
    }
    // The date the local import gives what it stages: the user's own form, taken once.
    const QString date = QLocale::system().toString(DateStamp::moment(), QLocale::ShortFormat);
    QString why;
    bool found = false;
    if (format == Format::MassCodeDatabase) {
        file.close();
        MassCodeLibrary::Library library;
        if (MassCodeLibrary::fromDatabase(path, library, &why)) {
            CodeArray records;
            MassCodeLibrary::stage(library, date, records);
            found = fill(staged, std::move(records));
        }
    } else {
        found = stageBytes(file.readAll(), info.fileName(), format, date, staged, &why);
    }
    if (!why.isEmpty() && error) {
        *error = cannotImport(path, why);
    }
    return found;
}

} // namespace ForeignSnippets
