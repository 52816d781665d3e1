#include "app/MainLayout.h"

#include "gui/CodeEditor.h"
#include "gui/SplitterBar.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/ui/StartupController.h"
#include "library/Workspace.h"
#include "settings/AppSettings.h"

#include <QEvent>
#include <QLineEdit>

namespace {

constexpr double Gap = 4; // pixels between the fields above the editor

int px(double twips)
{
    return qRound(twips / MainLayout::TwipsPerPixel);
}

} // namespace

MainLayout::MainLayout(WindowContext& context, QWidget& area, QWidget& search, QObject* parent)
    : QObject(parent), m_context(context), m_area(area), m_search(search)
{
    m_picture2 = new SplitterBar(Qt::Vertical, "Picture2", &m_area);
    m_picture1 = new SplitterBar(Qt::Horizontal, "Picture1", &m_area);
    m_picture1->raise();
    m_picture2->raise();
    connect(m_picture2, &SplitterBar::dragged, this, &MainLayout::Picture2_MouseMove);
    connect(m_picture1, &SplitterBar::dragged, this, &MainLayout::Picture1_MouseMove);
    m_area.installEventFilter(this);
    context.startup.addSettingsClient(this);
}

bool MainLayout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_area && event->type() == QEvent::Resize) {
        Form_Resize();
    }
    return QObject::eventFilter(watched, event);
}

void MainLayout::Form_Resize()
{
    if (m_context.ws.UpdateInProgress || m_context.window.isMinimized()) {
        return;
    }
    const SnippetViews& v = m_context.views;
    const double fieldHeight = v.txtTitle->sizeHint().height();
    const double fieldsBottom = Gap + fieldHeight + Gap + fieldHeight + Gap;

    m_input.width = m_area.width() * TwipsPerPixel + ExtraWidth;
    m_input.height = m_area.height() * TwipsPerPixel + ExtraHeight;
    m_input.rShare = m_context.ws.options.RShare;
    m_input.searchVisible = !m_search.isHidden();
    m_input.treeLeft = Gap * TwipsPerPixel;
    m_input.treeTop = TopOffset + Gap * TwipsPerPixel;
    m_input.editorTop = std::max(1200.0, TopOffset + fieldsBottom * TwipsPerPixel);
    m_current = WindowLayout::compute(m_input);
    m_input.splitterXPercent = m_current.splitterXPercent;
    m_input.splitterYPercent = m_current.splitterYPercent;

    const WindowLayout::Result& r = m_current;
    auto place = [](QWidget* widget, double left, double top, double width, double height) {
        widget->setGeometry(px(left), px(top - TopOffset), std::max(0, px(width)), std::max(0, px(height)));
    };
    const double barWidth = 5 * TwipsPerPixel;
    place(&m_context.tree, r.tree.left, r.tree.top, r.tree.width, r.tree.height);
    place(m_picture2, r.verticalBar.left - barWidth, r.verticalBar.top, barWidth * 2, r.verticalBar.height);
    const double titleTop = r.tree.top;
    const double fieldsTop = titleTop + (fieldHeight + Gap) * TwipsPerPixel;
    const double fieldTwips = fieldHeight * TwipsPerPixel;
    place(v.txtTitle, r.title.left, titleTop, r.title.width, fieldTwips);
    place(v.txtKeywords, r.keywords.left, fieldsTop, r.keywords.width, fieldTwips);
    place(v.txtObject, r.object.left, fieldsTop, r.object.width, fieldTwips);
    place(v.txtUpdate, r.update.left, fieldsTop, r.update.width, fieldTwips);
    place(v.txtCode, r.code.left, r.code.top, r.code.width, r.code.height);

    m_picture1->setVisible(r.horizontalBarVisible);
    m_picture1->setEnabled(r.horizontalBarVisible);
    if (r.horizontalBarVisible) {
        place(m_picture1, r.search.left, r.horizontalBar.top - barWidth, r.horizontalBar.width, barWidth * 2);
        place(&m_search, r.search.left, r.search.top, r.search.width, r.search.height);
    }
}

void MainLayout::Picture2_MouseMove(QPoint position)
{
    // The bar is drawn centred on its position, so the pointer's place is measured from there.
    const double candidate =
        m_current.verticalBar.left + (position.x() - m_picture2->width() / 2) * TwipsPerPixel;
    if (const auto percent = WindowLayout::dragVerticalBar(m_input.width, candidate)) {
        m_input.splitterXPercent = *percent;
        Form_Resize();
    }
}

void MainLayout::Picture1_MouseMove(QPoint position)
{
    const double candidate =
        m_current.horizontalBar.top + (position.y() - m_picture1->height() / 2) * TwipsPerPixel;
    if (const auto percent = WindowLayout::dragHorizontalBar(m_input.height, candidate)) {
        m_input.splitterYPercent = *percent;
        Form_Resize();
    }
}

void MainLayout::applySettings(const AppSettings& settings)
{
    m_input.splitterXPercent = settings.SplitterXPerCent;
    m_input.splitterYPercent = settings.SplitterYPerCent;
    m_current.horizontalBar.top = settings.SplitterPosY;
    m_context.window.move(px(settings.MainLeft), px(settings.MainTop));
    m_context.window.resize(px(settings.MainWidth), px(settings.MainHeight));
}

void MainLayout::collectSettings(AppSettings& settings) const
{
    settings.SplitterXPerCent = m_input.splitterXPercent;
    settings.SplitterYPerCent = m_input.splitterYPercent;
    settings.SplitterPosY = m_current.horizontalBar.top;
    const QRect frame = m_context.window.frameGeometry();
    settings.MainLeft = frame.x() * TwipsPerPixel;
    settings.MainTop = frame.y() * TwipsPerPixel;
    settings.MainWidth = m_context.window.width() * TwipsPerPixel;
    settings.MainHeight = m_context.window.height() * TwipsPerPixel;
}
