#pragma once

#include <QObject>

class EditorController;
class QUrl;
struct WindowContext;

// The information summary, the about box, the program folder and the maker's addresses.
class InfoCommands : public QObject
{
    Q_OBJECT

public:
    InfoCommands(WindowContext& context, const EditorController& editor, QObject* parent = nullptr);

    // The summary shown by mnuInformation_Click, line by line.
    QString informationText() const;

    void mnuInformation_Click();
    void mnuAbout_Click();
    void mnuAppPath_Click();
    void mnuEmail_Click();
    void mnuProWebSite_Click();
    void mnuForums_Click();
    void mnuOnlineHelp_Click();

private:
    // Hands the address to the desktop; when nothing takes it, the status bar shows failure.
    void open(const QUrl& url, const QString& failure);

    WindowContext& m_context;
    const EditorController& m_editor;
};
