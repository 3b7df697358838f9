#include "platform/display/headless.h"

#include <cstdio>
#include <cstdlib>

#include "platform/machine/machine.h"
#include "platform/user/controls.h"
#include "platform/user/message.h"
#include "platform/user/messagebox.h"

namespace yolt::display {

bool Headless::WaitForEvents(std::optional<uint64_t> deadlineMs)
{
    m_deadline = deadlineMs;
    if (m_steps.empty())
        return closeWhenDone ? CloseProgram() : false;
    Pending& next = m_steps.front();
    StepResult result = next.step(*this);
    if (result.kind == StepResult::Continue)
        return true;
    Pending done = std::move(m_steps.front());
    m_steps.pop_front();
    if (result.kind == StepResult::Failed) {
        if (onFailure) {
            onFailure(done.description, result.message);
            return true;
        }
        std::fflush(stdout);
        std::fprintf(stderr, "session: step failed: %s: %s\n", done.description.c_str(), result.message.c_str());
        std::exit(4);
    }
    m_closeAttempts = 0;
    return true;
}

void Headless::MessageBoxShown(const yolt::user::MessageBoxInfo& info)
{
    if (onMessageBox)
        onMessageBox(info);
}

void Headless::Queue(std::string description, Step step)
{
    m_steps.push_back({std::move(description), std::move(step)});
}

void Headless::RunSteps()
{
    yolt::user::PumpMessages();
    while (!m_steps.empty()) {
        if (!WaitForEvents(yolt::user::NextTimerDuePublic()))
            break;
        yolt::user::PumpMessages();
    }
}

bool Headless::CloseProgram()
{
    // Asked as the system would: the innermost modal window is closed (a message box is answered
    // with Cancel, No or OK), else the main window gets WM_CLOSE.
    if (++m_closeAttempts > 50) {
        std::fflush(stdout);
        std::fprintf(stderr, "session: the program did not close at the end of its steps\n");
        std::exit(4);
    }
    HWND modal = yolt::user::InnermostModalWindow();
    if (modal && yolt::user::IsMessageBox(modal)) {
        for (int id : {IDCANCEL, IDNO, IDOK})
            if (yolt::user::AnswerMessageBox(id))
                return true;
        return true;
    }
    if (modal) {
        PostMessageW(modal, WM_CLOSE, 0, 0);
        return true;
    }
    HWND main = MainWindow();
    if (!main)
        return false;
    PostMessageW(main, WM_CLOSE, 0, 0);
    return true;
}

HWND Headless::MainWindow() const
{
    if (m_main && IsWindow(m_main))
        return m_main;
    HWND best = nullptr;
    for (HWND h : yolt::user::TopLevelWindows()) {
        if (GetWindow(h, GW_OWNER) || yolt::user::IsMessageBox(h))
            continue;
        if (!best || reinterpret_cast<uintptr_t>(h) < reinterpret_cast<uintptr_t>(best))
            best = h;
    }
    return best;
}

POINT Headless::ClientToScreenPoint(int x, int y) const
{
    if (m_leftHeld)
        return {m_anchor.x + x, m_anchor.y + y};
    POINT p{x, y};
    if (HWND main = MainWindow())
        ClientToScreen(main, &p);
    return p;
}

void Headless::Press(POINT screen)
{
    if (!m_leftHeld) {
        POINT origin{0, 0};
        if (HWND main = MainWindow())
            ClientToScreen(main, &origin);
        m_anchor = origin;
    }
    m_leftHeld = true;
    yolt::user::InjectMouse(yolt::user::MouseAction::LeftDown, screen);
}

void Headless::Release(POINT screen)
{
    yolt::user::InjectMouse(yolt::user::MouseAction::LeftUp, screen);
    m_leftHeld = false;
}

void Headless::MoveTo(POINT screen)
{
    yolt::user::InjectMouse(yolt::user::MouseAction::Move, screen);
}

bool Headless::PassTime(uint64_t targetMs)
{
    auto& clock = machine::CurrentMachine().GetClock();
    uint64_t now = clock.NowMs();
    uint64_t until = targetMs;
    if (m_deadline && *m_deadline < until)
        until = std::max(*m_deadline, now);
    if (until > now)
        clock.Sleep(uint32_t(until - now));
    return clock.NowMs() >= targetMs;
}

bool Headless::Snapshot(HWND window, const std::filesystem::path& path, std::string* error)
{
    auto pixels = yolt::user::WindowPixels(window);
    if (!pixels) {
        if (error)
            *error = "no such window";
        return false;
    }
    return gdi::SavePng(*pixels, path, error);
}

Headless* CurrentHeadless()
{
    return dynamic_cast<Headless*>(CurrentPresentation());
}

}  // namespace yolt::display
