#include "app/interaction.h"
#include "app/mainwindow.h"
#include "report/fonts.h"

#include <QApplication>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("shenbao"));
    // One look on every system, the one the pages are measured in: Windows' own style pads a
    // flat button so that "预览\打印" no longer fits its 66 pixels.
    QApplication::setStyle(QStringLiteral("Fusion"));
    shenbao::installFontSubstitutions();
    shenbao::installQtTranslations(QLocale::system(), QCoreApplication::applicationDirPath());

    shenbao::MainWindow window;
    // ~/.local/share/shenbao on Linux, %LOCALAPPDATA%\shenbao on Windows.
    window.keepRecoveryCopies(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) +
                              QStringLiteral("/recovery"));
    window.start(QApplication::arguments().mid(1));
    if (const QScreen* screen = window.screen())
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                               screen->availableGeometry()));
    window.show();
    return app.exec();
}
