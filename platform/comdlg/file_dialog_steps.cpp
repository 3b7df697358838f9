// The scripted-session steps of the file dialog: `choose-file PATH` (a Windows path, or a host
// path, which is given as its Z: path) and `cancel-file`.
#include <filesystem>

#include "platform/base/wtext.h"
#include "platform/comdlg/commdlg.h"
#include "platform/display/script.h"
#include "platform/kernel/paths.h"
#include "platform/user/session.h"

namespace yolt::comdlg {
namespace {

bool IsWindowsPath(const std::string& path)
{
    return path.find('\\') != std::string::npos || (path.size() >= 2 && path[1] == ':');
}

display::StepResult RequireDialog()
{
    HWND dialog = OpenFileDialog();
    if (!dialog)
        return display::StepResult::Fail("no file dialog is open");
    if (yolt::user::InnermostModalWindow() != dialog)
        return display::StepResult::Fail("another window is open over the file dialog");
    return display::StepResult::Ok();
}

const bool registered = [] {
    display::RegisterScriptStep("choose-file",
        [](const std::vector<std::string>& args, std::string& error) -> display::Step {
            if (args.size() != 1) {
                error = "expects one path";
                return {};
            }
            std::u16string path = IsWindowsPath(args[0])
                ? WideFromUtf8(args[0])
                : WindowsPathFromHost(std::filesystem::absolute(args[0]).lexically_normal());
            return [path](display::Headless&) {
                display::StepResult ready = RequireDialog();
                if (ready.kind != display::StepResult::Done)
                    return ready;
                ChooseFile(path);
                return display::StepResult::Ok();
            };
        });
    display::RegisterScriptStep("cancel-file", [](const std::vector<std::string>& args, std::string& error) -> display::Step {
        if (!args.empty()) {
            error = "takes no arguments";
            return {};
        }
        return [](display::Headless&) {
            display::StepResult ready = RequireDialog();
            if (ready.kind != display::StepResult::Done)
                return ready;
            CancelFileDialog();
            return display::StepResult::Ok();
        };
    });
    return true;
}();

}  // namespace
}  // namespace yolt::comdlg
