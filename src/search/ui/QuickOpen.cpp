#include "search/ui/QuickOpen.h"

#include "gui/WaitCursor.h"
#include "gui/WindowContext.h"
#include "library/ui/TreeController.h"
#include "library/Workspace.h"
#include "search/QuickOpenIndex.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QVBoxLayout>

namespace {

constexpr int RecordRole = Qt::UserRole;
constexpr int MaxWidth = 640;
constexpr int VisibleRows = 12;

} // namespace

QuickOpen::QuickOpen(WindowContext& context, QWidget& window)
    : QFrame(&window), m_context(context), m_window(window)
{
    setObjectName(QStringLiteral("frmQuickOpen"));
    setFrameShape(QFrame::StyledPanel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    m_txtQuickOpen = new QLineEdit(this);
    m_txtQuickOpen->setObjectName(QStringLiteral("txtQuickOpen"));
    m_txtQuickOpen->setPlaceholderText(tr("Snippet title, keyword, language or category"));
    m_txtQuickOpen->installEventFilter(this);
    // The box keeps its place over the window as the window is resized.
    m_window.installEventFilter(this);
    layout->addWidget(m_txtQuickOpen);
    m_lstQuickOpen = new QListWidget(this);
    m_lstQuickOpen->setObjectName(QStringLiteral("lstQuickOpen"));
    m_lstQuickOpen->setUniformItemSizes(true);
    m_lstQuickOpen->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_lstQuickOpen);
    hide();

    connect(m_txtQuickOpen, &QLineEdit::textChanged, this, &QuickOpen::txtQuickOpen_Change);
    connect(m_lstQuickOpen, &QListWidget::itemActivated, this, &QuickOpen::openCurrent);
    // A click elsewhere in the window puts the box away, as a popup would.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (isVisible() && now != nullptr && now != this && !isAncestorOf(now)) {
            dismiss();
        }
    });
    // A sort or reload gives the records other indexes than the list holds.
    connect(&m_context.treeController, &TreeController::recordsReordered, this, &QuickOpen::dismiss);

    m_mnuQuickOpen = m_context.menus.search->addAction(QStringLiteral("Quick Open\u2026"));
    m_mnuQuickOpen->setObjectName(QStringLiteral("mnuQuickOpen"));
    connect(m_mnuQuickOpen, &QAction::triggered, this, &QuickOpen::mnuQuickOpen_Click);
}

QuickOpen::~QuickOpen() = default;

void QuickOpen::mnuQuickOpen_Click()
{
    if (!isVisible()) {
        m_focusBefore = QApplication::focusWidget();
    }
    {
        const WaitCursor wait;
        m_index = std::make_unique<QuickOpenIndex>(m_context.ws.codeArray);
    }
    {
        // An empty box lists the first snippets whatever it held before.
        const QSignalBlocker block(m_txtQuickOpen);
        m_txtQuickOpen->clear();
    }
    txtQuickOpen_Change();
    place();
    show();
    raise();
    m_txtQuickOpen->setFocus(Qt::PopupFocusReason);
}

void QuickOpen::dismiss()
{
    if (!isVisible()) {
        return;
    }
    const bool hadFocus = isAncestorOf(QApplication::focusWidget());
    hide();
    m_lstQuickOpen->clear();
    m_index.reset();
    if (hadFocus && m_focusBefore) {
        m_focusBefore->setFocus(Qt::PopupFocusReason);
    }
}

void QuickOpen::place()
{
    const int width = std::min(MaxWidth, m_window.width() - 40);
    const int rowHeight = std::max(m_lstQuickOpen->fontMetrics().height() + 4, 16);
    const int height = m_txtQuickOpen->sizeHint().height() + rowHeight * VisibleRows + 16;
    setGeometry((m_window.width() - width) / 2, m_window.height() / 10, std::max(width, 200),
                std::min(height, m_window.height() - m_window.height() / 10));
}

void QuickOpen::txtQuickOpen_Change()
{
    if (!m_index) {
        return;
    }
    const CodeArray& records = m_context.ws.codeArray;
    m_lstQuickOpen->setUpdatesEnabled(false);
    m_lstQuickOpen->clear();
    for (const QuickOpenIndex::Row& row : m_index->find(m_txtQuickOpen->text())) {
        auto* item = new QListWidgetItem(QuickOpenIndex::rowText(records[size_t(row.index)]));
        item->setData(RecordRole, qlonglong(row.index));
        m_lstQuickOpen->addItem(item);
    }
    m_lstQuickOpen->setCurrentRow(m_lstQuickOpen->count() > 0 ? 0 : -1);
    m_lstQuickOpen->setUpdatesEnabled(true);
}

void QuickOpen::moveCurrent(int by)
{
    const int count = m_lstQuickOpen->count();
    if (count == 0) {
        return;
    }
    m_lstQuickOpen->setCurrentRow(std::clamp(m_lstQuickOpen->currentRow() + by, 0, count - 1));
}

void QuickOpen::openCurrent()
{
    const QListWidgetItem* item = m_lstQuickOpen->currentItem();
    if (item == nullptr) {
        QApplication::beep();
        return;
    }
    const qsizetype index = qsizetype(item->data(RecordRole).toLongLong());
    dismiss();
    emit snippetChosen(index);
}

bool QuickOpen::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Resize && isVisible()) {
        place();
    }
    if (watched == m_txtQuickOpen && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Up:
            moveCurrent(-1);
            return true;
        case Qt::Key_Down:
            moveCurrent(1);
            return true;
        case Qt::Key_PageUp:
            moveCurrent(-(VisibleRows - 1));
            return true;
        case Qt::Key_PageDown:
            moveCurrent(VisibleRows - 1);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            openCurrent();
            return true;
        case Qt::Key_Escape:
            dismiss();
            return true;
        default:
            break;
        }
    }
    return QFrame::eventFilter(watched, event);
}
