#include "platform/MonitorEdit.h"

#include <QEvent>
#include <QTimerEvent>

namespace {
// Text shows at most this long after it was echoed: quicker than the eye follows a scrolling
// monitor, and a line rate of bytes no longer lays out and repaints the monitor for each run.
constexpr int kFlushPeriodMs = 40;
} // namespace

CMonitorEdit::CMonitorEdit(QWidget* pParent) : QPlainTextEdit(pParent) {}

void CMonitorEdit::InsertAtCaret(const QString& text) {
    m_strPending += text;
    m_nPendingLines += text.count(QLatin1Char('\n'));
    int nLimit = maximumBlockCount();
    if (nLimit > 0 && m_nPendingLines > 2 * nLimit)
        DropPendingLines(m_nPendingLines - nLimit);
    if (!m_flushTimer.isActive())
        m_flushTimer.start(kFlushPeriodMs, this);
}

// Lines that the line limit would remove right after they were laid out are never laid out.
void CMonitorEdit::DropPendingLines(int nLines) {
    int nPosition = 0;
    for (int i = 0; i < nLines; ++i)
        nPosition = m_strPending.indexOf(QLatin1Char('\n'), nPosition) + 1;
    m_strPending.remove(0, nPosition);
    m_nPendingLines -= nLines;
}

void CMonitorEdit::Flush() {
    m_flushTimer.stop();
    if (m_strPending.isEmpty())
        return;
    int nLimit = maximumBlockCount();
    if (nLimit > 0 && m_nPendingLines > nLimit)
        DropPendingLines(m_nPendingLines - nLimit);
    QTextCursor cursor = textCursor();
    cursor.insertText(m_strPending);
    m_strPending.clear();
    m_nPendingLines = 0;
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
