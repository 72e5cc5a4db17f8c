// Times what rasterine-convert does before it converts the first picture of
// a large batch: reading the arguments and checking that no output would
// overwrite another output or a picture. 10,000 small pictures must start
// converting within a second.
#include "cli/options.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <variant>

namespace {

void BatchOfPictures(benchmark::State& run)
{
    const int count = static_cast<int>(run.range(0));
    QTemporaryDir folder;
    QDir(folder.path()).mkdir(QStringLiteral("out"));
    QStringList arguments{QStringLiteral("rasterine-convert"), QStringLiteral("-d"),
                          folder.filePath(QStringLiteral("out")), QStringLiteral("--previews")};
    for (int i = 0; i < count; ++i) {
        const QString picture = folder.filePath(QStringLiteral("picture%1.png").arg(i));
        QFile(picture).open(QIODevice::WriteOnly);
        arguments << picture;
    }
    for (auto _ : run) {
        const Result<Command> command = parseCommandLine(arguments);
        if (!command || !std::holds_alternative<Options>(command.value()))
            run.SkipWithError("the batch was refused");
        benchmark::DoNotOptimize(command);
    }
}
BENCHMARK(BatchOfPictures)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
