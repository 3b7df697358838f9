#include "platform/display/steps.h"

#include <memory>
#include <optional>

#include "platform/base/wtext.h"
#include "platform/machine/machine.h"
#include "platform/user/message.h"
#include "platform/user/messagebox.h"

namespace yolt::display::steps {

Step Wait(uint32_t ms)
{
    auto target = std::make_shared<std::optional<uint64_t>>();
    return [target, ms](Headless& h) {
        if (!*target)
            *target = machine::CurrentMachine().GetClock().NowMs() + ms;
        if (h.PassTime(**target)) {
            target->reset();
            return StepResult::Ok();
        }
        return StepResult::Again();
    };
}

Step Move(int x, int y)
{
    return [=](Headless& h) {
        h.MoveTo(h.ClientToScreenPoint(x, y));
        return StepResult::Ok();
    };
}

Step Press(int x, int y)
{
    return [=](Headless& h) {
        POINT p = h.ClientToScreenPoint(x, y);
        h.MoveTo(p);
        h.Press(p);
        return StepResult::Ok();
    };
}

Step Release(int x, int y)
{
    return [=](Headless& h) {
        POINT p = h.ClientToScreenPoint(x, y);
        h.MoveTo(p);
        h.Release(p);
        return StepResult::Ok();
    };
}

Step Click(int x, int y)
{
    return [=](Headless& h) {
        POINT p = h.ClientToScreenPoint(x, y);
        h.MoveTo(p);
        h.Press(p);
        h.Release(p);
        return StepResult::Ok();
    };
}

Step Key(UINT virtualKey, bool alt)
{
    return [=](Headless&) {
        yolt::user::InjectKey(virtualKey, alt);
        return StepResult::Ok();
    };
}

Step ExpectBox(std::u16string text)
{
    return [text](Headless&) {
        auto box = yolt::user::OpenMessageBox();
        if (!box)
            return StepResult::Fail("no message box is open");
        if (box->text != text)
            return StepResult::Fail("the open message box says \"" + Escape(box->text) + "\"");
        return StepResult::Ok();
    };
}

Step Answer(int id)
{
    return [id](Headless&) {
        auto box = yolt::user::OpenMessageBox();
        if (!box)
            return StepResult::Fail("no message box is open");
        if (!yolt::user::AnswerMessageBox(id))
            return StepResult::Fail("the open message box \"" + Escape(box->text) + "\" has no such button");
        return StepResult::Ok();
    };
}

Step ChooseMenu(std::u16string text)
{
    return [text](Headless&) {
        auto menu = yolt::user::OpenMenu();
        if (!menu)
            return StepResult::Fail("no menu is open");
        if (!yolt::user::ChooseMenuItem(text)) {
            std::string items;
            for (const auto& item : menu->items)
                if (!item.empty())
                    items += (items.empty() ? "\"" : ", \"") + Escape(item) + "\"";
            return StepResult::Fail("the open menu has " + items);
        }
        return StepResult::Ok();
    };
}

Step Snapshot(std::filesystem::path path)
{
    return [path](Headless& h) {
        HWND window = yolt::user::InnermostModalWindow();
        if (!window || !IsWindowVisible(window))
            window = h.MainWindow();
        if (!window)
            return StepResult::Fail("no window to save");
        std::string error;
        if (!h.Snapshot(window, path, &error))
            return StepResult::Fail("cannot write " + path.string() + ": " + error);
        return StepResult::Ok();
    };
}

std::string Escape(const std::u16string& text)
{
    std::string utf8 = Utf8FromWide(text);
    std::string out;
    for (unsigned char c : utf8) {
        switch (c) {
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\\': out += "\\\\"; break;
        case '"': out += "\\\""; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\x%02X", c);
                out += hex;
            } else {
                out += char(c);
            }
        }
    }
    return out;
}

}  // namespace yolt::display::steps
