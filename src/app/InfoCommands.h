#pragma once

#include <QObject>

struct WindowContext;

// The information summary, the about box, the program folder and the maker's addresses.
class InfoCommands : public QObject
{
    Q_OBJECT

public:
    explicit InfoCommands(WindowContext& context, QObject* parent = nullptr);

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
    WindowContext& m_context;
};
