// Writes the manual page when the program is built:
//   vastrel-man-page OUTPUT VERSION SUMMARY

#include "cli/HelpText.h"
#include "cli/ManPage.h"

#include <QFile>
#include <cstdio>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: vastrel-man-page OUTPUT VERSION SUMMARY\n");
        return 2;
    }
    const vastrel::cli::ManPageTitle title{QStringLiteral("vastrel-digitizer"), QString::fromUtf8(argv[2]),
                                           QString::fromUtf8(argv[3])};
    const QByteArray page = vastrel::cli::manPage(vastrel::cli::manualText(), title);
    QFile file(QFile::decodeName(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(page) != page.size() || !file.flush()) {
        std::fprintf(stderr, "vastrel-man-page: cannot write %s: %s\n", argv[1], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
