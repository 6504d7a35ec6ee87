#include "app/ui/FontconfigWarmUp.h"

#ifdef TROVAS_FONTCONFIG
#include <fontconfig/fontconfig.h>
#include <pthread.h>
#endif

FontconfigWarmUp::FontconfigWarmUp()
{
#ifdef TROVAS_FONTCONFIG
    m_reader = std::thread([] {
        // Only on a core nobody else needs: connecting to the display goes first.
        sched_param idle{};
        pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
        // FcInit keeps what it read as the current configuration; Qt's own FcInit then
        // returns at once.
        FcInit();
    });
#endif
}

FontconfigWarmUp::~FontconfigWarmUp()
{
    wait();
}

void FontconfigWarmUp::wait()
{
    if (!m_reader.joinable())
        return;
#ifdef TROVAS_FONTCONFIG
    // From now on the program waits for it: on a busy machine an idle thread would hardly run.
    sched_param normal{};
    pthread_setschedparam(m_reader.native_handle(), SCHED_OTHER, &normal);
#endif
    m_reader.join();
}
