#include "platform/MessageBox.h"

#include "platform/App.h"
#include "platform/GuiThread.h"
#include "platform/Wnd.h"

#include <QLabel>
#include <QMessageBox>
#include <QStringList>
#include <mutex>

namespace {

std::mutex g_hookLock;
MessageBoxHook g_hook;

QMessageBox::Icon IconOf(UINT nType) {
    switch (nType & 0xF0) {
    case MB_ICONSTOP:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// Wide enough for most details, narrow enough to read.
constexpr int kDetailChars = 56;

QString WrapLine(const QString& line, const QFontMetrics& fm, int nWidth) {
    qsizetype nIndent = 0;
    while (nIndent < line.size() && line[nIndent] == ' ')
        ++nIndent;
    QString indent = line.left(nIndent);
    QStringList lines;
    QString current;
    for (const QString& word : line.mid(nIndent).split(' ', Qt::SkipEmptyParts)) {
        QString candidate = current.isEmpty() ? indent + word : current + ' ' + word;
        if (!current.isEmpty() && fm.horizontalAdvance(candidate) > nWidth) {
            lines << current;
            candidate = indent + word;
        }
        current = candidate;
    }
    lines << current;
    return lines.join('\n');
}

// The detail under the text, wrapped by us: the label's own wrapping would break a path at
// its hyphens and slashes.
void SetDetail(QMessageBox& box, const std::string& strDetail) {
    box.setInformativeText(QString::fromStdString(strDetail));
    auto* pLabel = box.findChild<QLabel*>("qt_msgbox_informativelabel");
    if (!pLabel)
        return;
    pLabel->setTextFormat(Qt::PlainText);
    pLabel->setWordWrap(false);
    QFontMetrics fm(pLabel->font());
    pLabel->setText(WrapBetweenWords(QString::fromStdString(strDetail), fm,
                                     kDetailChars * fm.averageCharWidth()));
}

MessageBoxHook CurrentHook() {
    std::lock_guard<std::mutex> guard(g_hookLock);
    return g_hook;
}

int ShowBox(CWnd* pOwner, const CString& strText, const CString& strCaption, UINT nType,
            const std::string& strDetail) {
    AssertGuiThread();
    // Called outside the lock: a hook may take its time, or raise or set hooks itself.
    if (const MessageBoxHook hook = CurrentHook())
        return hook(MessageBoxCall{strText.ToUtf8(), strCaption.ToUtf8(), nType, strDetail});
    QMessageBox box(IconOf(nType), strCaption.ToUnicode(), strText.ToUnicode(),
                    (nType & 0x0F) == MB_YESNO ? QMessageBox::Yes | QMessageBox::No
                                               : QMessageBox::Ok,
                    pOwner ? pOwner->Widget() : nullptr);
    // Shown at once under the text, never behind a button: it is why the box came up.
    if (!strDetail.empty())
        SetDetail(box, strDetail);
    int result = box.exec();
    if (result == QMessageBox::Yes)
        return IDYES;
    if (result == QMessageBox::No)
        return IDNO;
    return IDOK;
}

} // namespace

QString WrapBetweenWords(const QString& text, const QFontMetrics& fm, int nWidth) {
    QStringList lines;
    for (const QString& line : text.split('\n'))
        lines << WrapLine(line, fm, nWidth);
    return lines.join('\n');
}

int AfxMessageBox(const CString& strText, UINT nType, const std::string& strDetail) {
    CWinApp* pApp = AfxGetApp();
    UINT nIcon = (nType & 0xF0) ? 0 : MB_ICONEXCLAMATION;
    return ShowBox(AfxGetMainWnd(), strText, pApp ? pApp->AppName() : CString("Velmora"),
                   nType | nIcon, strDetail);
}

int MessageBox(CWnd* pOwner, const CString& strText, const CString& strCaption, UINT nType,
               const std::string& strDetail) {
    return ShowBox(pOwner, strText, strCaption, nType, strDetail);
}

void SetMessageBoxHook(MessageBoxHook hook) {
    AssertGuiThread();
    std::lock_guard<std::mutex> guard(g_hookLock);
    g_hook = std::move(hook);
}

bool HasMessageBoxHook() {
    std::lock_guard<std::mutex> guard(g_hookLock);
    return static_cast<bool>(g_hook);
}
