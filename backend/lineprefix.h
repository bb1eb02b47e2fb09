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
    // The byte at start(), or -1 when the line is blank.
    int firstByte() const { return first; }
    // The line decoded whole (NUL bytes included) and trimmed: what every test means.
    const QString &text() const;

private:
    LineRef ref;
    int textStart = 0;
    int first = -1;
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
        // Most lines part at their first byte: it is checked before anything else.
        const int first = line.firstByte();
        if (first == lead)
            return restMatches(line);
        // A line whose text starts beyond ASCII may start with white space of another script or
        // with a byte order mark that decoding drops: only the decoded text can tell.
        return (mode == Decode || first >= 0x80) && decodedStartsWith(line);
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
    bool restMatches(const LineText &line) const;
    // Whether the line goes on, after the matched bytes, with something trimming keeps.
    bool textGoesOn(LineRef ref, int from, const LineText &line) const;

    QString text;
    QByteArray bytes;
    Mode mode = Decode;
    // The first byte of the text, when the bytes decide; no line's first byte otherwise.
    int lead = NoLead;
    static constexpr int NoLead = -2;
};
