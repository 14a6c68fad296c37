#pragma once

#include <string>
#include <vector>

// The items of a parsed parameter file: a tree whose inner nodes are lists (UTL_ParameterList)
// and whose leaves are numbers, number vectors and strings. Items are made by the parser only
// and never change afterwards. The small leaf classes share this file with their base.
class UTL_ParameterItem
{
public:
    enum Type
    {
        PlainType = 0,
        NumberType = 1,
        NumberVectorType = 2,
        StringType = 3,
        ListType = 4,
    };

    explicit UTL_ParameterItem(const std::string& name = std::string(), int type = PlainType)
        : name(name), type(type)
    {
    }
    virtual ~UTL_ParameterItem() = default;

    UTL_ParameterItem(const UTL_ParameterItem&) = delete;
    UTL_ParameterItem& operator=(const UTL_ParameterItem&) = delete;

    const std::string& GetName() const { return name; }
    int GetType() const { return type; }

private:
    std::string name;
    int type;
};

// A single float. The value text is read like scanf's "%f": its leading float, whatever
// follows ignored, 0 when nothing parses. Always in the C locale, whatever the process's.
class UTL_ParameterNumber : public UTL_ParameterItem
{
public:
    UTL_ParameterNumber(const std::string& name, const std::string& valueText);

    float GetValue() const { return value; }

private:
    float value = 0.0f;
};

// Floats written as "[ 1 0.5 0 ]". Brackets are separate words: "[" words are skipped, a "]"
// word or the end of the line ends the vector. A word that does not start with a number also
// ends it, so a comment after a glued bracket ("0] // note") is not read as numbers.
class UTL_ParameterNumberVector : public UTL_ParameterItem
{
public:
    UTL_ParameterNumberVector(const std::string& name, const std::string& valueText);

    const std::vector<float>& GetValues() const { return values; }

private:
    std::vector<float> values;
};

// The value text whole, inner blanks kept. One leading double quote is removed, then one
// trailing double quote if the text ends in it; nothing else is trimmed.
class UTL_ParameterString : public UTL_ParameterItem
{
public:
    UTL_ParameterString(const std::string& name, const std::string& valueText);

    const std::string& GetValue() const { return value; }

private:
    std::string value;
};

// Reads the leading float of `text` as scanf's "%f" would, in the C locale. Returns false (and
// leaves `out` alone) when the text does not start with a number.
bool UTL_ParseLeadingFloat(const char* text, float& out);
