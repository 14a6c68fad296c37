#include "util/UTL_XmlNesting.h"

#include <cstring>

bool UTL_XmlNesting::DeeperThan(const std::string& text, int limit, int* line)
{
    int depth = 0;
    int lines = 1;
    const size_t size = text.size();
    for (size_t i = 0; i < size; ++i)
    {
        if (text[i] == '\n')
            ++lines;
        if (text[i] != '<')
            continue;
        // Moves i onto the last character of `end`, counting the lines passed.
        auto skipTo = [&](const char* end)
        {
            const size_t found = text.find(end, i);
            const size_t stop = found == std::string::npos ? size : found;
            for (size_t k = i; k < stop; ++k)
                lines += text[k] == '\n';
            i = stop == size ? stop : stop + std::strlen(end) - 1;
        };
        if (text.compare(i, 4, "<!--") == 0)
            skipTo("-->");
        else if (text.compare(i, 9, "<![CDATA[") == 0)
            skipTo("]]>");
        else if (text.compare(i, 2, "<?") == 0 || text.compare(i, 2, "<!") == 0)
            skipTo(">");
        else if (text.compare(i, 2, "</") == 0)
        {
            --depth;
            skipTo(">");
        }
        else
        {
            char quote = 0;
            size_t k = i + 1;
            for (; k < size; ++k)
            {
                const char c = text[k];
                lines += c == '\n';
                if (quote)
                    quote = c == quote ? 0 : quote;
                else if (c == '"' || c == '\'')
                    quote = c;
                else if (c == '>')
                    break;
            }
            const bool selfClosing = k < size && text[k - 1] == '/';
            if (!selfClosing && ++depth > limit)
            {
                if (line)
                    *line = lines;
                return true;
            }
            i = k;
        }
    }
    return false;
}
