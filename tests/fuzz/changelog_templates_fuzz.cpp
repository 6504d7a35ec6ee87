// The changelog templates and settings as the settings folder holds them. The input up to its
// first NUL byte is Head.txt, the rest settings.dat. Whatever loads is saved and loaded again
// and must then be the same.

#include "FuzzCheck.h"
#include "project/Error.h"
#include "todolist/ChangelogTemplates.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

void put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    const QString folder = dir.path() + QLatin1Char('/');
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype split = bytes.indexOf('\0');
    put(folder + ChangelogTemplates::fileName(ChangelogTemplates::Head), bytes.first(split < 0 ? bytes.size() : split));
    put(folder + QStringLiteral("settings.dat"), split < 0 ? QByteArray() : bytes.sliced(split + 1));

    ChangelogTemplates loaded;
    try {
        loaded.load(folder);
    } catch (const Error &) {
        // a short settings.dat is reported; what it holds is taken all the same
    }
    for (auto part : {ChangelogTemplates::Head, ChangelogTemplates::Node, ChangelogTemplates::End})
        loaded.saveText(folder, part);
    loaded.saveFlags(folder);
    ChangelogTemplates again;
    again.load(folder);
    FUZZ_CHECK(again.texts == loaded.texts);
    FUZZ_CHECK(again.include == loaded.include);
    return 0;
}
