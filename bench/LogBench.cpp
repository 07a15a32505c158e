// What a long chat line costs the log: the time from appending one line of N characters to the log view, at
// its size in the network window, until it has been laid out and painted. Two kinds of line: words of
// ordinary length, and one run without a single break opportunity (what a peer's flood looks like).
#include "LogView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTextOption>

#include <benchmark/benchmark.h>

namespace {

QString Line(qsizetype Length, bool Words) {
    QString line;
    line.reserve(Length);
    while (line.size() < Length) {
        line += Words ? QStringLiteral("слово ") : QStringLiteral("ааааааааа");
    }
    line.truncate(Length);
    return line;
}

void AppendLine(benchmark::State& state, bool Words, QTextOption::WrapMode Wrap) {
    LogView log;
    log.setGeometry(0, 0, 200, 232);
    log.setWordWrapMode(Wrap);
    log.show();
    QCoreApplication::processEvents();
    const QString line = Line(state.range(0), Words);
    for (auto _ : state) {
        log.LogMessage(line, Qt::blue);
        log.repaint();
        QCoreApplication::processEvents();
        state.PauseTiming();
        log.clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel(Words ? "words" : "one run");
}

void BM_LogWordsWrapAnywhere(benchmark::State& state) {
    AppendLine(state, true, QTextOption::WrapAtWordBoundaryOrAnywhere);
}
void BM_LogOneRunWrapAnywhere(benchmark::State& state) {
    AppendLine(state, false, QTextOption::WrapAtWordBoundaryOrAnywhere);
}
void BM_LogOneRunWrapAnywhereOnly(benchmark::State& state) {
    AppendLine(state, false, QTextOption::WrapAnywhere);
}

#define LENGTHS                                                                                              \
    ->Arg(1000)->Arg(2000)->Arg(4000)->Arg(8000)->Arg(16000)->Arg(32000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_LogWordsWrapAnywhere) LENGTHS;
BENCHMARK(BM_LogOneRunWrapAnywhere) LENGTHS;
BENCHMARK(BM_LogOneRunWrapAnywhereOnly) LENGTHS;

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
