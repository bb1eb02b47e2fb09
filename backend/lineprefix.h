// SPDX-License-Identifier: GPL-2.0-or-later
// Tells whether a line of a configuration file begins with a module's text, as the line reads
// once decoded in the locale's encoding and trimmed, by looking at the line's bytes. Decoding a
// whole file costs far more than reading it; the bytes decide alone wherever the encoding makes
// them equivalent to the decoded text, and only the rest of the lines are decoded.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstring>

// One line of a file's content, without its line feed; it points into the content.
struct LineRef
{
    const char *data;
    int size;
};

// Calls visit(LineRef) for every line of content: the pieces between line feeds, where a final
// line feed ends the last line rather than starting an empty one.
template <typename Visit> void forEachLine(const QByteArray &content, Visit visit)
{
    const char *data = content.constData();
    const int size = content.size();
    for (int begin = 0; begin < size;) {
        const void *feed = std::memchr(data + begin, '\n', size_t(size - begin));
        const int end = feed ? int(static_cast<const char *>(feed) - data) : size;
        visit(LineRef{data + begin, end - begin});
        begin = end + 1;
    }
}

// A line with the position where its text begins once the blanks, tabs and other white space of
// ASCII in front are skipped; its decoded and trimmed text is made only when a test needs it.
class LineText
{
public:
    explicit LineText(LineRef line);

    LineRef line() const { return ref; }
    int start() const { return textStart; }
    // The line decoded whole (NUL bytes included) and trimmed: what every test means.
    const QString &text() const;

private:
    LineRef ref;
    int textStart = 0;
    mutable QString decoded;
    mutable bool isDecoded = false;
};

class LinePrefix
{
public:
    explicit LinePrefix(const QString &text);

    // Whether the trimmed text of line starts with this text.
    bool isStartOf(const LineText &line) const
    {
        if (mode == Decode)
            return decodedStartsWith(line);
        const LineRef ref = line.line();
        const int start = line.start();
        // A blank line trims to nothing, and the text here is never empty.
        if (start == ref.size)
            return false;
        // A line whose text starts beyond ASCII may start with white space of another script or
        // with a byte order mark that decoding drops: only the decoded text can tell.
        if (uchar(ref.data[start]) >= 0x80)
            return decodedStartsWith(line);
        if (ref.size - start < bytes.size() ||
            std::memcmp(ref.data + start, bytes.constData(), size_t(bytes.size())) != 0)
            return false;
        return mode == Bytes || textGoesOn(ref, start + bytes.size(), line);
    }

private:
    enum Mode
    {
        // Equal bytes mean equal text and unequal bytes unequal text.
        Bytes,
        // The same, but the text ends in white space that trimming may take off the line.
        BytesThenRest,
        // The bytes cannot tell: the text is compared with the decoded line.
        Decode
    };

    bool decodedStartsWith(const LineText &line) const;
    // Whether the line goes on, after the matched bytes, with something trimming keeps.
    bool textGoesOn(LineRef ref, int from, const LineText &line) const;

    QString text;
    QByteArray bytes;
    Mode mode = Decode;
};
