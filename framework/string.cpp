#include "afxstr.h"

#include <cstdarg>
#include <cstdio>

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, pszFormat, measure);
    va_end(measure);
    if (length < 0) {
        // A format the C library rejects leaves an empty string rather than garbage.
        m_str.clear();
    } else {
        // vsnprintf writes the terminating zero too, one byte past the text.
        std::string text(static_cast<size_t>(length) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), pszFormat, args);
        text.resize(static_cast<size_t>(length));
        m_str.swap(text);
    }
    va_end(args);
}

CString& CString::operator=(LPCSTR psz)
{
    m_str = psz != nullptr ? psz : "";
    return *this;
}
