// CString: an 8-bit character string in the code page the texts are written in.
#pragma once

#include <windows.h>
#include <string>

class CString
{
public:
    CString() = default;

    // printf-style formatting into this string; the previous contents are replaced.
    void Format(LPCSTR pszFormat, ...);

    operator LPCSTR() const { return m_str.c_str(); }

    CString& operator=(LPCSTR psz);

private:
    std::string m_str;
};
