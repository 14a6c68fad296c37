#include "util/UTL_ParameterItem.h"

#include "util/UTL_StringTokenizer.h"

#include <clocale>
#include <cstdlib>
#include <locale.h>

bool UTL_ParseLeadingFloat(const char* text, float& out)
{
    // strtof_l with a private C locale: a Qt application sets the process locale from the
    // environment, and a decimal comma there must not change how the themes file reads.
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    char* end = nullptr;
    float value = cLocale ? strtof_l(text, &end, cLocale) : std::strtof(text, &end);
    if (end == text)
        return false;
    out = value;
    return true;
}

UTL_ParameterNumber::UTL_ParameterNumber(const std::string& name, const std::string& valueText)
    : UTL_ParameterItem(name, NumberType)
{
    UTL_ParseLeadingFloat(valueText.c_str(), value);
}

UTL_ParameterNumberVector::UTL_ParameterNumberVector(const std::string& name,
                                                     const std::string& valueText)
    : UTL_ParameterItem(name, NumberVectorType)
{
    UTL_StringTokenizer tokens(valueText);
    for (std::string token = tokens.NextToken(); !token.empty(); token = tokens.NextToken())
    {
        if (token == "[")
            continue;
        if (token == "]")
            break;
        float number = 0.0f;
        if (!UTL_ParseLeadingFloat(token.c_str(), number))
            break;
        values.push_back(number);
    }
}

UTL_ParameterString::UTL_ParameterString(const std::string& name, const std::string& valueText)
    : UTL_ParameterItem(name, StringType), value(valueText)
{
    if (!value.empty() && value.front() == '"')
        value.erase(0, 1);
    if (!value.empty() && value.back() == '"')
        value.pop_back();
}
