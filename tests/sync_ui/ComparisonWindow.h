#pragma once

#include "gui/CodeEditor.h"
#include "gui/CommandToolbar.h"
#include "store/DateStamp.h"
#include "sync/ui/RemoteListModel.h"
#include "ui/WindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QStyle>
#include <QTreeView>

// The real window on a library of its own, with the comparison list's views at hand.
class ComparisonWindow
{
public:
    explicit ComparisonWindow(const CodeArray& library)
    {
        DateStamp::pin(QDateTime(QDate(2026, 5, 6), QTime(7, 8, 9)));
        f.writeLibrary(library);
        f.open();
        list = f.find<QTreeView>("lstRemote");
        code = f.find<CodeEditor>("txtRemote");
        model = qobject_cast<RemoteListModel*>(list->model());
        Prompts::takeHistory();
    }
    ~ComparisonWindow() { DateStamp::pin(QDateTime()); }

    Workspace& ws() { return f.window().workspace(); }
    QString status() { return f.find<QLabel>("StatusBar1")->text(); }
    QAction* action(const char* name) { return f.find<QAction>(name); }
    QAction* button(const char* key)
    {
        return f.find<CommandToolbar>("Toolbar1")->button(QLatin1String(key));
    }
    void trigger(const char* name) { action(name)->trigger(); }
    QString caption() { return f.find<QLabel>("lblSearchCaption")->text(); }
    bool shown(const char* name) { return f.find<QWidget>(name)->isVisibleTo(&f.window()); }

    // A file in the program folder's neighbourhood, written as given.
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = m_files.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }

    // Local import of path, answered in the file dialog.
    void importLocal(const QString& path)
    {
        Prompts::queueFile(path);
        trigger("mnuImportLocal");
    }

    QStringList rowTexts(int column)
    {
        QStringList texts;
        for (int r = 0; r < model->rowCount(); ++r) {
            texts << model->index(r, column).data().toString();
        }
        return texts;
    }
    QStringList keys()
    {
        QStringList texts;
        for (int r = 0; r < model->rowCount(); ++r) {
            texts << model->index(r, 0).data(RemoteListModel::KeyRole).toString();
        }
        return texts;
    }
    QStringList redTitles()
    {
        QStringList titles;
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->index(r, 0).data(Qt::ForegroundRole).value<QColor>() == QColor(255, 0, 0)) {
                titles << model->index(r, RemoteListModel::TitleColumn).data().toString();
            }
        }
        return titles;
    }
    int rowOf(const QString& title) { return int(rowTexts(RemoteListModel::TitleColumn).indexOf(title)); }
    void tick(const QString& title)
    {
        QVERIFY(rowOf(title) >= 0);
        model->setData(model->index(rowOf(title), 0), Qt::Checked, Qt::CheckStateRole);
    }
    void click(const QString& title)
    {
        const QModelIndex index = model->index(rowOf(title), 0);
        list->setCurrentIndex(index);
        emit list->clicked(index);
    }

    // A mouse click on the check box of the row with that title, as a user ticks it.
    void clickCheckBox(const QString& title)
    {
        const QRect row = list->visualRect(model->index(rowOf(title), 0));
        const int indicator = list->style()->pixelMetric(QStyle::PM_IndicatorWidth);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          QPoint(row.left() + 4 + indicator / 2, row.center().y()));
    }

    // The library's records as "language/category/title" in array order.
    QStringList library()
    {
        QStringList lines;
        for (const SnippetRecord& r : ws().codeArray) {
            lines << r.Language + u'/' + r.Category + u'/' + r.Title;
        }
        return lines;
    }

    WindowFixture f;
    QTreeView* list = nullptr;
    CodeEditor* code = nullptr;
    RemoteListModel* model = nullptr;

private:
    QTemporaryDir m_files;
};
