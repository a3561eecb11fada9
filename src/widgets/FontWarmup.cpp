#include "widgets/FontWarmup.h"

#include <QString>
#include <fontconfig/fontconfig.h>
#include <system_error>

FontWarmup::FontWarmup()
{
    if (qEnvironmentVariable("QUILLOMAR_FONT_WARMUP") == QLatin1String("0"))
        return;
    try {
        // FcInit loads the configuration and the font cache into the library's current
        // configuration, the one Qt's font database uses afterwards.
        m_reading = std::thread([] { FcInit(); });
    } catch (const std::system_error &) {
        // No thread to spare: the font system reads its configuration when Qt first asks.
    }
}

void FontWarmup::wait()
{
    if (m_reading.joinable())
        m_reading.join();
}

FontWarmup::~FontWarmup()
{
    wait();
}
