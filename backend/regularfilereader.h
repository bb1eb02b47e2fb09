// SPDX-License-Identifier: GPL-2.0-or-later
// Reads a whole file named by a debug module, or the module file itself, only when it is a
// regular file of bounded size: a device, a fifo or a huge file must neither block the window
// nor fill its memory.
#pragma once

#include <QByteArray>
#include <QString>

class RegularFileReader
{
public:
    enum Status
    {
        Read,
        CannotOpen,
        NotRegular,
        TooLarge
    };
    static constexpr qint64 MaxBytes = 16 * 1024 * 1024;

    // Fills content only when the answer is Read.
    static Status read(const QString &path, QByteArray &content);
};
