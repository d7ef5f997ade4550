#include "platform/String.h"

#include <QString>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace {

// One converter per direction and thread: iconv descriptors carry shift state.
class CConverter {
public:
    CConverter(const char* pszTo, const char* pszFrom) : m_cd(iconv_open(pszTo, pszFrom)) {}
    ~CConverter() {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    CConverter(const CConverter&) = delete;
    CConverter& operator=(const CConverter&) = delete;

    // Bytes that cannot be converted become '?', so no text is ever lost whole.
    std::string Convert(const std::string& in) {
        std::string out;
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            return in;
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::vector<char> buf(in.size() * 4 + 16);
        char* pIn = const_cast<char*>(in.data());
        size_t nIn = in.size();
        while (nIn > 0) {
            char* pOut = buf.data();
            size_t nOut = buf.size();
            size_t r = iconv(m_cd, &pIn, &nIn, &pOut, &nOut);
            out.append(buf.data(), pOut - buf.data());
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                out += '?';
                ++pIn;
                --nIn;
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return out;
    }

private:
    iconv_t m_cd;
};

std::string ToGbk(const std::string& utf8) {
    thread_local CConverter conv("GBK", "UTF-8");
    return conv.Convert(utf8);
}

std::string FromGbk(const std::string& gbk) {
    thread_local CConverter conv("UTF-8", "GBK");
    return conv.Convert(gbk);
}

bool IsAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c >= 0x80)
            return false;
    return true;
}

} // namespace

CString::CString(const char* psz) : m_str(psz ? psz : "") {}

CString::CString(const char* pch, int nLength) : m_str(pch, nLength > 0 ? nLength : 0) {}

CString CString::FromUtf8(const char* pszUtf8) {
    std::string s(pszUtf8 ? pszUtf8 : "");
    return IsAscii(s) ? CString(s) : CString(ToGbk(s));
}

CString CString::FromUnicode(const QString& str) {
    return FromUtf8(str.toUtf8().constData());
}

std::string CString::ToUtf8() const {
    return IsAscii(m_str) ? m_str : FromGbk(m_str);
}

QString CString::ToUnicode() const {
    if (IsAscii(m_str))
        return QString::fromLatin1(m_str.data(), static_cast<int>(m_str.size()));
    return QString::fromStdString(FromGbk(m_str));
}

int CString::Find(char ch, int nStart) const {
    if (nStart < 0)
        nStart = 0;
    if (nStart >= GetLength())
        return -1;
    size_t pos = m_str.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
    size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* pszSub, int nStart) const {
    if (nStart < 0)
        nStart = 0;
    if (nStart > GetLength())
        return -1;
    size_t pos = m_str.find(pszSub, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength() - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const {
    if (nFirst < 0)
        nFirst = 0;
    if (nCount < 0)
        nCount = 0;
    if (nFirst >= GetLength())
        return CString();
    if (nCount > GetLength() - nFirst)
        nCount = GetLength() - nFirst;
    return CString(m_str.data() + nFirst, nCount);
}

CString CString::Left(int nCount) const {
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const {
    if (nCount < 0)
        nCount = 0;
    if (nCount >= GetLength())
        return *this;
    return Mid(GetLength() - nCount, nCount);
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < GetLength()) {
        if (nCount > GetLength() - nIndex)
            nCount = GetLength() - nIndex;
        m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    }
    return GetLength();
}

void CString::Format(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    va_list copy;
    va_copy(copy, args);
    char small[128];
    int n = std::vsnprintf(small, sizeof small, pszFormat, args);
    va_end(args);
    if (n < 0) {
        m_str.clear();
    } else if (static_cast<size_t>(n) < sizeof small) {
        m_str.assign(small, static_cast<size_t>(n));
    } else {
        std::string big(static_cast<size_t>(n) + 1, '\0');
        std::vsnprintf(big.data(), big.size(), pszFormat, copy);
        big.resize(static_cast<size_t>(n));
        m_str = std::move(big);
    }
    va_end(copy);
}

CString& CString::operator+=(const CString& str) {
    m_str += str.m_str;
    return *this;
}

CString& CString::operator+=(const char* psz) {
    if (psz)
        m_str += psz;
    return *this;
}

CString operator+(const CString& a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
}

CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
}
