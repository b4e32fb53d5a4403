// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/results_store.h"

#include "core/folder_prefix.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString PageName = QStringLiteral("Results.htm");
const QString LogoName = QStringLiteral("logo.f");

} // namespace

QString WriteOutcome::message() const
{
    if (ok)
        return {};
    QStringList lines{QStringLiteral("Could not save the results.")};
    for (const Failure& failure : failures) {
        const QFileInfo file(failure.path);
        const QString what =
            file.fileName() == LogoName ? QStringLiteral("The logo picture ") : QStringLiteral("The results page ");
        lines << what + file.fileName() + QStringLiteral(" could not be saved in ") +
                     QDir::toNativeSeparators(file.absolutePath()) + QStringLiteral(": ") + failure.reason;
    }
    return lines.join(u'\n');
}

ResultsStore::ResultsStore(QString programFolder, QString userFolder, FileWriter writer)
    : m_programFolder(std::move(programFolder)), m_userFolder(std::move(userFolder)), m_writer(std::move(writer))
{}

ResultsStore ResultsStore::forApplication()
{
    return ResultsStore(QCoreApplication::applicationDirPath(),
                        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

QString ResultsStore::programPagePath() const
{
    return folderPrefix(m_programFolder) + PageName;
}

QString ResultsStore::userPagePath() const
{
    return m_userFolder.isEmpty() ? QString() : QDir(m_userFolder).filePath(PageName);
}

WriteOutcome ResultsStore::writeInto(const QString& prefix, const QByteArray& logo, const QByteArray& page) const
{
    // The logo first, so that the page never shows a missing picture.
    const QString logoPath = prefix + LogoName;
    if (const WriteResult r = m_writer(logoPath, logo); !r.ok)
        return {false, {}, {{logoPath, r.reason}}};
    const QString pagePath = prefix + PageName;
    if (const WriteResult r = m_writer(pagePath, page); !r.ok)
        return {false, {}, {{pagePath, r.reason}}};
    return {true, pagePath, {}};
}

WriteOutcome ResultsStore::writeFiles(const QByteArray& logo, const QByteArray& page) const
{
    WriteOutcome outcome = writeInto(folderPrefix(m_programFolder), logo, page);
    if (outcome.ok)
        return outcome;

    // A program installed where the player may not write keeps its results in the player's data folder.
    if (m_userFolder.isEmpty())
        return outcome;
    const QDir userDir(m_userFolder);
    // When the folder can't be made, the write below fails and says why in the system's words.
    userDir.mkpath(QStringLiteral("."));
    WriteOutcome fallback = writeInto(userDir.path() + u'/', logo, page);
    fallback.failures = outcome.failures + fallback.failures;
    return fallback;
}

QString ResultsStore::previousPage() const
{
    const QFileInfo program(programPagePath());
    const QFileInfo user(userPagePath());
    const bool hasProgram = program.isFile();
    const bool hasUser = user.isFile();
    if (hasProgram && hasUser)
        return user.lastModified() > program.lastModified() ? user.filePath() : program.filePath();
    if (hasProgram)
        return program.filePath();
    if (hasUser)
        return user.filePath();
    return {};
}
