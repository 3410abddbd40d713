#include "cli/CommandLine.h"

#include "cli/BatchRun.h"
#include "cli/DigitizeArguments.h"
#include "cli/HelpText.h"
#include "cli/ImageJob.h"
#include "cli/OutputPlan.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vastrel::cli {

namespace {

constexpr int kDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kWrongArguments = 2;

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
}

int wrongArguments(const QString& mistake)
{
    print(stderr, QStringLiteral("vastrel-digitizer: %1\n\n%2").arg(mistake, usageText()));
    return kWrongArguments;
}

bool isHelp(const QString& argument)
{
    return argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

// Why a folder could not be made: what stands in the way on its path, or the
// system's own words when the first missing folder is made here once more.
QString whyNoFolder(const QString& folder)
{
    QString missing;
    QFileInfo reached(QFileInfo(folder).absoluteFilePath());
    while (!reached.exists() && !reached.isRoot()) {
        missing = reached.absoluteFilePath();
        reached = QFileInfo(reached.absolutePath());
    }
    if (!reached.isDir()) return QStringLiteral("%1 is a file, not a folder").arg(reached.filePath());
    if (!reached.isWritable()) return QStringLiteral("no permission to write in %1").arg(reached.filePath());
    const QByteArray name = QFile::encodeName(missing);
    if (missing.isEmpty() || ::mkdir(name.constData(), 0777) == 0) {
        if (!missing.isEmpty()) ::rmdir(name.constData());
        return QStringLiteral("the system refused it");
    }
    return QString::fromLocal8Bit(std::strerror(errno));
}

int digitizeCommand(const QStringList& arguments)
{
    const auto parsed = parseDigitizeArguments(arguments);
    if (std::holds_alternative<HelpWanted>(parsed)) {
        print(stdout, helpText(availableCores()));
        return kDone;
    }
    if (const auto* mistake = std::get_if<ArgumentError>(&parsed)) return wrongArguments(mistake->message);
    const DigitizeRequest& request = std::get<DigitizeRequest>(parsed);
    for (const QString& warning : readingWarnings(request))
        print(stderr, QStringLiteral("vastrel-digitizer: warning: %1\n").arg(warning));
    const auto planned = planOutputs(request);
    if (const auto* mistake = std::get_if<ArgumentError>(&planned)) return wrongArguments(mistake->message);
    const OutputPlan& plan = std::get<OutputPlan>(planned);

    if (!plan.folder.isEmpty() && !QDir().mkpath(plan.folder)) {
        print(stderr, QStringLiteral("vastrel-digitizer: cannot make the folder %1: %2\n")
                          .arg(plan.folder, whyNoFolder(plan.folder)));
        return kSomeFailed;
    }
    BatchSettings batch;
    batch.jobs = request.jobs > 0 ? request.jobs : availableCores();
    batch.showProgress = isatty(STDERR_FILENO) == 1;
    const int failed = runBatch(plan, settingsOf(request), batch);
    if (failed == 0) return kDone;
    print(stderr,
          QStringLiteral("vastrel-digitizer: %1 of %2 images gave no CSV file\n").arg(failed).arg(plan.tasks.size()));
    return kSomeFailed;
}

}  // namespace

bool isCommand(int argc, char** argv)
{
    if (argc < 2) return false;
    // Qt's own options (QGuiApplication's and X11's) are for the windows; any
    // other option is a mistake to report, not a reason to open the windows,
    // which cannot open without a display.
    static constexpr std::array<std::string_view, 23> kQtOptions{"-platform",
                                                                 "-platformpluginpath",
                                                                 "-platformtheme",
                                                                 "-plugin",
                                                                 "-qwindowgeometry",
                                                                 "-qwindowicon",
                                                                 "-qwindowtitle",
                                                                 "-reverse",
                                                                 "-session",
                                                                 "-style",
                                                                 "-stylesheet",
                                                                 "-widgetcount",
                                                                 "-display",
                                                                 "-geometry",
                                                                 "-name",
                                                                 "-title",
                                                                 "-visual",
                                                                 "-ncols",
                                                                 "-cmap",
                                                                 "-nograb",
                                                                 "-dograb",
                                                                 "-sync",
                                                                 "-qmljsdebugger"};
    const std::string_view first = argv[1];
    const std::string_view option = first.substr(0, first.find('='));
    return !first.starts_with('-') || std::find(kQtOptions.begin(), kQtOptions.end(), option) == kQtOptions.end();
}

int runCommand(int argc, char** argv)
{
    // Qt Core only: image plug-ins are found through it, and no display is
    // ever asked for.
    QCoreApplication application(argc, argv);
    // Every image that fails is reported with its reason; what the image
    // plug-ins print besides (libtiff names a made-up file) would only confuse.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) print(stderr, message + QLatin1Char('\n'));
    });
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments.append(QString::fromLocal8Bit(argv[i]));

    const QString command = arguments.takeFirst();
    if (isHelp(command)) {
        print(stdout, helpText(availableCores()));
        return kDone;
    }
    if (command == QLatin1String("--version")) {
        print(stdout, QStringLiteral("vastrel-digitizer %1\n").arg(QLatin1String(VASTREL_VERSION)));
        return kDone;
    }
    if (command == QLatin1String("digitize")) return digitizeCommand(arguments);
    if (command.startsWith(QLatin1Char('-'))) return wrongArguments(QStringLiteral("unknown option %1").arg(command));
    return wrongArguments(QStringLiteral("unknown command \"%1\"").arg(command));
}

}  // namespace vastrel::cli
