// The rich-edit control of the sentence monitor: read-only text with a caret and a selection.
// Text put at the caret is gathered and laid out a few times a second, not once per sentence:
// laying out and painting a line costs far more than the sentence took to decode. Every read
// of the text, and every user input, comes after the gathered text is in.
#pragma once

#include <QBasicTimer>
#include <QPlainTextEdit>

class CMonitorEdit : public QPlainTextEdit {
public:
    explicit CMonitorEdit(QWidget* pParent);
    // Puts the text at the caret, replacing the selection.
    void InsertAtCaret(const QString& text);
    void Flush();

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;

private:
    void DropPendingLines(int nLines);

    QString m_strPending;
    int m_nPendingLines = 0;
    QBasicTimer m_flushTimer;
};
