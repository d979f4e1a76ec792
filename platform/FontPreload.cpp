#include "platform/FontPreload.h"

#include <QFontDatabase>
#include <QStringList>

#ifdef VANTOR_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace vantor {

FontPreload::FontPreload()
    : m_thread([this] { Read(); })
{ }

FontPreload::~FontPreload()
{
    Finish();
}

void FontPreload::Finish()
{
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;  // a thread still waiting for the application object gives up
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void FontPreload::ApplicationReady()
{
    {
        const std::lock_guard lock(m_mutex);
        m_applicationReady = true;
    }
    m_changed.notify_all();
}

void FontPreload::WaitForConfiguration()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_configurationRead; });
}

void FontPreload::Read()
{
#ifdef VANTOR_HAVE_FONTCONFIG
    // The toolkit's font database reads the same default configuration; once it is loaded,
    // the toolkit's own call returns at once.
    FcInit();
#endif
    {
        std::unique_lock lock(m_mutex);
        m_configurationRead = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_applicationReady || m_stopping; });
        if (m_stopping && !m_applicationReady)
            return;
    }
    // The font database may be filled from any thread; the first widget that needs a font
    // waits for it instead of filling it itself.
    m_filledDatabase = !QFontDatabase::families().isEmpty();
}

}  // namespace vantor
