#include "cli/CommandLine.h"

#include "cli/AxesCommand.h"

#include "cli/BatchRun.h"
#include "cli/DigitizeArguments.h"
#include "cli/FileNames.h"
#include "cli/HelpText.h"
#include "cli/ImageJob.h"
#include "cli/MemoryBudget.h"
#include "cli/OutputPlan.h"
#include "cli/ProjectSettings.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace vastrel::cli {

namespace {

constexpr int kDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kWrongArguments = 2;

// Whether standard output was closed when the program started; its number
// then holds /dev/null, so that no file opened later can take it and receive
// what was meant for standard output.
bool standardOutputClosed = false;

void keepStandardStreamsTaken()
{
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        if (::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) != fd) continue;
        if (fd == STDOUT_FILENO) standardOutputClosed = true;
    }
}

// Whether all of `text` reached the stream.
bool print(std::FILE* stream, const QString& text)
{
    if (stream == stdout && standardOutputClosed) return false;
    const QByteArray bytes = text.toLocal8Bit();
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream) ==
                         static_cast<std::size_t>(bytes.size());
    return std::fflush(stream) == 0 && written;
}

// What the help and the version print goes to standard output; a full disk
// or a closed output is a failure, as it is for a CSV.
int printResult(const QString& text)
{
    errno = 0;
    if (print(stdout, text)) return kDone;
    const int error = standardOutputClosed ? EBADF : errno;
    print(stderr, QStringLiteral("vastrel-digitizer: cannot write to standard output: %1\n")
                      .arg(QString::fromStdString(std::generic_category().message(error ? error : EIO))));
    return kSomeFailed;
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

QString systemWords(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

bool isFolder(const QByteArray& path)
{
    struct stat status {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool exists(const QByteArray& path)
{
    struct stat status {};
    return ::stat(path.constData(), &status) == 0;
}

QByteArray withoutTrailingSlashes(QByteArray path)
{
    while (path.size() > 1 && path.endsWith('/')) path.chop(1);
    return path;
}

QByteArray parentOf(const QByteArray& path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// Makes the folder and those missing above it; 0, or the error that stopped it.
int makeFolders(const QByteArray& folder)
{
    const QByteArray path = withoutTrailingSlashes(folder);
    for (qsizetype end = path.indexOf('/', 1);; end = path.indexOf('/', end + 1)) {
        const QByteArray step = end < 0 ? path : path.left(end);
        if (::mkdir(step.constData(), 0777) != 0 && errno != EEXIST) return errno;
        if (end < 0) break;
    }
    return isFolder(path) ? 0 : ENOTDIR;
}

// Why a folder could not be made: what stands in the way on its path, or the
// system's own words when the first missing folder is made here once more.
QString whyNoFolder(const QString& folder)
{
    QByteArray reached = withoutTrailingSlashes(fileSystemName(folder));
    if (!reached.startsWith('/')) {
        char here[PATH_MAX];
        if (::getcwd(here, sizeof here)) reached = withoutTrailingSlashes(QByteArray(here) + '/' + reached);
    }
    QByteArray missing;
    while (!exists(reached) && reached != "/") {
        missing = reached;
        reached = parentOf(reached);
    }
    const QString shown = printableName(argumentText(reached));
    if (!isFolder(reached)) return QStringLiteral("%1 is a file, not a folder").arg(shown);
    if (::access(reached.constData(), W_OK) != 0) return QStringLiteral("no permission to write in %1").arg(shown);
    if (missing.isEmpty() || ::mkdir(missing.constData(), 0777) == 0) {
        if (!missing.isEmpty()) ::rmdir(missing.constData());
        return QStringLiteral("the system refused it");
    }
    return systemWords(errno);
}

int digitizeCommand(const QStringList& arguments)
{
    const auto parsed = parseDigitizeArguments(arguments);
    if (std::holds_alternative<HelpWanted>(parsed)) return printResult(helpText(availableCores()));
    if (const auto* mistake = std::get_if<ArgumentError>(&parsed)) return wrongArguments(mistake->message);
    const DigitizeRequest& request = std::get<DigitizeRequest>(parsed);
    std::optional<DigitizeSettings> fromProject;
    if (!request.project.isEmpty()) {
        auto loaded = projectSettings(request);
        if (const auto* mistake = std::get_if<ArgumentError>(&loaded)) return wrongArguments(mistake->message);
        fromProject = std::move(std::get<DigitizeSettings>(loaded));
    }
    for (const QString& warning : readingWarnings(request))
        print(stderr, QStringLiteral("vastrel-digitizer: warning: %1\n").arg(warning));
    const auto planned = planOutputs(request);
    if (const auto* mistake = std::get_if<ArgumentError>(&planned)) return wrongArguments(mistake->message);
    const OutputPlan& plan = std::get<OutputPlan>(planned);

    if (!plan.folder.isEmpty() && makeFolders(fileSystemName(plan.folder)) != 0) {
        print(stderr, QStringLiteral("vastrel-digitizer: cannot make the folder %1: %2\n")
                          .arg(printableName(plan.folder), whyNoFolder(plan.folder)));
        return kSomeFailed;
    }
    if (standardOutputClosed && plan.tasks.size() == 1 && plan.tasks.front().output.isEmpty()) {
        print(stderr,
              QStringLiteral("vastrel-digitizer: cannot write to standard output: %1\n").arg(systemWords(EBADF)));
        return kSomeFailed;
    }
    BatchSettings batch;
    const int wanted = request.jobs > 0 ? request.jobs : availableCores();
    batch.jobs = std::min(jobsThatFit(wanted), std::max<int>(plan.tasks.size(), 1));
    if (batch.jobs < std::min<int>(wanted, plan.tasks.size()))
        print(stderr, QStringLiteral("vastrel-digitizer: the address-space limit leaves room for %1 of the %2 jobs "
                                     "asked for; going on with %1\n")
                          .arg(batch.jobs)
                          .arg(wanted));
    batch.showProgress = isatty(STDERR_FILENO) == 1;
    const int failed = runBatch(plan, fromProject ? *fromProject : settingsOf(request), batch);
    if (failed == 0) return kDone;
    print(stderr, QStringLiteral("vastrel-digitizer: %1 of %2 images gave no %3 file\n")
                      .arg(failed)
                      .arg(plan.tasks.size())
                      .arg(fileKindOf(request.format)));
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
    keepStandardStreamsTaken();
    fitUnderAnAddressSpaceLimit();
    QCoreApplication application(argc, argv);
    // Every image that fails is reported with its reason; what the image
    // plug-ins print besides (libtiff names a made-up file) would only confuse.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg) print(stderr, message + QLatin1Char('\n'));
    });
    QStringList arguments;
    // The arguments' bytes are kept whole: file names are the file system's bytes.
    for (int i = 1; i < argc; ++i) arguments.append(argumentText(QByteArray(argv[i])));

    const QString command = arguments.takeFirst();
    if (isHelp(command)) return printResult(helpText(availableCores()));
    if (command == QLatin1String("--version"))
        return printResult(QStringLiteral("vastrel-digitizer %1\n").arg(QLatin1String(VASTREL_VERSION)));
    if (command == QLatin1String("digitize")) return digitizeCommand(arguments);
    if (command == QLatin1String("axes")) return axesCommand(arguments);
    if (command.startsWith(QLatin1Char('-')))
        return wrongArguments(QStringLiteral("unknown option %1").arg(printableName(command)));
    return wrongArguments(QStringLiteral("unknown command \"%1\"").arg(printableName(command)));
}

}  // namespace vastrel::cli
