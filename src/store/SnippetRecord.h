#pragma once

#include "store/CodeText.h"

#include <cstdint>
#include <QByteArrayView>
#include <QString>
#include <vector>

// One snippet of the library. Field names follow the database file and the rest of the program.
struct SnippetRecord
{
    QString Title;
    QString Language;
    QString Category;
    QString Keywords;
    QString Date;
    QString DText;
    CodeText Code; // most of a library's bytes, so held as UTF-8
    QString HText;
    QString ObjectName;
    qint32 ObjectFlag = 0;
    qint32 ObjectStart = 0;
    qint32 ObjectLength = 0;
    bool Matched = false;
    bool Deleted = false;

    // True when "bookmark" appears anywhere in the keywords, in any case.
    bool isBookmarked() const;

    bool operator==(const SnippetRecord&) const = default;
};

// The whole library in memory. A record's index is its identity until the next sort.
using CodeArray = std::vector<SnippetRecord>;

// The leading decimal number of a text (blanks skipped, halves rounded to even), 0 when there is none.
qint32 LeadingNumber(const QString& text);

// The same for raw file bytes; a number is ASCII in every encoding the program reads.
qint32 LeadingNumber(QByteArrayView text);

// Stores one parsed record into element index, which must exist. Note the argument order.
void SetCodeElement(CodeArray& array, qsizetype index, const QString& language, const QString& title,
                    const QString& category, const QString& keywords, const QString& date,
                    const QString& objectName, const QString& objectFlag, const QString& objectStart,
                    const QString& objectLength, const QString& dText, const QString& code,
                    const QString& hText);
