#include "tools/rc/preprocessor.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>

#include "platform/base/wtext.h"

namespace yolt::rc {
namespace {

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }

// Removes comments and joins continued lines, keeping one output line per input line so that
// line numbers stay right.
std::vector<std::string> CleanLines(const std::string& content)
{
    std::vector<std::string> lines(1);
    bool inBlock = false;
    char quote = 0;
    for (size_t i = 0; i < content.size(); ++i) {
        char c = content[i];
        char next = i + 1 < content.size() ? content[i + 1] : '\0';
        if (c == '\r')
            continue;
        if (c == '\n') {
            lines.emplace_back();
            quote = 0;
            continue;
        }
        if (inBlock) {
            if (c == '*' && next == '/') {
                inBlock = false;
                ++i;
            }
            continue;
        }
        if (quote != 0) {
            lines.back() += c;
            if (c == '\\' && next != '\n' && next != '\0') {
                lines.back() += next;
                ++i;
            } else if (c == quote) {
                quote = 0;
            }
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '/' && next == '/') {
            while (i + 1 < content.size() && content[i + 1] != '\n')
                ++i;
            continue;
        } else if (c == '/' && next == '*') {
            inBlock = true;
            lines.back() += ' ';
            ++i;
            continue;
        } else if (c == '\\' && (next == '\n' || (next == '\r' && i + 2 < content.size() && content[i + 2] == '\n'))) {
            // A continued line: its text joins the next; an empty line keeps the numbering.
            i += next == '\r' ? 2 : 1;
            lines.emplace_back();
            std::swap(lines[lines.size() - 1], lines[lines.size() - 2]);
            continue;
        }
        lines.back() += c;
    }
    return lines;
}

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::u16string DecodeString(const std::string& body, const std::string& file, int line)
{
    std::string bytes;
    for (size_t i = 0; i < body.size(); ++i) {
        char c = body[i];
        if (c == '"' && i + 1 < body.size() && body[i + 1] == '"') {
            bytes += '"';
            ++i;
            continue;
        }
        if (c != '\\' || i + 1 == body.size()) {
            bytes += c;
            continue;
        }
        char e = body[++i];
        switch (e) {
        case 'n': bytes += '\n'; break;
        case 'r': bytes += '\r'; break;
        case 't': bytes += '\t'; break;
        case 'a': bytes += '\a'; break;
        case '\\': bytes += '\\'; break;
        case '"': bytes += '"'; break;
        case '\'': bytes += '\''; break;
        case 'x': {
            unsigned value = 0;
            int digits = 0;
            while (i + 1 < body.size() && digits < 2 && std::isxdigit(static_cast<unsigned char>(body[i + 1]))) {
                value = value * 16 + std::stoi(std::string(1, body[++i]), nullptr, 16);
                ++digits;
            }
            bytes += static_cast<char>(value);
            break;
        }
        default:
            if (e >= '0' && e <= '7') {
                unsigned value = e - '0';
                for (int digits = 1; digits < 3 && i + 1 < body.size() && body[i + 1] >= '0' && body[i + 1] <= '7'; ++digits)
                    value = value * 8 + (body[++i] - '0');
                bytes += static_cast<char>(value);
                break;
            }
            throw CompileError(file, line, std::string("unknown escape sequence \\") + e);
        }
    }
    return WideFromUtf8(bytes);
}

}  // namespace

std::vector<Token> Tokenize(const std::string& text, const std::string& file, int line)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == ' ' || c == '\t' || c == '\f' || c == '\v') {
            ++i;
            continue;
        }
        Token token;
        token.file = file;
        token.line = line;
        bool wide = (c == 'L' || c == 'l') && i + 1 < text.size() && text[i + 1] == '"';
        if (c == '"' || wide) {
            size_t start = i + (wide ? 2 : 1);
            size_t at = start;
            while (true) {
                if (at >= text.size())
                    throw CompileError(file, line, "string not closed");
                if (text[at] == '\\') {
                    at += 2;
                    continue;
                }
                if (text[at] == '"' && at + 1 < text.size() && text[at + 1] == '"') {
                    at += 2;
                    continue;
                }
                if (text[at] == '"')
                    break;
                ++at;
            }
            token.kind = TokenKind::String;
            token.string = DecodeString(text.substr(start, at - start), file, line);
            i = at + 1;
        } else if (IsIdentStart(c)) {
            size_t start = i;
            while (i < text.size() && IsIdentChar(text[i]))
                ++i;
            token.kind = TokenKind::Identifier;
            token.text = text.substr(start, i - start);
        } else if (c >= '0' && c <= '9') {
            size_t start = i;
            while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i]))))
                ++i;
            std::string literal = text.substr(start, i - start);
            while (!literal.empty() && std::strchr("LlUu", literal.back())) {
                if (literal.back() == 'L' || literal.back() == 'l')
                    token.isLong = true;
                literal.pop_back();
            }
            size_t used = 0;
            unsigned long long value = 0;
            try {
                value = std::stoull(literal, &used, literal.size() > 1 && literal[0] == '0' && (literal[1] == 'x' || literal[1] == 'X') ? 16 : 10);
            } catch (const std::exception&) {
                used = 0;
            }
            if (used != literal.size() || value > 0xFFFFFFFFull)
                throw CompileError(file, line, "bad number '" + text.substr(start, i - start) + "'");
            token.kind = TokenKind::Number;
            token.number = static_cast<uint32_t>(value);
            token.text = text.substr(start, i - start);
        } else {
            static const char* const pairs[] = {"&&", "||", "==", "!=", "<=", ">=", "<<", ">>"};
            token.kind = TokenKind::Punct;
            token.text = std::string(1, c);
            for (auto pair : pairs) {
                if (text.compare(i, 2, pair) == 0)
                    token.text = pair;
            }
            i += token.text.size();
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

void Preprocessor::Define(const std::string& definition)
{
    auto equals = definition.find('=');
    std::string name = definition.substr(0, equals);
    std::string value = equals == std::string::npos ? "1" : definition.substr(equals + 1);
    macros_[name] = Tokenize(value, "<command line>", 0);
}

const std::vector<Token>* Preprocessor::Macro(const std::string& name) const
{
    auto found = macros_.find(name);
    return found == macros_.end() ? nullptr : &found->second;
}

std::vector<Token> Preprocessor::Run(const std::filesystem::path& script)
{
    tokens_.clear();
    ReadFile(script, false, 0);
    Token end;
    end.kind = TokenKind::End;
    end.file = tokens_.empty() ? script.string() : tokens_.back().file;
    end.line = tokens_.empty() ? 0 : tokens_.back().line;
    tokens_.push_back(end);
    return std::move(tokens_);
}

std::filesystem::path Preprocessor::Resolve(const std::string& name, const std::filesystem::path& from, int line) const
{
    std::filesystem::path wanted(name);
    if (wanted.is_absolute() && std::filesystem::exists(wanted))
        return wanted;
    std::vector<std::filesystem::path> places{from.parent_path()};
    places.insert(places.end(), includeDirs_.begin(), includeDirs_.end());
    for (const auto& place : places) {
        auto candidate = place / wanted;
        if (std::filesystem::exists(candidate))
            return candidate;
    }
    throw CompileError(from.string(), line, "cannot find file '" + name + "'");
}

bool Preprocessor::Active() const
{
    return conditions_.empty() || conditions_.back().active;
}

void Preprocessor::ReadFile(const std::filesystem::path& path, bool onlyDirectives, int depth)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw CompileError(path.string(), 0, "cannot read file");
    filesRead_.push_back(std::filesystem::absolute(path));
    std::stringstream content;
    content << in.rdbuf();
    size_t conditionDepth = conditions_.size();
    auto lines = CleanLines(content.str());
    for (size_t n = 0; n < lines.size(); ++n) {
        int line = static_cast<int>(n + 1);
        std::string text = Trim(lines[n]);
        if (!text.empty() && text[0] == '#') {
            Directive(Trim(text.substr(1)), path, line, depth);
            continue;
        }
        if (onlyDirectives || !Active() || text.empty())
            continue;
        auto tokens = Tokenize(text, path.string(), line);
        tokens_.insert(tokens_.end(), tokens.begin(), tokens.end());
    }
    if (conditions_.size() != conditionDepth)
        throw CompileError(path.string(), conditions_.back().line, "#if without #endif");
}

void Preprocessor::Directive(const std::string& text, const std::filesystem::path& path, int line, int depth)
{
    size_t nameEnd = 0;
    while (nameEnd < text.size() && IsIdentChar(text[nameEnd]))
        ++nameEnd;
    std::string name = text.substr(0, nameEnd);
    std::string rest = Trim(text.substr(nameEnd));
    std::string file = path.string();

    if (name == "ifdef" || name == "ifndef" || name == "if") {
        bool parentActive = Active();
        bool value = false;
        if (parentActive)
            value = name == "if" ? Evaluate(rest, file, line) : ((macros_.count(rest) != 0) == (name == "ifdef"));
        conditions_.push_back({parentActive && value, value, parentActive, line});
        return;
    }
    if (name == "elif" || name == "else" || name == "endif") {
        if (conditions_.empty())
            throw CompileError(file, line, "#" + name + " without #if");
        auto& condition = conditions_.back();
        if (name == "endif") {
            conditions_.pop_back();
        } else if (condition.taken || !condition.parentActive) {
            condition.active = false;
        } else {
            bool value = name == "else" || Evaluate(rest, file, line);
            condition.active = value;
            condition.taken = value;
        }
        return;
    }
    if (!Active())
        return;
    if (name == "include") {
        if (rest.size() < 2 || !((rest.front() == '"' && rest.back() == '"') || (rest.front() == '<' && rest.back() == '>')))
            throw CompileError(file, line, "#include needs a quoted file name");
        if (depth > 32)
            throw CompileError(file, line, "#include nested too deeply");
        auto target = Resolve(rest.substr(1, rest.size() - 2), path, line);
        auto extension = target.extension().string();
        bool header = extension == ".h" || extension == ".hpp" || extension == ".c" || extension == ".hh";
        ReadFile(target, header, depth + 1);
        return;
    }
    if (name == "define") {
        size_t macroEnd = 0;
        while (macroEnd < rest.size() && IsIdentChar(rest[macroEnd]))
            ++macroEnd;
        std::string macro = rest.substr(0, macroEnd);
        if (macro.empty())
            throw CompileError(file, line, "#define needs a name");
        if (macroEnd < rest.size() && rest[macroEnd] == '(')
            return;  // function-like macros have no use in scripts
        macros_[macro] = Tokenize(rest.substr(macroEnd), file, line);
        return;
    }
    if (name == "undef") {
        macros_.erase(rest);
        return;
    }
    if (name == "error")
        throw CompileError(file, line, "#error " + rest);
    if (name == "pragma" || name == "line" || name.empty())
        return;
    throw CompileError(file, line, "unknown directive #" + name);
}

// Evaluates a #if expression: numbers, macros, defined(NAME), ! && || == != < > <= >= and
// parentheses. Unknown names count as 0.
bool Preprocessor::Evaluate(const std::string& expression, const std::string& file, int line) const
{
    auto tokens = Tokenize(expression, file, line);
    size_t at = 0;
    auto peek = [&](const char* punct) {
        return at < tokens.size() && tokens[at].kind == TokenKind::Punct && tokens[at].text == punct;
    };
    std::function<long long(int)> parse;
    std::function<long long()> unary = [&]() -> long long {
        if (at >= tokens.size())
            throw CompileError(file, line, "incomplete #if expression");
        const Token& token = tokens[at++];
        if (token.kind == TokenKind::Punct && token.text == "!")
            return !unary();
        if (token.kind == TokenKind::Punct && token.text == "-")
            return -unary();
        if (token.kind == TokenKind::Punct && token.text == "(") {
            long long value = parse(0);
            if (!peek(")"))
                throw CompileError(file, line, "missing ) in #if expression");
            ++at;
            return value;
        }
        if (token.kind == TokenKind::Number)
            return token.number;
        if (token.kind == TokenKind::Identifier && token.text == "defined") {
            bool paren = peek("(");
            if (paren)
                ++at;
            if (at >= tokens.size() || tokens[at].kind != TokenKind::Identifier)
                throw CompileError(file, line, "defined needs a name");
            bool defined = macros_.count(tokens[at++].text) != 0;
            if (paren && !peek(")"))
                throw CompileError(file, line, "missing ) after defined");
            if (paren)
                ++at;
            return defined;
        }
        if (token.kind == TokenKind::Identifier) {
            auto macro = Macro(token.text);
            if (macro != nullptr && macro->size() == 1 && (*macro)[0].kind == TokenKind::Number)
                return (*macro)[0].number;
            return 0;
        }
        throw CompileError(file, line, "unexpected '" + token.text + "' in #if expression");
    };
    // Binary operators by precedence, lowest first.
    static const std::vector<std::vector<std::string>> levels = {{"||"}, {"&&"}, {"==", "!="}, {"<", ">", "<=", ">="}};
    parse = [&](int level) -> long long {
        if (level == static_cast<int>(levels.size()))
            return unary();
        long long left = parse(level + 1);
        while (at < tokens.size() && tokens[at].kind == TokenKind::Punct) {
            const std::string op = tokens[at].text;
            if (std::find(levels[level].begin(), levels[level].end(), op) == levels[level].end())
                break;
            ++at;
            long long right = parse(level + 1);
            if (op == "||") left = left || right;
            else if (op == "&&") left = left && right;
            else if (op == "==") left = left == right;
            else if (op == "!=") left = left != right;
            else if (op == "<") left = left < right;
            else if (op == ">") left = left > right;
            else if (op == "<=") left = left <= right;
            else left = left >= right;
        }
        return left;
    };
    long long value = parse(0);
    if (at != tokens.size())
        throw CompileError(file, line, "unexpected text after #if expression");
    return value != 0;
}

}  // namespace yolt::rc
