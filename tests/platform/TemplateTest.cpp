#include "platform/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <vector>

namespace {

const ControlTemplate* FindControl(const DialogTemplate& t, int id) {
    for (const ControlTemplate& c : t.controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

} // namespace

TEST(MainTemplate, IdsAreUniqueButTheUnnamedOnes) {
    const DialogTemplate* t = FindDialogTemplate(IDD_VIEWER_DIALOG);
    ASSERT_NE(t, nullptr);
    std::set<int> seen;
    for (const ControlTemplate& c : t->controls) {
        if (c.id != -1) {
            EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
        }
    }
    EXPECT_EQ(t->cx, 299);
    EXPECT_EQ(t->cy, 270);
}

TEST(MainTemplate, TableCellsStandInRowsAndColumnsAfterTheCombo) {
    const DialogTemplate* t = FindDialogTemplate(IDD_VIEWER_DIALOG);
    ASSERT_EQ(t->controls[2].id, 1000);
    for (int s = 0; s < 24; ++s) {
        for (int c = 0; c < 4; ++c) {
            int id = 1001 + 4 * s + c;
            const ControlTemplate& cell = t->controls[3 + 4 * s + c];
            ASSERT_EQ(cell.id, id);
            int row = s % 12;
            EXPECT_EQ(cell.x, (s < 12 ? 5 : 198) + 24 * c) << id;
            EXPECT_EQ(cell.y, 37 + 9 * row) << id;
            EXPECT_EQ(cell.w, 24);
            EXPECT_EQ(cell.h, 9);
            EXPECT_EQ(cell.kind, ControlKind::Edit);
            EXPECT_TRUE(cell.styles & CS_READONLY);
            EXPECT_TRUE(cell.styles & CS_CENTER);
            EXPECT_TRUE(cell.styles & CS_NUMBER);
        }
    }
}

// A control placed outside its window would never be seen or reached.
TEST(Templates, EveryControlLiesInsideItsWindow) {
    for (int nId : {IDD_VIEWER_DIALOG, IDD_ABOUTBOX}) {
        const DialogTemplate* t = FindDialogTemplate(nId);
        ASSERT_NE(t, nullptr) << nId;
        for (const ControlTemplate& c : t->controls) {
            EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.w > 0 && c.h > 0) << nId << "/" << c.id;
            // The separator line runs one unit past the right edge, as drawn.
            EXPECT_LE(c.x + c.w, t->cx + 1) << nId << "/" << c.id;
            EXPECT_LE(c.y + c.h, t->cy) << nId << "/" << c.id;
        }
    }
}

TEST(OtherTemplates, AboutAndPlotWindows) {
    const DialogTemplate* about = FindDialogTemplate(IDD_ABOUTBOX);
    ASSERT_NE(about, nullptr);
    EXPECT_STREQ(about->caption, "关于 Velmora");
    EXPECT_STREQ(FindControl(*about, 1)->caption, "确定");
    const DialogTemplate* sky = FindDialogTemplate(IDD_SKYPLOT);
    const DialogTemplate* track = FindDialogTemplate(IDD_TRACKPLOT);
    ASSERT_TRUE(sky && track);
    EXPECT_STREQ(sky->caption, "星位图");
    EXPECT_STREQ(track->caption, "轨迹图");
    EXPECT_TRUE(sky->controls.empty());
    EXPECT_TRUE(track->twoPixelsPerUnit);
    EXPECT_EQ(FindDialogTemplate(999), nullptr);
}
