#include "platform/MonitorEdit.h"

#include <QEvent>
#include <QTimerEvent>

CMonitorEdit::CMonitorEdit(QWidget* pParent) : QPlainTextEdit(pParent) {}

void CMonitorEdit::InsertAtCaret(const QString& text) {
    m_strPending += text;
    if (!m_flushTimer.isActive())
        m_flushTimer.start(0, this);
}

void CMonitorEdit::Flush() {
    m_flushTimer.stop();
    if (m_strPending.isEmpty())
        return;
    QTextCursor cursor = textCursor();
    cursor.insertText(m_strPending);
    m_strPending.clear();
    setTextCursor(cursor);
}

bool CMonitorEdit::event(QEvent* e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::FocusIn:
    case QEvent::ContextMenu:
        Flush();
        break;
    default:
        break;
    }
    return QPlainTextEdit::event(e);
}

void CMonitorEdit::timerEvent(QTimerEvent* e) {
    if (e->timerId() == m_flushTimer.timerId())
        Flush();
    else
        QPlainTextEdit::timerEvent(e);
}
