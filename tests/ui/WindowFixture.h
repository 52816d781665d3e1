#pragma once

#include "app/MainWindow.h"
#include "gui/Prompts.h"
#include "library/ui/LibraryTree.h"
#include "settings/ProgramFolder.h"
#include "settings/SettingsStore.h"
#include "store/DatabaseFile.h"
#include "sync/ui/NetworkState.h"

#include <memory>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

// A program folder of its own for each test, with a library made of the given records.
class WindowFixture
{
public:
    // Windows start offline unless a test says otherwise, so no test depends on this machine's network.
    WindowFixture()
    {
        Prompts::setScripted(true);
        NetworkState::setOverride(false);
    }

    QString folder() const { return m_dir.path(); }
    QString libraryPath() const { return m_dir.filePath(QStringLiteral("zorbeth.txt")); }

    void writeLibrary(const CodeArray& records) const
    {
        QVERIFY(DatabaseFile::write(libraryPath(), records));
    }

    void writeRaw(const QByteArray& bytes) const
    {
        QFile file(libraryPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    SettingsStore settings() const { return SettingsStore(folder()); }

    // Builds the real window on this folder, seeded as the program seeds it, and runs its start-up.
    MainWindow& open(const QStringList& switches = {}, bool seeded = true)
    {
        if (seeded) {
            ProgramFolder::seed(folder(), ProgramFolder::shippedDataFolder());
        }
        m_window = std::make_unique<MainWindow>(folder());
        m_outcome = m_window->start(switches);
        return *m_window;
    }

    StartupController::Outcome outcome() const { return m_outcome; }
    MainWindow& window() { return *m_window; }
    void closeWindow() { m_window.reset(); }

    template <typename T> T* find(const char* name) { return m_window->findChild<T*>(QLatin1String(name)); }

    LibraryTree* tree() { return find<LibraryTree>("Tree"); }

    // The first node, at any level, whose text is exactly text; every category's rows are made first,
    // as opening it would.
    QTreeWidgetItem* node(const QString& text)
    {
        tree()->populateAll();
        const auto found = tree()->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    // The tree as indented lines: languages, categories two blanks in, snippets four.
    static QStringList outline(LibraryTree* tree)
    {
        tree->populateAll();
        QStringList lines;
        for (int l = 0; l < tree->topLevelItemCount(); ++l) {
            const QTreeWidgetItem* language = tree->topLevelItem(l);
            lines << language->text(0);
            for (int c = 0; c < language->childCount(); ++c) {
                const QTreeWidgetItem* category = language->child(c);
                lines << QStringLiteral("  ") + category->text(0);
                for (int n = 0; n < category->childCount(); ++n) {
                    lines << QStringLiteral("    ") + category->child(n)->text(0);
                }
            }
        }
        return lines;
    }

    static SnippetRecord record(const QString& language, const QString& category, const QString& title,
                                const QString& keywords = {}, const QString& code = {})
    {
        SnippetRecord r;
        r.Language = language;
        r.Category = category;
        r.Title = title;
        r.Keywords = keywords;
        r.Code = code;
        r.Date = QStringLiteral("2026-01-02 03:04:05");
        return r;
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<MainWindow> m_window;
    StartupController::Outcome m_outcome = StartupController::Outcome::Running;
};
