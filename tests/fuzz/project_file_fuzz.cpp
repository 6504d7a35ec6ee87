// The project file from its bytes: decoded, split into lines and parsed; whatever parses is
// written and read again, and must then stay as it is.

#include "FuzzCheck.h"
#include "project/Error.h"
#include "project/ProjectFile.h"
#include "project/TextFile.h"

#include <cstddef>
#include <cstdint>

namespace {

QStringList linesOf(const QByteArray &bytes)
{
    return TextFile::splitLines(TextFile::decode(bytes));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ProjectData project;
    try {
        project = ProjectFile::parse(linesOf(bytes));
    } catch (const Error &) {
        return 0; // a malformed file is refused with a message, which is all it may do
    }
    const QStringList saved = ProjectFile::serialize(project);
    const QByteArray savedBytes = TextFile::joinLines(saved);
    FUZZ_CHECK(linesOf(savedBytes) == saved);
    const QStringList savedAgain = ProjectFile::serialize(ProjectFile::parse(linesOf(savedBytes)));
    FUZZ_CHECK(savedAgain == saved);
    FUZZ_CHECK(TextFile::joinLines(savedAgain) == savedBytes);
    return 0;
}
