#include "game/script_dialect.h"

#include <cctype>

namespace {

bool IsNameStart(char _c)
{
    return std::isalpha(static_cast<unsigned char>(_c)) || _c == '_';
}

bool IsNameChar(char _c)
{
    return std::isalnum(static_cast<unsigned char>(_c)) || _c == '_';
}

class rewriter_c {
public:
    explicit rewriter_c(const std::string& _text) : text(_text) { out.reserve(_text.size() + 16); }

    std::string Run()
    {
        while (at < text.size()) {
            const char c = text[at];
            if (c == '"' || c == '\'')
                CopyQuoted(c);
            else if (c == '[' && Peek(1) == '[')
                CopyLong();
            else if (c == '-' && Peek(1) == '-')
                CopyComment();
            else if (c == '%' && IsNameStart(Peek(1)))
                ++at;
            else if (IsNameStart(c))
                CopyName();
            else
                out += text[at++];
        }
        return out;
    }

private:
    char Peek(size_t _ahead) const { return at + _ahead < text.size() ? text[at + _ahead] : '\0'; }

    void CopyQuoted(char _quote)
    {
        out += text[at++];
        while (at < text.size()) {
            const char c = text[at++];
            out += c;
            if (c == '\\' && at < text.size())
                out += text[at++];
            else if (c == _quote || c == '\n')
                return;
        }
    }

    void CopyLong()
    {
        const size_t end = text.find("]]", at + 2);
        const size_t stop = end == std::string::npos ? text.size() : end + 2;
        out.append(text, at, stop - at);
        at = stop;
    }

    void CopyComment()
    {
        out += "--";
        at += 2;
        if (Peek(0) == '[')
            out += ' ';
        while (at < text.size() && text[at] != '\n')
            out += text[at++];
    }

    std::string ReadName()
    {
        const size_t start = at;
        while (at < text.size() && IsNameChar(text[at]))
            ++at;
        return text.substr(start, at - start);
    }

    void CopySpace()
    {
        while (at < text.size() && (text[at] == ' ' || text[at] == '\t' || text[at] == '\r' || text[at] == '\n'))
            out += text[at++];
    }

    // Copies a name; after "for" it looks for "name , name in" and adds the
    // iterator after "in". Anything else is copied as it comes.
    void CopyName()
    {
        const std::string name = ReadName();
        out += name;
        if (name != "for")
            return;
        CopySpace();
        if (!IsNameStart(Peek(0)))
            return;
        out += ReadName();
        CopySpace();
        if (Peek(0) != ',')
            return;
        out += text[at++];
        CopySpace();
        if (!IsNameStart(Peek(0)))
            return;
        out += ReadName();
        CopySpace();
        if (!IsNameStart(Peek(0)))
            return;
        const std::string keyword = ReadName();
        out += keyword;
        if (keyword == "in") {
            out += ' ';
            out += script_next_name;
            out += ',';
        }
    }

    const std::string& text;
    size_t at = 0;
    std::string out;
};

} // namespace

std::string RewriteOldDialect(const std::string& _text)
{
    return rewriter_c(_text).Run();
}
