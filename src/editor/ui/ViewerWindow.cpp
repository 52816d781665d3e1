#include "editor/ui/ViewerWindow.h"

#include "editor/HexDump.h"
#include "editor/ui/InstalledFonts.h"

#include <QLabel>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

// The codes end with the blank at column 30, which is shown with the characters.
constexpr int CodesEnd = HexDump::TextColumn - 2;

QString span(const char* colour, QStringView text)
{
    return QStringLiteral("<span style=\"color:%1\">%2</span>")
        .arg(QLatin1String(colour), text.toString().toHtmlEscaped());
}

} // namespace

ViewerWindow::ViewerWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmViewer"));
    resize(620, 450);

    m_txtObjectDisplay = new QTextEdit;
    m_txtObjectDisplay->setObjectName(QStringLiteral("txtObjectDisplay"));
    m_txtObjectDisplay->setReadOnly(true);
    // Lines of about a thousand characters stand unbroken.
    m_txtObjectDisplay->setLineWrapMode(QTextEdit::NoWrap);

    m_picObjectDisplay = new QLabel;
    m_picObjectDisplay->setObjectName(QStringLiteral("picObjectDisplay"));
    m_picObjectDisplay->setAlignment(Qt::AlignCenter);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_txtObjectDisplay);
    layout->addWidget(m_picObjectDisplay);
    m_picObjectDisplay->hide();
}

void ViewerWindow::showHexDump(const QString& dump)
{
    m_picObjectDisplay->hide();
    const QFont font = InstalledFonts::font(QStringLiteral("Courier New"), 10);
    m_txtObjectDisplay->document()->setDefaultFont(font);
    m_txtObjectDisplay->show();
    setWindowTitle(QStringLiteral("Zorbeth Hex Viewer"));

    QString html = QStringLiteral("<pre style=\"margin:0\">");
    html.reserve(dump.size() * 3);
    const QStringList lines = dump.isEmpty() ? QStringList() : dump.split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QStringView line(lines[i]);
        if (i > 0) {
            html += u'\n';
        }
        html += span("#0000ff", line.left(HexDump::PairsColumn));
        html += span("#ff0000", line.mid(HexDump::PairsColumn, CodesEnd - HexDump::PairsColumn));
        html += span("#000000", line.mid(CodesEnd));
    }
    html += QStringLiteral("</pre>");
    m_txtObjectDisplay->setHtml(html);

    QTextCursor start = m_txtObjectDisplay->textCursor();
    start.movePosition(QTextCursor::Start);
    m_txtObjectDisplay->setTextCursor(start);
}
