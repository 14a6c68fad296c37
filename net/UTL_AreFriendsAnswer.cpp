#include "net/UTL_AreFriendsAnswer.h"

#include <cstring>

namespace
{
constexpr char Root[] = "friends_areFriends_response";

// A cursor over the answer that only ever moves forward and never reads past its end.
class Scanner
{
public:
    explicit Scanner(const std::string& text) : p(text.data()), end(text.data() + text.size()) {}

    bool AtEnd() const { return p == end; }

    // Whitespace as it may stand between elements.
    void SkipSpace()
    {
        while (p != end && IsSpace(*p))
            ++p;
    }

    bool Take(const char* literal, size_t length)
    {
        if (size_t(end - p) < length || std::memcmp(p, literal, length) != 0)
            return false;
        p += length;
        return true;
    }
    template <size_t N> bool Take(const char (&literal)[N]) { return Take(literal, N - 1); }

    // The XML declaration, when the answer starts with one: "<?xml", then version, encoding
    // and standalone as name="value" (each value a plain word), then "?>". TinyXML reads these
    // three names with a parser of its own and other text by skipping it; nothing else is taken.
    bool SkipDeclaration()
    {
        if (!Take("<?xml"))
            return true;
        for (;;)
        {
            const bool spaced = p != end && IsSpace(*p);
            SkipSpace();
            if (Take("?>"))
                return true;
            if (!spaced || !(Take("version=") || Take("encoding=") || Take("standalone=")) ||
                p == end || (*p != '"' && *p != '\''))
                return false;
            const char quote = *p++;
            while (p != end && (IsNameChar(*p) && *p != ':'))
                ++p;
            if (!Take(&quote, 1))
                return false;
        }
    }

    // Attributes of the root: name="value" or name='value', each name once, values without
    // markup or entities. True at the end of the start tag; `empty` tells "/>" from ">".
    bool SkipAttributes(bool& empty)
    {
        const char* names[8];
        size_t nameLengths[8];
        size_t count = 0;
        for (;;)
        {
            const bool spaced = p != end && IsSpace(*p);
            SkipSpace();
            empty = Take("/>");
            if (empty || Take(">"))
                return true;
            if (!spaced || count == 8 || p == end || !IsNameStart(*p))
                return false;
            const char* name = p;
            while (p != end && IsNameChar(*p))
                ++p;
            const size_t length = size_t(p - name);
            for (size_t i = 0; i < count; ++i)
                if (nameLengths[i] == length && std::memcmp(names[i], name, length) == 0)
                    return false; // TinyXML refuses a repeated attribute
            names[count] = name;
            nameLengths[count++] = length;
            if (!Take("=") || p == end || (*p != '"' && *p != '\''))
                return false;
            const char quote = *p++;
            for (; p != end && *p != quote; ++p)
                if (*p == '<' || *p == '>' || *p == '&' || !(IsPlain(*p) || IsSpace(*p)))
                    return false;
            if (p == end)
                return false;
            ++p;
        }
    }

    // One child of a friend_info: "<name>text</name>", "<name/>" or
    // "<name xsi:nil=\"true\"/>". `text` is null for an empty child, as TinyXML's GetText.
    bool ReadChild(const char* name, size_t length, const char*& text, size_t& textLength)
    {
        const char* start = p;
        if (!Take("<") || !Take(name, length))
            return Back(start);
        text = nullptr;
        textLength = 0;
        if (Take("/>") || Take(" xsi:nil=\"true\"/>"))
            return true;
        if (!Take(">"))
            return Back(start);
        const char* first = p;
        while (p != end && *p != '<')
        {
            // Whitespace, entities and bytes past ASCII are where TinyXML's text differs from
            // the bytes: those answers are left to it.
            if (*p == '&' || IsSpace(*p) || !IsPlain(*p))
                return Back(start);
            ++p;
        }
        if (p != first)
        {
            text = first;
            textLength = size_t(p - first);
        }
        if (!Take("</") || !Take(name, length) || !Take(">"))
            return Back(start);
        return true;
    }

private:
    // Moves back to `start`; false, for the caller to return.
    bool Back(const char* start)
    {
        p = start;
        return false;
    }

    static bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
    // Printable ASCII.
    static bool IsPlain(char c) { return c > ' ' && c < 0x7f; }
    // Names as TinyXML reads them.
    static bool IsNameStart(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
    }
    static bool IsNameChar(char c)
    {
        return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ':';
    }

    const char* p;
    const char* const end;
};

// One friend_info after its start tag, to its end tag: the three children, each once, in any
// order. Adds the pair when they are friends.
bool ReadFriendInfo(Scanner& scanner, UTL_AreFriendsAnswer::Friends& friends)
{
    struct Child
    {
        const char* name;
        size_t length;
        const char* text = nullptr;
        size_t textLength = 0;
        bool seen = false;
    };
    Child children[3] = {{"uid1", 4}, {"uid2", 4}, {"are_friends", 11}};
    for (int read = 0; read < 3; ++read)
    {
        scanner.SkipSpace();
        bool found = false;
        for (Child& child : children)
        {
            if (!child.seen &&
                scanner.ReadChild(child.name, child.length, child.text, child.textLength))
            {
                child.seen = found = true;
                break;
            }
        }
        if (!found)
            return false;
    }
    scanner.SkipSpace();
    if (!scanner.Take("</friend_info>"))
        return false;
    const Child& verdict = children[2];
    if (verdict.textLength == 1 && verdict.text[0] == '1')
        friends.emplace_back(
            std::string(children[0].text ? children[0].text : "", children[0].textLength),
            std::string(children[1].text ? children[1].text : "", children[1].textLength));
    return true;
}
} // namespace

bool UTL_AreFriendsAnswer::ReadPlain(const std::string& answer, Friends& friends)
{
    Scanner scanner(answer);
    scanner.SkipSpace();
    if (!scanner.SkipDeclaration())
        return false;
    scanner.SkipSpace();
    bool empty = false;
    if (!scanner.Take("<") || !scanner.Take(Root) || !scanner.SkipAttributes(empty))
        return false;

    const size_t before = friends.size();
    bool plain = true;
    if (!empty)
    {
        for (;;)
        {
            scanner.SkipSpace();
            if (scanner.Take("<friend_info>"))
            {
                if (!ReadFriendInfo(scanner, friends))
                {
                    plain = false;
                    break;
                }
            }
            else
            {
                plain = scanner.Take("</") && scanner.Take(Root) && scanner.Take(">");
                break;
            }
        }
    }
    scanner.SkipSpace();
    if (!plain || !scanner.AtEnd())
    {
        friends.resize(before);
        return false;
    }
    return true;
}
