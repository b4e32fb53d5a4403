// SPDX-License-Identifier: GPL-3.0-or-later
// The program's two screens over a recording desktop, with two empty folders for the results.
#pragma once

#include "fake_services.h"
#include "shell/screen_flow.h"

#include <QDir>
#include <QTemporaryDir>

struct ScreenRig
{
    QTemporaryDir programDir;
    QTemporaryDir userDir;
    FakeServices services{programDir.path(), userDir.path()};
    ScreenFlow flow{services};

    // The files in both folders, by name; empty when nothing was written.
    QStringList writtenFiles() const
    {
        const auto filter = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
        return QDir(programDir.path()).entryList(filter) + QDir(userDir.path()).entryList(filter);
    }
};
