// Walking the comma-separated fields of an NMEA sentence.
#pragma once

#include "platform/String.h"

// The two talker letters after the first '$' ("GP" in "$GPGGA,"), or an empty text.
CString SentenceTalker(const CString& strSentence);
// The three formatter letters after the talker ("GGA" in "$GPGGA,"), or an empty text.
CString SentenceFormatter(const CString& strSentence);

// A real number read with "%f" into single precision; false when the field does not read.
bool ReadReal(const CString& strField, float& fValue);
// A whole number: the decimal value of the leading digits, 0 when there are none.
int ReadWhole(const CString& strField);

// Consumes a sentence from the front, one field at a time, always moving on by the actual
// commas. The data fields end at the '*' of the checksum or at the line end. What was taken
// leaves the sentence when the walker ends (once, not field by field).
class CFieldWalker {
public:
    // Drops the address field and whatever came before it.
    explicit CFieldWalker(CString& strSentence);
    ~CFieldWalker();
    CFieldWalker(const CFieldWalker&) = delete;
    CFieldWalker& operator=(const CFieldWalker&) = delete;

    const CString& Talker() const { return m_strTalker; }
    // Whether a field, possibly empty, is left.
    bool HasField() const { return m_bHasField; }
    // The next field's characters; an empty text once no field is left.
    CString TakeField();
    void SkipFields(int nCount);
    // How many fields are left, and the last of them.
    int FieldsLeft() const;
    CString LastField() const;

private:
    CString& m_strText;
    int m_nPos = 0; // where the next field starts
    CString m_strTalker;
    bool m_bHasField = false;
};
