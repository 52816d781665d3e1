#pragma once

#include <QDir>
#include <QDirIterator>
#include <QString>
#include <QStringList>

// Object names a library from someone else may carry, meant to write outside the chosen folder or
// to trip up the file system.
namespace HostileNames {

inline QStringList all()
{
    QStringList names{
        "../x",
        "/etc/x",
        "C:\\x",
        "a/b",
        ".",
        "..",
        "",
        "   ",
        "...",
        "x\ny",
        "x\r\n",
        QString(QChar(1)) + "x",
        "a\tb",
        "x" + QString(QChar(0)) + "y",
        QString(QChar(0x7f)) + "z",
        QString(QChar(0x85)) + "z",
        QString(300, u'n'),
        QString(300, u'n') + ".txt",
        QString(200, QChar(0xe9)) + ".png",
        "../../../../tmp/evil",
        "..\\..\\evil",
        "/",
        "\\",
        "a/",
        "a\\",
        "a/..",
        "a/.",
        "./x",
        ".\\x",
        "\\\\server\\share\\x",
        "//server/x",
        "C:x",
        "D:",
        "~/x",
        "~",
        "../",
        "..\\",
        "a/../../b",
        "x/../../..",
        "./",
        "/..",
        "\t",
        "\n",
        "dir/sub/../../../x.txt",
        "..:..",
        "a:b:c",
        "%2e%2e%2fx",
        QString("..") + QChar(0x2215) + "x",
        QString(QChar(0x202e)) + "txt.exe",
        "/proc/self/fd/0",
        "..\\..\\..\\Windows\\system.ini",
        "x/\n/y",
        "C:\\..\\..\\x.bin",
        "  ../  ",
        "name.with.dots..",
    };
    return names;
}

// Every file below root, as paths relative to it, links included.
inline QStringList filesBelow(const QString& root)
{
    QStringList files;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(root).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

} // namespace HostileNames
