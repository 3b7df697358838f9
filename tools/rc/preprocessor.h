// The script's preprocessor and lexer: comments, line continuations, #include, #define,
// #undef, #if/#ifdef/#ifndef/#elif/#else/#endif, #pragma. Included headers (.h, .hpp, .c) give
// only their directives, as C headers are shared between programs and scripts. Macros are
// object-like; function-like macros are recorded as undefined for scripts.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/rc/token.h"

namespace yolt::rc {

class Preprocessor {
public:
    explicit Preprocessor(std::vector<std::filesystem::path> includeDirs) : includeDirs_(std::move(includeDirs)) {}

    /// Defines a macro from "NAME" or "NAME=VALUE" (the command line's -D).
    void Define(const std::string& definition);
    /// Reads the script and everything it includes; returns its tokens, macros not yet expanded.
    std::vector<Token> Run(const std::filesystem::path& script);
    /// The replacement tokens of a macro, or null when `name` is not one.
    const std::vector<Token>* Macro(const std::string& name) const;
    /// Every file read so far (for the build's dependency list).
    const std::vector<std::filesystem::path>& FilesRead() const { return filesRead_; }
    /// Finds a file named in the script: beside `from`, then in the include folders.
    std::filesystem::path Resolve(const std::string& name, const std::filesystem::path& from, int line) const;

private:
    void ReadFile(const std::filesystem::path& path, bool onlyDirectives, int depth);
    void Directive(const std::string& text, const std::filesystem::path& path, int line, int depth);
    bool Evaluate(const std::string& expression, const std::string& file, int line) const;
    bool Active() const;

    struct Condition {
        bool active;     // whether lines are taken now
        bool taken;      // whether a branch of this group was taken
        bool parentActive;
        int line;        // of the #if, for errors
    };

    std::vector<std::filesystem::path> includeDirs_;
    std::map<std::string, std::vector<Token>> macros_;
    std::vector<Condition> conditions_;
    std::vector<Token> tokens_;
    std::vector<std::filesystem::path> filesRead_;
};

/// Splits one line of script text into tokens (strings decoded, numbers evaluated).
std::vector<Token> Tokenize(const std::string& text, const std::string& file, int line);

}  // namespace yolt::rc
