#include "net/UTL_XmlAnswer.h"

#include "util/UTL_TextBound.h"
#include "util/UTL_XmlNesting.h"

#include <string>

#include <tinyxml.h>

bool UTL_XmlAnswer::Parse(const std::string& text, TiXmlDocument& doc)
{
    if (text.empty() || UTL_XmlNesting::DeeperThan(text, MaxDepth))
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
