// A read-only edit: shows its text in the colours its dialog's OnCtlColor gives at every paint,
// and, as an edit, can be selected with the mouse or the keyboard, copied (Ctrl+C, context
// menu) and reached with Tab.
#pragma once

#include "platform/ControlPaint.h"
#include "platform/String.h"

#include <QLineEdit>

class CControl;

class CReadOnlyEdit : public QLineEdit {
public:
    CReadOnlyEdit(QWidget* pParent, CControl* pControl);
    // Shows new text, given in GBK. A value selected whole stays selected whole, so that
    // copying it works while the value changes under the selection. While the edit is not on
    // the screen the text is only kept, unconverted: converting and laying it out as an edit
    // costs more than decoding the sentence that brought it, and nothing can reach it there
    // before its next event.
    void SetValue(const CString& str);
    // Repaints when the colours the dialog gives now are not those last painted. The text is
    // as painted, so nothing else on the face can have changed: a table of unchanged cells,
    // set again each epoch, costs no paint.
    void Refresh();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    // The area inside the frame, at whose top the text is painted.
    QRect TextArea() const;
    int TextX(int nPosition) const;
    // The character boundary nearest to x.
    int PositionAt(int x) const;
    // Whether a user can see the edit now: shown, in a window the screen shows.
    bool IsOnScreen() const;
    // Gives the edit the text kept while it was off the screen.
    void ApplyValue();

    CControl* m_pControl;
    CString m_strPending;
    QString m_strValue;
    bool m_bValuePending = false;
    int m_nAnchor = 0;
    CtlColours m_painted;
    bool m_bPainted = false;
};
