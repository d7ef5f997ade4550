#include "tests/app/LivePortTest.h"

#include "tests/app/FaultSupport.h"

#include <QComboBox>

void CLivePortTest::SetUp() {
    ASSERT_TRUE(m_pty.IsOpen());
    ASSERT_TRUE(m_pty.LinkAs(kPort));
    Dlg().SetDlgItemText(IDC_PORT, CString(std::to_string(kPort).c_str()));
}

bool CLivePortTest::CaptionBecomes(const char* pszCaption, int nMilliseconds) {
    return WaitFor([&] { return Caption() == pszCaption; }, nMilliseconds);
}

void CLivePortTest::SelectBaud(const char* pszBaud) {
    qobject_cast<QComboBox*>(Dlg().GetDlgItem(IDC_BAUDRATE)->Widget())->setCurrentText(pszBaud);
}

void CLivePortTest::StartAndReceive() {
    Dlg().OnOK();
    EXPECT_EQ(Caption(), kCaptionWait);
    ASSERT_TRUE(m_pty.Write(ScenarioStream(2)));
    EXPECT_TRUE(CaptionBecomes(kCaptionStop));
}

std::vector<std::string> CLivePortTest::BoxTexts() const {
    std::vector<std::string> texts;
    for (const MessageBoxCall& call : m_boxes.Calls())
        texts.push_back(call.text);
    return texts;
}
