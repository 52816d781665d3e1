#pragma once

#include <QByteArrayView>
#include <QJsonDocument>
#include <QString>
#include <QStringList>

// JSON with comments ("//" and "/* */") and trailing commas, as VS Code writes and reads its
// snippet and settings files. The comments and the trailing commas are blanked out in place (so
// positions in error messages still point into the file) and Qt's JSON parser reads the rest.
namespace JsoncReader {

struct Document
{
    QJsonDocument json;
    // The names of the top-level object's members in file order, each once; Qt's objects forget
    // the order, and a snippet file's order is the order its author chose.
    QStringList memberOrder;
};

// Parses bytes; false with error ("line L, column C (what is wrong)") when they are no such JSON.
bool parse(QByteArrayView bytes, Document& document, QString* error);

} // namespace JsoncReader
