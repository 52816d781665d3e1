#include "store/CodeText.h"

#include "store/TextCodec.h"

#include <cstring>

CodeText::CodeText(QStringView text)
{
    if (!text.isEmpty()) {
        TextCodec::appendUtf8(m_bytes, text);
        m_bytes.squeeze();
    }
}

CodeText CodeText::fromValidUtf8(QByteArray bytes)
{
    CodeText code;
    code.m_bytes = std::move(bytes);
    return code;
}

CodeText CodeText::fromValidUtf8(QByteArrayView bytes, std::shared_ptr<const void> block)
{
    CodeText code;
    // Not a copy: the bytes stay where they are, and changing them would copy them first.
    code.m_bytes = QByteArray::fromRawData(bytes.data(), bytes.size());
    code.m_block = std::move(block);
    return code;
}

QString CodeText::toString() const
{
    return TextCodec::decodeUtf8(m_bytes);
}

bool CodeText::isAscii() const
{
    return TextCodec::isAscii(m_bytes);
}

bool CodeText::equals(QStringView text) const
{
    // A UTF-16 unit takes one to three bytes: the sizes rule most texts out before any encoding.
    if (m_bytes.size() < text.size() || m_bytes.size() > 3 * text.size()) {
        return false;
    }
    QByteArray encoded;
    encoded.reserve(3 * text.size());
    TextCodec::appendUtf8(encoded, text);
    return encoded == m_bytes;
}
