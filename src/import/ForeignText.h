#pragma once

#include <QJsonValue>
#include <QString>
#include <QStringView>

// Text as other snippet tools store it, brought into the library's form.
namespace ForeignText {

// A string, or the strings of an array joined with separator (other elements skipped); empty for
// any other value.
QString joined(const QJsonValue& value, QStringView separator);

} // namespace ForeignText
