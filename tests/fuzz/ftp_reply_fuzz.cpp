// Replies of an FTP server: the bytes are cut into lines as the control connection delivers
// them and fed to the reply reader, one reply after the other.

#include "FuzzCheck.h"
#include "project/Error.h"
#include "upload/FtpReply.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QList<QByteArray> lines = bytes.split('\n');
    FtpReply reply;
    qsizetype linesOfReply = 0;
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const bool more = reply.addLine(QString::fromUtf8(line));
        if (reply.hasFirstLine())
            ++linesOfReply;
        FUZZ_CHECK(reply.text().size() == linesOfReply);
        if (more)
            continue;
        try {
            reply.validateCode();
            FUZZ_CHECK(reply.codeText().isEmpty() || (reply.code() >= 100 && reply.code() <= 999));
        } catch (const Error &) {
        }
        reply = FtpReply();
        linesOfReply = 0;
    }
    return 0;
}
