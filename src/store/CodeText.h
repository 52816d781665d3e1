#pragma once

#include <memory>
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// A snippet's code, held as its UTF-8 bytes: the code is most of a library, and UTF-8 holds it in
// half the memory UTF-16 would. The bytes are always valid UTF-8, so saving writes them as they are
// and searching looks at them directly; the text is decoded only where characters are needed.
class CodeText
{
public:
    CodeText() = default;

    // Encodes text; a lone surrogate becomes U+FFFD, as the database file holds it.
    explicit CodeText(QStringView text);
    explicit CodeText(const QString& text) : CodeText(QStringView(text)) {}
    CodeText& operator=(QStringView text) { return *this = CodeText(text); }
    CodeText& operator=(const QString& text) { return *this = CodeText(text); }

    // Takes bytes that are known to be valid UTF-8 as they are.
    static CodeText fromValidUtf8(QByteArray bytes);

    // The same for bytes that lie in a block of memory shared with other code; the code keeps the
    // block alive, and a copy of it keeps it too. block owns the memory bytes lie in.
    static CodeText fromValidUtf8(QByteArrayView bytes, std::shared_ptr<const void> block);

    // The code decoded.
    QString toString() const;

    QByteArrayView bytes() const { return m_bytes; }
    bool isEmpty() const { return m_bytes.isEmpty(); }

    // Whether every character is ASCII, so that each byte is one character.
    bool isAscii() const;

    friend bool operator==(const CodeText& a, const CodeText& b) { return a.m_bytes == b.m_bytes; }

    // Equal when text encodes to these bytes.
    friend bool operator==(const CodeText& a, QStringView b) { return a.equals(b); }
    friend bool operator==(const CodeText& a, const QString& b) { return a.equals(b); }

private:
    bool equals(QStringView text) const;

    QByteArray m_bytes;
    std::shared_ptr<const void> m_block; // what m_bytes lie in when they are not their own
};
