// SPDX-License-Identifier: GPL-2.0-or-later
#include "lineprefix.h"

#include <QTextCodec>

namespace {

bool isAsciiSpace(char byte)
{
    return byte == ' ' || (byte >= '\t' && byte <= '\r');
}

// The encodings in which a character's bytes never stand for another character, whatever comes
// before or after them, and in which bytes of ASCII are always ASCII characters.
bool bytesAreCharacters(const QTextCodec *codec)
{
    constexpr int Utf8 = 106;
    constexpr int Latin1 = 4;
    return codec->mibEnum() == Utf8 || codec->mibEnum() == Latin1;
}

} // namespace

LineText::LineText(LineRef line) : ref(line)
{
    while (textStart < ref.size && isAsciiSpace(ref.data[textStart]))
        ++textStart;
    if (textStart < ref.size)
        first = uchar(ref.data[textStart]);
}

const QString &LineText::text() const
{
    if (!isDecoded) {
        // The overload for a whole QByteArray would stop at the first NUL byte.
        decoded = QString::fromLocal8Bit(ref.data, ref.size).trimmed();
        isDecoded = true;
    }
    return decoded;
}

// The bytes decide when they are the text's only encoding: the text survives the way there and
// back, and holds no replacement character, which decoding also makes of broken bytes.
LinePrefix::LinePrefix(const QString &text) : text(text)
{
    const QTextCodec *codec = QTextCodec::codecForLocale();
    if (text.isEmpty() || !bytesAreCharacters(codec) ||
        text.contains(QChar(QChar::ReplacementCharacter)))
        return;
    bytes = codec->fromUnicode(text);
    if (codec->toUnicode(bytes) != text)
        return;
    mode = text.back().isSpace() ? BytesThenRest : Bytes;
    lead = uchar(bytes.at(0));
}

// The first bytes are equal, and a line whose text starts beyond ASCII is left to decoding.
bool LinePrefix::restMatches(const LineText &line) const
{
    const LineRef ref = line.line();
    const int start = line.start();
    if (lead >= 0x80)
        return decodedStartsWith(line);
    if (ref.size - start < bytes.size() ||
        std::memcmp(ref.data + start + 1, bytes.constData() + 1, size_t(bytes.size() - 1)) != 0)
        return false;
    return mode == Bytes || textGoesOn(ref, start + bytes.size(), line);
}

bool LinePrefix::decodedStartsWith(const LineText &line) const
{
    return line.text().startsWith(text);
}

bool LinePrefix::textGoesOn(LineRef ref, int from, const LineText &line) const
{
    for (int i = from; i < ref.size; ++i) {
        if (uchar(ref.data[i]) >= 0x80)
            return decodedStartsWith(line);
        if (!isAsciiSpace(ref.data[i]))
            return true;
    }
    return false;
}
