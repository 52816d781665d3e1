#include "app/MainWindow.h"
#include "gui/BackgroundWork.h"
#include "gui/Prompts.h"
#include "library/ui/LibraryTree.h"
#include "settings/AppInfo.h"
#include "settings/ProgramFolder.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QSignalBlocker>

namespace {

// Freeing a large library record by record and node by node took most of the time between closing the
// window and the end of the process (1.5 s of 1.6 s at 100,000 snippets). The closing steps are done by
// now, so the records and the tree's nodes are left for the end of the process to take back at once.
void leaveLibraryToProcessEnd(MainWindow& window)
{
    // Kept reachable, so that a leak checker does not count them.
    [[maybe_unused]] static QList<QTreeWidgetItem*>* nodes = nullptr;
    [[maybe_unused]] static CodeArray* records = nullptr;
    LibraryTree& tree = window.context().tree;
    const QSignalBlocker quiet(&tree);
    nodes = new QList<QTreeWidgetItem*>(tree.invisibleRootItem()->takeChildren());
    records = new CodeArray(std::move(window.workspace().codeArray));
}

} // namespace

int main(int argc, char* argv[])
{
    limitAllocatorArenas();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QLatin1String(AppInfo::Title));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(AppInfo::VersionMajor)
                                            .arg(AppInfo::VersionMinor)
                                            .arg(AppInfo::VersionRevision));
    QApplication::setDesktopFileName(QStringLiteral("zorbeth"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zorbeth keeps a personal library of source-code snippets."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption folderOption(
        QStringLiteral("folder"), QStringLiteral("Use DIR as the program folder."), QStringLiteral("DIR"));
    parser.addOption(folderOption);
    parser.addPositionalArgument(
        QStringLiteral("switch"),
        QStringLiteral("\"clear\" resets the settings; \"clearx\" resets them and quits."));
    parser.process(app);

    const QString folder = ProgramFolder::resolve(parser.value(folderOption));
    Prompts::keepDialogStateIn(folder);
    QString error;
    if (!ProgramFolder::seed(folder, ProgramFolder::shippedDataFolder(), &error)) {
        Prompts::message(nullptr,
                         QStringLiteral("The program folder %1 could not be prepared: %2").arg(folder, error),
                         QLatin1String(AppInfo::Title), Prompts::Icon::Critical);
        return 2;
    }

    MainWindow window(folder);
    if (window.start(parser.positionalArguments()) == StartupController::Outcome::Quit) {
        return 0;
    }
    window.show();
    const int result = app.exec();
    leaveLibraryToProcessEnd(window);
    return result;
}
