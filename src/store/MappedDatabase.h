#pragma once

#include "store/DatabaseFile.h"

#include <functional>
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <vector>

// A database file mapped read-only and walked once for the places of its values, for readers that
// need only some values of each record (the command line): a value is decoded when it is asked for.
// It takes only files that are valid UTF-8; DatabaseFile::read() reads any other.
class MappedDatabase
{
public:
    // The values a reader may ask for; the three numbers come with ObjectName.
    enum Field : unsigned
    {
        Title = 1u << 0,
        Language = 1u << 1,
        Category = 1u << 2,
        Keywords = 1u << 3,
        Date = 1u << 4,
        Object = 1u << 5,
        DText = 1u << 6,
        Code = 1u << 7,
        HText = 1u << 8,
        AllFields = (1u << 9) - 1
    };

    // Work on the file's bytes alongside the walk: called with the whole file and, in turn, each
    // range [from, to) of it once it is known to be UTF-8, on a thread of its own.
    using Alongside = std::function<void(QByteArrayView bytes, qsizetype from, qsizetype to)>;

    // Maps and walks path as DatabaseFile::read() would; with countOnly it keeps no places, for
    // a reader that needs only result() and count() (or calls walkPlaces() later). False when the
    // file cannot be opened or read, or is not valid UTF-8: then DatabaseFile::read() is the reader
    // to use.
    bool open(const QString& path, bool countOnly = false, const Alongside& alongside = {});

    // After a countOnly open, walks the bytes again for the places of the values.
    void walkPlaces();

    // What DatabaseFile::read() gives, without its records.
    const DatabaseFile::ReadResult& result() const { return m_result; }

    // The number of records read.
    qsizetype count() const { return m_count; }

    // The number of records whose values can be asked for: count(), or 0 after a countOnly open.
    size_t size() const { return m_spans.size(); }

    // The bytes of one value of record index as they stand in the file (one Field bit, not Object).
    QByteArrayView bytes(size_t index, Field field) const;

    // Whether the value's bytes are its text exactly (UTF-8): no line break had to be made CR LF.
    bool bytesAreText(size_t index, Field field) const { return !span(index, field).mixedBreaks; }

    // One value of record index, as DatabaseFile::read() decodes it.
    QString text(size_t index, Field field) const;

    // Record index with the fields asked for (an OR of Field bits) filled in, the others empty.
    SnippetRecord record(size_t index, unsigned fields) const;

    // Every record as record() gives it, in file order, decoded on all cores.
    CodeArray records(unsigned fields) const;

private:
    const DatabaseFile::Span& span(size_t index, Field field) const;

    QFile m_file;
    QByteArray m_copy; // the bytes when the file could not be mapped
    QByteArrayView m_bytes;
    std::vector<DatabaseFile::RecordSpans> m_spans;
    DatabaseFile::ReadResult m_result;
    qsizetype m_count = 0;
    bool m_lfMode = false;
};
