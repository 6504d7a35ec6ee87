// Times changelog generation against the number of distinct versions: 1,000 to 16,000 versions
// of two finished items each. Time that grows with n log n rises a little over twofold from one
// row to the next; the "per version" column then stays nearly flat.
// Usage: changelog_bench [runs]

#include "Median.h"
#include "project/Records.h"
#include "todolist/Changelog.h"
#include "todolist/ChangelogTemplates.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

QList<TodoItem> todosOf(int versions)
{
    QList<TodoItem> todos;
    for (int i = 0; i < 2 * versions; ++i) {
        TodoItem item;
        item.status = 8; // finished: the default templates take it
        // Out of order, and some in upper case, so sorting and merging have work to do.
        const int v = (i * 7919) % versions;
        item.version = (i % 10 == 0 ? QStringLiteral("V%1.%2") : QStringLiteral("v%1.%2")).arg(v / 100).arg(v % 100);
        item.title = QStringLiteral("item %1").arg(i);
        item.description = QStringLiteral("what item %1 changed").arg(i);
        item.uid = quint64(i + 1);
        todos.append(item);
    }
    return todos;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const ChangelogTemplates templates;
    std::printf("versions   median ms   us per version   (%d runs)\n", runs);
    for (int versions = 1000; versions <= 16000; versions *= 2) {
        const QList<TodoItem> todos = todosOf(versions);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            const auto start = std::chrono::steady_clock::now();
            const Changelog::Texts texts = Changelog::generate(todos, templates);
            times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            if (texts.plain.count(QLatin1Char(':')) < versions)
                qFatal("%d versions gave a changelog of fewer sections", versions);
        }
        const double ms = median(times);
        std::printf("%8d   %9.1f   %14.2f\n", versions, ms, 1000.0 * ms / versions);
    }
    return 0;
}
