#pragma once

#include <QByteArrayView>
#include <QList>
#include <QStringView>

// The readers the fuzz targets drive, one entry per target. The fuzz targets and the replay test
// share them, so a kept input is fed exactly as the fuzzer fed it. An entry aborts when its reader
// breaks a promise it makes (a round trip, a count), so such inputs are kept like crashes.
namespace FuzzEntries {

using Entry = void (*)(QByteArrayView bytes);

struct Target
{
    const char* name;      // the target's name: build-fuzz/fuzz_<name>, tests/fuzz/corpus/<name>/
    Entry entry;           // feeds one input to the reader
    const char* extension; // the file ending the command line's import picks this reader by, or ""
};

// Every target, in a fixed order.
const QList<Target>& targets();

// The target of that name, or nullptr.
const Target* find(QStringView name);

// The library file reader: parses, then writes and reads back what it read.
void database(QByteArrayView bytes);

// The library file walk that keeps places instead of values: on UTF-8 input it must find what
// the reader finds, value for value.
void databaseSpans(QByteArrayView bytes);

// The reader of version-5 libraries.
void zq5(QByteArrayView bytes);

// The source splitters of the local import.
void splitVB(QByteArrayView bytes);
void splitHTML(QByteArrayView bytes);
void splitFunction(QByteArrayView bytes);

// The reader of ".lng" language definitions.
void languageDefinition(QByteArrayView bytes);

// The RTF-to-HTML converter of the export.
void rtfToHtml(QByteArrayView bytes);

// The settings file, read as start-up reads it.
void settings(QByteArrayView bytes);

// The decoder of mixed UTF-8 and Windows-1252 text.
void textCodec(QByteArrayView bytes);

// The reduction of a stored attachment name to a file name that is safe to write under.
void attachmentName(QByteArrayView bytes);

// The range check of an attachment: a start and a length (the first eight bytes, little-endian)
// against a resource file holding the rest.
void attachmentRange(QByteArrayView bytes);

// The reader of JSON with comments, then the VS Code and massCode readers over what it read.
void jsonc(QByteArrayView bytes);

// The reader of pet's TOML snippet files.
void toml(QByteArrayView bytes);

} // namespace FuzzEntries
