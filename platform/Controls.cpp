#include "platform/Controls.h"

#include "platform/ControlPaint.h"
#include "platform/Dialog.h"
#include "platform/MonitorEdit.h"
#include "platform/ReadOnlyEdit.h"
#include "platform/Resources.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QSlider>
#include <QTextBlock>
#include <QWidget>

namespace {

// The monitor's document ends its lines in LF alone; a sentence ends in CR LF. Echoed for
// every sentence, so done in place in one pass.
QString WithLineFeeds(const CString& str) {
    QString text = str.ToUnicode();
    QChar* pText = text.data();
    qsizetype nLength = text.size();
    qsizetype nKept = 0;
    for (qsizetype i = 0; i < nLength; ++i) {
        if (pText[i] != u'\r' || i + 1 == nLength || pText[i + 1] != u'\n')
            pText[nKept++] = pText[i];
    }
    text.truncate(nKept);
    return text;
}

Qt::Alignment TextAlignment(unsigned styles) {
    if (styles & CS_CENTER)
        return Qt::AlignHCenter;
    if (styles & CS_RIGHT)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

// A label: painted here, in the colours its dialog gives it.
class CTextWidget : public QWidget {
public:
    CTextWidget(QWidget* pParent, CControl* pControl) : QWidget(pParent), m_pControl(pControl) {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void SetText(const QString& text) {
        m_text = text;
        update();
    }
    const QString& Text() const { return m_text; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setFont(font());
        PaintControlFace(p, m_pControl, rect(), m_text, AskColours(m_pControl));
    }

private:
    CControl* m_pControl;
    QString m_text;
};

// A group box or a frame: an etched rectangle with an optional centred title.
class CFrameWidget : public QWidget {
public:
    CFrameWidget(QWidget* pParent, CControl* pControl) : QWidget(pParent), m_pControl(pControl) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void SetText(const QString& text) {
        m_text = text;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        unsigned styles = m_pControl->Styles();
        QRect r = rect();
        if (m_pControl->Kind() == ControlKind::Frame) {
            DrawEdge(p, r, kShadow, kWhite);
            return;
        }
        if (styles & CS_RAISED) {
            DrawEdge(p, r, kWhite, kDarkShadow);
            r.adjust(1, 1, -1, -1);
        }
        QFontMetrics fm(font());
        int top = m_text.isEmpty() ? r.top() : r.top() + fm.height() / 2;
        QRect box(r.left(), top, r.width(), r.bottom() - top + 1);
        DrawEdge(p, box, kShadow, kWhite);
        DrawEdge(p, box.adjusted(1, 1, -1, -1), kWhite, kShadow);
        if (m_text.isEmpty())
            return;
        CtlColours c = AskColours(m_pControl);
        int w = fm.horizontalAdvance(m_text) + 6;
        int x = (styles & CS_CENTER) ? r.left() + (r.width() - w) / 2 : r.left() + 8;
        p.fillRect(x, r.top(), w, fm.height(), ToQColor(c.bBrushNull ? kFace : c.crBrush));
        p.setPen(ToQColor(c.crText));
        p.setFont(font());
        p.drawText(x + 3, r.top() + fm.ascent(), m_text);
    }

private:
    CControl* m_pControl;
    QString m_text;
};

// A picture control: shows its bitmap or icon at its natural size, as such controls do.
class CPictureWidget : public QWidget {
public:
    CPictureWidget(QWidget* pParent, CControl* pControl, const QPixmap& pixmap)
        : QWidget(pParent), m_pControl(pControl), m_pixmap(pixmap) {
        int frame = (pControl->Styles() & CS_RAISED) ? 2 : 0;
        resize(pixmap.width() + 2 * frame, pixmap.height() + 2 * frame);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QRect inner = DrawFrame(p, rect(), m_pControl->Styles());
        p.drawPixmap(inner.topLeft(), m_pixmap);
    }

private:
    CControl* m_pControl;
    QPixmap m_pixmap;
};

class CCommandButton : public QPushButton {
public:
    using QPushButton::QPushButton;
};

} // namespace

CControl::CControl(CDialog* pDialog, const ControlTemplate& tpl)
    : m_pDialog(pDialog), m_kind(tpl.kind), m_nStyles(tpl.styles),
      m_strText(CString::FromUtf8(tpl.caption)) {}

CReadOnlyEdit* CControl::ReadOnlyEdit() const {
    bool bReadOnlyEdit = m_kind == ControlKind::Edit && (m_nStyles & CS_READONLY);
    return bReadOnlyEdit ? static_cast<CReadOnlyEdit*>(m_pWidget) : nullptr;
}

UINT CControl::CtlColorKind() const {
    switch (m_kind) {
    case ControlKind::Edit:
        return (m_nStyles & CS_READONLY) ? CTLCOLOR_STATIC : CTLCOLOR_EDIT;
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
        return CTLCOLOR_BTN;
    default:
        return CTLCOLOR_STATIC;
    }
}

void CControl::CreateWidget(QWidget* pParent, const ControlTemplate& tpl) {
    QWidget* w = nullptr;
    QString caption = QString::fromUtf8(tpl.caption);
    int id = tpl.id;
    CDialog* pDialog = m_pDialog;
    switch (tpl.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* b = new CCommandButton(caption, pParent);
        b->setAutoDefault(false);
        b->setDefault(tpl.kind == ControlKind::DefPushButton);
        QObject::connect(b, &QPushButton::clicked, [pDialog, id] { pDialog->OnCommand(id); });
        w = b;
        break;
    }
    case ControlKind::CheckBox: {
        auto* b = new QCheckBox(caption, pParent);
        QObject::connect(b, &QCheckBox::clicked, [pDialog, id] { pDialog->OnCommand(id); });
        w = b;
        break;
    }
    case ControlKind::ComboDropList: {
        auto* c = new QComboBox(pParent);
        c->setEditable(false);
        for (const char* item : tpl.items)
            c->addItem(QString::fromUtf8(item));
        c->setCurrentIndex(-1);
        w = c;
        break;
    }
    case ControlKind::Edit:
        if (tpl.styles & CS_READONLY) {
            auto* e = new CReadOnlyEdit(pParent, this);
            e->SetValue(m_strText);
            w = e;
        } else {
            auto* e = new QLineEdit(caption, pParent);
            e->setFrame(true);
            e->setAlignment(TextAlignment(tpl.styles) | Qt::AlignVCenter);
            if (tpl.styles & CS_NUMBER)
                e->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), e));
            w = e;
        }
        break;
    case ControlKind::Label: {
        auto* t = new CTextWidget(pParent, this);
        t->SetText(caption);
        w = t;
        break;
    }
    case ControlKind::GroupBox:
    case ControlKind::Frame: {
        auto* f = new CFrameWidget(pParent, this);
        f->SetText(caption);
        w = f;
        break;
    }
    case ControlKind::RichEdit: {
        auto* e = new CMonitorEdit(pParent);
        e->setReadOnly(true);
        e->setLineWrapMode(QPlainTextEdit::NoWrap);
        e->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        e->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        e->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        w = e;
        break;
    }
    case ControlKind::Trackbar: {
        auto* s = new QSlider(Qt::Horizontal, pParent);
        s->setTickPosition(QSlider::TicksAbove);
        QObject::connect(s, &QSlider::valueChanged, [pDialog, this](int v) {
            pDialog->OnHScroll(4, static_cast<UINT>(v), this);
        });
        QObject::connect(s, &QSlider::sliderReleased, [pDialog, this, s] {
            pDialog->OnHScroll(SB_ENDSCROLL, s->value(), this);
        });
        w = s;
        break;
    }
    case ControlKind::Picture:
        w = new CPictureWidget(pParent, this, LoadBitmapResource(tpl.resource));
        break;
    case ControlKind::Icon:
        w = new CPictureWidget(pParent, this, LoadIconResource(tpl.resource)->pixmap(32, 32));
        break;
    }
    w->setFocusPolicy((tpl.styles & CS_TABSTOP) ? Qt::StrongFocus : Qt::NoFocus);
    Attach(w, id);
}

// Setting a text repaints the control even when the text stays (as WM_SETTEXT does), so
// colours that changed with the state show at once.
void CControl::SetWindowText(const CString& str) {
    bool bUserEditable = m_kind == ControlKind::Edit && !(m_nStyles & CS_READONLY);
    if (str == m_strText && m_kind != ControlKind::RichEdit && !bUserEditable) {
        if (CReadOnlyEdit* r = ReadOnlyEdit())
            r->Refresh();
        else if (m_pWidget)
            m_pWidget->update();
        return;
    }
    m_strText = str;
    if (CReadOnlyEdit* r = ReadOnlyEdit()) {
        r->SetValue(str);
        return;
    }
    QString text = str.ToUnicode();
    if (auto* t = dynamic_cast<CTextWidget*>(m_pWidget))
        t->SetText(text);
    else if (auto* e = dynamic_cast<QLineEdit*>(m_pWidget))
        e->setText(text);
    else if (auto* b = dynamic_cast<QAbstractButton*>(m_pWidget))
        b->setText(text);
    else if (auto* f = dynamic_cast<CFrameWidget*>(m_pWidget))
        f->SetText(text);
    else if (auto* r = dynamic_cast<CMonitorEdit*>(m_pWidget)) {
        r->Flush();
        r->setPlainText(text);
    }
}

void CControl::GetWindowText(CString& str) const {
    // A read-only edit shows the text last set, which is kept here.
    if (ReadOnlyEdit())
        str = m_strText;
    else if (auto* e = dynamic_cast<QLineEdit*>(m_pWidget))
        str = CString::FromUnicode(e->text());
    else if (auto* c = dynamic_cast<QComboBox*>(m_pWidget))
        str = CString::FromUnicode(c->currentText());
    else if (auto* r = dynamic_cast<CMonitorEdit*>(m_pWidget)) {
        r->Flush();
        str = CString::FromUnicode(r->toPlainText());
    } else
        str = m_strText;
}

int CControl::GetWindowTextLength() const {
    if (auto* r = dynamic_cast<CMonitorEdit*>(m_pWidget)) {
        r->Flush();
        return r->document()->characterCount() - 1;
    }
    CString str;
    GetWindowText(str);
    return str.GetLength();
}

int CControl::GetCheck() const {
    auto* b = dynamic_cast<QCheckBox*>(m_pWidget);
    return b && b->isChecked() ? 1 : 0;
}

void CControl::SetCheck(int nCheck) {
    if (auto* b = dynamic_cast<QCheckBox*>(m_pWidget))
        b->setChecked(nCheck != 0);
}

QSlider* CSliderCtrl::Slider() const {
    return qobject_cast<QSlider*>(m_pWidget);
}

void CSliderCtrl::SetRange(int nMin, int nMax, BOOL) {
    if (QSlider* s = Slider())
        s->setRange(nMin, nMax);
}

void CSliderCtrl::SetTicFreq(int nFreq) {
    if (QSlider* s = Slider())
        s->setTickInterval(nFreq);
}

int CSliderCtrl::SetLineSize(int nSize) {
    QSlider* s = Slider();
    int old = s ? s->singleStep() : 0;
    if (s)
        s->setSingleStep(nSize);
    return old;
}

int CSliderCtrl::SetPageSize(int nSize) {
    QSlider* s = Slider();
    int old = s ? s->pageStep() : 0;
    if (s)
        s->setPageStep(nSize);
    return old;
}

int CSliderCtrl::GetPos() const {
    return Slider() ? Slider()->value() : 0;
}

void CSliderCtrl::SetPos(int nPos) {
    if (QSlider* s = Slider())
        s->setValue(nPos);
}

int CSliderCtrl::GetRangeMin() const {
    return Slider() ? Slider()->minimum() : 0;
}

int CSliderCtrl::GetRangeMax() const {
    return Slider() ? Slider()->maximum() : 0;
}

CMonitorEdit* CRichEditCtrl::Editor() const {
    auto* e = dynamic_cast<CMonitorEdit*>(m_pWidget);
    if (e)
        e->Flush();
    return e;
}

void CRichEditCtrl::ReplaceSel(const CString& str, BOOL) {
    auto* e = dynamic_cast<CMonitorEdit*>(m_pWidget);
    if (!e)
        return;
    e->InsertAtCaret(WithLineFeeds(str));
}

void CRichEditCtrl::SetSel(int nStart, int nEnd) {
    CMonitorEdit* e = Editor();
    if (!e)
        return;
    int last = e->document()->characterCount() - 1;
    QTextCursor cursor = e->textCursor();
    cursor.setPosition(nStart < 0 ? last : std::min(nStart, last));
    cursor.setPosition(nEnd < 0 ? last : std::min(nEnd, last), QTextCursor::KeepAnchor);
    e->setTextCursor(cursor);
}

void CRichEditCtrl::GetSel(int& nStart, int& nEnd) const {
    CMonitorEdit* e = Editor();
    nStart = e ? e->textCursor().selectionStart() : 0;
    nEnd = e ? e->textCursor().selectionEnd() : 0;
}

void CRichEditCtrl::SetLineLimit(int nLines) {
    if (CMonitorEdit* e = Editor())
        e->setMaximumBlockCount(nLines);
}

int CRichEditCtrl::GetLineCount() const {
    return Editor() ? Editor()->blockCount() : 0;
}
