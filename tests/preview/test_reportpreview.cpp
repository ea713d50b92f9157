// The preview window on its own: navigation, zoom, saving and opening a report, printing; the
// order in which pages print; the status window.
#include "../app/scriptedinteraction.h"
#include "../common/fixtures.h"
#include "../report/reporttest.h"
#include "app/messages.h"
#include "app/preview/reportprint.h"
#include "app/preview/reportstatus.h"
#include "previewtest.h"
#include "report/paint.h"
#include "report/pdf.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <poppler-qt6.h>

using namespace shenbao;
using namespace shenbao::test;
using namespace shenbao::testing;
using namespace Qt::StringLiterals;

class TestReportPreview : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensMaximizedAtFullSize();
    void navigation();
    void zoom();
    void fittingFollowsTheWindow();
    void saveAndOpen();
    void badFiles();
    void printing_data();
    void printing();
    void printCancelled();
    void printSequence_data();
    void printSequence();
    void statusWindow();

private:
    std::vector<Sheet> m_sheets;
    QTemporaryDir m_dir;
    ScriptedInteraction m_ui;
};

namespace {

std::unique_ptr<ReportPreview> previewOf(Interaction* ui, const std::vector<Sheet>& sheets)
{
    return std::make_unique<ReportPreview>(ui, std::make_unique<SheetPages>(sheets));
}

void trigger(ReportPreview& p, const char* command)
{
    QAction* a = p.command(QString::fromLatin1(command));
    if (!a)
        qFatal("no command %s", command);
    a->trigger();
}

// The words of every page of a PDF as poppler reads them, sorted: a printer of another
// resolution places them a hundredth of a point apart, which may change poppler's reading order.
QStringList pdfTexts(const QString& path)
{
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    QStringList out;
    if (!doc)
        return out;
    for (int i = 0; i < doc->numPages(); ++i) {
        QStringList words;
        for (const std::unique_ptr<Poppler::TextBox>& box : doc->page(i)->textList())
            words.append(box->text());
        words.sort();
        out.append(words.join(u' '));
    }
    return out;
}

int darkPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            n += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return n;
}

} // namespace

void TestReportPreview::initTestCase()
{
    installFontSubstitutions();
    m_sheets = layoutOf(completeSample()).sheets;
    QVERIFY(m_sheets.size() >= 15);
}

void TestReportPreview::opensMaximizedAtFullSize()
{
    auto p = previewOf(&m_ui, m_sheets);
    QCOMPARE(p->windowTitle(), u"报表预览"_s);
    QVERIFY(p->isModal());
    QVERIFY(p->windowState() & Qt::WindowMaximized);
    QCOMPARE(p->zoomMode(), ReportPreview::ZoomMode::Percent);
    QCOMPARE(p->zoomPercent(), 100);
    QCOMPARE(p->currentPage(), 0);
    QCOMPARE(p->pageCount(), int(m_sheets.size()));
    // 100 %: an inch of paper is an inch of screen.
    const int dpi = p->logicalDpiX();
    QCOMPARE(p->pageImage().size(), QSize(qCeil(8.5 * dpi), qCeil(11 * dpi)));
    QCOMPARE(p->findChild<QComboBox*>(u"zoom"_s)->currentText(), u"100%"_s);
    QCOMPARE(p->findChild<QLabel*>(u"pageTotal"_s)->text(), u"共 %1 页"_s.arg(m_sheets.size()));
}

void TestReportPreview::navigation()
{
    auto p = previewOf(&m_ui, m_sheets);
    const int last = p->pageCount() - 1;
    QVERIFY(!p->command(u"first"_s)->isEnabled());
    QVERIFY(!p->command(u"previous"_s)->isEnabled());
    const QImage cover = p->pageImage();

    trigger(*p, "next");
    QCOMPARE(p->currentPage(), 1);
    QVERIFY(p->pageImage() != cover);
    trigger(*p, "last");
    QCOMPARE(p->currentPage(), last);
    QVERIFY(!p->command(u"next"_s)->isEnabled());
    trigger(*p, "next"); // nothing beyond the last
    QCOMPARE(p->currentPage(), last);
    trigger(*p, "previous");
    QCOMPARE(p->currentPage(), last - 1);
    trigger(*p, "first");
    QCOMPARE(p->currentPage(), 0);
    QCOMPARE(p->pageImage(), cover);

    // Go to a page by its number; numbers beyond the pages stop at the last.
    auto* number = p->findChild<QSpinBox*>(u"pageNumber"_s);
    QCOMPARE(number->maximum(), p->pageCount());
    number->setValue(7);
    QCOMPARE(p->currentPage(), 6);
    QCOMPARE(number->text(), u"第 7 页"_s);
    p->setCurrentPage(999);
    QCOMPARE(p->currentPage(), last);
    QCOMPARE(number->value(), last + 1);
}

void TestReportPreview::zoom()
{
    auto p = previewOf(&m_ui, m_sheets);
    trigger(*p, "zoomIn");
    QCOMPARE(p->zoomPercent(), 125);
    trigger(*p, "zoomOut");
    trigger(*p, "zoomOut");
    QCOMPARE(p->zoomPercent(), 75);
    QCOMPARE(p->pageImage().width(), qCeil(8.5 * p->logicalDpiX() * 0.75));
    p->setZoomPercent(1000);
    QCOMPARE(p->zoomPercent(), ReportPreview::kMaxZoom);
    QVERIFY(!p->command(u"zoomIn"_s)->isEnabled());
    p->setZoomPercent(ReportPreview::kMinZoom);
    QVERIFY(!p->command(u"zoomOut"_s)->isEnabled());

    // A percentage typed into the zoom box.
    auto* box = p->findChild<QComboBox*>(u"zoom"_s);
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), u"60%"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QCOMPARE(p->zoomPercent(), 60);
    QCOMPARE(p->zoomMode(), ReportPreview::ZoomMode::Percent);
    QCOMPARE(box->currentText(), u"60%"_s);
}

void TestReportPreview::fittingFollowsTheWindow()
{
    auto p = previewOf(&m_ui, m_sheets);
    p->setWindowState(Qt::WindowNoState);
    p->resize(900, 700);
    p->show();
    QVERIFY(QTest::qWaitForWindowExposed(p.get()));
    auto* view = p->findChild<QScrollArea*>(u"pageView"_s);

    trigger(*p, "wholePage");
    QCOMPARE(p->zoomMode(), ReportPreview::ZoomMode::WholePage);
    QVERIFY(p->pageImage().height() <= view->viewport()->height());
    QVERIFY(p->pageImage().height() > view->viewport()->height() - 40);
    QVERIFY(p->zoomPercent() < 100);

    trigger(*p, "pageWidth");
    QCOMPARE(p->zoomMode(), ReportPreview::ZoomMode::PageWidth);
    QVERIFY(p->pageImage().width() <= view->viewport()->width());
    QVERIFY(p->pageImage().width() > view->viewport()->width() - 60);

    // The fitted percentage follows a resize; a chosen percentage does not.
    const int before = p->zoomPercent();
    p->resize(1300, 700);
    QTRY_VERIFY(p->zoomPercent() > before);
    p->setZoomPercent(80);
    p->resize(900, 700);
    QTest::qWait(10);
    QCOMPARE(p->zoomPercent(), 80);
}

void TestReportPreview::saveAndOpen()
{
    auto p = previewOf(&m_ui, m_sheets);
    const QString path = m_dir.filePath(u"report.pdf"_s);
    m_ui.clear();
    m_ui.saveAnswers.enqueue(path);
    trigger(*p, "save");
    QCOMPARE(m_ui.saveRequests.size(), 1);
    QCOMPARE(m_ui.saveRequests[0].filterPattern, u"*.pdf"_s);
    QCOMPARE(m_ui.saveRequests[0].defaultSuffix, u"pdf"_s);
    QVERIFY(m_ui.boxes.isEmpty());

    // What was saved is what the command line writes for the same application.
    const QString made = m_dir.filePath(u"made.pdf"_s);
    QVERIFY(writeReportPdf(m_sheets, made));
    const QStringList texts = pdfTexts(path);
    QCOMPARE(texts.size(), int(m_sheets.size()));
    QCOMPARE(texts, pdfTexts(made));
    QVERIFY(texts[0].contains(completeSample().value(Field::Presider)));

    // The next save proposes the same name.
    m_ui.saveAnswers.enqueue(QString());
    trigger(*p, "save");
    QCOMPARE(m_ui.saveRequests.last().fileName, path);

    // Opened again in the same preview: its pages, at their paper size (A4).
    m_ui.openAnswers.enqueue(path);
    p->setCurrentPage(3);
    p->setNotice(u"活页中有姓名"_s);
    trigger(*p, "open");
    QVERIFY(m_ui.boxes.isEmpty());
    QCOMPARE(p->notice(), QString());
    QVERIFY(!dynamic_cast<const SheetPages*>(&p->pages()));
    QCOMPARE(p->pageCount(), int(m_sheets.size()));
    QCOMPARE(p->currentPage(), 0);
    const int dpi = p->logicalDpiX();
    QVERIFY(qAbs(p->pageImage().width() - 8.27 * dpi) <= 2);
    QVERIFY(qAbs(p->pageImage().height() - 11.69 * dpi) <= 2);
    // The cover looks like the one generated (both at 100 %, same drawing from the corner).
    const QImage generated = sheetImage(m_sheets[0], dpi);
    const int ink = darkPixels(generated);
    QVERIFY(qAbs(darkPixels(p->pageImage()) - ink) < ink / 10);

    // Saving the opened report writes its very bytes.
    const QString again = m_dir.filePath(u"again.pdf"_s);
    m_ui.saveAnswers.enqueue(again);
    trigger(*p, "save");
    QCOMPARE(readAll(again), readAll(path));
}

void TestReportPreview::badFiles()
{
    auto p = previewOf(&m_ui, m_sheets);
    m_ui.clear();
    // Not a PDF: an error box, and the preview keeps what it showed.
    const QString xdx = sourcePath(u"samples/complete.xdx"_s);
    m_ui.openAnswers.enqueue(xdx);
    p->setCurrentPage(2);
    trigger(*p, "open");
    QCOMPARE(m_ui.texts(ScriptedInteraction::Box::Error).size(), 1);
    QVERIFY(m_ui.texts(ScriptedInteraction::Box::Error)[0].startsWith(
        u"无法打开报表文件“%1”"_s.arg(QDir::toNativeSeparators(xdx))));
    QVERIFY(dynamic_cast<const SheetPages*>(&p->pages()));
    QCOMPARE(p->currentPage(), 2);

    // A PDF cut short, and a missing file.
    const QString cut = m_dir.filePath(u"cut.pdf"_s);
    QVERIFY(writeReportPdf(m_sheets, cut));
    writeAll(cut, readAll(cut).left(2000));
    m_ui.openAnswers.enqueue(cut);
    trigger(*p, "open");
    const int cutErrors = 1;
    m_ui.openAnswers.enqueue(m_dir.filePath(u"none.pdf"_s));
    trigger(*p, "open");
    QCOMPARE(m_ui.texts(ScriptedInteraction::Box::Error).size(), 2 + cutErrors);
    QCOMPARE(p->pageCount(), int(m_sheets.size()));

    // A huge file is refused before it is read (a sparse file: no disk is used).
    const QString huge = m_dir.filePath(u"huge.pdf"_s);
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
        QVERIFY(f.resize(qint64(300) << 20));
    }
    m_ui.openAnswers.enqueue(huge);
    trigger(*p, "open");
    QCOMPARE(m_ui.texts(ScriptedInteraction::Box::Error).size(), 3 + cutErrors);
    QVERIFY(m_ui.texts(ScriptedInteraction::Box::Error).last().contains(u"文件太大"_s));

    // Saving into a folder fails with a reason and leaves an existing file alone.
    const QString kept = m_dir.filePath(u"kept.pdf"_s);
    writeAll(kept, "old");
    m_ui.saveAnswers.enqueue(m_dir.path());
    trigger(*p, "save");
    QCOMPARE(m_ui.texts(ScriptedInteraction::Box::Error).size(), 4 + cutErrors);
    QVERIFY(m_ui.texts(ScriptedInteraction::Box::Error).last().contains(u"文件夹"_s));
    QCOMPARE(readAll(kept), QByteArray("old"));
}

void TestReportPreview::printing_data()
{
    QTest::addColumn<QPrinter::PrintRange>("range");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("copies");
    QTest::addColumn<QList<int>>("pages"); // 1-based, in the order printed; {} = all, once

    QTest::newRow("all pages") << QPrinter::AllPages << 0 << 0 << 1 << QList<int>{};
    QTest::newRow("pages 2 to 4") << QPrinter::PageRange << 2 << 4 << 1 << QList<int>{2, 3, 4};
    QTest::newRow("the page shown") << QPrinter::CurrentPage << 0 << 0 << 1 << QList<int>{5};
    QTest::newRow("selection") << QPrinter::Selection << 0 << 0 << 1 << QList<int>{5};
    QTest::newRow("two copies of 1-2") << QPrinter::PageRange << 1 << 2 << 2 << QList<int>{1, 2, 1, 2};
}

void TestReportPreview::printing()
{
    QFETCH(QPrinter::PrintRange, range);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, copies);
    QFETCH(QList<int>, pages);

    auto p = previewOf(&m_ui, m_sheets);
    p->setCurrentPage(4);
    const QString out = m_dir.filePath(
        u"printed-%1.pdf"_s.arg(QString::fromLatin1(QTest::currentDataTag()).replace(u' ', u'-')));
    QString docName;
    bool fullPage = false;
    int offered = 0;
    m_ui.clear();
    m_ui.onPrint = [&](QPrinter* printer, int pageCount) {
        docName = printer->docName();
        fullPage = printer->fullPage();
        offered = pageCount;
        // What the print dialog's file printer does.
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(out);
        printer->setPrintRange(range);
        if (range == QPrinter::PageRange)
            printer->setFromTo(from, to);
        printer->setCopyCount(copies);
        printer->setCollateCopies(true);
        return true;
    };
    // The status window as each page begins.
    QStringList seen;
    QTimer watch;
    watch.setInterval(0);
    connect(&watch, &QTimer::timeout, [&] {
        if (auto* s = qobject_cast<ReportStatus*>(QApplication::activeModalWidget()))
            if (seen.isEmpty() || seen.last() != s->text())
                seen.append(s->text());
    });
    watch.start();
    trigger(*p, "print");
    watch.stop();
    m_ui.onPrint = nullptr;
    QCOMPARE(m_ui.printDialogs, 1);
    QCOMPARE(docName, u"报表打印"_s);
    QVERIFY(fullPage);
    QCOMPARE(offered, int(m_sheets.size()));
    QVERIFY(m_ui.boxes.isEmpty());

    // Page for page the same text as the saved report, in the order asked for.
    const QString saved = m_dir.filePath(u"saved.pdf"_s);
    QVERIFY(writeReportPdf(m_sheets, saved));
    const QStringList all = pdfTexts(saved);
    QStringList expected;
    if (pages.isEmpty())
        expected = all;
    for (int n : pages)
        expected.append(all[n - 1]);
    QCOMPARE(pdfTexts(out), expected);
    if (pages.isEmpty())
        for (int i = 1; i <= int(m_sheets.size()); ++i)
            pages.append(i);
    QStringList statusTexts;
    for (int n : pages)
        if (statusTexts.isEmpty() || statusTexts.last() != u"正在打印第%1页"_s.arg(n))
            statusTexts.append(u"正在打印第%1页"_s.arg(n));
    QCOMPARE(seen, statusTexts);
}

void TestReportPreview::printCancelled()
{
    auto p = previewOf(&m_ui, m_sheets);
    m_ui.clear();
    const QString out = m_dir.filePath(u"never.pdf"_s);
    m_ui.onPrint = [&](QPrinter* printer, int) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(out);
        return false; // "取消" in the print dialog
    };
    trigger(*p, "print");
    m_ui.onPrint = nullptr;
    QCOMPARE(m_ui.printDialogs, 1);
    QVERIFY(!QFile::exists(out));

    // No printer at all (Windows' dialog would show nothing): a box says so and how to save a PDF.
    m_ui.printers = false;
    trigger(*p, "print");
    m_ui.printers = true;
    QCOMPARE(m_ui.printDialogs, 1);
    QCOMPARE(m_ui.texts(ScriptedInteraction::Box::Plain), QStringList{appmsg::noPrinter()});
    m_ui.clear();

    // A printer that cannot start: an error box, no crash.
    m_ui.onPrint = [&](QPrinter* printer, int) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(m_dir.filePath(u"no/such/dir/x.pdf"_s));
        return true;
    };
    trigger(*p, "print");
    m_ui.onPrint = nullptr;
    QCOMPARE(m_ui.texts(ScriptedInteraction::Box::Error).size(), 1);
}

void TestReportPreview::printSequence_data()
{
    QTest::addColumn<int>("range"); // PrintChoice::Range
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("copies");
    QTest::addColumn<bool>("collate");
    QTest::addColumn<bool>("printerCopies");
    QTest::addColumn<QList<int>>("expected");
    using R = PrintChoice::Range;
    QTest::newRow("all") << int(R::All) << 0 << 0 << 1 << true << false << QList<int>{0, 1, 2, 3};
    QTest::newRow("current") << int(R::Current) << 0 << 0 << 1 << true << false << QList<int>{2};
    QTest::newRow("range") << int(R::FromTo) << 2 << 3 << 1 << true << false << QList<int>{1, 2};
    QTest::newRow("range past the end") << int(R::FromTo) << 3 << 9 << 1 << true << false << QList<int>{2, 3};
    QTest::newRow("range wholly past") << int(R::FromTo) << 7 << 9 << 1 << true << false << QList<int>{};
    QTest::newRow("range backwards") << int(R::FromTo) << 3 << 2 << 1 << true << false << QList<int>{};
    QTest::newRow("open range") << int(R::FromTo) << 0 << 0 << 1 << true << false << QList<int>{0, 1, 2, 3};
    QTest::newRow("collated copies") << int(R::FromTo) << 1 << 2 << 2 << true << false
                                     << QList<int>{0, 1, 0, 1};
    QTest::newRow("uncollated") << int(R::FromTo) << 1 << 2 << 3 << false << false
                                << QList<int>{0, 0, 0, 1, 1, 1};
    QTest::newRow("printer copies") << int(R::FromTo) << 1 << 2 << 3 << true << true << QList<int>{0, 1};
    QTest::newRow("no copies asked") << int(R::Current) << 0 << 0 << 0 << true << false << QList<int>{2};
}

void TestReportPreview::printSequence()
{
    QFETCH(int, range);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, copies);
    QFETCH(bool, collate);
    QFETCH(bool, printerCopies);
    QFETCH(QList<int>, expected);
    const PrintChoice choice{PrintChoice::Range(range), from, to, copies, collate, printerCopies};
    const std::vector<int> got = shenbao::printSequence(4, 2, choice);
    QCOMPARE(QList<int>(got.begin(), got.end()), expected);
    QVERIFY(shenbao::printSequence(0, 0, choice).empty());
}

void TestReportPreview::statusWindow()
{
    QCOMPARE(statusText(u"正在生成第%p页"_s, 3), u"正在生成第3页"_s);
    QCOMPARE(statusText(u"正在打印第%P页"_s, 12), u"正在打印第12页"_s);
    QCOMPARE(statusText(u"%p/%p 100%"_s, 2), u"2/2 100%"_s);

    ReportStatus status(u"正在生成第%p页"_s);
    QCOMPARE(status.windowTitle(), u"报表状态"_s);
    status.show();
    QVERIFY(status.sheetBegins(1));
    QCOMPARE(status.text(), u"正在生成第1页"_s);
    QVERIFY(status.sheetBegins(2));
    QTest::keyClick(&status, Qt::Key_Escape); // Esc and the close button cancel like the button
    QVERIFY(status.isCancelled());
    QVERIFY(!status.sheetBegins(3));

    ReportStatus other(u"正在打印第%p页"_s);
    other.show();
    QTest::mouseClick(other.cancelButton(), Qt::LeftButton);
    QVERIFY(!other.sheetBegins(1));
}

QTEST_MAIN(TestReportPreview)
#include "test_reportpreview.moc"
