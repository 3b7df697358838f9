// Tokens of a resource script, with where they came from for error messages.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace yolt::rc {

enum class TokenKind { Identifier, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;       // identifier or punctuation as written
    uint32_t number = 0;    // value of a number
    bool isLong = false;    // a number written with an L suffix
    std::u16string string;  // decoded text of a string literal
    std::string file;
    int line = 0;
};

/// A compile error with its place; the compiler reports it as "file:line: error: message".
struct CompileError : std::runtime_error {
    CompileError(std::string file, int line, const std::string& message)
        : std::runtime_error(message), file(std::move(file)), line(line)
    {
    }
    std::string file;
    int line;
};

}  // namespace yolt::rc
