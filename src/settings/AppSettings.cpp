#include "settings/AppSettings.h"

#include <variant>

namespace {

// One typed table of keys: the name in the store and the field it fills.
using Field = std::variant<double AppSettings::*, int AppSettings::*, bool AppSettings::*,
                           QString AppSettings::*, quint32 AppSettings::*>;

struct Key
{
    const char* name;
    Field field;
    bool geometry = false;
};

const Key Table[] = {
    {"MainLeft", &AppSettings::MainLeft, true},
    {"MainTop", &AppSettings::MainTop, true},
    {"MainWidth", &AppSettings::MainWidth, true},
    {"MainHeight", &AppSettings::MainHeight, true},
    {"SplitterPosY", &AppSettings::SplitterPosY},
    {"SplitterXPerCent", &AppSettings::SplitterXPerCent},
    {"SplitterYPerCent", &AppSettings::SplitterYPerCent},
    {"IgnoreCase", &AppSettings::IgnoreCase},
    {"AllLanguages", &AppSettings::AllLanguages},
    {"SearchTitles", &AppSettings::SearchTitles},
    {"SearchKeywords", &AppSettings::SearchKeywords},
    {"SearchCode", &AppSettings::SearchCode},
    {"WordWrap", &AppSettings::WordWrap},
    {"Search", &AppSettings::Search},
    {"Remote", &AppSettings::Remote},
    {"ConfirmDelete", &AppSettings::ConfirmDelete},
    {"ChildCount", &AppSettings::ChildCount},
    {"TreeIcons", &AppSettings::TreeIcons},
    {"Colors", &AppSettings::Colors},
    {"AutoSave", &AppSettings::AutoSave},
    {"LastSearch", &AppSettings::LastSearch},
    {"ColorSyntax", &AppSettings::ColorSyntax},
    {"IncrementHTML", &AppSettings::IncrementHTML},
    {"TimeDisplay", &AppSettings::TimeDisplay},
    {"RShare", &AppSettings::RShare},
    {"OneNode", &AppSettings::OneNode},
    {"OneLanguage", &AppSettings::OneLanguage},
    {"StartingNode", &AppSettings::StartingNode},
    {"LocalStartingNode", &AppSettings::LocalStartingNode},
    {"RemoteStartingNode", &AppSettings::RemoteStartingNode},
    {"zqTest", &AppSettings::zqTest},
    {"ImportFolder", &AppSettings::ImportFolder},
    {"BColor", &AppSettings::BColor},
    {"FTPServer", &AppSettings::FTPServer},
    {"FTPPath", &AppSettings::FTPPath},
    {"FTPUser", &AppSettings::FTPUser},
    {"FTPPSW", &AppSettings::FTPPSW},
    {"FTPMode", &AppSettings::FTPMode},
    {"HTMLTemplate", &AppSettings::HTMLTemplate},
    {"AutoIndent", &AppSettings::AutoIndent},
    {"BraceMatching", &AppSettings::BraceMatching},
    {"LeftMargin", &AppSettings::LeftMargin},
    {"WhiteSpace", &AppSettings::WhiteSpace},
    {"ExpandTABs", &AppSettings::ExpandTABs},
    {"LineNumbering", &AppSettings::LineNumbering},
    {"LineColors", &AppSettings::LineColors},
    {"Override", &AppSettings::Override},
    {"PageBreak", &AppSettings::PageBreak},
    {"Message", &AppSettings::Message},
    {"StartupNode", &AppSettings::StartupNode},
    {"CapitalizeKeywords", &AppSettings::CapitalizeKeywords},
    {"DisplaySearch", &AppSettings::DisplaySearch},
    {"FontName", &AppSettings::FontName},
    {"FontSize", &AppSettings::FontSize},
    {"FontBold", &AppSettings::FontBold},
    {"FontItalic", &AppSettings::FontItalic},
    {"Color14", &AppSettings::Color14},
    {"Color15", &AppSettings::Color15},
    {"RF", &AppSettings::RF},
    {"RFPrefix", &AppSettings::RFPrefix},
    {"ServerURL", &AppSettings::ServerURL},
    {"UpdaterCommand", &AppSettings::UpdaterCommand},
    {"FTPCAFile", &AppSettings::FTPCAFile},
    {"FTPKnownHosts", &AppSettings::FTPKnownHosts},
    {"ObjectFolder", &AppSettings::ObjectFolder},
};

struct Reader
{
    const QString& text;

    bool operator()(double& target) const
    {
        bool ok = false;
        const double value = text.trimmed().toDouble(&ok);
        return ok && (target = value, true);
    }
    bool operator()(int& target) const
    {
        bool ok = false;
        const int value = text.trimmed().toInt(&ok);
        return ok && (target = value, true);
    }
    bool operator()(quint32& target) const
    {
        bool ok = false;
        const qlonglong value = text.trimmed().toLongLong(&ok);
        return ok && value >= 0 && value <= 0xFFFFFF && (target = quint32(value), true);
    }
    bool operator()(bool& target) const
    {
        bool ok = false;
        const bool value = SettingsStore::parseBool(text, &ok);
        return ok && (target = value, true);
    }
    bool operator()(QString& target) const { return target = text, true; }
};

QString written(double value)
{
    return QString::number(value, 'g', 9);
}
QString written(int value)
{
    return QString::number(value);
}
QString written(quint32 value)
{
    return QString::number(value);
}
QString written(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}
QString written(const QString& value)
{
    return value;
}

} // namespace

void AppSettings::get(const SettingsStore& store)
{
    for (const Key& key : Table) {
        const QString name = QLatin1String(key.name);
        if (!store.contains(name)) {
            continue;
        }
        const QString text = store.get(name);
        std::visit([&](auto member) { Reader{text}(this->*member); }, key.field);
    }
}

void AppSettings::save(SettingsStore& store, bool writeGeometry) const
{
    for (const Key& key : Table) {
        if (key.geometry && !writeGeometry) {
            continue;
        }
        std::visit([&](auto member) { store.save(QLatin1String(key.name), written(this->*member)); },
                   key.field);
    }
}

QString AppSettings::defaultTemplate(const QString& programFolder)
{
    return programFolder + QStringLiteral("/html_templates/default.htm");
}
