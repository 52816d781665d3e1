#include "search/ResultRows.h"
#include "search/SearchScope.h"
#include "search/ui/ResultsModel.h"
#include "search/WordLists.h"
#include "store/LibraryOrdering.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeView>

// A library large enough that sorts, word lists and bulk bookmark commands run beside the window:
// their results are the ones the same work gives done directly.
class TestLargeLibraryCommands : public QObject
{
    Q_OBJECT

    static CodeArray library()
    {
        CodeArray records;
        for (int i = 0; i < 60000; ++i) {
            // Titles out of order and repeated, a few already bookmarked, non-ASCII words in code.
            records.push_back(WindowFixture::record(
                i % 3 ? QStringLiteral("C") : QStringLiteral("Python"), QStringLiteral("Cat %1").arg(i % 7),
                QStringLiteral("Title %1").arg((i * 7919) % 5000),
                i % 11 ? QString() : QStringLiteral("bookmark"),
                QStringLiteral("word%1 caf\u00e9 x%2").arg(i % 97).arg(i % 13)));
        }
        return records;
    }

    static int bookmarked(const CodeArray& records)
    {
        return int(std::count_if(records.begin(), records.end(),
                                 [](const SnippetRecord& r) { return r.isBookmarked(); }));
    }

private slots:
    void commandsOnALargeLibrary_giveWhatTheWorkGivesDirectly()
    {
        WindowFixture f;
        f.writeLibrary(library());
        MainWindow& w = f.open();
        CodeArray& records = w.workspace().codeArray;
        QCOMPARE(records.size(), size_t(60000));

        // The tree's sort, which rebuilds the tree from the sorted records.
        std::reverse(records.begin(), records.end());
        CodeArray expectedOrder = records;
        LibraryOrdering::SortCodeByLanguage(expectedOrder);
        f.find<QAction>("mnuAllDisplay")->trigger();
        QVERIFY(records == expectedOrder);

        f.find<QCheckBox>("chkAllLanguages")->setChecked(true);
        f.find<QPushButton>("cmdAllTitles")->click();
        auto* model = qobject_cast<ResultsModel*>(f.find<QTreeView>("lstResults")->model());
        QVERIFY(model);
        QCOMPARE(model->rowCount(), 60000);
        ResultRows::Rows expectedRows = model->rows();
        ResultRows::ColumnSort sort;
        sort.lstResults_ColumnClick(expectedRows, ResultRows::TitleColumn);
        model->sortByColumn(ResultRows::TitleColumn);
        QCOMPARE(model->rows().size(), expectedRows.size());
        for (size_t i = 0; i < expectedRows.size(); ++i) {
            QCOMPARE(model->rows()[i].index, expectedRows[i].index);
        }

        const WordLists::WordList words = WordLists::allWords(records, SearchScope(QString(), true, false));
        f.find<QRadioButton>("optAll")->click();
        auto* box = f.find<QComboBox>("cmbSearch");
        QCOMPARE(box->count(), int(words.words.size()));
        QCOMPARE(box->itemText(box->count() - 1), words.words.last());

        f.find<QAction>("mnuBookmarkAll")->trigger();
        QCOMPARE(bookmarked(records), 60000);
        QVERIFY(w.workspace().CodeChanged);
        f.find<QAction>("mnuRemoveBookmarks")->trigger();
        QCOMPARE(bookmarked(records), 0);
    }
};

QTEST_MAIN(TestLargeLibraryCommands)
#include "tst_large_library_commands.moc"
