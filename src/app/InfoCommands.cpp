#include "app/InfoCommands.h"

#include "editor/ui/EditorController.h"
#include "gui/CommandToolbar.h"
#include "gui/Prompts.h"
#include "gui/WindowContext.h"
#include "library/ui/LibraryTree.h"
#include "library/Workspace.h"
#include "settings/AppInfo.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString yesNo(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

InfoCommands::InfoCommands(WindowContext& context, const EditorController& editor, QObject* parent)
    : QObject(parent), m_context(context), m_editor(editor)
{
    QMenu* help = context.menus.help;
    auto item = [this, help](const char* name, const QString& caption, void (InfoCommands::*handler)()) {
        QAction* action = help->addAction(caption, this, handler);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    item("mnuInformation", tr("&Information"), &InfoCommands::mnuInformation_Click)
        ->setShortcut(QKeySequence(QStringLiteral("Ctrl+I")));
    item("mnuAppPath", tr("&Open in App.Path"), &InfoCommands::mnuAppPath_Click);
    help->addSeparator();
    item("mnuEmail", tr("&Email Author"), &InfoCommands::mnuEmail_Click);
    item("mnuProWebSite", tr("&Product Web Site"), &InfoCommands::mnuProWebSite_Click);
    item("mnuForums", tr("&Forums"), &InfoCommands::mnuForums_Click);
    item("mnuOnlineHelp", tr("Online &Help"), &InfoCommands::mnuOnlineHelp_Click)
        ->setShortcut(QKeySequence::HelpContents);
    help->addSeparator();
    item("mnuAbout", tr("&About Zorbeth"), &InfoCommands::mnuAbout_Click);

    context.toolbar.setCommand(QStringLiteral("Email"), [this] { mnuEmail_Click(); });
}

QString InfoCommands::informationText() const
{
    const Workspace& ws = m_context.ws;
    const LibraryTree::Counts counts = m_context.tree.countsByLevel();
    const int languages = counts.languages;
    const int categories = counts.categories;
    const int snippets = counts.snippets;
    const int total = languages + categories + snippets;
    const QString remote = ws.options.RF.isEmpty() ? QStringLiteral("Remote folder:    <not specified>")
                                                   : QStringLiteral("Remote folder: ") + ws.options.RF;
    const QFileInfo database(ws.databasePath());
    const QString saved = database.exists()
                              ? database.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                              : QString();

    QStringList lines;
    lines << QStringLiteral("Current snippet file name:   ") + ws.databasePath() << QString() << remote
          << QStringLiteral("Local folder:        ") + ws.programFolder.toLower() << QString()
          << QStringLiteral("Languages: ") + QString::number(languages)
          << QStringLiteral("Categories: ") + QString::number(categories)
          << QStringLiteral("Snippets: ") + QString::number(snippets)
          << QStringLiteral("Total: ") + QString::number(total) << QString()
          << QStringLiteral("HTML Template:  ") + ws.options.HTMLTemplate << QString()
          << QStringLiteral("Database last saved on:  ") + saved << QString()
          << QStringLiteral("Font: ") + m_editor.fontName()
          << QStringLiteral("Size: ") + QString::number(m_editor.fontSize())
          << QStringLiteral("Bold: ") + yesNo(m_editor.fontBold())
          << QStringLiteral("Italic: ") + yesNo(m_editor.fontItalic());
    return lines.join(CrLf);
}

void InfoCommands::mnuInformation_Click()
{
    Prompts::message(&m_context.window, informationText(), QStringLiteral("Zorbeth Information"),
                     Prompts::Icon::Information);
}

void InfoCommands::mnuAbout_Click()
{
    auto* about = m_context.window.findChild<QDialog*>(QStringLiteral("frmAbout"));
    if (about == nullptr) {
        about = new QDialog(&m_context.window);
        about->setObjectName(QStringLiteral("frmAbout"));
        about->setWindowTitle(tr("About Zorbeth"));
        auto* layout = new QVBoxLayout(about);
        auto* picture = new QLabel;
        picture->setPixmap(QPixmap(QStringLiteral(":/images/zorbeth.png")));
        picture->setAlignment(Qt::AlignCenter);
        layout->addWidget(picture);
        auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(QLatin1String(AppInfo::Title)));
        title->setAlignment(Qt::AlignCenter);
        layout->addWidget(title);
        auto* version = new QLabel(QStringLiteral("Version:  ") + AppInfo::versionText());
        version->setObjectName(QStringLiteral("lblVersion"));
        layout->addWidget(version);
        layout->addWidget(new QLabel(QLatin1String(AppInfo::Copyright)));
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
        connect(buttons, &QDialogButtonBox::accepted, about, &QDialog::accept);
        layout->addWidget(buttons);
    }
    about->show();
    about->raise();
    about->activateWindow();
}

void InfoCommands::open(const QUrl& url, const QString& failure)
{
    if (!QDesktopServices::openUrl(url)) {
        m_context.status.setText(failure);
    }
}

void InfoCommands::mnuAppPath_Click()
{
    const QString folder = m_context.ws.programFolder;
    open(QUrl::fromLocalFile(folder), QStringLiteral("No file manager could be started for ") + folder);
}

void InfoCommands::mnuEmail_Click()
{
    QUrl mail(QStringLiteral("mailto:") + QLatin1String(AppInfo::EmailAddress));
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("subject"), QLatin1String(AppInfo::Title));
    query.addQueryItem(QStringLiteral("body"), QStringLiteral("Suggestions, comments, or problems:"));
    mail.setQuery(query);
    open(mail,
         QStringLiteral("No mail program could be started for ") + QLatin1String(AppInfo::EmailAddress));
}

void InfoCommands::mnuProWebSite_Click()
{
    open(QUrl(QLatin1String(AppInfo::ProductPage)),
         QStringLiteral("No web browser could be started for ") + QLatin1String(AppInfo::ProductPage));
}

void InfoCommands::mnuForums_Click()
{
    open(QUrl(QLatin1String(AppInfo::ForumPage)),
         QStringLiteral("No web browser could be started for ") + QLatin1String(AppInfo::ForumPage));
}

void InfoCommands::mnuOnlineHelp_Click()
{
    open(QUrl(QLatin1String(AppInfo::HelpPage)),
         QStringLiteral("No web browser could be started for ") + QLatin1String(AppInfo::HelpPage));
}
