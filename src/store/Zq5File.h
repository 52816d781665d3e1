#pragma once

#include "store/SnippetRecord.h"

#include <QString>
#include <QStringView>

// Libraries of version 5 (".zq5"): the older text format without a language line. Their records are
// staged under one language for the import; object data and the "----H" text are not carried, and
// the "----D" description stands above the code.
inline constexpr char Zq5Language[] = "Imported Language";

// What a file that ends before its end line "+++++" gives.
inline constexpr char Zq5CutOffError[] = "Input past end of file";

// Resets staged to one empty record and stores every record from index 0 on, its code with CR LF
// line ends. True when the end line "+++++" was reached and at least one record was read. A file
// that cannot be read or is cut off stages nothing, and error says why, naming the file.
bool Loadzq5CodeDataFromFile(const QString& fullFileName, CodeArray& staged, QString* error = nullptr);

// The same on text already read; error gets only the reason.
bool ParseZq5CodeData(QStringView text, CodeArray& staged, QString* error = nullptr);
