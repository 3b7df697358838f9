// The automation API for tests: a headless presentation on a virtual clock and a fluent list
// of steps that read like a user's session. Steps run when a modal loop waits, or at once with
// Run() for windows without a loop of their own.
//
//   yolt::display::Session session;
//   session.Wait(2000).ExpectBox(u"Done.").Answer(IDOK);
//   MessageBoxW(owner, u"Done.", u"Title", MB_OK);
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/display/headless.h"
#include "platform/display/steps.h"
#include "platform/machine/machine.h"

namespace yolt::display {

struct ChildInfo {
    HWND window;
    std::string className;
    std::u16string text;
    int id;
    DWORD style;
    bool enabled;
    bool visible;
};

class Session {
public:
    /// Uses `machine` (a fresh MemoryMachine on a virtual clock when null) and installs a headless
    /// presentation; a failing step fails the session (see Failures) instead of ending the process.
    explicit Session(std::shared_ptr<machine::Machine> machine = nullptr);
    /// Forgets every window and removes the presentation and the machine.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Session& Wait(uint32_t ms);
    Session& Move(int x, int y);
    Session& Press(int x, int y);
    Session& Release(int x, int y);
    Session& Click(int x, int y);
    Session& Key(UINT virtualKey, bool alt = false);
    Session& ExpectBox(std::u16string text);
    Session& Answer(int id);
    Session& ChooseMenu(std::u16string text);
    Session& Snapshot(std::filesystem::path path);
    /// Any check or action, run in turn with the other steps.
    Session& Then(std::function<void()> action);
    /// Runs the queued steps now, dispatching messages after each.
    void Run();

    Headless& Presentation() { return *m_headless; }
    machine::Machine& Machine() { return *m_machine; }
    /// Lets time pass outside any modal loop, dispatching due timers.
    void Advance(uint32_t ms);
    /// Failed steps so far, as "step: reason".
    const std::vector<std::string>& Failures() const { return m_failures; }
    /// Message boxes shown so far.
    const std::vector<yolt::user::MessageBoxInfo>& Boxes() const { return m_boxes; }
    /// The window's descendants in enumeration order.
    static std::vector<ChildInfo> Children(HWND window);

private:
    std::shared_ptr<machine::Machine> m_machine;
    std::shared_ptr<Headless> m_headless;
    std::vector<std::string> m_failures;
    std::vector<yolt::user::MessageBoxInfo> m_boxes;
};

}  // namespace yolt::display
