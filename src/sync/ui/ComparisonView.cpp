#include "sync/ui/ComparisonView.h"

#include "gui/CodeEditor.h"
#include "gui/WindowLayout.h"
#include "sync/ui/RemoteListModel.h"

#include <QHeaderView>
#include <QSet>
#include <QTreeView>

namespace {

constexpr int Gap = 10; // 150 twips
constexpr int TwipsPerPixel = 15;
constexpr int ColumnTwips[] = {1500, 1800, 8000, 650, 1800};

} // namespace

ComparisonView::ComparisonView(RemoteListModel& model, std::function<int()> share, QWidget* parent)
    : QWidget(parent), m_share(std::move(share))
{
    setObjectName(QStringLiteral("viewRemote"));
    m_lstRemote = new QTreeView(this);
    m_lstRemote->setObjectName(QStringLiteral("lstRemote"));
    m_lstRemote->setModel(&model);
    m_lstRemote->setRootIsDecorated(false);
    m_lstRemote->setItemsExpandable(false);
    // A server copy may list a hundred thousand rows: every row is one line high.
    m_lstRemote->setUniformRowHeights(true);
    m_lstRemote->setAllColumnsShowFocus(true);
    m_lstRemote->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstRemote->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_lstRemote->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstRemote->setContextMenuPolicy(Qt::CustomContextMenu);
    m_lstRemote->header()->setSectionsMovable(false);
    m_lstRemote->header()->setStretchLastSection(false);

    m_txtRemote = new CodeEditor(this);
    m_txtRemote->setObjectName(QStringLiteral("txtRemote"));
    m_txtRemote->setReadOnly(true);
    m_txtRemote->setContextMenuPolicy(Qt::CustomContextMenu);
    setColumnWidths();
}

void ComparisonView::setColumnWidths()
{
    for (int c = 0; c < m_lstRemote->model()->columnCount(); ++c) {
        m_lstRemote->setColumnWidth(c, ColumnTwips[c] / TwipsPerPixel);
    }
}

void ComparisonView::fitLanguageColumn()
{
    const QAbstractItemModel& model = *m_lstRemote->model();
    int width = std::max(ColumnTwips[0] / TwipsPerPixel, m_lstRemote->header()->sectionSizeHint(0));
    // Rows share few languages: each is measured once, with the check box beside it.
    QSet<QString> measured;
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        const QString language = index.data().toString();
        if (!measured.contains(language)) {
            measured.insert(language);
            width = std::max(width, m_lstRemote->sizeHintForIndex(index).width() + Gap);
        }
    }
    m_lstRemote->setColumnWidth(0, width);
}

void ComparisonView::showCode(const QString& code)
{
    m_txtRemote->setReadOnly(false);
    m_txtRemote->setText(code);
    m_txtRemote->setReadOnly(true);
}

void ComparisonView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutViews();
}

void ComparisonView::layoutViews()
{
    // Measured on the frame, as the frame's width is what the share divides.
    const int frameWidth = parentWidget() ? parentWidget()->width() : width();
    const int left = x();
    const WindowLayout::ComparisonSpan<int> span =
        WindowLayout::comparisonSpan(frameWidth, left, m_share(), Gap);
    m_lstRemote->setGeometry(0, 0, std::max(0, std::min(span.listWidth, width())), height());
    m_txtRemote->setGeometry(span.codeLeft - left, 0, std::max(0, span.codeWidth), height());
}
