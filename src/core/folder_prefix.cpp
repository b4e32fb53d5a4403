// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/folder_prefix.h"

PathStyle nativePathStyle()
{
#ifdef Q_OS_WIN
    return PathStyle::Windows;
#else
    return PathStyle::Unix;
#endif
}

QString folderPrefix(const QString& folder, PathStyle style)
{
    if (style == PathStyle::Windows) {
        // Qt hands out forward slashes; the drive root is "C:\" once written the native way.
        QString path = folder;
        path.replace(u'/', u'\\');
        while (path.size() > 3 && path.endsWith(u'\\'))
            path.chop(1);
        return path.size() > 3 ? path + u'\\' : QString();
    }
    QString path = folder;
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path.isEmpty() || path == u"/" ? QString() : path + u'/';
}
