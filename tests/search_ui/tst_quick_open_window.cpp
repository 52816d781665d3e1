#include "gui/CodeEditor.h"
#include "library/ui/TreeController.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>

namespace {

SnippetRecord snippet(const QString& language, const QString& category, const QString& title,
                      const QString& code)
{
    SnippetRecord r;
    r.Language = language;
    r.Category = category;
    r.Title = title;
    r.Code = code;
    r.Date = QStringLiteral("2026-01-02 03:04:05");
    return r;
}

// The real window on a small library, shown and active so that keys reach it as a user's would.
// Sorted as loaded: T0 Bash/Files "Copy tree", T1 Bash/Files "List files", T2 Go/Net "Open socket",
// T3 Go/Net "Quick open port", T4 Go/Text "Split words".
class QuickOpenWindow
{
public:
    QuickOpenWindow()
    {
        f.writeLibrary({
            snippet(QStringLiteral("Go"), QStringLiteral("Net"), QStringLiteral("Open socket"),
                    QStringLiteral("net.Dial()")),
            snippet(QStringLiteral("Bash"), QStringLiteral("Files"), QStringLiteral("List files"),
                    QStringLiteral("ls -la")),
            snippet(QStringLiteral("Go"), QStringLiteral("Text"), QStringLiteral("Split words"),
                    QStringLiteral("strings.Fields(s)")),
            snippet(QStringLiteral("Bash"), QStringLiteral("Files"), QStringLiteral("Copy tree"),
                    QStringLiteral("cp -r a b")),
            snippet(QStringLiteral("Go"), QStringLiteral("Net"), QStringLiteral("Quick open port"),
                    QStringLiteral("listen()")),
        });
        MainWindow& w = f.open();
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        f.tree()->collapseAll();
        f.tree()->setFocus();
        box = f.find<QLineEdit>("txtQuickOpen");
        list = f.find<QListWidget>("lstQuickOpen");
        popup = f.find<QWidget>("frmQuickOpen");
    }

    void pressCtrlP() { QTest::keyClick(f.tree(), Qt::Key_P, Qt::ControlModifier); }

    QStringList rows() const
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) {
            texts << list->item(i)->text();
        }
        return texts;
    }

    QString selectedKey() { return LibraryTree::key(f.tree()->currentItem()); }
    QString title() { return f.find<QLineEdit>("txtTitle")->text(); }

    WindowFixture f;
    QLineEdit* box = nullptr;
    QListWidget* list = nullptr;
    QWidget* popup = nullptr;
};

} // namespace

class QuickOpenWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void menuItem_isInTheSearchMenuWithCtrlP()
    {
        QuickOpenWindow w;
        auto* action = w.f.find<QAction>("mnuQuickOpen");
        QVERIFY(action);
        QCOMPARE(action->text(), QStringLiteral("Quick Open\u2026"));
        QCOMPARE(action->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QVERIFY(w.f.find<QMenu>("mnuSearchMenu")->actions().contains(action));
        // The code editor leaves Ctrl+P to the window.
        auto* code = w.f.find<CodeEditor>("txtCode");
        code->setFocus();
        const QString before = code->text();
        QTest::keyClick(code, Qt::Key_P, Qt::ControlModifier);
        QVERIFY(w.popup->isVisible());
        QCOMPARE(QApplication::focusWidget(), w.box);
        QCOMPARE(code->text(), before);
    }

    void ctrlP_typeAndEnter_opensTheSnippetAsAClickDoes()
    {
        QuickOpenWindow w;
        QVERIFY(!w.popup->isVisible());
        w.pressCtrlP();
        QVERIFY(w.popup->isVisible());
        QCOMPARE(QApplication::focusWidget(), w.box);
        // Nothing typed: every snippet in library order.
        QCOMPARE(w.rows().size(), 5);
        QCOMPARE(w.rows().first(), QStringLiteral("Copy tree — Bash › Files"));

        QTest::keyClicks(w.box, QStringLiteral("open"));
        QCOMPARE(w.rows(), (QStringList{QStringLiteral("Open socket — Go › Net"),
                                        QStringLiteral("Quick open port — Go › Net")}));
        QCOMPARE(w.list->currentRow(), 0);
        QTest::keyClick(w.box, Qt::Key_Down);
        QCOMPARE(w.list->currentRow(), 1);
        QTest::keyClick(w.box, Qt::Key_Down);
        QCOMPARE(w.list->currentRow(), 1);
        QTest::keyClick(w.box, Qt::Key_Up);
        QTest::keyClick(w.box, Qt::Key_Down);
        QTest::keyClick(w.box, Qt::Key_Return);

        QVERIFY(!w.popup->isVisible());
        QCOMPARE(w.selectedKey(), QStringLiteral("T3"));
        QCOMPARE(w.title(), QStringLiteral("Quick open port"));
        QCOMPARE(w.f.find<CodeEditor>("txtCode")->text(), QStringLiteral("listen()"));
        QVERIFY(w.f.tree()->currentItem()->parent()->isExpanded());
        QVERIFY(w.f.tree()->currentItem()->parent()->parent()->isExpanded());
        // Showing a snippet is no edit.
        QVERIFY(!w.f.window().workspace().CodeChanged);
    }

    void escape_closesAndChangesNothing()
    {
        QuickOpenWindow w;
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T1")));
        w.pressCtrlP();
        QTest::keyClicks(w.box, QStringLiteral("split"));
        QCOMPARE(w.rows(), QStringList{QStringLiteral("Split words — Go › Text")});
        QTest::keyClick(w.box, Qt::Key_Escape);
        QVERIFY(!w.popup->isVisible());
        QCOMPARE(w.selectedKey(), QStringLiteral("T1"));
        QCOMPARE(QApplication::focusWidget(), w.f.tree());
        // Opened again, the box starts empty.
        w.f.find<QAction>("mnuQuickOpen")->trigger();
        QVERIFY(w.box->text().isEmpty());
        QCOMPARE(w.rows().size(), 5);
    }

    void enterWithoutRows_keepsTheBoxOpen()
    {
        QuickOpenWindow w;
        w.pressCtrlP();
        QTest::keyClicks(w.box, QStringLiteral("zzz"));
        QVERIFY(w.rows().isEmpty());
        QTest::keyClick(w.box, Qt::Key_Return);
        QVERIFY(w.popup->isVisible());
    }

    void snippetOutsideTheOneLanguageView_leavesTheView()
    {
        QuickOpenWindow w;
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T0")));
        w.f.find<QAction>("mnuAllHide")->trigger();
        QCOMPARE(w.f.tree()->topLevelItemCount(), 1);
        w.pressCtrlP();
        QTest::keyClicks(w.box, QStringLiteral("splitw"));
        QTest::keyClick(w.box, Qt::Key_Return);
        QCOMPARE(w.f.tree()->topLevelItemCount(), 2);
        QVERIFY(w.f.find<QAction>("mnuAllHide")->isVisible());
        QCOMPARE(w.title(), QStringLiteral("Split words"));
        QCOMPARE(w.selectedKey(), QStringLiteral("T4"));
    }

    void snippetInsideTheOneLanguageView_keepsTheView()
    {
        QuickOpenWindow w;
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T2")));
        w.f.find<QAction>("mnuAllHide")->trigger();
        w.pressCtrlP();
        QTest::keyClicks(w.box, QStringLiteral("quick"));
        QTest::keyClick(w.box, Qt::Key_Return);
        QCOMPARE(w.f.tree()->topLevelItemCount(), 1);
        QCOMPARE(w.selectedKey(), QStringLiteral("T3"));
    }

    // After an edit the array is out of order; leaving the view sorts it, and the chosen snippet is
    // still the one shown, at its new index.
    void chosenSnippetMovedByTheSort_isStillTheOneShown()
    {
        QuickOpenWindow w;
        w.f.window().workspace().codeArray[0].Title = QStringLiteral("Zoo copy");
        w.f.tree()->setCurrentItem(w.f.tree()->nodeByKey(QStringLiteral("T2")));
        w.f.find<QAction>("mnuAllHide")->trigger();
        w.pressCtrlP();
        QTest::keyClicks(w.box, QStringLiteral("zoo"));
        QCOMPARE(w.rows(), QStringList{QStringLiteral("Zoo copy — Bash › Files")});
        QTest::keyClick(w.box, Qt::Key_Return);
        QCOMPARE(w.title(), QStringLiteral("Zoo copy"));
        QCOMPARE(w.f.find<CodeEditor>("txtCode")->text(), QStringLiteral("cp -r a b"));
        QCOMPARE(w.selectedKey(), QStringLiteral("T1"));
    }
};

QTEST_MAIN(QuickOpenWindowTest)
#include "tst_quick_open_window.moc"
