#pragma once

#include "platform/CommandTarget.h"
#include "platform/FontPreload.h"
#include "protocol/CListSocket.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace vantor {

class CDorvexDoc;
class CMainFrame;

// The application object. It runs the start-up sequence on top of an existing QApplication:
// the platform steps, the document, the main frame with its view (whose creation starts the
// first search), then shows the window. It is the last command target: About and Exit.
class CDorvexApp final : public CommandTarget {
public:
    // Start-up steps that can fail on some platforms. On Linux both succeed; a test may put a
    // failing step in to see the failure message.
    struct STARTUP_STEPS {
        std::function<bool()> initSockets;
        std::function<bool()> initComponentObjects;
    };

    // The endpoint addresses are the device protocol's unless a test injects loopback ones.
    // `fonts`, when given, has been reading the fonts since before the application object was
    // made (the program's main does that); otherwise the reading starts with InitInstance.
    explicit CDorvexApp(EndpointAddresses addresses = {}, STARTUP_STEPS steps = {}, FontPreload* fonts = nullptr);
    ~CDorvexApp();
    CDorvexApp(const CDorvexApp&) = delete;
    CDorvexApp& operator=(const CDorvexApp&) = delete;

    // The start-up sequence. True: run the event loop; false: end the program now (a message
    // has been shown where there is one to show).
    bool InitInstance();
    // Runs the event loop until the main window is closed; the program's exit code.
    int Run();

    // Shows the About box, modal.
    void OnAppAbout();

    bool OnCommand(int commandId) override;
    bool OnUpdateCommandUI(int commandId, CommandUI& ui) override;

    CMainFrame* MainFrame() const { return m_frame.get(); }
    CDorvexDoc* Document() const { return m_document.get(); }

private:
    static void ShowStartupFailure(int messageId);

    EndpointAddresses m_addresses;
    STARTUP_STEPS m_steps;
    // Destroyed in reverse order: the frame (and its view) before the document.
    std::unique_ptr<CDorvexDoc> m_document;
    std::unique_ptr<CMainFrame> m_frame;
    // Reads the fonts while this thread builds the window; finished on destruction, while the
    // application object still exists.
    FontPreload* m_fonts = nullptr;
    std::unique_ptr<FontPreload> m_ownFonts;
};

}  // namespace vantor
