#include "tools/rc/script_compiler.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <fstream>
#include <map>

#include "platform/resources/resource_format.h"
#include "tools/rc/predefined.h"

namespace yolt::rc {
namespace {

constexpr uint16_t kRtCursor = 1, kRtBitmap = 2, kRtIcon = 3, kRtString = 6;
constexpr uint16_t kRtGroupCursor = 12, kRtGroupIcon = 14;

bool SameWord(const std::string& a, const char* b)
{
    return a.size() == std::strlen(b)
        && std::equal(a.begin(), a.end(), b, [](char x, char y) { return std::toupper(static_cast<unsigned char>(x)) == y; });
}

std::u16string UpperName(const std::string& text)
{
    std::u16string name;
    for (char c : text)
        name.push_back(static_cast<char16_t>(std::toupper(static_cast<unsigned char>(c))));
    return name;
}

bool SameKey(const rsrc::ResourceKey& a, const rsrc::ResourceKey& b)
{
    return a.isId == b.isId && (a.isId ? a.id == b.id : a.name == b.name);
}

}  // namespace

CompiledScript CompileScript(const std::filesystem::path& script, const std::vector<std::filesystem::path>& includeDirs,
    const std::vector<std::string>& defines)
{
    Preprocessor preprocessor(includeDirs);
    for (const auto& define : defines)
        preprocessor.Define(define);
    auto tokens = preprocessor.Run(script);
    ScriptCompiler compiler(preprocessor, std::move(tokens));
    auto result = compiler.Compile();
    auto read = preprocessor.FilesRead();
    result.dependencies.insert(result.dependencies.begin(), read.begin(), read.end());
    return result;
}

// ---- Token stream -------------------------------------------------------------------------

const Token& ScriptCompiler::Peek()
{
    for (int expansions = 0;; ++expansions) {
        if (pending_.empty())
            pending_.push_back(tokens_[std::min(next_++, tokens_.size() - 1)]);
        const Token& front = pending_.front();
        if (front.kind != TokenKind::Identifier)
            return front;
        auto macro = preprocessor_.Macro(front.text);
        if (macro == nullptr)
            return front;
        if (expansions > 200)
            Fail(front, "macro '" + front.text + "' expands without end");
        Token site = front;
        pending_.pop_front();
        for (auto it = macro->rbegin(); it != macro->rend(); ++it) {
            Token copy = *it;
            copy.file = site.file;
            copy.line = site.line;
            pending_.push_front(copy);
        }
    }
}

Token ScriptCompiler::Next()
{
    Peek();
    Token token = pending_.front();
    pending_.pop_front();
    return token;
}

bool ScriptCompiler::PeekPunct(const char* punct)
{
    const Token& token = Peek();
    return token.kind == TokenKind::Punct && token.text == punct;
}

bool ScriptCompiler::PeekWord(const char* word)
{
    const Token& token = Peek();
    return token.kind == TokenKind::Identifier && SameWord(token.text, word);
}

void ScriptCompiler::Fail(const Token& at, const std::string& message)
{
    throw CompileError(at.file, at.line, message);
}

void ScriptCompiler::Expect(const char* punct)
{
    Token token = Next();
    if (token.kind != TokenKind::Punct || token.text != punct)
        Fail(token, std::string("expected '") + punct + "'" + (token.kind == TokenKind::End ? " before end of file" : " before '" + token.text + "'"));
}

Token ScriptCompiler::ExpectString()
{
    Token token = Next();
    if (token.kind != TokenKind::String)
        Fail(token, "expected a quoted text");
    // Adjacent literals join, as in C.
    while (Peek().kind == TokenKind::String)
        token.string += Next().string;
    return token;
}

void ScriptCompiler::Begin()
{
    Token token = Next();
    if (!(token.kind == TokenKind::Identifier && SameWord(token.text, "BEGIN")) && !(token.kind == TokenKind::Punct && token.text == "{"))
        Fail(token, "expected BEGIN");
}

bool ScriptCompiler::AtEnd()
{
    if (Peek().kind == TokenKind::End)
        Fail(Peek(), "missing END");
    if (PeekWord("END") || PeekPunct("}")) {
        Next();
        return true;
    }
    return false;
}

// ---- Expressions --------------------------------------------------------------------------

ScriptCompiler::Value ScriptCompiler::Expression()
{
    return OrExpression();
}

ScriptCompiler::Value ScriptCompiler::OrExpression()
{
    Value left = AndExpression();
    while (PeekPunct("|")) {
        Next();
        Value right = AndExpression();
        left = {left.number | right.number, left.isLong || right.isLong};
    }
    return left;
}

ScriptCompiler::Value ScriptCompiler::AndExpression()
{
    Value left = AddExpression();
    while (PeekPunct("&")) {
        Next();
        Value right = AddExpression();
        left = {left.number & right.number, left.isLong || right.isLong};
    }
    return left;
}

ScriptCompiler::Value ScriptCompiler::AddExpression()
{
    Value left = MulExpression();
    while (PeekPunct("+") || PeekPunct("-")) {
        bool add = Next().text == "+";
        Value right = MulExpression();
        left = {add ? left.number + right.number : left.number - right.number, left.isLong || right.isLong};
    }
    return left;
}

ScriptCompiler::Value ScriptCompiler::MulExpression()
{
    Value left = Unary();
    while (PeekPunct("*") || PeekPunct("/")) {
        Token op = Next();
        Value right = Unary();
        if (op.text == "/" && right.number == 0)
            Fail(op, "division by zero");
        left = {op.text == "*" ? left.number * right.number : left.number / right.number, left.isLong || right.isLong};
    }
    return left;
}

ScriptCompiler::Value ScriptCompiler::Unary()
{
    Token token = Next();
    if (token.kind == TokenKind::Number)
        return {token.number, token.isLong};
    if (token.kind == TokenKind::Punct && token.text == "-") {
        Value value = Unary();
        return {0u - value.number, value.isLong};
    }
    if (token.kind == TokenKind::Punct && token.text == "~") {
        Value value = Unary();
        return {~value.number, value.isLong};
    }
    if (token.kind == TokenKind::Identifier && SameWord(token.text, "NOT")) {
        Value value = Unary();
        return {~value.number, value.isLong};
    }
    if (token.kind == TokenKind::Punct && token.text == "(") {
        Value value = Expression();
        Expect(")");
        return value;
    }
    if (token.kind == TokenKind::Identifier) {
        if (auto constant = PredefinedConstant(token.text))
            return {*constant, false};
        Fail(token, "undefined name '" + token.text + "'");
    }
    if (token.kind == TokenKind::End)
        Fail(token, "expected a number before end of file");
    Fail(token, "expected a number before '" + token.text + "'");
}

// A style: terms joined by |; a term written NOT X clears X from what came before, so that
// "NOT WS_VISIBLE" takes a bit out of a control's default style.
uint32_t ScriptCompiler::StyleExpression(uint32_t base)
{
    uint32_t style = base;
    while (true) {
        if (PeekWord("NOT")) {
            Next();
            style &= ~AndExpression().number;
        } else {
            style |= AndExpression().number;
        }
        if (!PeekPunct("|"))
            return style;
        Next();
    }
}

rsrc::ResourceKey ScriptCompiler::Name()
{
    const Token& token = Peek();
    if (token.kind == TokenKind::Identifier && !PredefinedConstant(token.text))
        return rsrc::ResourceKey{false, 0, UpperName(Next().text)};
    if (token.kind == TokenKind::String) {
        std::u16string text = Next().string;
        for (auto& c : text)
            c = static_cast<char16_t>(c < 0x80 ? std::toupper(c) : c);
        return rsrc::ResourceKey{false, 0, text};
    }
    Token at = token;
    Value value = Expression();
    if (value.number > 0xFFFF)
        Fail(at, "resource number out of range");
    return rsrc::ResourceKey::Id(static_cast<uint16_t>(value.number));
}

void ScriptCompiler::SkipMemoryFlags()
{
    static const char* const flags[] = {"DISCARDABLE", "MOVEABLE", "FIXED", "PURE", "IMPURE", "PRELOAD", "LOADONCALL", "SHARED", "NONSHARED"};
    while (Peek().kind == TokenKind::Identifier
        && std::any_of(std::begin(flags), std::end(flags), [&](const char* flag) { return SameWord(Peek().text, flag); }))
        Next();
}

std::filesystem::path ScriptCompiler::FileName()
{
    Token token = ExpectString();
    std::string name;
    for (char16_t c : token.string)
        name += static_cast<char>(c < 0x80 ? c : '?');
    std::replace(name.begin(), name.end(), '\\', '/');
    auto path = preprocessor_.Resolve(name, token.file, token.line);
    result_.dependencies.push_back(std::filesystem::absolute(path));
    return path;
}

void ScriptCompiler::Add(rsrc::ResourceKey type, rsrc::ResourceKey name, std::vector<uint8_t> data, const Token& at,
    uint32_t language)
{
    for (const auto& item : result_.items) {
        if (SameKey(item.type, type) && SameKey(item.name, name) && item.language == language)
            Fail(at, "resource defined twice");
    }
    result_.items.push_back({std::move(type), std::move(name), language, std::move(data)});
}

// ---- Statements ---------------------------------------------------------------------------

CompiledScript ScriptCompiler::Compile()
{
    while (Peek().kind != TokenKind::End)
        Statement();

    // String tables: block n holds ids (n-1)*16 to (n-1)*16+15.
    std::map<std::pair<uint32_t, uint16_t>, std::array<std::u16string, 16>> blocks;
    for (const auto& entry : stringEntries_)
        blocks[{entry.language, static_cast<uint16_t>(entry.id / 16 + 1)}][entry.id % 16] = entry.text;
    for (const auto& [key, strings] : blocks) {
        ByteWriter out;
        for (const auto& text : strings) {
            out.U16(static_cast<uint16_t>(text.size()));
            for (char16_t c : text)
                out.U16(c);
        }
        result_.items.push_back({rsrc::ResourceKey::Id(kRtString), rsrc::ResourceKey::Id(key.second), key.first, out.Data()});
    }
    return std::move(result_);
}

void ScriptCompiler::Statement()
{
    if (PeekWord("LANGUAGE")) {
        Next();
        uint32_t primary = Expression().number;
        Expect(",");
        uint32_t sub = Expression().number;
        language_ = (sub << 10) | primary;
        return;
    }
    if (PeekWord("STRINGTABLE")) {
        StringTable();
        return;
    }
    Token at = Peek();
    rsrc::ResourceKey name = Name();
    Token type = Next();
    if (type.kind == TokenKind::Identifier) {
        if (SameWord(type.text, "BITMAP")) {
            SkipMemoryFlags();
            Add(rsrc::ResourceKey::Id(kRtBitmap), name, ReadBitmapFile(FileName()), at, language_);
            return;
        }
        if (SameWord(type.text, "ICON") || SameWord(type.text, "CURSOR")) {
            IconGroup(name, SameWord(type.text, "CURSOR"));
            return;
        }
        if (SameWord(type.text, "DIALOG") || SameWord(type.text, "DIALOGEX")) {
            Dialog(name, SameWord(type.text, "DIALOGEX"));
            return;
        }
        if (SameWord(type.text, "VERSIONINFO")) {
            VersionInfo(name);
            return;
        }
        FileResource(rsrc::ResourceKey{false, 0, UpperName(type.text)}, name, at);
        return;
    }
    if (type.kind == TokenKind::Number) {
        if (type.number > 0xFFFF)
            Fail(type, "resource type out of range");
        FileResource(rsrc::ResourceKey::Id(static_cast<uint16_t>(type.number)), name, at);
        return;
    }
    Fail(type, type.kind == TokenKind::End ? "expected a resource type before end of file" : "expected a resource type before '" + type.text + "'");
}

void ScriptCompiler::FileResource(const rsrc::ResourceKey& type, const rsrc::ResourceKey& name, const Token& at)
{
    SkipMemoryFlags();
    auto path = FileName();
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof())
        Fail(at, "cannot read '" + path.string() + "'");
    Add(type, name, std::move(bytes), at, language_);
}

void ScriptCompiler::StringTable()
{
    Token at = Next();
    SkipMemoryFlags();
    uint32_t language = language_;
    while (!PeekWord("BEGIN") && !PeekPunct("{")) {
        if (PeekWord("LANGUAGE")) {
            Next();
            uint32_t primary = Expression().number;
            Expect(",");
            language = (Expression().number << 10) | primary;
        } else if (PeekWord("CHARACTERISTICS") || PeekWord("VERSION")) {
            Next();
            Expression();
        } else {
            Fail(Peek(), "expected BEGIN");
        }
    }
    Begin();
    while (!AtEnd()) {
        Token idAt = Peek();
        Value id = Expression();
        if (id.number > 0xFFFF)
            Fail(idAt, "string id out of range");
        if (PeekPunct(","))
            Next();
        Token text = ExpectString();
        for (const auto& entry : stringEntries_) {
            if (entry.id == id.number && entry.language == language)
                Fail(idAt, "string " + std::to_string(id.number) + " defined twice");
        }
        stringEntries_.push_back({language, static_cast<uint16_t>(id.number), text.string});
    }
}

void ScriptCompiler::IconGroup(const rsrc::ResourceKey& name, bool cursor)
{
    Token at = Peek();
    SkipMemoryFlags();
    auto images = ReadIconFile(FileName(), cursor);
    ByteWriter group;
    group.U16(0);
    group.U16(cursor ? 2 : 1);
    group.U16(static_cast<uint16_t>(images.size()));
    for (auto& image : images) {
        uint16_t id = nextImageId_++;
        image.entry.id = id;
        group.Bytes(std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(&image.entry),
            reinterpret_cast<const uint8_t*>(&image.entry) + sizeof image.entry));
        Add(rsrc::ResourceKey::Id(cursor ? kRtCursor : kRtIcon), rsrc::ResourceKey::Id(id), std::move(image.data), at, language_);
    }
    Add(rsrc::ResourceKey::Id(cursor ? kRtGroupCursor : kRtGroupIcon), name, group.Data(), at, language_);
}

// ---- Blob ---------------------------------------------------------------------------------

std::vector<uint8_t> BuildBlob(const std::vector<ResourceItem>& items)
{
    ByteWriter out;
    out.U32(rsrc::kBlobMagic);
    out.U32(rsrc::kBlobVersion);
    out.U32(0);  // total size, patched below
    out.U32(static_cast<uint32_t>(items.size()));
    size_t entriesAt = out.Size();
    for (size_t i = 0; i < items.size() * sizeof(rsrc::Entry); ++i)
        out.U8(0);

    auto writeName = [&](const rsrc::ResourceKey& key) -> uint32_t {
        if (key.isId)
            return 0;
        out.Align(rsrc::kDataAlignment);
        auto offset = static_cast<uint32_t>(out.Size());
        out.Text(key.name);
        return offset;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        size_t entry = entriesAt + i * sizeof(rsrc::Entry);
        out.PatchU32(entry + 0, item.type.isId ? item.type.id : 0);
        out.PatchU32(entry + 4, writeName(item.type));
        out.PatchU32(entry + 8, item.name.isId ? item.name.id : 0);
        out.PatchU32(entry + 12, writeName(item.name));
        out.PatchU32(entry + 16, item.language);
        out.Align(rsrc::kDataAlignment);
        out.PatchU32(entry + 20, static_cast<uint32_t>(out.Size()));
        out.PatchU32(entry + 24, static_cast<uint32_t>(item.data.size()));
        out.Bytes(item.data);
    }
    out.Align(rsrc::kDataAlignment);
    out.PatchU32(8, static_cast<uint32_t>(out.Size()));
    return out.Data();
}

}  // namespace yolt::rc
