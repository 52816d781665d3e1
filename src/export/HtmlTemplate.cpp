#include "export/HtmlTemplate.h"

#include "settings/AppInfo.h"
#include "settings/AppSettings.h"
#include "store/SafeFile.h"
#include "store/TextCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace HtmlTemplate {

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString fill(QString text, const SnippetRecord& record, const QString& code, Qt::CaseSensitivity cs)
{
    text.replace(QStringLiteral("<zq_Language>"), escaped(record.Language), cs);
    text.replace(QStringLiteral("<zq_Category>"), escaped(record.Category), cs);
    text.replace(QStringLiteral("<zq_Title>"), escaped(record.Title), cs);
    text.replace(QStringLiteral("<zq_Keywords>"), escaped(record.Keywords), cs);
    text.replace(QStringLiteral("<zq_Date>"), escaped(record.Date), cs);
    text.replace(QStringLiteral("<zq_Code>"), code, cs);
    return text;
}

} // namespace

QString escaped(const QString& value)
{
    QString text;
    text.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case u'&':
            text += QStringLiteral("&amp;");
            break;
        case u'<':
            text += QStringLiteral("&lt;");
            break;
        case u'>':
            text += QStringLiteral("&gt;");
            break;
        case u'"':
            text += QStringLiteral("&quot;");
            break;
        case u'\'':
            text += QStringLiteral("&#39;");
            break;
        default:
            text += c;
            break;
        }
    }
    return text;
}

QString defaultText()
{
    const QStringList lines{
        QStringLiteral("<html><body>"),
        QStringLiteral("<h3> <zq_Title> </h3><p><zq_Index><p>"),
        QStringLiteral("<table>"),
        QStringLiteral("<tr><th align=left>Language:<td><zq_Language>"),
        QStringLiteral("<tr><th align=left>Category:<td><zq_Category>"),
        QStringLiteral("<tr><th align=left>Keywords:<td><zq_Keywords>"),
        QStringLiteral("<tr><th align=left>Date:    <td><zq_Date>"),
        QStringLiteral("</table><p><zq_Code><p>"),
        QStringLiteral("Created by <a href=\"") + QLatin1String(AppInfo::ProductPage) +
            QStringLiteral("\"><b>Zorbeth</b></a>"),
        QStringLiteral("</body></html>"),
    };
    return lines.join(CrLf) + CrLf;
}

bool SetHTML(QString& templatePath, const QString& programFolder, QString* error)
{
    if (templatePath.isEmpty()) {
        templatePath = AppSettings::defaultTemplate(programFolder);
    }
    if (QFileInfo(templatePath).isFile()) {
        return true;
    }
    templatePath = AppSettings::defaultTemplate(programFolder);
    if (!QDir(programFolder).mkpath(QStringLiteral("html_templates"))) {
        if (error) {
            *error = QStringLiteral("Cannot create the folder ") + QFileInfo(templatePath).absolutePath();
        }
        return false;
    }
    QByteArray bytes;
    TextCodec::appendUtf8(bytes, defaultText());
    QString why;
    if (!SafeFile::writeWhole(templatePath, bytes, &why)) {
        if (error) {
            *error = why + QStringLiteral(": ") + templatePath;
        }
        return false;
    }
    return true;
}

QString unfitReason(const QString& path, const QString& programFolder)
{
    const QFileInfo chosen(path);
    const QDir folder(chosen.absolutePath());
    // Names compare without regard to case, as they do on the file systems that ignore it.
    auto sameFolder = [&folder](const QString& other) {
        return QDir::cleanPath(folder.absolutePath())
                   .compare(QDir::cleanPath(QDir(other).absolutePath()), Qt::CaseInsensitive) == 0;
    };
    static const QRegularExpression pageName(QStringLiteral("^zorbeth[0-9]*\\.htm$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (sameFolder(programFolder) && pageName.match(chosen.fileName()).hasMatch()) {
        return QStringLiteral("%1 cannot be the template: the snippet export writes its page under that "
                              "name in the program folder, and the template would be lost.")
            .arg(chosen.fileName());
    }
    if (sameFolder(QDir(programFolder).filePath(QStringLiteral("html_export")))) {
        return QStringLiteral("%1 cannot be the template: every language export deletes the pages in "
                              "html_export, and the template would be lost.")
            .arg(chosen.fileName());
    }
    return QString();
}

bool read(const QString& path, QString& text, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) {
            *error = file.errorString() + QStringLiteral(": ") + path;
        }
        return false;
    }
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        bytes.remove(0, 3);
    }
    text = TextCodec::decode(bytes);
    return true;
}

QString fillSnippetPage(QString text, const SnippetRecord& record, const QString& code)
{
    return fill(std::move(text), record, code, Qt::CaseSensitive);
}

QString fillLanguagePage(QString text, const SnippetRecord& record, const QString& code,
                         const QString& indexFile)
{
    text.replace(QStringLiteral("<zq_Index>"),
                 QStringLiteral("<a href=\"") + escaped(indexFile) + QStringLiteral("\"><b>Index</b></a>"),
                 Qt::CaseInsensitive);
    return fill(std::move(text), record, code, Qt::CaseInsensitive);
}

} // namespace HtmlTemplate
