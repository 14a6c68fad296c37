#include "util/UTL_ParameterList.h"

#include "util/UTL_File.h"
#include "util/UTL_StringExtractor.h"
#include "util/UTL_StringTokenizer.h"

UTL_ParameterList::UTL_ParameterList() : UTL_ParameterItem(std::string(), ListType) {}

UTL_ParameterList::UTL_ParameterList(const std::string& name) : UTL_ParameterItem(name, ListType) {}

UTL_ParameterList::~UTL_ParameterList()
{
    // Delete nested lists iteratively: a file of a million nested blocks must not overflow the
    // stack when its tree goes away.
    std::vector<std::unique_ptr<UTL_ParameterItem>> pending = std::move(children);
    while (!pending.empty())
    {
        std::unique_ptr<UTL_ParameterItem> item = std::move(pending.back());
        pending.pop_back();
        if (item && item->GetType() == ListType)
        {
            auto& inner = static_cast<UTL_ParameterList&>(*item).children;
            for (auto& child : inner)
                pending.push_back(std::move(child));
            inner.clear();
        }
    }
}

void UTL_ParameterList::LoadFile(const std::string& path)
{
    UTL_File file;
    file.Open(path, UTL_File::ReadMode);
    size_t size = 0;
    char* text = file.ReadAllText(size);
    ParseText(text);
    delete[] text;
    file.Close();
}

void UTL_ParameterList::ParseText(const char* text)
{
    UTL_StringExtractor lines(text);
    ParseLines(lines);
}

void UTL_ParameterList::ParseLines(UTL_StringExtractor& lines)
{
    // Nested blocks are followed with an explicit stack rather than recursion, so that the
    // depth of a hostile file costs heap, not stack. Each level has its own pending key; a
    // "{" value consumes the key and a "}" ends the level, so the key starts empty either way.
    std::vector<UTL_ParameterList*> open{this};
    std::string key;
    for (std::string line = lines.NextLine(); !line.empty(); line = lines.NextLine())
    {
        UTL_StringTokenizer tokens(line);
        for (std::string token = tokens.NextToken();
             !token.empty() && token.compare(0, 2, "//") != 0; token = tokens.NextToken())
        {
            if (token == "}")
            {
                key.clear();
                open.pop_back();
                if (open.empty())
                    return; // a "}" at the level of this list ends it, and the text
                break;
            }
            if (key.empty())
            {
                key = token;
                continue;
            }
            std::string value = token + tokens.Rest();
            UTL_ParameterList* current = open.back();
            char first = value[0];
            if (first == '{')
            {
                auto nested = std::make_unique<UTL_ParameterList>(key);
                open.push_back(nested.get());
                current->Append(std::move(nested));
            }
            else if ((first >= '0' && first <= '9') || first == '-')
                current->Append(std::make_unique<UTL_ParameterNumber>(key, value));
            else if (first == '[')
                current->Append(std::make_unique<UTL_ParameterNumberVector>(key, value));
            else
                current->Append(std::make_unique<UTL_ParameterString>(key, value));
            key.clear();
            break;
        }
    }
}

const UTL_ParameterItem* UTL_ParameterList::FindItem(const std::string& key) const
{
    for (const auto& child : children)
        if (child && child->GetName() == key)
            return child.get();
    return nullptr;
}

const UTL_ParameterNumber* UTL_ParameterList::FindNumber(const std::string& key) const
{
    const UTL_ParameterItem* item = FindItem(key);
    return item && item->GetType() == NumberType ? static_cast<const UTL_ParameterNumber*>(item)
                                                 : nullptr;
}

const UTL_ParameterNumberVector* UTL_ParameterList::FindNumberVector(const std::string& key) const
{
    const UTL_ParameterItem* item = FindItem(key);
    return item && item->GetType() == NumberVectorType
               ? static_cast<const UTL_ParameterNumberVector*>(item)
               : nullptr;
}

const UTL_ParameterList* UTL_ParameterList::FindList(const std::string& key) const
{
    const UTL_ParameterItem* item = FindItem(key);
    return item && item->GetType() == ListType ? static_cast<const UTL_ParameterList*>(item)
                                               : nullptr;
}

float UTL_ParameterList::GetNumber(const std::string& key) const
{
    const UTL_ParameterNumber* number = FindNumber(key);
    return number ? number->GetValue() : 0.0f;
}

const std::vector<float>* UTL_ParameterList::GetNumberVector(const std::string& key) const
{
    const UTL_ParameterNumberVector* vector = FindNumberVector(key);
    return vector ? &vector->GetValues() : nullptr;
}
