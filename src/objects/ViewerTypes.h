#pragma once

#include <QString>

// Which view of the object viewer shows an object, from its name's ending and two lists of endings.
namespace ViewerTypes {

inline constexpr char DefaultTextList[] = ".txt .htm .bas .frm";
inline constexpr char DefaultImageList[] = ".bmp .gif .jpg .ico .wmf .cur .rle .emf";
inline constexpr char ListFileName[] = "zorbethtype.txt";
inline constexpr char TextWorkingFile[] = "zqTempObject.txt";

struct Lists
{
    QString text = QLatin1String(DefaultTextList);
    QString image = QLatin1String(DefaultImageList);
};

// The lists from the first and second line of "zorbethtype.txt" in the program folder; the defaults
// for a missing file or line.
Lists load(const QString& programFolder);

// The extension of an object: the last four characters of its name, dot included (a shorter name
// is taken whole).
QString extensionOf(const QString& objectName);

enum class Kind
{
    Text,
    Image,
    Binary
};

// Text when the extension occurs anywhere in the text list, else image when in the image list, else
// binary; letter case is ignored.
Kind kindOf(const QString& extension, const Lists& lists);

// The working file an object of kind and extension is written to in the program folder:
// "zqTempObject.txt" for text, "zqTempObject" and the extension for pictures. Empty when the
// extension would not make a plain file name there.
QString workingFile(Kind kind, const QString& extension);

} // namespace ViewerTypes
