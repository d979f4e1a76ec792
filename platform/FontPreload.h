#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

namespace vantor {

// Reads the installed fonts on a thread of its own while the program starts. The longest
// single step before a window can draw text is the system's font configuration (tens of
// configuration files parsed, caches mapped); it needs nothing from the program, so it starts
// first thing, before the application object, and runs beside everything else. Once the
// application object exists (ApplicationReady), the same thread fills the toolkit's font
// database, which the first text drawn would otherwise wait for.
//
// Nothing depends on it for correctness: whatever needs the fonts before the thread is done
// reads them itself. WaitForConfiguration before the first text keeps that from reading the
// configuration twice at once.
class FontPreload final {
public:
    FontPreload();
    // Waits for the thread; if the application object never came, the database is left alone.
    // Once ApplicationReady was called, Finish must come before the application object goes.
    ~FontPreload();
    FontPreload(const FontPreload&) = delete;
    FontPreload& operator=(const FontPreload&) = delete;

    // The application object exists: the thread may fill the font database after the
    // configuration. Call from the thread that made the application object.
    void ApplicationReady();
    // Blocks until the system's font configuration has been read.
    void WaitForConfiguration();
    // Blocks until the thread is done (call while the application object still exists). If the
    // application object was never announced, the font database is left alone.
    void Finish();
    // Whether the thread filled the font database (only ever after ApplicationReady). Valid once
    // Finish has returned.
    bool FilledDatabase() const { return m_filledDatabase; }

private:
    void Read();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_configurationRead = false;
    bool m_applicationReady = false;
    bool m_stopping = false;
    bool m_filledDatabase = false;  // written by the thread, read after it was joined
    std::jthread m_thread;          // last: started once the members above exist
};

}  // namespace vantor
