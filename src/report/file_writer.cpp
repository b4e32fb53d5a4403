// SPDX-License-Identifier: GPL-3.0-or-later
#include "report/file_writer.h"

#include <QSaveFile>

WriteResult writeFileSafely(const QString& path, const QByteArray& bytes, const DeviceWrite& write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, file.errorString()};
    const qint64 written = write ? write(file, bytes) : file.write(bytes);
    if (written != bytes.size()) {
        QString reason = file.errorString();
        if (file.error() == QFileDevice::NoError)
            reason =
                QStringLiteral("Only %1 of %2 bytes could be written").arg(qMax<qint64>(written, 0)).arg(bytes.size());
        file.cancelWriting();
        file.commit(); // throws the temporary file away; the earlier file stays
        return {false, reason};
    }
    // Only the rename tells whether the file really is there, whole.
    if (!file.commit())
        return {false, file.errorString()};
    return {true, {}};
}

FileWriter safeFileWriter(DeviceWrite write)
{
    return [write = std::move(write)](const QString& path, const QByteArray& bytes) {
        return writeFileSafely(path, bytes, write);
    };
}
