// The main window's controls as a user meets them: colours on the screen after the state
// changed, values that can be selected, copied and reached with Tab, a readable baud list.
#include "tests/common/TestSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QWindow>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// What the screen shows of a control now: the window's last painted pixels, not a fresh
// rendering, so a control that was never repainted shows its old colours.
QImage OnScreen(QWidget* pControl) {
    QWidget* pWindow = pControl->window();
    QImage screen = pWindow->screen()->grabWindow(pWindow->winId()).toImage();
    QRect r(pControl->mapTo(pWindow, QPoint(0, 0)), pControl->size());
    return screen.copy(r);
}

bool ShowsColour(QWidget* pControl, const QColor& c, int nPixels) {
    return WaitFor([&] { return CountPixels(OnScreen(pControl), c) >= nPixels; }, 2000);
}

class WindowControls : public ::testing::Test {
protected:
    void SetUp() override {
        Dlg().Widget()->show();
        ASSERT_TRUE(WaitFor([&] { return Dlg().Widget()->windowHandle()->isExposed(); }));
    }
    CViewerDlg& Dlg() { return m_harness.Dlg(); }
    QLineEdit* Edit(int nID) { return qobject_cast<QLineEdit*>(Dlg().GetDlgItem(nID)->Widget()); }
    void Mouse(QWidget* w, QEvent::Type type, int x, Qt::MouseButtons buttons) {
        QPointF at(x, w->height() / 2);
        QMouseEvent e(type, at, w->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    void Key(QWidget* w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(w, &press);
    }
    QComboBox* Combo() {
        return qobject_cast<QComboBox*>(Dlg().GetDlgItem(IDC_BAUDRATE)->Widget());
    }

    CViewerHarness m_harness;
};

} // namespace

// A satellite that becomes used, or stops being used, keeps its number: only its code changes.
TEST_F(WindowControls, ACellShowsItsNewCodeAfterTheNextPaint) {
    QWidget* pCell = Dlg().GetDlgItem(CellId(0, 0))->Widget();
    const QColor blue(0, 0, 255), red(255, 0, 0);
    Dlg().m_nCellState[0] = SAT_GPS_UNUSED;
    Dlg().SetDlgItemText(CellId(0, 0), "05");
    ASSERT_TRUE(ShowsColour(pCell, blue, 5)) << "blue text";
    OnScreen(pCell).save("/tmp/ui/cell.png");
    pCell->window()->screen()->grabWindow(pCell->window()->winId()).save("/tmp/ui/screen.png");
    ASSERT_LT(CountPixels(OnScreen(pCell), blue), 40);

    Dlg().m_nCellState[0] = SAT_GPS_USED;
    Dlg().SetDlgItemText(CellId(0, 0), "05");
    EXPECT_TRUE(ShowsColour(pCell, blue, 40)) << "white on blue once used, the text unchanged";

    Dlg().m_nCellState[0] = SAT_GLONASS_USED;
    Dlg().Invalidate();
    EXPECT_TRUE(ShowsColour(pCell, red, 40)) << "a repainted window repaints its cells";
}

TEST_F(WindowControls, PositionFieldsTurnGreyWhenTheFixIsLostThoughTheirTextStays) {
    QWidget* pField = Dlg().GetDlgItem(IDC_ALTITUDE)->Widget();
    Dlg().m_bFixValid = 1;
    Dlg().SetDlgItemText(IDC_ALTITUDE, "52.3 M");
    ASSERT_TRUE(ShowsColour(pField, QColor(165, 41, 31), 5));
    Dlg().m_bFixValid = 0;
    Dlg().SetDlgItemText(IDC_ALTITUDE, "52.3 M");
    EXPECT_TRUE(ShowsColour(pField, QColor(186, 186, 186), 5));
}

TEST_F(WindowControls, ValuesAreSelectedWithTheMouseAndCopied) {
    struct Case {
        int nID;
        const char* pszText;
    } cases[] = {
        {IDC_LATITUDE, "N   39° 51' 08.08\""}, {CellId(0, 0), "21"}, {IDC_TIME, "16 :19 :09"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nID);
        QLineEdit* pEdit = Edit(c.nID);
        ASSERT_NE(pEdit, nullptr);
        EXPECT_TRUE(pEdit->isReadOnly());
        Dlg().SetDlgItemText(c.nID, CString::FromUtf8(c.pszText));

        // Dragging across the whole field selects the whole value.
        Mouse(pEdit, QEvent::MouseButtonPress, 0, Qt::LeftButton);
        Mouse(pEdit, QEvent::MouseMove, pEdit->width() - 1, Qt::LeftButton);
        Mouse(pEdit, QEvent::MouseButtonRelease, pEdit->width() - 1, Qt::NoButton);
        EXPECT_TRUE(pEdit->hasFocus());
        EXPECT_EQ(pEdit->selectedText().toStdString(), c.pszText);
        QApplication::clipboard()->clear();
        Key(pEdit, Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), c.pszText);

        // A drag over the left half selects a part that starts with the first character.
        Mouse(pEdit, QEvent::MouseButtonPress, 0, Qt::LeftButton);
        Mouse(pEdit, QEvent::MouseMove, pEdit->width() / 2, Qt::LeftButton);
        QString part = pEdit->selectedText();
        EXPECT_FALSE(part.isEmpty());
        EXPECT_LT(part.size(), QString::fromUtf8(c.pszText).size());
        EXPECT_TRUE(QString::fromUtf8(c.pszText).startsWith(part));
    }
}

TEST_F(WindowControls, TheContextMenuCopiesAndSelectsAll) {
    QLineEdit* pEdit = Edit(IDC_LONGITUDE);
    Dlg().SetDlgItemText(IDC_LONGITUDE, CString::FromUtf8("E 116° 30' 13.73\""));
    std::unique_ptr<QMenu> pMenu(pEdit->createStandardContextMenu());
    QStringList enabled;
    QAction* pSelectAll = nullptr;
    QAction* pCopy = nullptr;
    for (QAction* a : pMenu->actions()) {
        if (a->isSeparator())
            continue;
        QString name = a->text().remove('&').section('\t', 0, 0);
        if (a->isEnabled())
            enabled << name;
        if (name == "Select All")
            pSelectAll = a;
        if (name == "Copy")
            pCopy = a;
    }
    EXPECT_EQ(enabled, QStringList({"Select All"})) << "nothing to copy before a selection";
    ASSERT_TRUE(pSelectAll && pCopy);
    pSelectAll->trigger();
    std::unique_ptr<QMenu> pSelected(pEdit->createStandardContextMenu());
    QStringList names;
    for (QAction* a : pSelected->actions())
        if (!a->isSeparator())
            names << a->text().remove('&').section('\t', 0, 0);
    EXPECT_EQ(names, QStringList({"Copy", "Select All"})) << "a read-only field offers no editing";
    QApplication::clipboard()->clear();
    pSelected->actions().first()->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8("E 116° 30' 13.73\""));
}

// A value selected whole stays so while it changes, so that copying it works during a drive.
TEST_F(WindowControls, AWholeSelectionFollowsTheChangingValue) {
    QLineEdit* pEdit = Edit(IDC_SPEED_KMH);
    Dlg().SetDlgItemText(IDC_SPEED_KMH, "31.31 km/hr");
    pEdit->selectAll();
    Dlg().SetDlgItemText(IDC_SPEED_KMH, "32.07 km/hr");
    EXPECT_EQ(pEdit->selectedText(), "32.07 km/hr");
    pEdit->setSelection(0, 2);
    Dlg().SetDlgItemText(IDC_SPEED_KMH, "33.00 km/hr");
    EXPECT_FALSE(pEdit->hasSelectedText()) << "a part of the old value means nothing in the new";
}

// A value set while the window is hidden (as it is while a file is decoded) is the one read
// back, painted, selected and copied once the window is shown.
TEST_F(WindowControls, AValueSetWhileHiddenIsTheOneShownAndCopied) {
    const char* pszValue = "N   52° 31' 12.00\"";
    QLineEdit* pEdit = Edit(IDC_LATITUDE);
    Dlg().Widget()->hide();
    Dlg().m_bFixValid = 1;
    Dlg().SetDlgItemText(IDC_LATITUDE, CString::FromUtf8(pszValue));
    CString str;
    Dlg().GetDlgItemText(IDC_LATITUDE, str);
    EXPECT_EQ(str.ToUnicode(), QString::fromUtf8(pszValue));

    Dlg().Widget()->show();
    ASSERT_TRUE(WaitFor([&] { return Dlg().Widget()->windowHandle()->isExposed(); }));
    EXPECT_TRUE(ShowsColour(pEdit, QColor(165, 41, 31), 5));
    EXPECT_EQ(pEdit->text(), QString::fromUtf8(pszValue));
    pEdit->selectAll();
    QApplication::clipboard()->clear();
    Key(pEdit, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8(pszValue));
}

// Tab walks from the baud list through the 96 cells into the middle column in template order;
// a field reached by Tab has its value selected, ready for Ctrl+C.
TEST_F(WindowControls, TabReachesTheValuesInTemplateOrder) {
    Dlg().SetDlgItemText(CellId(0, 0), "03");
    Combo()->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(WaitFor([&] { return Combo()->hasFocus(); }));
    Key(Combo(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Edit(CellId(0, 0)));
    EXPECT_EQ(Edit(CellId(0, 0))->selectedText(), "03");
    std::map<QWidget*, int> ids;
    for (const auto& pControl : Dlg().Controls())
        ids[pControl->Widget()] = pControl->GetDlgCtrlID();
    std::vector<int> order;
    for (int i = 0; i < 96 + 4; ++i) {
        Key(QApplication::focusWidget(), Qt::Key_Tab);
        order.push_back(ids[QApplication::focusWidget()]);
    }
    EXPECT_EQ(order[0], CellId(0, 1));
    EXPECT_EQ(order[94], CellId(23, 3));
    EXPECT_EQ((std::vector<int>(order.begin() + 95, order.end())),
              (std::vector<int>{IDC_DATE, IDC_TIME, IDC_TTFF, IDC_LATITUDE, IDC_LONGITUDE}));
}

TEST_F(WindowControls, TheBaudListShowsItsArrowAndEveryEntryWhole) {
    QComboBox* pCombo = Combo();
    QStyleOptionComboBox opt;
    opt.initFrom(pCombo);
    opt.editable = false;
    opt.subControls = QStyle::SC_All;
    QRect arrow = pCombo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                  QStyle::SC_ComboBoxArrow, pCombo);
    QImage img = Render(pCombo).copy(arrow);
    int nDark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            nDark += qGray(img.pixel(x, y)) < 128 ? 1 : 0;
    EXPECT_GE(nDark, 9) << "an arrow, not a dash";

    QRect field = pCombo->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                  QStyle::SC_ComboBoxEditField, pCombo);
    pCombo->showPopup();
    QAbstractItemView* pList = pCombo->view();
    ASSERT_TRUE(WaitFor([&] { return pList->isVisible(); }));
    for (int i = 0; i < pCombo->count(); ++i) {
        QString entry = pCombo->itemText(i);
        int nWidth = pCombo->fontMetrics().horizontalAdvance(entry);
        EXPECT_LE(nWidth, field.width()) << entry.toStdString() << " fits the closed list";
        QModelIndex index = pList->model()->index(i, 0);
        EXPECT_LE(nWidth, pList->visualRect(index).width() - 8)
            << entry.toStdString() << " fits the dropped list";
    }
    pCombo->hidePopup();
}
