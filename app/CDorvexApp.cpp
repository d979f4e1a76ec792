#include "app/CDorvexApp.h"

#include "app/CAboutDlg.h"
#include "app/CDorvexDoc.h"
#include "app/CMainFrame.h"
#include "app/DeferredIconStyle.h"
#include "resources/Icons.h"
#include "resources/StringTable.h"

#include <QApplication>
#include <QMessageBox>
#include <QNetworkProxyFactory>

namespace vantor {
namespace {

// The sockets library and the component-object library need no start-up here: Qt's network
// module needs no initialisation on any platform it runs on, and nothing uses component objects.
bool InitSocketsDefault()
{
    return true;
}

bool InitComponentObjectsDefault()
{
    return true;
}

}  // namespace

CDorvexApp::CDorvexApp(EndpointAddresses addresses, STARTUP_STEPS steps, FontPreload* fonts)
    : m_addresses(std::move(addresses))
    , m_steps(std::move(steps))
    , m_fonts(fonts)
{
    if (!m_steps.initSockets)
        m_steps.initSockets = InitSocketsDefault;
    if (!m_steps.initComponentObjects)
        m_steps.initComponentObjects = InitComponentObjectsDefault;
}

CDorvexApp::~CDorvexApp()
{
    m_frame.reset();
    m_document.reset();
    // The reading may still be filling the font database, which belongs to the application
    // object; it ends before that object does.
    if (m_fonts != nullptr)
        m_fonts->Finish();
}

void CDorvexApp::ShowStartupFailure(int messageId)
{
    // Message boxes without an icon of their own get the exclamation mark.
    QMessageBox box(QMessageBox::Warning, LoadString(ids::IDS_APP_NAME), LoadString(messageId), QMessageBox::Ok);
    box.exec();
}

bool CDorvexApp::InitInstance()
{
    // Common controls and the base initialisation are QApplication's, already done.
    // Reading the installed fonts is the longest single step before the window can be drawn,
    // and it needs nothing from this thread; it goes on beside the building of the window.
    if (m_fonts == nullptr) {
        m_ownFonts = std::make_unique<FontPreload>();
        m_fonts = m_ownFonts.get();
    }
    m_fonts->ApplicationReady();
    DeferredIconStyle::Install();
    // The devices are on the local segment and are reached by broadcast, which no proxy can
    // carry, so the program's sockets never use one; not asking for the system's proxy settings
    // also spares start-up that lookup.
    QNetworkProxyFactory::setUseSystemConfiguration(false);
    InitResources();
    QApplication::setWindowIcon(AppIcon());

    if (!m_steps.initSockets()) {
        ShowStartupFailure(ids::IDS_SOCKETS_INIT_FAILED);
        return false;
    }
    if (!m_steps.initComponentObjects()) {
        ShowStartupFailure(ids::IDS_OLE_INIT_FAILED);
        return false;
    }
    // The per-user profile needs no set-up: it is read where it is needed (platform/ProfileStore.h)
    // and never written.

    // Document, frame and view.
    m_document = std::make_unique<CDorvexDoc>();
    m_frame = std::make_unique<CMainFrame>(*m_document, this, m_addresses);
    FontPreload* const fonts = m_fonts;
    m_frame->SetBeforeFirstText([fonts] { fonts->WaitForConfiguration(); });
    if (m_frame->OnCreate() != 0) {
        m_frame.reset();
        return false;
    }

    m_frame->show();
    m_frame->repaint();
    m_frame->setWindowTitle(LoadString(ids::IDR_MAINFRAME));
    return true;
}

int CDorvexApp::Run()
{
    return QApplication::exec();
}

void CDorvexApp::OnAppAbout()
{
    CAboutDlg aboutDlg(m_frame.get());
    aboutDlg.exec();
}

bool CDorvexApp::OnCommand(int commandId)
{
    if (commandId == ids::ID_APP_ABOUT) {
        OnAppAbout();
        return true;
    }
    if (commandId == ids::ID_APP_EXIT) {
        if (m_frame)
            m_frame->close();
        return true;
    }
    return false;
}

bool CDorvexApp::OnUpdateCommandUI(int /*commandId*/, CommandUI& /*ui*/)
{
    return false;
}

}  // namespace vantor
