#include "net/UTL_XmlAnswer.h"

#include "util/UTL_TextBound.h"

#include <string>

#include <tinyxml.h>

namespace
{
// Whether the element nesting of `text` goes deeper than `limit`. A small scanner of the markup:
// start tags deepen, end tags and empty-element tags close a level; comments, CDATA sections,
// declarations and processing instructions are skipped whole, and quoted attribute values may
// hold '>' or "/>" without ending the tag.
bool NestsDeeperThan(const std::string& text, int limit)
{
    int depth = 0;
    size_t i = 0;
    const size_t size = text.size();
    auto skipPast = [&](const char* terminator)
    {
        const size_t end = text.find(terminator, i);
        i = end == std::string::npos ? size : end + std::char_traits<char>::length(terminator);
    };
    while (i < size)
    {
        if (text[i] != '<')
        {
            ++i;
            continue;
        }
        if (text.compare(i, 4, "<!--") == 0)
            skipPast("-->");
        else if (text.compare(i, 9, "<![CDATA[") == 0)
            skipPast("]]>");
        else if (text.compare(i, 2, "<!") == 0 || text.compare(i, 2, "<?") == 0)
            skipPast(">");
        else if (text.compare(i, 2, "</") == 0)
        {
            --depth;
            skipPast(">");
        }
        else
        {
            if (++depth > limit)
                return true;
            char quote = 0;
            for (++i; i < size; ++i)
            {
                const char c = text[i];
                if (quote)
                {
                    if (c == quote)
                        quote = 0;
                }
                else if (c == '"' || c == '\'')
                {
                    quote = c;
                }
                else if (c == '>')
                {
                    if (text[i - 1] == '/')
                        --depth;
                    ++i;
                    break;
                }
            }
        }
    }
    return false;
}
} // namespace

bool UTL_XmlAnswer::Parse(const std::string& text, TiXmlDocument& doc)
{
    if (text.empty() || NestsDeeperThan(text, MaxDepth))
        return false;
    // Nothing reads an answer's rows and columns back; without them TinyXML skips a second walk
    // over the text of every node it makes.
    doc.SetTabSize(0);
    doc.Parse(text.c_str());
    return !doc.Error();
}

const char* UTL_XmlAnswer::ChildTextOrNull(const TiXmlElement* parent, const char* name)
{
    const TiXmlElement* child = parent ? parent->FirstChildElement(name) : nullptr;
    return child ? child->GetText() : nullptr;
}

std::string UTL_XmlAnswer::ChildText(const TiXmlElement* parent, const char* name)
{
    const char* text = ChildTextOrNull(parent, name);
    return text ? std::string(text) : std::string();
}

std::string UTL_XmlAnswer::ErrorCode(const TiXmlDocument& doc)
{
    return ChildText(doc.FirstChildElement("error_response"), "error_code");
}

std::string UTL_XmlAnswer::Unexpected(const char* method, const TiXmlDocument& doc)
{
    const TiXmlElement* error = doc.FirstChildElement("error_response");
    if (!error)
        return std::string(method) + " answered without its result";
    std::string said = UTL_TextBound::Cut("error " + ChildText(error, "error_code") + ": " +
                                              ChildText(error, "error_msg"),
                                          MaxSaidCharacters);
    for (char& c : said)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            c = '?';
    return std::string(method) + " failed with " + said;
}
