#pragma once

#include "util/UTL_ParameterItem.h"

#include <memory>
#include <string>
#include <vector>

class UTL_StringExtractor;

// A list of parameter items, and the reader of the line-oriented parameter-file syntax:
//
//     Key value              // a number ("1.5", "-2"), a vector ("[ 1 0.5 0 ]") or a string
//     Key                    // a key may take its value from the next line
//         2
//     Block {                // a nested list, up to a "}" line
//         Inner "a string"
//     }
//
// Reading never fails: a missing file gives an empty list, and any value that is not a list,
// number or vector becomes a string. Look-ups consider only the first item of a key.
class UTL_ParameterList : public UTL_ParameterItem
{
public:
    UTL_ParameterList();
    explicit UTL_ParameterList(const std::string& name);
    ~UTL_ParameterList() override;

    // Reads and parses a whole file; a file that cannot be opened leaves the list empty.
    void LoadFile(const std::string& path);
    // Parses a NUL-terminated text and appends its items.
    void ParseText(const char* text);
    // Parses lines up to the "}" that closes this list, or to the end of the text.
    void ParseLines(UTL_StringExtractor& lines);

    size_t GetChildCount() const { return children.size(); }
    const UTL_ParameterItem* GetChild(size_t index) const { return children[index].get(); }

    const UTL_ParameterItem* FindItem(const std::string& key) const;
    const UTL_ParameterNumber* FindNumber(const std::string& key) const;
    const UTL_ParameterNumberVector* FindNumberVector(const std::string& key) const;
    const UTL_ParameterList* FindList(const std::string& key) const;
    // The list of the key; the same as FindList.
    const UTL_ParameterList* GetList(const std::string& key) const { return FindList(key); }
    // The number of the key, or 0 when there is none.
    float GetNumber(const std::string& key) const;
    // The floats of the key's vector, or null when there is none.
    const std::vector<float>* GetNumberVector(const std::string& key) const;

private:
    void Append(std::unique_ptr<UTL_ParameterItem> item) { children.push_back(std::move(item)); }

    std::vector<std::unique_ptr<UTL_ParameterItem>> children;
};
