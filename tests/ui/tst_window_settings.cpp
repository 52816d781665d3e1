#include "app/InfoCommands.h"
#include "app/MainLayout.h"
#include "gui/CodeEditor.h"
#include "settings/AppInfo.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QTest>
#include <QUrl>

namespace {

// Catches what the program asks the desktop to open, instead of starting a browser.
class UrlCatcher : public QObject
{
    Q_OBJECT

public:
    UrlCatcher()
    {
        for (const char* scheme : {"mailto", "https", "file"}) {
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "open");
        }
    }
    ~UrlCatcher() override
    {
        for (const char* scheme : {"mailto", "https", "file"}) {
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
        }
    }
    QList<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls << url; }
};

CodeArray library()
{
    return {
        WindowFixture::record("SQL", "Strings", "Trim", "", "SELECT 1;"),
        WindowFixture::record("SQL", "Dates", "Today", "", "SELECT 2;"),
        WindowFixture::record("Bash", "Files", "Count", "", "wc -l"),
    };
}

} // namespace

class WindowSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyStore_givesTheFirstRunValues()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        const AppSettings& o = w.workspace().options;
        QCOMPARE(w.size(), QSize(617, 400));
        QCOMPARE(w.pos(), QPoint(80, 80));
        QCOMPARE(o.SplitterXPerCent, 0.7);
        QCOMPARE(o.SplitterYPerCent, 0.7);
        QCOMPARE(o.IgnoreCase, 1);
        QCOMPARE(o.AllLanguages, 0);
        QCOMPARE(o.SearchTitles + o.SearchKeywords + o.SearchCode, 3);
        QCOMPARE(o.Search, 1);
        QVERIFY(o.TimeDisplay);
        QCOMPARE(o.Color14, 0xFF0000u);
        QCOMPARE(o.HTMLTemplate, f.folder() + QStringLiteral("/html_templates/default.htm"));
    }

    void malformedValue_keepsTheDefaultAndReadingGoesOn()
    {
        WindowFixture f;
        f.writeLibrary(library());
        {
            SettingsStore s = f.settings();
            s.save(QStringLiteral("FontSize"), QStringLiteral("abc"));
            s.save(QStringLiteral("fontbold"), QStringLiteral("1")); // names match in any case
            s.save(QStringLiteral("Color14"), QStringLiteral("255"));
            s.save(QStringLiteral("RShare"), QStringLiteral("30"));
        }
        MainWindow& w = f.open();
        const AppSettings& o = w.workspace().options;
        QCOMPARE(o.FontSize, 10);
        QVERIFY(o.FontBold);
        QCOMPARE(o.Color14, 255u);
        QCOMPARE(o.RShare, 30);
    }

    void geometryAndProportions_surviveARestart()
    {
        WindowFixture f;
        f.writeLibrary(library());
        {
            MainWindow& w = f.open();
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.resize(900, 620);
            QApplication::processEvents();
            // Drag the vertical bar 60 pixels to the left.
            MainLayout& layout = w.layout();
            const double before = layout.current().verticalBar.left;
            auto* bar = w.findChild<QWidget*>(QStringLiteral("Picture2"));
            layout.Picture2_MouseMove(QPoint(bar->width() / 2 - 60, 5));
            QCOMPARE(layout.current().verticalBar.left, before - 900);
            QVERIFY(w.close());
            f.closeWindow();
        }
        const SettingsStore s = f.settings();
        QCOMPARE(s.getInt(QStringLiteral("MainWidth"), 0), 900 * 15);
        QCOMPARE(s.getInt(QStringLiteral("MainHeight"), 0), 620 * 15);
        const double percent = s.get(QStringLiteral("SplitterXPerCent")).toDouble();
        QVERIFY(percent > 0.7);

        MainWindow& again = f.open();
        QCOMPARE(again.size(), QSize(900, 620));
        QCOMPARE(again.workspace().options.SplitterXPerCent, percent);
    }

    void quittingMaximised_keepsTheLastNormalGeometry()
    {
        WindowFixture f;
        f.writeLibrary(library());
        {
            SettingsStore s = f.settings();
            s.save(QStringLiteral("MainWidth"), QStringLiteral("12000"));
        }
        MainWindow& w = f.open();
        w.showMaximized();
        QApplication::processEvents();
        w.workspace().options.MainWidth = 1; // what a maximised window would report
        QVERIFY(w.close());
        f.closeWindow();
        QCOMPARE(f.settings().get(QStringLiteral("MainWidth")), QStringLiteral("12000"));
    }

    void saveSettingsOnExitOff_deletesTheSection()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        w.workspace().SaveSettingsOnExit = false;
        QVERIFY(w.close());
        f.closeWindow();
        QVERIFY(f.settings().all().isEmpty());
    }

    void layout_hidingTheSearchAreaGivesTheTreeTheHeight()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.resize(1000, 800);
        QApplication::processEvents();
        auto* search = w.findChild<QWidget*>(QStringLiteral("frameSearch"));
        auto* bar = w.findChild<QWidget*>(QStringLiteral("Picture1"));
        QVERIFY(bar->isVisible());
        const double percent = w.layout().current().splitterYPercent;
        search->hide();
        w.layout().Form_Resize();
        QVERIFY(!bar->isVisible());
        QCOMPARE(w.layout().current().tree.height, w.layout().height() - 1750);
        search->show();
        w.layout().Form_Resize();
        QVERIFY(bar->isVisible());
        QCOMPARE(w.layout().current().horizontalBar.top, (1 - percent) * w.layout().height());
    }

    void information_countsTheTreeAndNamesTheFiles()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        const QString text = w.findChild<InfoCommands*>()->informationText();
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines[0], QStringLiteral("Current snippet file name:   ") + f.libraryPath());
        QCOMPARE(lines[1], QString());
        QCOMPARE(lines[2], QStringLiteral("Remote folder:    <not specified>"));
        QCOMPARE(lines[3], QStringLiteral("Local folder:        ") + f.folder().toLower());
        QCOMPARE(lines.mid(5, 4), (QStringList{"Languages: 2", "Categories: 3", "Snippets: 3", "Total: 8"}));
        QCOMPARE(lines[10], QStringLiteral("HTML Template:  ") + w.workspace().options.HTMLTemplate);
        QVERIFY(lines[12].startsWith(QStringLiteral("Database last saved on:  20")));
        QCOMPARE(lines.mid(14),
                 (QStringList{"Font: Courier New", "Size: 10", "Bold: False", "Italic: False"}));

        Prompts::takeHistory();
        w.findChild<QAction*>(QStringLiteral("mnuInformation"))->trigger();
        const auto history = Prompts::takeHistory();
        QCOMPARE(history.size(), 1);
        QCOMPARE(history[0].title, QStringLiteral("Zorbeth Information"));
    }

    void helpCommands_openTheFolderMailAndPages()
    {
        UrlCatcher catcher;
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        for (const char* name : {"mnuAppPath", "mnuEmail", "mnuProWebSite", "mnuForums", "mnuOnlineHelp"}) {
            w.findChild<QAction*>(QLatin1String(name))->trigger();
        }
        QCOMPARE(catcher.urls.size(), 5);
        QCOMPARE(catcher.urls[0], QUrl::fromLocalFile(f.folder()));
        QCOMPARE(catcher.urls[1].scheme(), QStringLiteral("mailto"));
        QVERIFY(catcher.urls[1].query(QUrl::FullyDecoded).contains(QStringLiteral("subject=Zorbeth")));
        QVERIFY(catcher.urls[1]
                    .query(QUrl::FullyDecoded)
                    .contains(QStringLiteral("Suggestions, comments, or problems:")));

        w.findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
        auto* version = w.findChild<QLabel*>(QStringLiteral("lblVersion"));
        QVERIFY(version);
        QCOMPARE(version->text(), QStringLiteral("Version:  ") + AppInfo::versionText());
    }
};

QTEST_MAIN(WindowSettingsTest)
#include "tst_window_settings.moc"
