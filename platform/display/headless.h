// The headless presentation: shows nothing and feeds the window system from a queue of steps
// that read like a user's session. It runs in lockstep with the machine's clock: a step runs
// only when every message loop has nothing left to do, and waiting lets virtual time pass up
// to the next timer, so timers fire exactly when due.
#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <string>

#include "platform/display/presentation.h"

namespace yolt::display {

class Headless;

/// What one call of a step did: finished, needs to be called again (time still passing), or
/// could not be done (with what was found).
struct StepResult {
    enum Kind { Done, Continue, Failed } kind = Done;
    std::string message;
    static StepResult Ok() { return {Done, {}}; }
    static StepResult Again() { return {Continue, {}}; }
    static StepResult Fail(std::string why) { return {Failed, std::move(why)}; }
};
using Step = std::function<StepResult(Headless&)>;

class Headless final : public Presentation {
public:
    const char* Name() const override { return "headless"; }
    bool WaitForEvents(std::optional<uint64_t> deadlineMs) override;
    void MessageBoxShown(const yolt::user::MessageBoxInfo& info) override;

    /// Adds a step; `description` names it in failure reports.
    void Queue(std::string description, Step step);
    bool HasSteps() const { return !m_steps.empty(); }
    /// Runs queued steps now, dispatching pending messages after each, until the queue is empty
    /// (for windows that run no modal loop of their own).
    void RunSteps();

    /// Called for every message box that is shown.
    std::function<void(const yolt::user::MessageBoxInfo&)> onMessageBox;
    /// Called when a step fails; the default writes the report to standard error and ends the
    /// process with exit code 4.
    std::function<void(const std::string& step, const std::string& why)> onFailure;
    /// Whether running out of steps asks the program to close (scripts) or fails (tests that
    /// expect their steps to be enough).
    bool closeWhenDone = true;

    /// The program's main window: the one set, else the oldest unowned top-level window that is
    /// not a message box.
    void SetMainWindow(HWND window) { m_main = window; }
    HWND MainWindow() const;
    /// A point in the main window's client area on the screen. While the left button is held
    /// the window's position at the press is used, so a drag is described in one frame.
    POINT ClientToScreenPoint(int x, int y) const;
    void Press(POINT screen);
    void Release(POINT screen);
    void MoveTo(POINT screen);
    /// Lets time pass until `targetMs`, stopping at `deadline` (the next timer) if earlier;
    /// true when the target is reached.
    bool PassTime(uint64_t targetMs);
    /// Writes a window's pixels to a PNG file.
    bool Snapshot(HWND window, const std::filesystem::path& path, std::string* error);

private:
    struct Pending {
        std::string description;
        Step step;
    };
    bool CloseProgram();
    std::deque<Pending> m_steps;
    std::optional<uint64_t> m_deadline;
    HWND m_main = nullptr;
    bool m_leftHeld = false;
    POINT m_anchor{0, 0};
    int m_closeAttempts = 0;
};

/// The headless presentation in use, or null.
Headless* CurrentHeadless();

}  // namespace yolt::display
