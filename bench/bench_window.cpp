// What the applicant's assistants cost where it is felt: a key typed into a design argument of
// 3,999 characters, painted, with the room counter against the same box without one (the floor);
// a recovery copy of a full form written. Run under a display (xvfb-run) or offscreen.
#include "bench/roundgen.h"

#include "app/longtextedit.h"
#include "app/mainwindow.h"
#include "session/recovery.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

namespace {

// A key and its undo, each painted before the next: the text keeps its length.
void typeAndPaint(benchmark::State& state, bool counted)
{
    shenbao::bench::TextSource source(11);
    shenbao::LongTextEdit edit;
    edit.resize(601, 452);
    edit.setByteLimit(counted ? 8000 : 0);
    edit.setValue(source.text(3999).left(3999));
    edit.show();
    if (!QTest::qWaitForWindowExposed(&edit))
        state.SkipWithError("no window");
    edit.activateWindow();
    if (!QTest::qWaitForWindowActive(&edit))
        state.SkipWithError("no active window");
    edit.setFocus();
    edit.moveCursor(QTextCursor::End);
    QApplication::processEvents();
    if (counted && edit.roomShown().isEmpty())
        state.SkipWithError("the room is not shown");
    for (auto _ : state) {
        QTest::keyClick(&edit, Qt::Key_A);
        edit.viewport()->repaint();
        QTest::keyClick(&edit, Qt::Key_Backspace);
        edit.viewport()->repaint();
    }
    state.counters["keys/s"] =
        benchmark::Counter(2 * double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_KeyInLongTextFloor(benchmark::State& state)
{
    typeAndPaint(state, false);
}
BENCHMARK(BM_KeyInLongTextFloor)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

void BM_KeyInLongTextWithRoom(benchmark::State& state)
{
    typeAndPaint(state, true);
}
BENCHMARK(BM_KeyInLongTextWithRoom)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The copy the window writes while typing pauses: a generated application, long texts full.
void BM_RecoveryCopy(benchmark::State& state)
{
    const shenbao::ApplicationRecord record = shenbao::bench::makeRound(1, 5).applications.front();
    QTemporaryDir folder;
    shenbao::RecoveryKeeper keeper(
        folder.path(), [&] { return record; }, [](const QString&) {});
    for (auto _ : state) {
        keeper.edited();
        keeper.flush();
    }
}
BENCHMARK(BM_RecoveryCopy)->Unit(benchmark::kMillisecond);

// The window, made and filled as at start-up, with the assistants on.
void BM_WindowStart(benchmark::State& state)
{
    QTemporaryDir folder;
    for (auto _ : state) {
        shenbao::MainWindow window;
        window.keepRecoveryCopies(folder.filePath(QStringLiteral("recovery")),
                                  folder.filePath(QStringLiteral("drafts")));
        window.start({});
        benchmark::DoNotOptimize(window.errorList());
    }
}
BENCHMARK(BM_WindowStart)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
