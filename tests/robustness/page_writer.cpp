// SPDX-License-Identifier: GPL-3.0-or-later
// A child process for the write-fault tests: writes sample results pages through the real
// results store, under whatever limits, user or signal the parent chose for it.
//
//   page_writer write <folder> <generation> <rows> <text length>
//       one page; prints "ok" or "failed<TAB>message"; exit status 0 or 3
//   page_writer write-then-lock <folder>
//       a small page, then the folder made read-only, then a larger page; one line each
//   page_writer loop <folder> <first generation>
//       prints "writing", then writes pages of alternating size until it is killed, and
//       "wrote <generation>" after each
#include "sample_page.h"

#include <QFile>
#include <cstdio>
#include <cstring>

static bool report(const WriteOutcome& outcome)
{
    if (outcome.ok && !outcome.pagePath.isEmpty())
        std::printf("ok\n");
    else
        std::printf("failed\t%s\n", qUtf8Printable(outcome.message().replace(u'\n', QStringLiteral(" | "))));
    std::fflush(stdout);
    return outcome.ok;
}

int main(int argc, char* argv[])
{
    const QString command = argc >= 3 ? QString::fromLatin1(argv[1]) : QString();
    const QString folder = argc >= 3 ? QFile::decodeName(argv[2]) : QString();
    const ResultsStore store(folder, QString());
    if (command == u"write" && argc == 6)
        return report(SamplePage::write(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), store)) ? 0 : 3;
    if (command == u"write-then-lock") {
        if (!report(SamplePage::write(1, 2, 10, store)))
            return 3;
        if (!QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                                               QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther))
            return 4;
        return report(SamplePage::write(2, 140, 200, store)) ? 0 : 3;
    }
    if (command == u"loop" && argc == 4) {
        std::printf("writing\n");
        std::fflush(stdout);
        for (int generation = std::atoi(argv[3]);; ++generation) {
            const auto [rows, textLength] = SamplePage::loopShape(generation);
            if (SamplePage::write(generation, rows, textLength, store).ok) {
                std::printf("wrote %d\n", generation);
                std::fflush(stdout);
            }
        }
    }
    std::fprintf(stderr, "usage: page_writer write|write-then-lock|loop <folder> ...\n");
    return 2;
}
