#include "platform/ReadOnlyEdit.h"

#include "platform/Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <cstdlib>

CReadOnlyEdit::CReadOnlyEdit(QWidget* pParent, CControl* pControl)
    : QLineEdit(pParent), m_pControl(pControl) {
    setReadOnly(true);
    setFrame(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CReadOnlyEdit::SetValue(const CString& str) {
    m_strPending = str;
    m_bValuePending = true;
    if (IsOnScreen() || hasSelectedText())
        ApplyValue();
}

bool CReadOnlyEdit::IsOnScreen() const {
    if (!isVisible())
        return false;
    QWindow* pWindow = window()->windowHandle();
    return pWindow && pWindow->isExposed();
}

void CReadOnlyEdit::ApplyValue() {
    if (!m_bValuePending)
        return;
    m_bValuePending = false;
    m_strValue = m_strPending.ToUnicode();
    bool bWhole = hasSelectedText() && selectedText().size() == text().size();
    setText(m_strValue);
    if (bWhole)
        selectAll();
}

// Any event may show, select, copy or read the text: the edit has it first.
bool CReadOnlyEdit::event(QEvent* e) {
    ApplyValue();
    return QLineEdit::event(e);
}

void CReadOnlyEdit::Refresh() {
    // A window coming onto the screen is painted whole.
    if (IsOnScreen() && (!m_bPainted || !(AskColours(m_pControl) == m_painted)))
        update();
}

QRect CReadOnlyEdit::TextArea() const {
    return FrameInterior(rect(), m_pControl->Styles());
}

int CReadOnlyEdit::TextX(int nPosition) const {
    QFontMetrics fm(font());
    const QString& value = m_strValue;
    int x = TextLeft(TextArea(), fm.horizontalAdvance(value), m_pControl->Styles());
    return x + fm.horizontalAdvance(value.left(nPosition));
}

int CReadOnlyEdit::PositionAt(int x) const {
    int nBest = 0;
    int nLength = static_cast<int>(m_strValue.size());
    for (int i = 1; i <= nLength; ++i) {
        if (std::abs(TextX(i) - x) < std::abs(TextX(nBest) - x))
            nBest = i;
    }
    return nBest;
}

// Painted as the control always was; a selection is drawn over the text in the highlight
// colours, and a focused edit without one shows its caret.
void CReadOnlyEdit::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    const QString& value = m_strValue;
    m_painted = AskColours(m_pControl);
    m_bPainted = true;
    QRect area = PaintControlFace(p, m_pControl, rect(), value, m_painted);
    QFontMetrics fm(font());
    if (hasSelectedText()) {
        int nStart = selectionStart();
        int nEnd = selectionEnd();
        int x0 = TextX(nStart);
        p.fillRect(x0, area.top(), TextX(nEnd) - x0, fm.height(), palette().highlight());
        p.setPen(palette().highlightedText().color());
        p.drawText(x0, area.top() + fm.ascent(), value.mid(nStart, nEnd - nStart));
    } else if (hasFocus()) {
        int x = TextX(cursorPosition());
        p.fillRect(x, area.top(), 1, fm.height(), palette().text());
    }
}

void CReadOnlyEdit::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        QLineEdit::mousePressEvent(e);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    int nPosition = PositionAt(static_cast<int>(e->position().x()));
    if (e->modifiers() & Qt::ShiftModifier) {
        setSelection(m_nAnchor, nPosition - m_nAnchor);
    } else {
        m_nAnchor = nPosition;
        setCursorPosition(nPosition);
    }
    update();
}

void CReadOnlyEdit::mouseMoveEvent(QMouseEvent* e) {
    if (!(e->buttons() & Qt::LeftButton))
        return;
    int nPosition = PositionAt(static_cast<int>(e->position().x()));
    if (nPosition == m_nAnchor)
        setCursorPosition(nPosition);
    else
        setSelection(m_nAnchor, nPosition - m_nAnchor);
    update();
}

void CReadOnlyEdit::mouseReleaseEvent(QMouseEvent*) {}

// A value is copied whole far more often than in parts.
void CReadOnlyEdit::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        selectAll();
}
