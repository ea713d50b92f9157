// Grabs every page of the window as it looks on this machine, for looking at the layout.
//   shenbao_screenshots OUTDIR [--check] [FILE...]
// FILE... is the command line the window starts with; --check presses "检 查" first.
#include "app/mainwindow.h"
#include "report/fonts.h"
#include "scriptedinteraction.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStyle>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

using namespace shenbao;

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(programTitle());
    installFontSubstitutions();

    QStringList args = QApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: shenbao_screenshots OUTDIR [--check] [FILE...]\n");
        return 2;
    }
    const QDir out(args.takeFirst());
    const bool check = args.removeAll(QStringLiteral("--check")) > 0;
    QDir().mkpath(out.path());

    ScriptedInteraction ui;
    MainWindow window(&ui);
    window.start(args);
    window.setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window.size(),
                                           window.screen()->availableGeometry()));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    if (check && !QMetaObject::invokeMethod(&window, "verifydataClick"))
        std::fprintf(stderr, "no check command\n");
    for (int i = 0; i < window.pageControl()->count(); ++i) {
        window.pageControl()->setCurrentIndex(i);
        QTest::qWait(50);
        const QString name = out.filePath(QStringLiteral("page-%1.png").arg(i + 1, 2, 10, QChar(u'0')));
        if (!window.grab().save(name))
            return 1;
        std::printf("%s\n", qPrintable(name));
    }
    for (const auto& box : ui.boxes)
        std::printf("box: %s\n", box.text.toUtf8().constData());
    return 0;
}
