#include "objects/ui/ViewerWindow.h"

#include "editor/HexDump.h"
#include "gui/InstalledFonts.h"

#include <QHash>
#include <QImageReader>
#include <QLabel>
#include <QTextEdit>

namespace {

// The codes end with the blank at column 30, which is shown with the characters.
constexpr int CodesEnd = HexDump::TextColumn - 2;

// The views' margins to the window's inner size, in pixels (125, 525 and 150 twips).
constexpr int TextRightMargin = 8;
constexpr int TextBottomMargin = 35;
constexpr int PictureBottomMargin = 10;

const QString ObjectViewerTitle = QStringLiteral("Zorbeth Object Viewer");

// Each owner's viewer, so that the panels of one window share it without searching for it.
QHash<const QWidget*, ViewerWindow*>& viewers()
{
    static QHash<const QWidget*, ViewerWindow*> byOwner;
    return byOwner;
}

QString span(const char* colour, QStringView text)
{
    return QStringLiteral("<span style=\"color:%1\">%2</span>")
        .arg(QLatin1String(colour), text.toString().toHtmlEscaped());
}

} // namespace

ViewerWindow::ViewerWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmViewer"));
    frmViewer_Form_Load();
}

ViewerWindow::~ViewerWindow()
{
    if (m_owner != nullptr) {
        viewers().remove(m_owner);
    }
}

ViewerWindow* ViewerWindow::of(QWidget& owner)
{
    ViewerWindow*& viewer = viewers()[&owner];
    if (viewer == nullptr) {
        viewer = new ViewerWindow(&owner);
        viewer->m_owner = &owner;
    }
    return viewer;
}

void ViewerWindow::frmViewer_Form_Load()
{
    resize(620, 450);
    setWindowTitle(ObjectViewerTitle);

    m_txtObjectDisplay = new QTextEdit(this);
    m_txtObjectDisplay->setObjectName(QStringLiteral("txtObjectDisplay"));
    m_txtObjectDisplay->setReadOnly(true);
    // Lines of about a thousand characters, and longer, stand unbroken.
    m_txtObjectDisplay->setLineWrapMode(QTextEdit::NoWrap);

    m_picObjectDisplay = new QLabel(this);
    m_picObjectDisplay->setObjectName(QStringLiteral("picObjectDisplay"));
    m_picObjectDisplay->setAlignment(Qt::AlignCenter);
    m_picObjectDisplay->hide();
    frmViewer_Form_Resize();
}

void ViewerWindow::frmViewer_Form_Resize()
{
    if (m_txtObjectDisplay == nullptr) {
        return;
    }
    const int w = width();
    const int h = height();
    m_txtObjectDisplay->setGeometry(0, 0, std::max(0, w - TextRightMargin),
                                    std::max(0, h - TextBottomMargin));
    m_picObjectDisplay->setGeometry(0, 0, w, std::max(0, h - PictureBottomMargin));
    fitPicture();
}

void ViewerWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    frmViewer_Form_Resize();
}

void ViewerWindow::showHexDump(const QString& dump)
{
    showTextView();
    const QFont font = InstalledFonts::font(QStringLiteral("Courier New"), 10);
    m_txtObjectDisplay->document()->setDefaultFont(font);
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

void ViewerWindow::showText(const QString& text)
{
    showTextView();
    setWindowTitle(ObjectViewerTitle);
    // The hex dump leaves its own font behind.
    m_txtObjectDisplay->document()->setDefaultFont(parentWidget() ? parentWidget()->font() : font());
    m_txtObjectDisplay->setPlainText(text);
}

void ViewerWindow::showTextView()
{
    m_picObjectDisplay->hide();
    m_txtObjectDisplay->show();
}

void ViewerWindow::showPictureView()
{
    setWindowTitle(ObjectViewerTitle);
    m_txtObjectDisplay->hide();
    m_picObjectDisplay->show();
}

bool ViewerWindow::loadPicture(const QString& path, QString* error)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        if (error) {
            *error = reader.errorString();
        }
        m_picture = QPixmap();
        m_picObjectDisplay->clear();
        return false;
    }
    m_picture = QPixmap::fromImage(image);
    fitPicture();
    return true;
}

void ViewerWindow::fitPicture()
{
    if (m_picture.isNull()) {
        return;
    }
    // A picture larger than the view is shown whole, scaled down; a smaller one at its own size.
    const QSize room = m_picObjectDisplay->size();
    const bool tooLarge = m_picture.width() > room.width() || m_picture.height() > room.height();
    m_picObjectDisplay->setPixmap(tooLarge && !room.isEmpty()
                                      ? m_picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                      : m_picture);
}
