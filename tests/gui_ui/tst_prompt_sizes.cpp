#include "gui/ProgressWindow.h"
#include "gui/Prompts.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Closes the modal box that is about to be shown, by its default button where it has one.
void closeSoon(int* width)
{
    QTimer::singleShot(0, [width] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        *width = box->width();
        auto* message = qobject_cast<QMessageBox*>(box);
        if (message && message->defaultButton()) {
            message->defaultButton()->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(box)) {
            dialog->reject();
        }
    });
}

// Shows the box of this kind ("message", "question", "input" or "long"), closed as soon as it is up.
void showBox(const QString& kind, const QString& title, int* width)
{
    closeSoon(width);
    if (kind == QLatin1String("message")) {
        Prompts::message(nullptr, QStringLiteral("Done."), title);
    } else if (kind == QLatin1String("question")) {
        Prompts::question(nullptr, QStringLiteral("Are you sure?"), title,
                          {Prompts::Answer::Yes, Prompts::Answer::No});
    } else if (kind == QLatin1String("input")) {
        Prompts::inputText(nullptr, QStringLiteral("New name:"), title, QStringLiteral("x"));
    } else {
        Prompts::longMessage(nullptr, QStringLiteral("a  1"), title, {Prompts::Answer::Ok});
    }
}

} // namespace

// The real boxes, shown: small ones are as wide as their titles, and Qt's dialogs keep their state
// in the program folder.
class PromptSizesTest : public QObject
{
    Q_OBJECT

public:
    explicit PromptSizesTest(QString userConfig) : m_userConfig(std::move(userConfig)) {}

private slots:
    void init() { Prompts::setScripted(false); }
    void cleanup() { Prompts::setScripted(true); }

    void smallBoxes_areWideEnoughForTheirTitle_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("title");
        QTest::newRow("message") << "message"
                                 << "Backup Last Saved Code File";
        QTest::newRow("question") << "question"
                                  << "Restore Database From Backup";
        QTest::newRow("long message") << "long"
                                      << "Zorbeth Registry Settings And Some More";
        QTest::newRow("progress") << "progress"
                                  << "Download Snippets From Zorbeth Server";
        QTest::newRow("input") << "input"
                               << "Rename Category Of The Selected Language";
    }

    void smallBoxes_areWideEnoughForTheirTitle()
    {
        QFETCH(QString, kind);
        QFETCH(QString, title);
        int width = 0;
        if (kind == QLatin1String("progress")) {
            ProgressWindow progress(nullptr, title, 3);
            progress.step(1);
            QProgressDialog* dialog = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (w->objectName() == QLatin1String("dlgProgress") && w->isVisible()) {
                    dialog = qobject_cast<QProgressDialog*>(w);
                }
            }
            QVERIFY(dialog);
            width = dialog->width();
        } else {
            showBox(kind, title, &width);
        }
        // The title in a bold title-bar font, beside at least an icon and two buttons.
        QFont font = QApplication::font();
        font.setBold(true);
        const int needed = QFontMetrics(font).horizontalAdvance(title) + 96;
        QVERIFY2(width >= needed, qPrintable(QStringLiteral("%1 < %2").arg(width).arg(needed)));
    }

    void boxesDuringAWait_showTheArrow_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("message") << "message";
        QTest::newRow("long message") << "long";
        QTest::newRow("input") << "input";
    }

    void boxesDuringAWait_showTheArrow()
    {
        QFETCH(QString, kind);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        Qt::CursorShape shown = Qt::WaitCursor;
        QTimer::singleShot(0, [&shown] {
            if (const QCursor* cursor = QGuiApplication::overrideCursor()) {
                shown = cursor->shape();
            }
        });
        int width = 0;
        showBox(kind, QStringLiteral("Title"), &width);
        const QCursor* after = QGuiApplication::overrideCursor();
        const Qt::CursorShape afterShape = after ? after->shape() : Qt::ArrowCursor;
        QGuiApplication::restoreOverrideCursor();
        QCOMPARE(shown, Qt::ArrowCursor);
        // The long step goes on with its wait cursor.
        QCOMPARE(afterShape, Qt::WaitCursor);
        QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    }

    void fileDialog_keepsItsStateInTheProgramFolder()
    {
        QTemporaryDir program;
        Prompts::keepDialogStateIn(program.path());
        int width = 0;
        closeSoon(&width);
        Prompts::openFile(nullptr, QStringLiteral("Open"), program.path(), QStringLiteral("Text (*.txt)"));
        QVERIFY(width > 0);
        QVERIFY(!QFile::exists(m_userConfig + QStringLiteral("/QtProject.conf")));
        QVERIFY(QFile::exists(program.filePath(QStringLiteral("QtProject.conf"))));
    }

private:
    QString m_userConfig;
};

int main(int argc, char* argv[])
{
    // Before anything reads the user's configuration folder, it becomes one the test watches.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    PromptSizesTest test(config.path());
    return QTest::qExec(&test, argc, argv);
}

#include "tst_prompt_sizes.moc"
