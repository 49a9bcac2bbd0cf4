// The message table at a typical size (1,000 messages) and at the largest one NUMBER allows
// (32,767): opening a data file with the program's five sort indexes, closing with a write,
// FindKey on the number index and on the temporary time order, and a walk with Next.
//
//   build/bench/bench_table [--benchmark_min_time=0.05]

#include "ClientDataSet.h"
#include "DataFile.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTime>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

using namespace pinleaf;

namespace {

QTemporaryDir& tempDir() {
    static QTemporaryDir dir;
    return dir;
}

QString timeOf(int i) {
    return QTime(0, 0).addSecs((i * 7) % 86400).toString(QStringLiteral("hh:mm:ss"));
}

Record messageRecord(int i) {
    return {i,
            QStringLiteral("Message %1").arg(i),
            QStringLiteral("Text of message %1, a line or two as people write them.").arg(i),
            QDate(2020, 1, 1).addDays(i % 2000),
            timeOf(i),
            QStringLiteral("https://example.org/%1").arg(i),
            i % 3 == 0,
            i % 5 == 0};
}

// A data file of `count` messages, written once per size.
QString dataFile(int count) {
    static std::map<int, QString> files;
    auto it = files.find(count);
    if (it != files.end()) {
        return it->second;
    }
    std::vector<Record> records;
    records.reserve(count);
    for (int i = 0; i < count; ++i) {
        records.push_back(messageRecord(i));
    }
    const QString path = tempDir().filePath(QStringLiteral("bench-%1.cds").arg(count));
    datafile::write(path, records);
    return files.emplace(count, path).first->second;
}

// Opens the file as the program does: the five sort indexes, then "NumberAs" in force.
std::unique_ptr<TClientDataSet> openTable(const QString& path) {
    auto table = std::make_unique<TClientDataSet>();
    table->SetFileName(path);
    table->AfterOpen = [](TClientDataSet& t) {
        t.AddIndex(QStringLiteral("TitleDe"), QStringLiteral("TITLE"), true);
        t.AddIndex(QStringLiteral("NumberAs"), QStringLiteral("NUMBER"), false);
        t.AddIndex(QStringLiteral("NumberDe"), QStringLiteral("NUMBER"), true);
        t.AddIndex(QStringLiteral("DateDe"), QStringLiteral("DATE"), true);
        t.AddIndex(QStringLiteral("TimeDe"), QStringLiteral("TIME"), true);
        t.SetIndexName(QStringLiteral("NumberAs"));
    };
    table->Open();
    return table;
}

void BM_Open(benchmark::State& state) {
    const QString path = dataFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::unique_ptr<TClientDataSet> table = openTable(path);
        benchmark::DoNotOptimize(table->RecordCount());
        state.PauseTiming();
        table.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_CloseWithWrite(benchmark::State& state) {
    const QString path = dataFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<TClientDataSet> table = openTable(path);
        state.ResumeTiming();
        table->Edit();
        table->Post();
        table->Close();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_FindKeyNumber(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::unique_ptr<TClientDataSet> table = openTable(dataFile(count));
    int i = 0;
    for (auto _ : state) {
        i = (i + 7919) % count;
        benchmark::DoNotOptimize(table->FindKey(FieldValue(i)));
    }
}

void BM_FindKeyTime(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    std::unique_ptr<TClientDataSet> table = openTable(dataFile(count));
    table->SetIndexFieldNames(QStringLiteral("TIME"));
    std::vector<FieldValue> keys;
    for (int i = 0; i < 1024; ++i) {
        keys.emplace_back(timeOf((i * 7919) % count));
    }
    std::size_t k = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(table->FindKey(keys[k++ % keys.size()]));
    }
}

void BM_WalkNext(benchmark::State& state) {
    std::unique_ptr<TClientDataSet> table = openTable(dataFile(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        int seen = 0;
        table->First();
        while (!table->Eof()) {
            ++seen;
            table->Next();
        }
        benchmark::DoNotOptimize(seen);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(BM_Open)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloseWithWrite)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindKeyNumber)->Arg(1000)->Arg(32767);
BENCHMARK(BM_FindKeyTime)->Arg(1000)->Arg(32767);
BENCHMARK(BM_WalkNext)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
