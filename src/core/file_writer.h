// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a whole file or nothing: an earlier file survives any failed write.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QSaveFile;

struct WriteResult
{
    bool ok = false;
    QString reason; // the system's words when the write failed
};

// Puts bytes into an open file; returns how many were taken, or -1. Tests swap it to fail midway.
using DeviceWrite = std::function<qint64(QSaveFile& file, const QByteArray& bytes)>;

// Writes to a temporary file beside `path` and renames it over `path` only once it is complete.
WriteResult writeFileSafely(const QString& path, const QByteArray& bytes, const DeviceWrite& write = {});

// How the results store writes each of its files.
using FileWriter = std::function<WriteResult(const QString& path, const QByteArray& bytes)>;

FileWriter safeFileWriter(DeviceWrite write = {});
