// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/file_writer.h"

#include <QSaveFile>

WriteResult writeFileSafely(const QString& path, const QByteArray& bytes, const DeviceWrite& write)
{
    QSaveFile file(path);
    // Unbuffered, so a short write shows here: a buffered one would only fail inside commit(),
    // which does not notice, and a cut-short file would replace the earlier one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return {false, file.errorString()};
    const qint64 written = write ? write(file, bytes) : file.write(bytes);
    if (written != bytes.size()) {
        const QString reason = file.error() != QFileDevice::NoError
                                   ? file.errorString()
                                   : QStringLiteral("Only %1 of %2 bytes could be written")
                                         .arg(qMax<qint64>(written, 0))
                                         .arg(bytes.size());
        // Cancelled, the commit throws the temporary file away and leaves the earlier file as it was.
        file.cancelWriting();
        file.commit();
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
