// SPDX-License-Identifier: GPL-3.0-or-later
// Where the results page and its logo go: the program's folder, or bare names at a root.
#pragma once

#include <QString>

enum class PathStyle
{
    Windows,
    Unix,
};

PathStyle nativePathStyle();

// The folder path followed by the native separator, or empty when the folder is the root of its
// drive or file system; the files are then named by their bare names, relative to the current folder.
QString folderPrefix(const QString& folder, PathStyle style = nativePathStyle());
