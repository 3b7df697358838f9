// Compiles a resource script into resource items (type, name, language, bytes) and a blob.
//
// Statements: LANGUAGE; STRINGTABLE; name BITMAP|CURSOR|ICON "file"; name DIALOG|DIALOGEX with
// STYLE, EXSTYLE, CAPTION, FONT, MENU, CLASS and the controls CONTROL, LTEXT, RTEXT, CTEXT,
// PUSHBUTTON, DEFPUSHBUTTON, GROUPBOX, CHECKBOX, AUTOCHECKBOX, RADIOBUTTON, AUTORADIOBUTTON,
// STATE3, AUTO3STATE, EDITTEXT, COMBOBOX, LISTBOX, ICON; name VERSIONINFO; and name TYPE
// "file" for any other type given by name (TYPELIB) or number. Names and ids are numbers,
// #define'd names or, for names left undefined, texts. The window, dialog, control and version
// constants (WS_*, DS_*, BS_*, SS_*, ES_*, CBS_*, LBS_*, IDOK..., VS_*, VOS_*, VFT_*, LANG_*)
// are predefined.
#pragma once

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/resources/resource_directory.h"
#include "tools/rc/byte_writer.h"
#include "tools/rc/preprocessor.h"

namespace yolt::rc {

struct ResourceItem {
    rsrc::ResourceKey type;
    rsrc::ResourceKey name;
    uint32_t language = 0;
    std::vector<uint8_t> data;
};

struct CompiledScript {
    std::vector<ResourceItem> items;
    std::vector<std::filesystem::path> dependencies;  // every file read
};

/// Compiles `script`; throws CompileError with the place of the first error.
CompiledScript CompileScript(const std::filesystem::path& script, const std::vector<std::filesystem::path>& includeDirs,
    const std::vector<std::string>& defines);

/// Lays out items as a resource blob (resource_format.h).
std::vector<uint8_t> BuildBlob(const std::vector<ResourceItem>& items);

/// Reads image files as the script's BITMAP, ICON and CURSOR statements take them.
std::vector<uint8_t> ReadBitmapFile(const std::filesystem::path& path);
struct IconImage {
    std::vector<uint8_t> data;  // the image (for cursors: hot spot WORDs, then the image)
    rsrc::GroupEntry entry;     // its group entry, id not yet set
};
/// The images of an .ico (cursor false) or .cur (cursor true) file.
std::vector<IconImage> ReadIconFile(const std::filesystem::path& path, bool cursor);

class ScriptCompiler {
public:
    ScriptCompiler(Preprocessor& preprocessor, std::vector<Token> tokens)
        : preprocessor_(preprocessor), tokens_(std::move(tokens))
    {
    }
    CompiledScript Compile();

private:
    struct Value {
        uint32_t number = 0;
        bool isLong = false;
    };

    // Token stream with macro expansion.
    const Token& Peek();
    Token Next();
    bool PeekPunct(const char* punct);
    bool PeekWord(const char* word);
    void Expect(const char* punct);
    Token ExpectString();
    [[noreturn]] void Fail(const Token& at, const std::string& message);
    void Begin();
    bool AtEnd();

    // Expressions.
    Value Expression();
    Value OrExpression();
    Value AndExpression();
    Value AddExpression();
    Value MulExpression();
    Value Unary();
    uint32_t StyleExpression(uint32_t base);
    rsrc::ResourceKey Name();
    void SkipMemoryFlags();

    // Statements.
    void Statement();
    void StringTable();
    void FileResource(const rsrc::ResourceKey& type, const rsrc::ResourceKey& name, const Token& at);
    void IconGroup(const rsrc::ResourceKey& name, bool cursor);
    void Dialog(const rsrc::ResourceKey& name, bool extended);
    void DialogControl(ByteWriter& out, bool extended);
    void VersionInfo(const rsrc::ResourceKey& name);
    std::filesystem::path FileName();
    void Add(rsrc::ResourceKey type, rsrc::ResourceKey name, std::vector<uint8_t> data, const Token& at, uint32_t language);

    struct VersionNode;
    void VersionBlock(VersionNode& parent);

    Preprocessor& preprocessor_;
    std::vector<Token> tokens_;
    size_t next_ = 0;
    std::deque<Token> pending_;
    uint32_t language_ = 0;
    uint16_t nextImageId_ = 1;
    struct StringEntry {
        uint32_t language;
        uint16_t id;
        std::u16string text;
    };
    std::vector<StringEntry> stringEntries_;
    CompiledScript result_;
};

}  // namespace yolt::rc
