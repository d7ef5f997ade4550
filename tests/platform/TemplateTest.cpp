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
        if (c.id != -1)
            EXPECT_TRUE(seen.insert(c.id).second) << "duplicate id " << c.id;
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

TEST(MainTemplate, ControlsHaveTheirCaptionsAndPlaces) {
    const DialogTemplate* t = FindDialogTemplate(IDD_VIEWER_DIALOG);
    struct {
        int id;
        const char* caption;
        int x, y, w, h;
    } expected[] = {
        {1, "开 始", 228, 150, 37, 10}, {1131, "语句>>", 273, 150, 24, 10},
        {1102, "星  号", 5, 29, 24, 8}, {1109, "信噪比", 270, 29, 24, 8},
        {1120, "", 0, 164, 300, 1},     {1127, "记录语句", 251, 167, 28, 10},
        {1130, "", 2, 178, 295, 90},    {1139, "回放语句", 149, 167, 28, 10},
        {1140, "", 129, 166, 20, 10},   {1119, "", 138, 150, 11, 11},
        {1100, "GPS", 2, 17, 102, 130}, {1101, "GLONASS", 195, 17, 102, 130},
    };
    for (const auto& e : expected) {
        const ControlTemplate* c = FindControl(*t, e.id);
        ASSERT_NE(c, nullptr) << e.id;
        EXPECT_STREQ(c->caption, e.caption) << e.id;
        EXPECT_EQ(c->x, e.x) << e.id;
        EXPECT_EQ(c->y, e.y) << e.id;
        EXPECT_EQ(c->w, e.w) << e.id;
        EXPECT_EQ(c->h, e.h) << e.id;
    }
    const ControlTemplate* combo = FindControl(*t, 1000);
    std::vector<std::string> rates(combo->items.begin(), combo->items.end());
    EXPECT_EQ(rates, (std::vector<std::string>{"4800", "9600", "19200", "38400", "57600", "115200",
                                               "230400", "460800", "921600"}));
    EXPECT_EQ(combo->kind, ControlKind::ComboDropList);
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
