#pragma once

#include <thread>

// On desktops whose fonts come from fontconfig, the first text the window measures makes
// fontconfig read its whole configuration: several milliseconds of the way to the first
// window. This reads it on another core meanwhile, from construction to wait(), so that Qt
// finds it read. Elsewhere it does nothing.
class FontconfigWarmUp
{
public:
    FontconfigWarmUp();
    ~FontconfigWarmUp();
    FontconfigWarmUp(const FontconfigWarmUp &) = delete;
    FontconfigWarmUp &operator=(const FontconfigWarmUp &) = delete;

    // Returns once the configuration is read; call it before the first text is measured, or
    // both threads would read it.
    void wait();

private:
    std::thread m_reader;
};
