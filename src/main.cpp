#include "cli/CommandLine.h"
#include "ocr/OcrThreads.h"
#include "shell/Form1.h"
#include "shell/Module1.h"
#include "toolkit/Fonts.h"
#include "toolkit/Platform.h"

#include <QApplication>
#include <csignal>

int main(int argc, char* argv[])
{
    vastrel::ocr::restartWithOneOcrThread(argv);

    // A file-size limit (ulimit -f) then fails the write, which is reported,
    // instead of ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);

    // A command runs before anything of the windows exists, so it needs no display.
    if (vastrel::cli::isCommand(argc, argv)) return vastrel::cli::runCommand(argc, argv);

    QApplication app(argc, argv);
    QApplication::setApplicationName(vastrel::tk::kApplicationTitle);
    QApplication::setWindowIcon(vastrel::tk::applicationIcon());
    vastrel::tk::installFontSubstitutes();
    // The windows stay out of the task bar, which Qt would read as "no window
    // left" once a message closes; the program ends only by "END" or the close box.
    QApplication::setQuitOnLastWindowClosed(false);

    vastrel::tk::DesktopPlatform platform;
    vastrel::shell::Module1 module(platform);
    vastrel::shell::Form1 form1(module);
    form1.Show();
    return QApplication::exec();
}
