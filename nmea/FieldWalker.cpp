#include "nmea/FieldWalker.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kTalkerLength = 2;
constexpr int kFormatterLength = 3;

// The position of the character that ends the data fields.
int DataEnd(const CString& str) {
    int nEnd = str.GetLength();
    for (char ch : {'*', '\r', '\n'}) {
        int nPos = str.Find(ch);
        if (nPos >= 0 && nPos < nEnd)
            nEnd = nPos;
    }
    return nEnd;
}

} // namespace

CString SentenceTalker(const CString& strSentence) {
    int nDollar = strSentence.Find('$');
    if (nDollar < 0 || strSentence.GetLength() < nDollar + 1 + kTalkerLength)
        return CString();
    return strSentence.Mid(nDollar + 1, kTalkerLength);
}

CString SentenceFormatter(const CString& strSentence) {
    int nDollar = strSentence.Find('$');
    int nFirst = nDollar + 1 + kTalkerLength;
    if (nDollar < 0 || strSentence.GetLength() < nFirst + kFormatterLength)
        return CString();
    return strSentence.Mid(nFirst, kFormatterLength);
}

bool ReadReal(const CString& strField, float& fValue) {
    return std::sscanf(strField, "%f", &fValue) == 1;
}

int ReadWhole(const CString& strField) {
    return std::atoi(strField);
}

CFieldWalker::CFieldWalker(CString& strSentence) : m_strText(strSentence) {
    m_strTalker = SentenceTalker(m_strText);
    int nDollar = m_strText.Find('$');
    int nComma = m_strText.Find(',', nDollar < 0 ? 0 : nDollar);
    if (nComma < 0) {
        m_strText.Empty();
        return;
    }
    m_strText.Delete(0, nComma + 1);
    int nEnd = DataEnd(m_strText);
    m_strText.Delete(nEnd, m_strText.GetLength() - nEnd);
    m_bHasField = true;
}

CFieldWalker::~CFieldWalker() {
    m_strText.Delete(0, m_nPos);
}

CString CFieldWalker::TakeField() {
    if (!m_bHasField)
        return CString();
    int nComma = m_strText.Find(',', m_nPos);
    int nEnd = nComma < 0 ? m_strText.GetLength() : nComma;
    CString strField = m_strText.Mid(m_nPos, nEnd - m_nPos);
    m_bHasField = nComma >= 0;
    m_nPos = nComma < 0 ? nEnd : nComma + 1;
    return strField;
}

void CFieldWalker::SkipFields(int nCount) {
    for (int i = 0; i < nCount; ++i)
        TakeField();
}

int CFieldWalker::FieldsLeft() const {
    if (!m_bHasField)
        return 0;
    int nFields = 1;
    for (int nComma = m_strText.Find(',', m_nPos); nComma >= 0;
         nComma = m_strText.Find(',', nComma + 1))
        ++nFields;
    return nFields;
}

CString CFieldWalker::LastField() const {
    if (!m_bHasField)
        return CString();
    return m_strText.Mid(std::max(m_strText.ReverseFind(',') + 1, m_nPos));
}
