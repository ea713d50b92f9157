#include "cli/xdxtool.h"

#include <QCoreApplication>
#include <QTextStream>
#ifdef SHENBAO_HAVE_GUI
#include <QGuiApplication>
#endif

#include <csignal>
#include <cstdio>
#include <memory>

int main(int argc, char** argv)
{
#ifdef SIGPIPE
    // A reader that went away (a closed pipe) is an output error that xdxtool reports, not a
    // signal that ends it without a word.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // The subcommand's name (ASCII) decides the kind of application; the arguments are then taken
    // from it, which on Windows reads the wide command line (file names in Chinese).
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args.append(QString::fromLocal8Bit(argv[i]));

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
    args = QCoreApplication::arguments().mid(1);

    QTextStream out(stdout);
    QTextStream err(stderr);
    return shenbao::cli::run(args, {out, err});
}
