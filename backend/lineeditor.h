// SPDX-License-Identifier: GPL-2.0-or-later
// The edit of one change on the lines of a configuration file, a line at a time: switching debug
// mode on puts the module's new text in and takes the old lines out of service behind the
// change marker; switching it off undoes that. The edited lines go to a sink: the content of
// the private copy, or a list of lines.
//
// Lines are compared with their surrounding white space removed, but every line the change does
// not edit is passed on byte for byte. The marker goes in front of the whole line, before any
// indentation: the line stays a comment for parsers that only know comments at the start of a
// line, and taking the marker off gives back the original line exactly.
#pragma once

#include "debugmoduleobject.h"
#include "lineprefix.h"

#include <QList>

namespace LineEditing {

inline const QByteArray Marker = QByteArrayLiteral("##commented ");

// Gathers edited lines as a file's content: each line followed by a line feed.
class ContentSink
{
public:
    explicit ContentSink(int capacity) { content.reserve(capacity); }
    void put(LineRef line)
    {
        content.append(line.data, line.size);
        content.append('\n');
    }
    QByteArray content;
};

// Gathers edited lines as a list.
class ListSink
{
public:
    void put(LineRef line) { lines.append(QByteArray(line.data, line.size)); }
    QList<QByteArray> lines;
};

} // namespace LineEditing

template <typename Sink> class LineEditor
{
public:
    LineEditor(const FileChange &change, bool rollback, Sink &sink)
        : sink(sink), search(rollback ? change.newtext : change.oldtext),
          putText(rollback ? change.oldtext : change.newtext), put(putText.toLocal8Bit()),
          anchor(change.anchor), marker(QString::fromLatin1(LineEditing::Marker)),
          rollback(rollback), anchored(!change.anchor.isEmpty())
    {
    }

    // Passes one line, edited or not, to the sink.
    void take(LineRef line)
    {
        if (rollback)
            anchored ? rollbackAnchored(line) : rollbackPlain(line);
        else
            anchored ? switchOnAnchored(line) : switchOnPlain(line);
    }

    // Whether any line was edited so far.
    bool changed() const { return anyChange; }

private:
    static LineRef refTo(const QByteArray &bytes) { return {bytes.constData(), bytes.size()}; }

    static QByteArray indentation(LineRef line)
    {
        int length = 0;
        while (length < line.size && (line.data[length] == ' ' || line.data[length] == '\t'))
            ++length;
        return QByteArray(line.data, length);
    }

    // The marker stands right after the line's leading white space (wherever an earlier edit
    // put it), so its first occurrence is the one to take off.
    static QByteArray withoutMarker(LineRef line)
    {
        QByteArray bytes(line.data, line.size);
        bytes.remove(bytes.indexOf(LineEditing::Marker), LineEditing::Marker.size());
        return bytes;
    }

    static QByteArray withMarker(LineRef line)
    {
        return LineEditing::Marker + QByteArray::fromRawData(line.data, line.size);
    }

    bool isRestorable(const LineText &line) const
    {
        return marker.isStartOf(line) && line.text().contains(putText);
    }

    // Every line that starts with the search text gets the put text in front of it.
    void switchOnPlain(LineRef line)
    {
        if (!search.isStartOf(LineText(line))) {
            sink.put(line);
            return;
        }
        sink.put(refTo(indentation(line) + put));
        sink.put(refTo(withMarker(line)));
        anyChange = true;
    }

    // The put text follows every anchor line; search lines go out of service only after the
    // first anchor line.
    void switchOnAnchored(LineRef line)
    {
        QByteArray marked;
        if (anyChange && search.isStartOf(LineText(line))) {
            marked = withMarker(line);
            line = refTo(marked);
        }
        sink.put(line);
        if (anchor.isStartOf(LineText(line))) {
            sink.put(refTo(put));
            anyChange = true;
        }
    }

    // A put line is dropped; the line after it gets its marker taken off, or the search text
    // back in front of it.
    void rollbackPlain(LineRef line)
    {
        const LineText text(line);
        if (search.isStartOf(text)) {
            afterPutLine = true;
            return;
        }
        bool restorable = isRestorable(text);
        QByteArray edited;
        if (afterPutLine) {
            if (restorable) {
                edited = withoutMarker(line);
                line = refTo(edited);
                restorable = isRestorable(LineText(line));
            } else {
                sink.put(refTo(indentation(line) + put));
            }
            anyChange = true;
            afterPutLine = false;
        }
        if (restorable) {
            edited = withoutMarker(line);
            line = refTo(edited);
            anyChange = true;
        }
        sink.put(line);
    }

    // Put lines are dropped (which alone changes nothing) and markers taken off, twice at most.
    void rollbackAnchored(LineRef line)
    {
        if (search.isStartOf(LineText(line)))
            return;
        QByteArray edited;
        for (int pass = 0; pass < 2 && isRestorable(LineText(line)); ++pass) {
            edited = withoutMarker(line);
            line = refTo(edited);
            anyChange = true;
        }
        sink.put(line);
    }

    Sink &sink;
    const LinePrefix search;
    const QString putText;
    const QByteArray put;
    const LinePrefix anchor;
    const LinePrefix marker;
    const bool rollback;
    const bool anchored;
    bool anyChange = false;
    bool afterPutLine = false;
};
