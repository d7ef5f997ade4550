// An 8-bit string in the GBK code page, with the operations the program uses.
// Text meets Unicode only where it reaches a widget or the screen.
#pragma once

#include <string>

class QString;

class CString {
public:
    CString() = default;
    CString(const char* psz);
    CString(const char* pch, int nLength);
    CString(const std::string& str) : m_str(str) {}

    // Literals in our sources are UTF-8; captions and messages are GBK.
    static CString FromUtf8(const char* pszUtf8);
    static CString FromUnicode(const QString& str);
    QString ToUnicode() const;
    std::string ToUtf8() const;

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    char GetAt(int nIndex) const { return m_str[static_cast<size_t>(nIndex)]; }
    char operator[](int nIndex) const { return GetAt(nIndex); }

    int Find(char ch, int nStart = 0) const;
    int Find(const char* pszSub, int nStart = 0) const;
    // The position of the last ch, or -1.
    int ReverseFind(char ch) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    int Delete(int nIndex, int nCount = 1);
    void Format(const char* pszFormat, ...) __attribute__((format(printf, 2, 3)));

    CString& operator+=(const CString& str);
    CString& operator+=(const char* psz);
    // Inline: framing appends every byte a receiver sends.
    CString& operator+=(char ch) {
        m_str += ch;
        return *this;
    }

    operator const char*() const { return m_str.c_str(); }
    const char* GetString() const { return m_str.c_str(); }
    const std::string& Bytes() const { return m_str; }

    bool operator==(const CString& other) const { return m_str == other.m_str; }
    bool operator!=(const CString& other) const { return m_str != other.m_str; }
    bool operator==(const char* psz) const { return m_str == psz; }
    bool operator!=(const char* psz) const { return m_str != psz; }

private:
    std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const char* b);
CString operator+(const char* a, const CString& b);

// A UTF-8 literal as GBK bytes, e.g. GBK("停 止").
inline CString GBK(const char* pszUtf8) {
    return CString::FromUtf8(pszUtf8);
}
