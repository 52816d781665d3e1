#include "gui/InstalledFonts.h"

#include <QFontDatabase>
#include <QHash>

namespace {

const QStringList MonospaceNames = {QStringLiteral("Courier New"), QStringLiteral("Courier"),
                                    QStringLiteral("Consolas"),    QStringLiteral("Lucida Console"),
                                    QStringLiteral("Fixedsys"),    QStringLiteral("Terminal")};
const QStringList SansSerifNames = {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                                    QStringLiteral("MS Shell Dlg"),  QStringLiteral("MS Shell Dlg 2"),
                                    QStringLiteral("Arial"),         QStringLiteral("Tahoma"),
                                    QStringLiteral("Verdana"),       QStringLiteral("Segoe UI")};

bool installed(const QString& family)
{
    return QFontDatabase::families().contains(family, Qt::CaseInsensitive);
}

// The first installed of the preferred families, else the platform's font of that kind.
QString firstInstalled(const QStringList& preferred, QFontDatabase::SystemFont fallback)
{
    for (const QString& family : preferred) {
        if (installed(family)) {
            return family;
        }
    }
    return QFontDatabase::systemFont(fallback).family();
}

} // namespace

namespace InstalledFonts {

QString family(const QString& name)
{
    // The font database is asked once per name: the editor sets its fonts at every snippet shown.
    static QHash<QString, QString> known;
    const auto found = known.constFind(name);
    if (found != known.cend()) {
        return *found;
    }
    QString result = name;
    if (!installed(name)) {
        if (MonospaceNames.contains(name, Qt::CaseInsensitive)) {
            result = firstInstalled({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")},
                                    QFontDatabase::FixedFont);
        } else if (SansSerifNames.contains(name, Qt::CaseInsensitive)) {
            result = firstInstalled({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans")},
                                    QFontDatabase::GeneralFont);
        }
    }
    known.insert(name, result);
    return result;
}

QFont font(const QString& name, int points)
{
    QFont result(family(name), points);
    // Code reads best in a monospace face wherever the matcher has to choose.
    result.setStyleHint(SansSerifNames.contains(name, Qt::CaseInsensitive) ? QFont::SansSerif
                                                                           : QFont::TypeWriter);
    return result;
}

} // namespace InstalledFonts
