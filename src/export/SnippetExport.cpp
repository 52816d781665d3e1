#include "export/SnippetExport.h"

#include "export/HtmlTemplate.h"
#include "export/RtfToHtml.h"
#include "settings/SettingsStore.h"
#include "store/SafeFile.h"
#include "store/TextCodec.h"

#include <limits>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace SnippetExport {

namespace {

const QString CounterKey = QStringLiteral("HTMLCount");

bool fail(QString* error, const QString& reason, const QString& path)
{
    if (error) {
        *error = reason + QStringLiteral(": ") + QDir::toNativeSeparators(path);
    }
    return false;
}

} // namespace

QString pageName(const QString& suffix)
{
    return QStringLiteral("zorbeth") + suffix + QStringLiteral(".htm");
}

QString nextCounter(SettingsStore& store)
{
    const int count = store.getInt(CounterKey, 0);
    // The counter only grows; past the largest value it starts again at 1 rather than overflow.
    const int next = count < std::numeric_limits<int>::max() ? count + 1 : 1;
    store.saveInt(CounterKey, next);
    store.sync();
    return QString::number(next);
}

void clearCounter(SettingsStore& store)
{
    store.save(CounterKey, QStringLiteral("0"));
    store.sync();
}

QString codeFromConverted(QString html)
{
    const qsizetype n = html.size();
    char16_t* units = nullptr;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = html.at(i).unicode();
        if (u < 0xD800 || u >= 0xE000) {
            continue;
        }
        if (u < 0xDC00 && i + 1 < n && html.at(i + 1).unicode() >= 0xDC00 &&
            html.at(i + 1).unicode() < 0xE000) {
            ++i;
            continue;
        }
        if (!units) {
            units = reinterpret_cast<char16_t*>(html.data());
        }
        units[i] = 0xFFFD;
    }
    html.replace(QStringLiteral("\r\n\r"), QStringLiteral("\r\n"));
    return html;
}

QByteArray pageBytes(QString templateText, Tags tags, const SnippetRecord& record, const QString& code,
                     const QString& indexFile)
{
    QString text = tags == Tags::SnippetPage
                       ? HtmlTemplate::fillSnippetPage(std::move(templateText), record, code)
                       : HtmlTemplate::fillLanguagePage(std::move(templateText), record, code, indexFile);
    text += QStringLiteral("\r\n");
    QByteArray bytes("\xEF\xBB\xBF");
    TextCodec::appendUtf8(bytes, text);
    return bytes;
}

bool writePage(const PageRequest& request, const QByteArray& rtf, const SnippetRecord& record, QString* error)
{
    const QDir folder(request.folder);
    const QString rtfPath = folder.filePath(request.rtfFile);
    const QString convertedPath = folder.filePath(request.convertedFile);
    const QString pagePath = folder.filePath(request.pageFile);
    // A converted file that is the page itself is no page without the template around it.
    auto abandon = [&] {
        if (convertedPath == pagePath) {
            QFile::remove(convertedPath);
        }
        return false;
    };
    auto goOn = [&request] { return !request.progress || request.progress(); };

    // A template under the name of the page or of the converter's output would be written over
    // before it is read.
    const QFileInfo templateFile(request.templatePath);
    if (templateFile == QFileInfo(pagePath) || templateFile == QFileInfo(convertedPath)) {
        return fail(error, QStringLiteral("The template is the page being written"), request.templatePath);
    }
    QString why;
    if (!SafeFile::overwriteWorkingFile(rtfPath, rtf + "\r\n", &why)) {
        return fail(error, why, rtfPath);
    }
    if (!goOn()) {
        return false;
    }

    if (!RtfToHtml::ConvertRtfToHtml(rtfPath, convertedPath, QStringLiteral("irun.dll"),
                                     QStringLiteral("EXRTF2WEB"), request.progress, &why)) {
        if (!goOn()) {
            return false;
        }
        if (error) {
            *error = why;
        }
        return false;
    }
    QFile converted(convertedPath);
    if (!converted.open(QIODevice::ReadOnly)) {
        return fail(error, converted.errorString(), convertedPath);
    }
    QString code = QString::fromUtf8(converted.readAll());
    converted.close();
    code.replace(QStringLiteral("\r\n\r"), QStringLiteral("\r\n"));
    if (!goOn()) {
        return abandon();
    }

    QString text;
    QString reason;
    if (!HtmlTemplate::read(request.templatePath, text, &reason)) {
        if (error) {
            *error = reason;
        }
        return abandon();
    }
    const QByteArray bytes = pageBytes(std::move(text), request.tags, record, code, request.indexFile);
    code.clear();
    if (!goOn()) {
        return abandon();
    }
    if (!SafeFile::writeWhole(pagePath, bytes, &why, SafeFile::Durability::Unsynced)) {
        fail(error, why, pagePath);
        return abandon();
    }
    return true;
}

} // namespace SnippetExport
