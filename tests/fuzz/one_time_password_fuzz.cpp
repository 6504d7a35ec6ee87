// The one-time-password challenge in a server's reply text.

#include "FuzzCheck.h"
#include "project/Error.h"
#include "upload/OneTimePassword.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        const std::optional<OneTimePassword::Challenge> challenge = OneTimePassword::findChallenge(text);
        if (!challenge)
            return 0;
        FUZZ_CHECK(challenge->count >= 0 && challenge->count <= 100000);
        FUZZ_CHECK(!challenge->seed.isEmpty());
        FUZZ_CHECK(text.contains(challenge->seed, Qt::CaseInsensitive));
    } catch (const Error &) {
        // a sequence number beyond what can be computed is refused with a message
    }
    return 0;
}
