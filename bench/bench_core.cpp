// Open + check and write of the complete sample application.
#include "check/verify.h"
#include "xdx/xdxfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

namespace {

const QString kSample = QStringLiteral(SHENBAO_SOURCE_DIR "/samples/complete.xdx");

QByteArray sampleBytes()
{
    QFile f(kSample);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void BM_OpenAndCheckFile(benchmark::State& state)
{
    for (auto _ : state) {
        const shenbao::OpenResult r = shenbao::openXdxFile(kSample);
        benchmark::DoNotOptimize(shenbao::verify(r->record));
    }
}
BENCHMARK(BM_OpenAndCheckFile)->Unit(benchmark::kMicrosecond);

void BM_OpenAndCheckBytes(benchmark::State& state)
{
    const QByteArray bytes = sampleBytes();
    for (auto _ : state) {
        const shenbao::OpenResult r = shenbao::openXdxBytes(bytes);
        benchmark::DoNotOptimize(shenbao::verify(r->record));
    }
}
BENCHMARK(BM_OpenAndCheckBytes)->Unit(benchmark::kMicrosecond);

// The floor: libxml2 alone parsing the same bytes (after one open has registered the GBK codec,
// which both use), for the ratio open + check / bare parse.
void BM_BareParse(benchmark::State& state)
{
    const QByteArray bytes = sampleBytes();
    (void)shenbao::openXdxBytes(bytes);
    for (auto _ : state) {
        xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
        xmlDocPtr doc =
            xmlCtxtReadMemory(ctxt, bytes.constData(), int(bytes.size()), nullptr, nullptr, XML_PARSE_NONET);
        benchmark::DoNotOptimize(doc);
        xmlFreeDoc(doc);
        xmlFreeParserCtxt(ctxt);
    }
}
BENCHMARK(BM_BareParse)->Unit(benchmark::kMicrosecond);

// Open + check against the bare parse, taken in turns of 50 each so that both see the same
// machine (a shared one changes speed by half within seconds); the counter is the ratio of the
// fastest turns.
void BM_OpenToBareRatio(benchmark::State& state)
{
    const QByteArray bytes = sampleBytes();
    (void)shenbao::openXdxBytes(bytes);
    using Clock = std::chrono::steady_clock;
    Clock::duration bestOpen = Clock::duration::max(), bestBare = Clock::duration::max();
    for (auto _ : state) {
        auto start = Clock::now();
        for (int i = 0; i < 50; ++i) {
            xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
            xmlFreeDoc(xmlCtxtReadMemory(ctxt, bytes.constData(), int(bytes.size()), nullptr, nullptr,
                                         XML_PARSE_NONET));
            xmlFreeParserCtxt(ctxt);
        }
        bestBare = std::min(bestBare, Clock::now() - start);
        start = Clock::now();
        for (int i = 0; i < 50; ++i) {
            const shenbao::OpenResult r = shenbao::openXdxBytes(bytes);
            benchmark::DoNotOptimize(shenbao::verify(r->record));
        }
        bestOpen = std::min(bestOpen, Clock::now() - start);
    }
    state.counters["ratio"] = double(bestOpen.count()) / double(bestBare.count());
    state.counters["open_us"] = std::chrono::duration<double, std::micro>(bestOpen).count() / 50;
    state.counters["bare_us"] = std::chrono::duration<double, std::micro>(bestBare).count() / 50;
}
BENCHMARK(BM_OpenToBareRatio)->Unit(benchmark::kMillisecond);

void BM_Check(benchmark::State& state)
{
    const shenbao::OpenResult r = shenbao::openXdxBytes(sampleBytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(shenbao::verify(r->record));
}
BENCHMARK(BM_Check)->Unit(benchmark::kMicrosecond);

void BM_WriteBytes(benchmark::State& state)
{
    const shenbao::OpenResult r = shenbao::openXdxBytes(sampleBytes());
    for (auto _ : state)
        benchmark::DoNotOptimize(shenbao::xdxBytes(r->record, {}));
}
BENCHMARK(BM_WriteBytes)->Unit(benchmark::kMicrosecond);

void BM_SaveFile(benchmark::State& state)
{
    const shenbao::OpenResult r = shenbao::openXdxBytes(sampleBytes());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.xdx"));
    for (auto _ : state)
        benchmark::DoNotOptimize(shenbao::saveXdxFile(path, r->record, {}));
}
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
