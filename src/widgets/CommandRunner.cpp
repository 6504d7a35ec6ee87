#include "widgets/CommandRunner.h"

#include "platform/Prompts.h"
#include "project/Error.h"

#include <QString>

void runCommand(Prompts &prompts, const std::function<void()> &command)
{
    try {
        command();
    } catch (const Error &error) {
        prompts.error(error.message());
    } catch (const std::exception &error) {
        prompts.error(QString::fromLocal8Bit(error.what()));
    }
}
