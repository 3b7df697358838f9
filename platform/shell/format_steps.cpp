// The script steps of the format dialog: `format start` and `format close` press its buttons.
#include "platform/shell/format_drive.h"

#include "platform/display/script.h"

namespace {

yolt::display::Step PressStep(bool start)
{
    return [start](yolt::display::Headless&) {
        bool pressed = start ? yolt::shell::PressFormatStart() : yolt::shell::PressFormatClose();
        if (!pressed)
            return yolt::display::StepResult::Fail("no format dialog is open");
        return yolt::display::StepResult::Ok();
    };
}

const bool kRegistered = (yolt::display::RegisterScriptStep("format",
                              [](const std::vector<std::string>& args, std::string& error) -> yolt::display::Step {
                                  if (args.size() == 1 && (args[0] == "start" || args[0] == "close"))
                                      return PressStep(args[0] == "start");
                                  error = "format takes start or close";
                                  return {};
                              }),
    true);

}  // namespace
