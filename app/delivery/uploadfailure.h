// SPDX-License-Identifier: GPL-2.0-or-later
// What an upload that did not arrive means for the user, and what to do about it.
#pragma once

#include "uploadtransfer.h"

#include <QCoreApplication>

class UploadFailure
{
    Q_DECLARE_TR_FUNCTIONS(UploadFailure)

public:
    // resumable: uploading again to the same server goes on where this one stopped.
    static QString text(const UploadResult &result, bool resumable);
    static QString title(const UploadResult &result);
};
