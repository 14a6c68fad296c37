#include "gfx/GFX_Theme.h"
#include "util/UTL_ParameterList.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

// The parameter-file reader and its one consumer, the theme reader. Each input is a whole file
// (a NUL in it ends the text, as it does for a file read from disk). Reading never fails, so
// beyond what the sanitizers catch the tree must hold together: every item named and of a
// known type, and every look-up agreeing with the item it finds.
namespace
{
void Walk(const UTL_ParameterList& root)
{
    std::vector<const UTL_ParameterList*> pending{&root};
    while (!pending.empty())
    {
        const UTL_ParameterList* list = pending.back();
        pending.pop_back();
        for (size_t i = 0; i < list->GetChildCount(); ++i)
        {
            const UTL_ParameterItem* item = list->GetChild(i);
            if (!item || item->GetName().empty())
                std::abort(); // the parser makes items from a key word only
            const UTL_ParameterItem* found = list->FindItem(item->GetName());
            if (!found || found->GetName() != item->GetName())
                std::abort();
            switch (item->GetType())
            {
            case UTL_ParameterItem::ListType:
                pending.push_back(static_cast<const UTL_ParameterList*>(item));
                break;
            case UTL_ParameterItem::NumberType:
                (void)static_cast<const UTL_ParameterNumber*>(item)->GetValue();
                break;
            case UTL_ParameterItem::NumberVectorType:
                (void)static_cast<const UTL_ParameterNumberVector*>(item)->GetValues().size();
                break;
            case UTL_ParameterItem::StringType:
                (void)static_cast<const UTL_ParameterString*>(item)->GetValue().size();
                break;
            default:
                std::abort();
            }
            if ((list->FindNumber(item->GetName()) != nullptr) !=
                (found->GetType() == UTL_ParameterItem::NumberType))
                std::abort();
        }
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    UTL_ParameterList file;
    file.ParseText(text.c_str());
    Walk(file);

    std::vector<GFX_Theme> themes;
    GFX_Theme theme;
    LoadThemes(file, themes, theme);
    return 0;
}
