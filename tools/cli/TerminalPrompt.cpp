// Reading a password from the controlling terminal with echo off (POSIX terminals).
#include "tools/cli/CliPassword.h"

#ifndef _WIN32
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vantor::cli {

#ifndef _WIN32
namespace {

// Owns the terminal's file descriptor and puts its settings back however the prompt ends.
class TerminalSession {
public:
    TerminalSession()
        : m_fd(::open("/dev/tty", O_RDWR | O_CLOEXEC))
    {
        if (m_fd >= 0 && ::tcgetattr(m_fd, &m_saved) == 0)
            m_haveSaved = true;
    }
    ~TerminalSession()
    {
        if (m_haveSaved)
            ::tcsetattr(m_fd, TCSAFLUSH, &m_saved);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TerminalSession(const TerminalSession&) = delete;
    TerminalSession& operator=(const TerminalSession&) = delete;

    bool Usable() const { return m_haveSaved; }
    bool EchoOff()
    {
        termios quiet = m_saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        quiet.c_lflag |= static_cast<tcflag_t>(ICANON);
        return ::tcsetattr(m_fd, TCSAFLUSH, &quiet) == 0;
    }
    void Write(const std::string& text) const
    {
        if (::write(m_fd, text.data(), text.size()) < 0) {
            // Nothing to do: the prompt goes on without its text.
        }
    }
    std::optional<std::string> ReadLine() const
    {
        std::string line;
        char c = 0;
        for (;;) {
            const ssize_t n = ::read(m_fd, &c, 1);
            if (n < 0)
                return std::nullopt;
            if (n == 0 || c == '\n')
                return line;
            line += c;
        }
    }

private:
    int m_fd = -1;
    termios m_saved{};
    bool m_haveSaved = false;
};

}  // namespace

std::optional<std::string> PromptWithoutEcho(const std::string& prompt, std::string* error)
{
    TerminalSession terminal;
    if (!terminal.Usable() || !terminal.EchoOff()) {
        if (error != nullptr)
            *error = "no password: no terminal to ask on; use --password-file FILE or VANTOR_PASSWORD";
        return std::nullopt;
    }
    terminal.Write(prompt);
    std::optional<std::string> line = terminal.ReadLine();
    terminal.Write("\n");
    if (!line && error != nullptr)
        *error = "the password could not be read from the terminal";
    return line;
}

#else

std::optional<std::string> PromptWithoutEcho(const std::string&, std::string* error)
{
    if (error != nullptr)
        *error = "no password prompt here; use --password-file FILE or VANTOR_PASSWORD";
    return std::nullopt;
}

#endif

}  // namespace vantor::cli
