// VERSIONINFO statements, written as the version tree of version_info.h: nodes of
// (WORD length, WORD value length, WORD type, UTF-16 key, padding, value, padding, children).
#include "platform/resources/version_info.h"
#include "tools/rc/script_compiler.h"

namespace yolt::rc {
namespace {

constexpr uint16_t kRtVersion = 16;

}  // namespace

struct ScriptCompiler::VersionNode {
    std::u16string key;
    bool isText = false;            // a text value (type 1), else binary (type 0)
    std::vector<uint8_t> value;     // the value's bytes
    uint16_t valueLength = 0;       // in characters for text, in bytes for binary
    std::vector<VersionNode> children;

    void Write(ByteWriter& out) const
    {
        out.Align(4);
        size_t start = out.Size();
        out.U16(0);  // length, patched below
        out.U16(valueLength);
        out.U16(isText ? 1 : 0);
        out.Text(key);
        out.Align(4);
        out.Bytes(value);
        for (const auto& child : children)
            child.Write(out);
        out.PatchU16(start, static_cast<uint16_t>(out.Size() - start));
    }
};

void ScriptCompiler::VersionInfo(const rsrc::ResourceKey& name)
{
    Token at = Peek();
    VS_FIXEDFILEINFO fixed{};
    fixed.dwSignature = VS_FFI_SIGNATURE;
    fixed.dwStrucVersion = VS_FFI_STRUCVERSION;
    auto version = [&](DWORD& ms, DWORD& ls) {
        uint32_t parts[4] = {0, 0, 0, 0};
        for (int i = 0; i < 4; ++i) {
            parts[i] = Expression().number & 0xFFFF;
            if (!PeekPunct(","))
                break;
            Next();
        }
        ms = (parts[0] << 16) | parts[1];
        ls = (parts[2] << 16) | parts[3];
    };
    while (!PeekWord("BEGIN") && !PeekPunct("{")) {
        Token option = Next();
        std::string word = option.text;
        for (auto& c : word)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (option.kind != TokenKind::Identifier)
            Fail(option, option.kind == TokenKind::End ? "expected BEGIN before end of file" : "expected BEGIN before '" + option.text + "'");
        if (word == "FILEVERSION")
            version(fixed.dwFileVersionMS, fixed.dwFileVersionLS);
        else if (word == "PRODUCTVERSION")
            version(fixed.dwProductVersionMS, fixed.dwProductVersionLS);
        else if (word == "FILEFLAGSMASK")
            fixed.dwFileFlagsMask = Expression().number;
        else if (word == "FILEFLAGS")
            fixed.dwFileFlags = Expression().number;
        else if (word == "FILEOS")
            fixed.dwFileOS = Expression().number;
        else if (word == "FILETYPE")
            fixed.dwFileType = Expression().number;
        else if (word == "FILESUBTYPE")
            fixed.dwFileSubtype = Expression().number;
        else
            Fail(option, "unknown version option '" + option.text + "'");
    }
    VersionNode root;
    root.key = u"VS_VERSION_INFO";
    root.value.assign(reinterpret_cast<const uint8_t*>(&fixed), reinterpret_cast<const uint8_t*>(&fixed) + sizeof fixed);
    root.valueLength = sizeof fixed;
    VersionBlock(root);
    ByteWriter out;
    root.Write(out);
    Add(rsrc::ResourceKey::Id(kRtVersion), name, out.Data(), at, language_);
}

// BEGIN { BLOCK "key" BEGIN ... END | VALUE "key", value, ... } END, into parent's children.
void ScriptCompiler::VersionBlock(VersionNode& parent)
{
    Begin();
    while (!AtEnd()) {
        Token word = Next();
        bool block = word.kind == TokenKind::Identifier && (word.text == "BLOCK" || word.text == "block");
        bool value = word.kind == TokenKind::Identifier && (word.text == "VALUE" || word.text == "value");
        if (!block && !value)
            Fail(word, "expected BLOCK, VALUE or END");
        VersionNode node;
        node.key = ExpectString().string;
        if (block) {
            node.isText = true;
            VersionBlock(node);
            parent.children.push_back(std::move(node));
            continue;
        }
        // A value is a text, or a list of numbers (WORDs, DWORDs when written with L).
        ByteWriter bytes;
        Expect(",");
        bool first = true;
        while (first || PeekPunct(",")) {
            if (!first)
                Next();
            first = false;
            if (Peek().kind == TokenKind::String) {
                node.isText = true;
                for (char16_t c : ExpectString().string)
                    bytes.U16(c);
                continue;
            }
            Value number = Expression();
            if (number.isLong)
                bytes.U32(number.number);
            else
                bytes.U16(static_cast<uint16_t>(number.number));
        }
        if (node.isText) {
            bytes.U16(0);
            node.valueLength = static_cast<uint16_t>(bytes.Size() / 2);
        } else {
            node.valueLength = static_cast<uint16_t>(bytes.Size());
        }
        node.value = bytes.Data();
        parent.children.push_back(std::move(node));
    }
}

}  // namespace yolt::rc
