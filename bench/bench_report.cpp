// The printed form of the complete sample: layout, PDF, and preview images.
#include "report/fillreport.h"
#include "report/fonts.h"
#include "report/paint.h"
#include "report/pdf.h"
#include "report/sheetlayout.h"
#include "xdx/xdxfile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

const shenbao::ApplicationRecord& sample()
{
    static const shenbao::ApplicationRecord record = [] {
        const shenbao::OpenResult r =
            shenbao::openXdxFile(QStringLiteral(SHENBAO_SOURCE_DIR "/samples/complete.xdx"));
        if (openStatus(r) != shenbao::OpenStatus::Loaded) {
            std::fprintf(stderr, "cannot open samples/complete.xdx\n");
            std::exit(1);
        }
        return r->record;
    }();
    return record;
}

shenbao::ReportLayout layoutSample()
{
    shenbao::ReportDesign design = shenbao::builtInDesign();
    shenbao::fillReport(design, sample(), false);
    return shenbao::layoutReport(design);
}

// The first print of a run, fonts not yet loaded: registered first so that it runs cold.
void BM_FirstFormToPdf(benchmark::State& state)
{
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        shenbao::writeReportPdf(layoutSample().sheets, &buffer);
    }
}
BENCHMARK(BM_FirstFormToPdf)->Unit(benchmark::kMillisecond)->Iterations(1);

// Design, fill and layout: what every print and preview starts with.
void BM_Layout(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(layoutSample());
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond);

// The whole form to PDF (fonts embedded), in memory.
void BM_FormToPdf(benchmark::State& state)
{
    std::size_t sheets = 0;
    qint64 bytes = 0;
    for (auto _ : state) {
        const shenbao::ReportLayout layout = layoutSample();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        shenbao::writeReportPdf(layout.sheets, &buffer);
        sheets = layout.sheets.size();
        bytes = buffer.size();
    }
    state.counters["sheets"] = double(sheets);
    state.counters["pdf_kB"] = double(bytes) / 1024;
}
BENCHMARK(BM_FormToPdf)->Unit(benchmark::kMillisecond);

// A round in one PDF: 100 forms (the sample's layout, each made again) written one after another,
// the fonts embedded once.
void BM_HundredFormsInOnePdf(benchmark::State& state)
{
    qint64 bytes = 0;
    for (auto _ : state) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        shenbao::ReportPdfWriter pdf(&buffer, QPageSize(QPageSize::A4));
        for (int i = 0; i < 100; ++i)
            pdf.add(layoutSample().sheets);
        pdf.finish(nullptr);
        bytes = buffer.size();
    }
    state.counters["pdf_kB"] = double(bytes) / 1024;
}
BENCHMARK(BM_HundredFormsInOnePdf)->Unit(benchmark::kMillisecond)->Iterations(2);

// The whole form as preview images at 96 dpi, as the preview window shows it at 100 %.
void BM_FormToPreview(benchmark::State& state)
{
    for (auto _ : state) {
        const shenbao::ReportLayout layout = layoutSample();
        for (const shenbao::Sheet& s : layout.sheets)
            benchmark::DoNotOptimize(shenbao::sheetImage(s, 96));
    }
}
BENCHMARK(BM_FormToPreview)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    shenbao::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
