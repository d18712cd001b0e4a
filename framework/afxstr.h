// CString: an 8-bit character string in the code page the texts are written in.
#pragma once

#include <windows.h>
#include <string>

class CString
{
public:
    CString() = default;
    CString(LPCSTR psz) : m_str(psz != nullptr ? psz : "") {}

    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }

    // printf-style formatting into this string; the previous contents are replaced.
    void Format(LPCSTR pszFormat, ...);

    operator LPCSTR() const { return m_str.c_str(); }

    CString& operator=(LPCSTR psz);
    CString& operator+=(LPCSTR psz);

    // Byte-wise comparison, as strcmp does: <0, 0 or >0.
    int Compare(LPCSTR psz) const;

    friend bool operator==(const CString& a, LPCSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
    friend bool operator!=(const CString& a, LPCSTR b) { return a.Compare(b) != 0; }
    friend bool operator!=(LPCSTR a, const CString& b) { return b.Compare(a) != 0; }
    friend bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }

private:
    std::string m_str;
};
