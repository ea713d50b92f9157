#include "cli/inputs.h"
#include "cli/xdxtool.h"
#include "files/files.h"

#include <QCoreApplication>
#include <QTextStream>
#ifdef SHENBAO_HAVE_GUI
#include <QGuiApplication>
#endif

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// The tool speaks through its own streams; what Qt would say on the way (a runtime folder unset
// under cron or as root, a font it falls back from) is no message of the tool's.
void quietQt(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtFatalMsg || type == QtCriticalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv)
{
    shenbao::prepareProcess();
#ifdef SIGPIPE
    // A reader that went away (a closed pipe) is an output error that xdxtool reports, not a
    // signal that ends it without a word.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    qInstallMessageHandler(quietQt);
    shenbao::office::stopOnInterrupt();
    // The arguments as the system gives them: on Unix bytes, kept whole (a GBK file name too); on
    // Windows the wide command line, which the application reads (file names in Chinese).
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(shenbao::pathFromSystem(QByteArrayView(argv[i], qsizetype(std::strlen(argv[i])))));

    std::unique_ptr<QCoreApplication> app;
#ifdef SHENBAO_HAVE_GUI
    if (shenbao::cli::needsGui(args)) {
#ifndef Q_OS_WIN
        // Drawing needs a GUI application, but never a display. (Windows' own platform needs
        // none; its offscreen one would have no fonts.)
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
#endif
    if (!app)
        app = std::make_unique<QCoreApplication>(argc, argv);
#ifdef Q_OS_WIN
    args = QCoreApplication::arguments().mid(1);
#endif

    QTextStream out(stdout);
    QTextStream err(stderr);
    return shenbao::cli::run(args, {out, err});
}
