#include "app/interaction.h"
#include "app/mainwindow.h"
#include "files/files.h"
#include "report/fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>
#include <QTimer>

namespace {

// SHENBAO_STARTUP_TIMES=<file>: the milliseconds each step of the start took, appended to the
// file (a window program on Windows has no console to write them to).
class StartupTimes : public QObject
{
public:
    StartupTimes() : m_path(qEnvironmentVariable("SHENBAO_STARTUP_TIMES")) { m_clock.start(); }

    void step(const char* name)
    {
        if (m_path.isEmpty())
            return;
        (void)shenbao::appendToFile(m_path,
                                    QByteArray(name) + ' ' + QByteArray::number(m_clock.elapsed()) + '\n');
    }

    // Once the window's first paint is done (queued behind the paint of all its widgets).
    void whenPainted()
    {
        if (!m_path.isEmpty())
            qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            qApp->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this, [this] { step("painted"); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    QString m_path;
    QElapsedTimer m_clock;
};

// A screen too small for the window (1366 × 768 at 150 %): the whole frame on the screen, and
// the pages scroll. The frame is known once the window manager has framed the window, on X11 a
// moment after show(): until then, look again a few times.
void keepOnScreen(QWidget* window, int tries = 40)
{
    const QScreen* screen = window->screen();
    if (!screen)
        return;
    const QRect frame = window->frameGeometry();
    if (frame.size() == window->size() && tries > 0) {
        QTimer::singleShot(50, window, [window, tries] { keepOnScreen(window, tries - 1); });
        return;
    }
    const QRect room = screen->availableGeometry();
    if (room.contains(frame))
        return;
    const QSize edges = frame.size() - window->size();
    window->resize(window->size().boundedTo(room.size() - edges));
    window->move(room.topLeft());
}

} // namespace

int main(int argc, char** argv)
{
    shenbao::prepareProcess();
    StartupTimes times;
    QApplication app(argc, argv);
    times.step("application");
    QApplication::setApplicationName(QStringLiteral("shenbao"));
    // One look on every system, the one the pages are measured in: Windows' own style pads a
    // flat button so that "预览\打印" no longer fits its 66 pixels.
    QApplication::setStyle(QStringLiteral("Fusion"));
    shenbao::installFontSubstitutions();
    shenbao::installQtTranslations(QLocale::system(), QCoreApplication::applicationDirPath());
    times.step("fonts-and-translations");

    shenbao::MainWindow window;
    // ~/.local/share/shenbao on Linux, %LOCALAPPDATA%\shenbao on Windows: the user's own.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    window.keepRecoveryCopies(data + QStringLiteral("/recovery"), data + u'/' + shenbao::draftsFolderName());
    times.step("window-built");
    window.start(QApplication::arguments().mid(1));
    if (const QScreen* screen = window.screen())
        window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                               screen->availableGeometry()));
    window.show();
    times.step("shown");
    QMetaObject::invokeMethod(
        &window, [&window] { keepOnScreen(&window); }, Qt::QueuedConnection);
    times.whenPainted();
    return app.exec();
}
