#include "export/PrintSurface.h"

void PrintSurface::print(const QString& text)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n') {
            continue;
        }
        if (i > start) {
            printPiece(text.mid(start, i - start));
        }
        endLine();
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        printPiece(text.mid(start));
    }
}

void PrintSurface::printLine(const QString& text)
{
    print(text);
    endLine();
}

void PrintSurface::emptyLines(int count)
{
    for (int i = 0; i < count; ++i) {
        endLine();
    }
}
