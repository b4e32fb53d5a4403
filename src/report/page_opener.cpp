// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/page_opener.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

PageOpener desktopPageOpener()
{
    return [](const QString& pagePath) {
        // A bare name means the current folder; the desktop wants the full path.
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(pagePath).absoluteFilePath()));
    };
}
