// SPDX-License-Identifier: GPL-2.0-or-later
// Plain-named links to report files, for mail programs that cannot be handed a file's own name.
// Each send gets a fresh folder below one that only the user can enter. A message may stay open
// for days and read its attachments only when it is saved or sent, so a folder is removed only
// once all its links point nowhere or it is older than a week, when the next links are made.
#pragma once

#include <QStringList>

class MailAttachments
{
public:
    // Links named like files but with only letters, digits and "._+-" in their names, in the
    // same order; empty when they could not be made.
    static QStringList plainLinks(const QStringList &files);
    // The folder the links' folders are made in.
    static QString folder();
    static QString plainName(const QString &fileName);

private:
    static void removeStale();
};
