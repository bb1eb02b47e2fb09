// SPDX-License-Identifier: GPL-2.0-or-later
#include "collectoutput.h"

#include <QRegularExpression>

namespace {

// "[name:function] message", the collector's log lines about a node.
const QRegularExpression &logLine()
{
    static const QRegularExpression pattern(QStringLiteral("^\\[([^\\]:\\s]+):(\\w+)\\] (.*)$"));
    return pattern;
}

// "name      : message", its lines for the user about a node.
const QRegularExpression &userLine()
{
    static const QRegularExpression pattern(QStringLiteral("^(\\S+)\\s+: (.*)$"));
    return pattern;
}

// What ssh said when the connection failed, in the details that follow the first line.
CollectOutput::Failure connectionFailure(const QString &text)
{
    if (text.contains(QLatin1String("Permission denied")) ||
        text.contains(QLatin1String("password")))
        return CollectOutput::Failure::AuthenticationRefused;
    if (text.contains(QLatin1String("Timeout")) || text.contains(QLatin1String("timed out")))
        return CollectOutput::Failure::Timeout;
    return CollectOutput::Failure::Unreachable;
}

QString firstLabel(const QString &name)
{
    return name.section(QLatin1Char('.'), 0, 0).toLower();
}

} // namespace

CollectOutput::CollectOutput(const QStringList &nodes, QObject *parent) : QObject(parent)
{
    for (const QString &name : nodes)
        nodeList.append(Node{name, {}, State::Waiting, Failure::None, {}});
}

// A chunk may hold many lines: the unread rest is cut off once, not after each line.
void CollectOutput::feed(const QByteArray &bytes)
{
    pending += bytes;
    int start = 0;
    int end;
    while ((end = pending.indexOf('\n', start)) >= 0) {
        QString line = QString::fromUtf8(pending.constData() + start, end - start);
        start = end + 1;
        pendingAnswered = false;
        line.remove(QLatin1Char('\r'));
        readLine(line);
    }
    pending.remove(0, start);
    if (!pending.isEmpty() && !pendingAnswered)
        readPartialLine();
}

// Questions asked through getpass or input end with ": " and wait on the same line.
void CollectOutput::readPartialLine()
{
    const QString text = QString::fromUtf8(pending).remove(QLatin1Char('\r')).trimmed();
    Prompt prompt;
    if (text.endsWith(QLatin1String("collecting reports for:")))
        prompt = Prompt::CaseId;
    else if (text.startsWith(QLatin1String("Provide the SSH password")) && text.endsWith(':'))
        prompt = Prompt::SshPassword;
    else if (text.contains(QLatin1String("Provide sudo password")) && text.endsWith(':'))
        prompt = Prompt::SudoPassword;
    else
        return;
    pendingAnswered = true;
    emit prompted(prompt, text);
}

void CollectOutput::readLine(const QString &line)
{
    if (line.trimmed().isEmpty())
        return;
    if (line == QLatin1String("Press ENTER to continue, or CTRL-C to quit")) {
        emit prompted(Prompt::Continue, line);
        return;
    }
    if (line == QLatin1String("Connecting to nodes...")) {
        for (int i = 0; i < nodeList.size(); ++i)
            if (nodeList.at(i).state == State::Waiting)
                setState(i, State::Connecting);
        return;
    }
    if (archiveFollows && line.startsWith(QLatin1Char('\t'))) {
        archivePath = line.trimmed();
        archiveFollows = false;
        return;
    }
    archiveFollows = line.startsWith(QLatin1String("The following archive has been created"));
    if (readNodeLine(line))
        return;
    // A failed connection's details follow its first line without a name; what ssh said is in
    // the last 100 characters before the failure.
    if (lastNode >= 0 && nodeList.at(lastNode).state == State::Failed &&
        line.startsWith(QLatin1String("before (last 100 chars)"))) {
        keep(lastNode, line);
        nodeList[lastNode].failure = connectionFailure(line);
        emit nodeChanged(lastNode);
        return;
    }
    ownLines.append(line);
    while (ownLines.size() > KeptLines)
        ownLines.removeFirst();
}

bool CollectOutput::readNodeLine(const QString &line)
{
    const auto log = logLine().match(line);
    if (log.hasMatch()) {
        const int index = indexOf(log.captured(1));
        if (index < 0 && log.captured(2) == QLatin1String("get_hostname")) {
            const int found = indexForHostName(log.captured(1));
            if (found >= 0)
                readNodeMessage(found, log.captured(2), log.captured(3));
            return found >= 0;
        }
        if (index >= 0)
            readNodeMessage(index, log.captured(2), log.captured(3));
        lastNode = index;
        return index >= 0;
    }
    const auto user = userLine().match(line);
    const int index = user.hasMatch() ? indexOf(user.captured(1)) : -1;
    if (index < 0)
        return false;
    lastNode = index;
    const QString message = user.captured(2);
    keep(index, message);
    if (message.startsWith(QLatin1String("Generating sosreport")))
        setState(index, State::Collecting);
    else if (message.startsWith(QLatin1String("Retrieving sosreport")))
        setState(index, State::Copying);
    else if (message.startsWith(QLatin1String("Successfully collected")))
        setState(index, State::Done);
    emit nodeChanged(index);
    return true;
}

void CollectOutput::readNodeMessage(int index, const QString &function, const QString &message)
{
    keep(index, message);
    if (function == QLatin1String("get_hostname") &&
        message.startsWith(QLatin1String("Hostname set to ")))
        nodeList[index].hostName = message.mid(16).trimmed();
    if (message.startsWith(QLatin1String("Unable to open SSH session")))
        setState(index, State::Failed, connectionFailure(message));
    else if (message == QLatin1String("sos version is None") ||
             message.startsWith(QLatin1String("sos is not installed")))
        setState(index, State::Failed, Failure::SosMissing);
    else if (message.startsWith(QLatin1String("Timeout exceeded")))
        setState(index, State::Failed, Failure::Timeout);
    else if (message.startsWith(QLatin1String("Error running sosreport")) ||
             message.startsWith(QLatin1String("Failed to ")) ||
             message.startsWith(QLatin1String("Unable to determine")))
        setState(index, State::Failed, Failure::Other);
    else if (function == QLatin1String("sosreport") && nodeList.at(index).state != State::Failed)
        setState(index, State::Collecting);
    emit nodeChanged(index);
}

int CollectOutput::indexOf(const QString &name)
{
    for (int i = 0; i < nodeList.size(); ++i) {
        const Node &node = nodeList.at(i);
        if (node.name.compare(name, Qt::CaseInsensitive) == 0 ||
            node.hostName.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

// The node that just told its host name: the one named alike (a short name for a full one), else
// the first still connecting that has not told its name.
int CollectOutput::indexForHostName(const QString &hostName)
{
    int candidate = -1;
    for (int i = 0; i < nodeList.size(); ++i) {
        const Node &node = nodeList.at(i);
        if (!node.hostName.isEmpty() || node.state != State::Connecting)
            continue;
        if (firstLabel(node.name) == firstLabel(hostName))
            return i;
        if (candidate < 0)
            candidate = i;
    }
    return candidate;
}

void CollectOutput::setState(int index, State state, Failure failure)
{
    Node &node = nodeList[index];
    // A node that failed stays failed; sos may go on talking about it.
    if (node.state == State::Failed || node.state == State::Done)
        return;
    node.state = state;
    node.failure = failure;
    emit nodeChanged(index);
}

void CollectOutput::keep(int index, const QString &line)
{
    QStringList &lines = nodeList[index].lastLines;
    lines.append(line.trimmed());
    while (lines.size() > KeptLines)
        lines.removeFirst();
}

void CollectOutput::finish()
{
    for (int i = 0; i < nodeList.size(); ++i)
        if (nodeList.at(i).state != State::Done)
            setState(i, State::Failed, Failure::Other);
}
