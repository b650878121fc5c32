// CString::LoadString: a string of the module's string table.

#include "platform/mfc/string.h"

#include "platform/resources/module_resources.h"

BOOL CString::LoadString(UINT nID)
{
    std::optional<std::string> text = platform::resources::load_string_cp932(nID);
    if (!text) {
        // A missing string leaves the CString empty, so that a caller testing
        // it for emptiness sees the same as one testing the result.
        Empty();
        return FALSE;
    }
    *this = CString(text->data(), static_cast<int>(text->size()));
    return TRUE;
}
