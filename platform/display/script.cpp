#include "platform/display/script.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "platform/base/wtext.h"
#include "platform/display/machine_steps.h"
#include "platform/display/sdl/sdl_presentation.h"
#include "platform/display/steps.h"
#include "platform/user/message.h"
#include "platform/user/messagebox.h"

namespace yolt::display {
namespace {

std::map<std::string, ScriptStepFactory>& Registry();

bool ParseInt(const std::string& text, int& value)
{
    try {
        size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

ScriptStepFactory PointStep(Step (*make)(int, int))
{
    return [make](const std::vector<std::string>& args, std::string& error) -> Step {
        int x, y;
        if (args.size() != 2 || !ParseInt(args[0], x) || !ParseInt(args[1], y)) {
            error = "expects two numbers X Y";
            return {};
        }
        return make(x, y);
    };
}

void RegisterBuiltIns(std::map<std::string, ScriptStepFactory>& r)
{
    r["wait"] = [](const std::vector<std::string>& args, std::string& error) -> Step {
        int ms;
        if (args.size() != 1 || !ParseInt(args[0], ms) || ms < 0) {
            error = "expects milliseconds";
            return {};
        }
        return steps::Wait(uint32_t(ms));
    };
    r["plug"] = PlugStepFactory();
    r["unplug"] = UnplugStepFactory();
    r["move"] = PointStep(steps::Move);
    r["press"] = PointStep(steps::Press);
    r["release"] = PointStep(steps::Release);
    r["click"] = PointStep(steps::Click);
    r["key"] = [](const std::vector<std::string>& args, std::string& error) -> Step {
        static const std::map<std::string, std::pair<UINT, bool>> keys = {{"ENTER", {VK_RETURN, false}},
            {"ESCAPE", {VK_ESCAPE, false}}, {"TAB", {VK_TAB, false}}, {"SPACE", {VK_SPACE, false}},
            {"UP", {VK_UP, false}}, {"DOWN", {VK_DOWN, false}}, {"ALT+SPACE", {VK_SPACE, true}},
            {"ALT+F4", {VK_F4, true}}};
        auto it = args.size() == 1 ? keys.find(args[0]) : keys.end();
        if (it == keys.end()) {
            error = "expects ENTER, ESCAPE, TAB, SPACE, UP, DOWN, ALT+SPACE or ALT+F4";
            return {};
        }
        return steps::Key(it->second.first, it->second.second);
    };
    r["expect-box"] = [](const std::vector<std::string>& args, std::string& error) -> Step {
        if (args.size() != 1) {
            error = "expects one quoted text";
            return {};
        }
        return steps::ExpectBox(WideFromUtf8(args[0]));
    };
    r["answer"] = [](const std::vector<std::string>& args, std::string& error) -> Step {
        static const std::map<std::string, int> ids = {{"OK", IDOK}, {"CANCEL", IDCANCEL}, {"YES", IDYES},
            {"NO", IDNO}, {"ABORT", IDABORT}, {"RETRY", IDRETRY}, {"IGNORE", IDIGNORE}};
        auto it = args.size() == 1 ? ids.find(args[0]) : ids.end();
        if (it == ids.end()) {
            error = "expects OK, CANCEL, YES, NO, ABORT, RETRY or IGNORE";
            return {};
        }
        return steps::Answer(it->second);
    };
    r["menu"] = [](const std::vector<std::string>& args, std::string& error) -> Step {
        if (args.size() != 1) {
            error = "expects one quoted item text";
            return {};
        }
        return steps::ChooseMenu(WideFromUtf8(args[0]));
    };
    r["snapshot"] = [](const std::vector<std::string>& args, std::string& error) -> Step {
        if (args.size() != 1) {
            error = "expects a file name";
            return {};
        }
        return steps::Snapshot(args[0]);
    };
}

std::map<std::string, ScriptStepFactory>& Registry()
{
    static std::map<std::string, ScriptStepFactory> registry = [] {
        std::map<std::string, ScriptStepFactory> r;
        RegisterBuiltIns(r);
        return r;
    }();
    return registry;
}

std::string IconName(UINT style)
{
    switch (style & MB_ICONMASK) {
    case MB_ICONHAND: return "ERROR";
    case MB_ICONQUESTION: return "QUESTION";
    case MB_ICONEXCLAMATION: return "WARNING";
    case MB_ICONASTERISK: return "INFORMATION";
    }
    return "NONE";
}

std::string ButtonsName(UINT style)
{
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL: return "OKCANCEL";
    case MB_ABORTRETRYIGNORE: return "ABORTRETRYIGNORE";
    case MB_YESNOCANCEL: return "YESNOCANCEL";
    case MB_YESNO: return "YESNO";
    case MB_RETRYCANCEL: return "RETRYCANCEL";
    }
    return "OK";
}

}  // namespace

void RegisterScriptStep(const std::string& name, ScriptStepFactory factory)
{
    Registry()[name] = std::move(factory);
}

bool IsScriptStepRegistered(const std::string& name)
{
    return Registry().count(name) > 0;
}

bool SplitScriptLine(const std::string& line, std::vector<std::string>& words)
{
    words.clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        if (i >= line.size())
            break;
        std::string word;
        if (line[i] != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
                word += line[i++];
            words.push_back(word);
            continue;
        }
        ++i;
        bool closed = false;
        while (i < line.size()) {
            char c = line[i++];
            if (c == '"') {
                closed = true;
                break;
            }
            if (c != '\\' || i >= line.size()) {
                word += c;
                continue;
            }
            char e = line[i++];
            switch (e) {
            case 'n': word += '\n'; break;
            case 'r': word += '\r'; break;
            case 't': word += '\t'; break;
            case 'x': {
                int value = 0, digits = 0;
                while (i < line.size() && digits < 2 && std::isxdigit(static_cast<unsigned char>(line[i]))) {
                    value = value * 16 + std::stoi(std::string(1, line[i]), nullptr, 16);
                    ++i;
                    ++digits;
                }
                word += char(value);
                break;
            }
            default: word += e; break;
            }
        }
        if (!closed)
            return false;
        words.push_back(word);
    }
    return true;
}

bool LoadScript(const std::filesystem::path& path, Headless& headless, std::string& error)
{
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path.string();
        return false;
    }
    std::string line;
    int number = 0;
    std::vector<std::pair<std::string, Step>> parsed;
    while (std::getline(in, line)) {
        ++number;
        std::vector<std::string> words;
        const std::string where = "line " + std::to_string(number) + ": ";
        if (!SplitScriptLine(line, words)) {
            error = where + "unterminated quote";
            return false;
        }
        if (words.empty() || words[0][0] == '#')
            continue;
        auto it = Registry().find(words[0]);
        if (it == Registry().end()) {
            error = where + "unknown step '" + words[0] + "' (not available in this program)";
            return false;
        }
        std::string why;
        Step step = it->second(std::vector<std::string>(words.begin() + 1, words.end()), why);
        if (!step) {
            error = where + words[0] + " " + why;
            return false;
        }
        std::string text = line;
        while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
            text.pop_back();
        parsed.emplace_back(where + text, std::move(step));
    }
    for (auto& [description, step] : parsed)
        headless.Queue(description, std::move(step));
    return true;
}

std::string MessageBoxLine(const yolt::user::MessageBoxInfo& info)
{
    return "message-box caption=\"" + steps::Escape(info.caption) + "\" text=\"" + steps::Escape(info.text) +
        "\" icon=" + IconName(info.style) + " buttons=" + ButtonsName(info.style);
}

bool InitPresentationFromEnvironment()
{
    const char* variable = std::getenv("YOLT_DISPLAY");
    const std::string display = variable ? variable : "";
    if (display.empty() || display == "sdl") {
        sdl::StartSdlPresentation();
        return true;
    }
    if (display != "headless") {
        std::fprintf(stderr, "YOLT_DISPLAY=%s is not known: use sdl (the default) or headless\n", display.c_str());
        std::exit(sdl::kNoDisplayExitCode);
    }
    auto headless = std::make_shared<Headless>();
    headless->closeWhenDone = true;
    headless->onMessageBox = [](const yolt::user::MessageBoxInfo& info) {
        std::printf("%s\n", MessageBoxLine(info).c_str());
        std::fflush(stdout);
    };
    if (const char* script = std::getenv("YOLT_SCRIPT"); script && *script) {
        std::string error;
        if (!LoadScript(script, *headless, error)) {
            std::fprintf(stderr, "script %s: %s\n", script, error.c_str());
            std::exit(4);
        }
    }
    SetPresentation(headless);
    return true;
}

}  // namespace yolt::display
