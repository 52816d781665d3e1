#include "export/LanguageExport.h"
#include "export/PageWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// The language site's writer thread: pages come out in order with the bytes the direct write makes,
// a page that fails does not stop the others, and a cancel leaves no page half made.
class TestPageWriter : public QObject
{
    Q_OBJECT

    static constexpr char Template[] = "<html><title><!-- title --></title><!-- code --></html>";

    static PageWriter::Job job(int n, const QString& failure = {})
    {
        SnippetRecord r;
        r.Title = QStringLiteral("Page %1").arg(n);
        r.Language = QStringLiteral("C");
        PageWriter::Job j{n, LanguageExport::pageName(QStringLiteral("c"), n),
                          QByteArrayLiteral("{\\rtf1 int x") + QByteArray::number(n) + ";}\r\n", r, failure};
        return j;
    }

    // Feeds the jobs as the window does and returns every result once the writer is done.
    static std::vector<PageWriter::Result> runAll(PageWriter& writer, std::vector<PageWriter::Job> jobs)
    {
        std::vector<PageWriter::Result> results;
        auto collect = [&] {
            for (PageWriter::Result& r : writer.take()) {
                results.push_back(std::move(r));
            }
        };
        for (PageWriter::Job& j : jobs) {
            while (!writer.tryAdd(j)) {
                writer.wait(10);
                collect();
            }
        }
        while (!writer.finish(10)) {
            collect();
        }
        collect();
        return results;
    }

    static QByteArray readAll(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void pagesComeOutInOrderAsTheDirectWriteMakesThem_data()
    {
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("failing"); // a page whose file is a folder; 0 for none
        QTest::addColumn<int>("refused"); // a page sent with its reason not to write it; 0 for none
        QTest::newRow("one") << 1 << 0 << 0;
        QTest::newRow("more than the queue holds") << 200 << 0 << 0;
        QTest::newRow("a page that cannot be written") << 40 << 17 << 0;
        QTest::newRow("a page sent as failed") << 40 << 0 << 3;
    }

    void pagesComeOutInOrderAsTheDirectWriteMakesThem()
    {
        QFETCH(int, pages);
        QFETCH(int, failing);
        QFETCH(int, refused);
        QTemporaryDir site;
        QTemporaryDir reference;
        if (failing) {
            QVERIFY(QDir(site.path()).mkpath(LanguageExport::pageName(QStringLiteral("c"), failing)));
        }
        std::vector<PageWriter::Job> jobs;
        for (int n = 1; n <= pages; ++n) {
            jobs.push_back(job(n, n == refused ? QStringLiteral("no template") : QString()));
        }
        const std::vector<PageWriter::Job> sent = jobs;
        LanguageExport::OldPages oldPages;
        PageWriter writer(QDir(site.path()), QLatin1String(Template), QStringLiteral("c.htm"), oldPages);
        const std::vector<PageWriter::Result> results = runAll(writer, std::move(jobs));

        QCOMPARE(int(results.size()), pages);
        for (int n = 1; n <= pages; ++n) {
            const PageWriter::Result& r = results[size_t(n - 1)];
            QCOMPARE(r.number, n);
            const PageWriter::Job& j = sent[size_t(n - 1)];
            if (n == refused) {
                QVERIFY(!r.written);
                QCOMPARE(r.error, QStringLiteral("no template"));
                QVERIFY(!QFile::exists(QDir(site.path()).filePath(j.pageFile)));
                continue;
            }
            if (n == failing) {
                QVERIFY(!r.written);
                QVERIFY2(r.error.contains(j.pageFile), qPrintable(r.error));
                continue;
            }
            QVERIFY2(r.written, qPrintable(r.error));
            QString error;
            QVERIFY(LanguageExport::writePage(QDir(reference.path()), j.pageFile, QLatin1String(Template),
                                              j.rtf, j.record, QStringLiteral("c.htm"), {}, &error));
            QCOMPARE(readAll(QDir(site.path()).filePath(j.pageFile)),
                     readAll(QDir(reference.path()).filePath(j.pageFile)));
        }
    }

    void cancel_writesNoQueuedPageAndLeavesNoneHalfMade()
    {
        QTemporaryDir site;
        LanguageExport::OldPages oldPages;
        // A page long enough that the writer is still converting it when the cancel comes.
        PageWriter::Job longPage = job(1);
        longPage.rtf = "{\\rtf1 " + QByteArray(20 * 1000 * 1000, 'x') + "}\r\n";
        std::vector<PageWriter::Result> results;
        {
            PageWriter writer(QDir(site.path()), QLatin1String(Template), QStringLiteral("c.htm"), oldPages);
            QVERIFY(writer.tryAdd(longPage));
            for (int n = 2; n <= 5; ++n) {
                PageWriter::Job j = job(n);
                while (!writer.tryAdd(j)) {
                    writer.wait(10);
                }
            }
            writer.cancel();
            while (!writer.finish(10)) {
            }
            results = writer.take();
        }
        QCOMPARE(int(results.size()), 5);
        for (const PageWriter::Result& r : results) {
            QVERIFY(!r.written);
        }
        QCOMPARE(QDir(site.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void destroyedWhileBusy_endsWithoutWritingTheRest()
    {
        QTemporaryDir site;
        LanguageExport::OldPages oldPages;
        {
            PageWriter writer(QDir(site.path()), QLatin1String(Template), QStringLiteral("c.htm"), oldPages);
            for (int n = 1; n <= 20; ++n) {
                PageWriter::Job j = job(n);
                if (!writer.tryAdd(j)) {
                    break;
                }
            }
            // Gone once the first page is out, with the others queued or on their way.
            while (writer.take().empty()) {
                writer.wait(10);
            }
        }
        QVERIFY(!QDir(site.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        // Whatever was written is whole: every file there is the complete page.
        QTemporaryDir reference;
        for (const QString& name : QDir(site.path()).entryList(QDir::Files | QDir::Hidden)) {
            const PageWriter::Job j = job(name.mid(1).chopped(4).toInt());
            QCOMPARE(name, j.pageFile);
            QString error;
            QVERIFY(LanguageExport::writePage(QDir(reference.path()), j.pageFile, QLatin1String(Template),
                                              j.rtf, j.record, QStringLiteral("c.htm"), {}, &error));
            QCOMPARE(readAll(QDir(site.path()).filePath(name)),
                     readAll(QDir(reference.path()).filePath(name)));
        }
    }
};

QTEST_MAIN(TestPageWriter)
#include "tst_page_writer.moc"
