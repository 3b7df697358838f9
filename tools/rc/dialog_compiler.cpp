// DIALOG and DIALOGEX statements, written in the layout of dialog_template.h.
#include <cstring>
#include <map>

#include "platform/resources/dialog_template.h"
#include "tools/rc/predefined.h"
#include "tools/rc/script_compiler.h"

namespace yolt::rc {
namespace {

constexpr uint16_t kRtDialog = 5;
constexpr uint32_t kChildVisible = 0x40000000 | 0x10000000;  // WS_CHILD | WS_VISIBLE
constexpr uint32_t kDefaultDialogStyle = 0x80000000 | 0x00800000 | 0x00080000;  // WS_POPUP | WS_BORDER | WS_SYSMENU
constexpr uint32_t kCaption = 0x00C00000, kSetFont = 0x40;

struct ControlKind {
    std::u16string windowClass;
    uint32_t style;  // default style besides WS_CHILD | WS_VISIBLE
    bool hasText;
};

const ControlKind* FindControlKind(const std::string& word)
{
    constexpr uint32_t group = 0x00020000, tabstop = 0x00010000, border = 0x00800000;
    static const std::map<std::string, ControlKind> kinds = {
        {"LTEXT", {u"Static", 0x0 | group, true}},
        {"RTEXT", {u"Static", 0x2 | group, true}},
        {"CTEXT", {u"Static", 0x1 | group, true}},
        {"PUSHBUTTON", {u"Button", 0x0 | tabstop, true}},
        {"DEFPUSHBUTTON", {u"Button", 0x1 | tabstop, true}},
        {"CHECKBOX", {u"Button", 0x2 | tabstop, true}},
        {"AUTOCHECKBOX", {u"Button", 0x3 | tabstop, true}},
        {"RADIOBUTTON", {u"Button", 0x4, true}},
        {"STATE3", {u"Button", 0x5 | tabstop, true}},
        {"AUTO3STATE", {u"Button", 0x6 | tabstop, true}},
        {"GROUPBOX", {u"Button", 0x7, true}},
        {"AUTORADIOBUTTON", {u"Button", 0x9, true}},
        {"EDITTEXT", {u"Edit", 0x0 | border | tabstop, false}},
        {"COMBOBOX", {u"ComboBox", 0x1 | tabstop, false}},
        {"LISTBOX", {u"ListBox", 0x1 | border, false}},
    };
    std::string upper;
    for (char c : word)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    auto found = kinds.find(upper);
    return found == kinds.end() ? nullptr : &found->second;
}

bool SameWordUpper(const std::string& word, const char* upper)
{
    if (word.size() != std::strlen(upper))
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(word[i])) != upper[i])
            return false;
    }
    return true;
}

void WriteName(ByteWriter& out, const rsrc::NameOrOrdinal& name)
{
    if (name.isOrdinal) {
        out.U16(rsrc::kOrdinalMarker);
        out.U16(name.ordinal);
        return;
    }
    out.Text(name.text);
}

rsrc::NameOrOrdinal FromKey(const rsrc::ResourceKey& key)
{
    rsrc::NameOrOrdinal name;
    name.isOrdinal = key.isId;
    name.ordinal = key.id;
    name.text = key.name;
    return name;
}

}  // namespace

void ScriptCompiler::Dialog(const rsrc::ResourceKey& name, bool extended)
{
    Token at = Peek();
    SkipMemoryFlags();
    rsrc::DialogTemplate dialog;
    dialog.extended = extended;
    auto coordinate = [&] { return static_cast<SHORT>(Expression().number); };
    dialog.x = coordinate();
    Expect(",");
    dialog.y = coordinate();
    Expect(",");
    dialog.cx = coordinate();
    Expect(",");
    dialog.cy = coordinate();
    if (extended && PeekPunct(",")) {
        Next();
        dialog.helpId = Expression().number;
    }

    bool styleGiven = false;
    bool captionGiven = false;
    uint32_t language = language_;
    while (!PeekWord("BEGIN") && !PeekPunct("{")) {
        Token option = Next();
        if (option.kind != TokenKind::Identifier)
            Fail(option, option.kind == TokenKind::End ? "expected BEGIN before end of file" : "expected a dialog option or BEGIN before '" + option.text + "'");
        std::string word = option.text;
        for (auto& c : word)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word == "STYLE") {
            dialog.style = StyleExpression(0);
            styleGiven = true;
        } else if (word == "EXSTYLE") {
            dialog.exStyle = StyleExpression(0);
        } else if (word == "CAPTION") {
            dialog.caption = ExpectString().string;
            captionGiven = true;
        } else if (word == "FONT") {
            dialog.pointSize = static_cast<WORD>(Expression().number);
            Expect(",");
            dialog.faceName = ExpectString().string;
            if (extended && PeekPunct(",")) {
                Next();
                dialog.weight = static_cast<WORD>(Expression().number);
                Expect(",");
                dialog.italic = static_cast<BYTE>(Expression().number);
                if (PeekPunct(",")) {
                    Next();
                    dialog.charset = static_cast<BYTE>(Expression().number);
                }
            }
        } else if (word == "MENU") {
            dialog.menu = FromKey(Name());
        } else if (word == "CLASS") {
            dialog.windowClass = Peek().kind == TokenKind::String ? rsrc::NameOrOrdinal{false, 0, Next().string}
                                                                  : rsrc::NameOrOrdinal{true, static_cast<uint16_t>(Expression().number), {}};
        } else if (word == "LANGUAGE") {
            uint32_t primary = Expression().number;
            Expect(",");
            language = (Expression().number << 10) | primary;
        } else if (word == "CHARACTERISTICS" || word == "VERSION") {
            Expression();
        } else {
            Fail(option, "unknown dialog option '" + option.text + "'");
        }
    }
    if (!styleGiven)
        dialog.style = kDefaultDialogStyle;
    if (captionGiven)
        dialog.style |= kCaption;
    if (dialog.pointSize != 0)
        dialog.style |= kSetFont;

    Begin();
    ByteWriter items;
    uint16_t count = 0;
    while (!AtEnd()) {
        DialogControl(items, extended);
        ++count;
    }

    ByteWriter out;
    out.U32(rsrc::kDialogSignature);
    out.U32(extended ? rsrc::kDialogExtended : 0);
    out.U32(dialog.style);
    out.U32(dialog.exStyle);
    out.U32(dialog.helpId);
    out.U16(dialog.x);
    out.U16(dialog.y);
    out.U16(dialog.cx);
    out.U16(dialog.cy);
    out.U16(count);
    out.U16(dialog.pointSize);
    out.U16(dialog.weight);
    out.U8(dialog.italic);
    out.U8(dialog.charset);
    WriteName(out, dialog.menu);
    WriteName(out, dialog.windowClass);
    out.Text(dialog.caption);
    out.Text(dialog.faceName);
    out.Align(4);
    out.Bytes(items.Data());
    Add(rsrc::ResourceKey::Id(kRtDialog), name, out.Data(), at, language);
}

void ScriptCompiler::DialogControl(ByteWriter& out, bool extended)
{
    Token keyword = Next();
    if (keyword.kind != TokenKind::Identifier)
        Fail(keyword, keyword.kind == TokenKind::End ? "expected a control before end of file" : "expected a control before '" + keyword.text + "'");
    rsrc::DialogItemTemplate item;
    auto coordinate = [&] { return static_cast<SHORT>(Expression().number); };
    auto text = [&]() -> rsrc::NameOrOrdinal {
        if (Peek().kind == TokenKind::String)
            return {false, 0, ExpectString().string};
        return FromKey(Name());
    };
    auto comma = [&] {
        if (!PeekPunct(","))
            return false;
        Next();
        return true;
    };
    uint32_t base = kChildVisible;
    bool isControl = SameWordUpper(keyword.text, "CONTROL");
    bool isIcon = SameWordUpper(keyword.text, "ICON");
    const ControlKind* kind = FindControlKind(keyword.text);
    if (!isControl && !isIcon && kind == nullptr)
        Fail(keyword, "unknown control '" + keyword.text + "'");

    if (isControl) {
        item.text = text();
        Expect(",");
        item.id = Expression().number;
        Expect(",");
        Token classAt = Peek();
        if (classAt.kind == TokenKind::String) {
            item.windowClass.text = ExpectString().string;
        } else if (classAt.kind == TokenKind::Identifier && !PredefinedClass(classAt.text).empty()) {
            item.windowClass.text = PredefinedClass(Next().text);
        } else {
            Fail(classAt, "expected a window class");
        }
        Expect(",");
        item.style = StyleExpression(base);
        Expect(",");
        item.x = coordinate();
        Expect(",");
        item.y = coordinate();
        Expect(",");
        item.cx = coordinate();
        Expect(",");
        item.cy = coordinate();
        if (comma()) {
            item.exStyle = StyleExpression(0);
            if (extended && comma())
                item.helpId = Expression().number;
        }
    } else {
        item.windowClass.text = isIcon ? u"Static" : kind->windowClass;
        base |= isIcon ? 0x3u : kind->style;  // SS_ICON for icons
        if (isIcon || kind->hasText) {
            item.text = text();
            Expect(",");
        }
        item.id = Expression().number;
        Expect(",");
        item.x = coordinate();
        Expect(",");
        item.y = coordinate();
        bool more = true;
        if (isIcon) {
            more = comma();
            if (more) {
                item.cx = coordinate();
                Expect(",");
                item.cy = coordinate();
            }
        } else {
            Expect(",");
            item.cx = coordinate();
            Expect(",");
            item.cy = coordinate();
        }
        item.style = base;
        if (more && comma()) {
            item.style = StyleExpression(base);
            if (comma()) {
                item.exStyle = StyleExpression(0);
                if (extended && comma())
                    item.helpId = Expression().number;
            }
        }
    }
    if (!extended)
        item.id &= 0xFFFF;

    out.Align(4);
    out.U32(item.helpId);
    out.U32(item.exStyle);
    out.U32(item.style);
    out.U16(item.x);
    out.U16(item.y);
    out.U16(item.cx);
    out.U16(item.cy);
    out.U32(item.id);
    WriteName(out, item.windowClass);
    WriteName(out, item.text);
    out.U16(0);  // no creation data
    out.Align(4);
}

}  // namespace yolt::rc
