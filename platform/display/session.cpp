#include "platform/display/session.h"

#include "platform/user/session.h"
#include "platform/user/window.h"

namespace yolt::display {

Session::Session(std::shared_ptr<machine::Machine> machine)
    : m_machine(machine ? std::move(machine) : std::make_shared<machine::MemoryMachine>(true)),
      m_headless(std::make_shared<Headless>())
{
    machine::SetCurrentMachine(m_machine);
    yolt::user::ResetWindowSystem();
    m_headless->closeWhenDone = true;
    m_headless->onFailure = [this](const std::string& step, const std::string& why) {
        m_failures.push_back(step + ": " + why);
    };
    m_headless->onMessageBox = [this](const yolt::user::MessageBoxInfo& info) { m_boxes.push_back(info); };
    SetPresentation(m_headless);
}

Session::~Session()
{
    yolt::user::ResetWindowSystem();
    SetPresentation(nullptr);
    machine::SetCurrentMachine(nullptr);
}

Session& Session::Wait(uint32_t ms)
{
    m_headless->Queue("wait " + std::to_string(ms), steps::Wait(ms));
    return *this;
}

Session& Session::Move(int x, int y)
{
    m_headless->Queue("move", steps::Move(x, y));
    return *this;
}

Session& Session::Press(int x, int y)
{
    m_headless->Queue("press", steps::Press(x, y));
    return *this;
}

Session& Session::Release(int x, int y)
{
    m_headless->Queue("release", steps::Release(x, y));
    return *this;
}

Session& Session::Click(int x, int y)
{
    m_headless->Queue("click", steps::Click(x, y));
    return *this;
}

Session& Session::Key(UINT virtualKey, bool alt)
{
    m_headless->Queue("key", steps::Key(virtualKey, alt));
    return *this;
}

Session& Session::ExpectBox(std::u16string text)
{
    m_headless->Queue("expect-box \"" + steps::Escape(text) + "\"", steps::ExpectBox(std::move(text)));
    return *this;
}

Session& Session::Answer(int id)
{
    m_headless->Queue("answer " + std::to_string(id), steps::Answer(id));
    return *this;
}

Session& Session::ChooseMenu(std::u16string text)
{
    m_headless->Queue("menu \"" + steps::Escape(text) + "\"", steps::ChooseMenu(std::move(text)));
    return *this;
}

Session& Session::Snapshot(std::filesystem::path path)
{
    m_headless->Queue("snapshot " + path.string(), steps::Snapshot(std::move(path)));
    return *this;
}

Session& Session::Then(std::function<void()> action)
{
    m_headless->Queue("check", [action](Headless&) {
        action();
        return StepResult::Ok();
    });
    return *this;
}

void Session::Run()
{
    m_headless->RunSteps();
}

void Session::Advance(uint32_t ms)
{
    Wait(ms);
    Run();
}

std::vector<ChildInfo> Session::Children(HWND window)
{
    std::vector<ChildInfo> children;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM param) -> BOOL {
            auto* list = reinterpret_cast<std::vector<ChildInfo>*>(param);
            char cls[256];
            GetClassNameA(child, cls, sizeof cls);
            WCHAR text[512];
            GetWindowTextW(child, text, 512);
            list->push_back({child, cls, text, GetDlgCtrlID(child), DWORD(GetWindowLongA(child, GWL_STYLE)),
                IsWindowEnabled(child) != FALSE, IsWindowVisible(child) != FALSE});
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace yolt::display
