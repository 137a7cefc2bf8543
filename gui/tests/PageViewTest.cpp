// The combo-box model: the order a sorted control gives, the selection as
// CB_SETCURSEL leaves it, and the searches the pages rely on.
#include <gtest/gtest.h>

#include "gui/PageView.h"

namespace {

TEST(CompareAnsiNoCase, OrdersLikeASortedComboBox) {
    EXPECT_EQ(CompareAnsiNoCase("lpt1:", "LPT1:"), 0);
    EXPECT_LT(CompareAnsiNoCase("LPT3:", "USB_KRT-P58_1"), 0);
    EXPECT_LT(CompareAnsiNoCase("USB_KRT-P58_4", "VXCOM1:"), 0);
    EXPECT_LT(CompareAnsiNoCase("COM1:", "LPT1:"), 0);
    // Signs before digits before letters, whatever their character codes.
    EXPECT_LT(CompareAnsiNoCase("A_", "A1"), 0);
    EXPECT_LT(CompareAnsiNoCase("A1", "AB"), 0);
    EXPECT_LT(CompareAnsiNoCase("a", "B"), 0);
    // A hyphen weighs only between otherwise equal texts.
    EXPECT_GT(CompareAnsiNoCase("KEM-E20", "KEME10"), 0);
    EXPECT_NE(CompareAnsiNoCase("KEM-E10", "KEME10"), 0);
    EXPECT_LT(CompareAnsiNoCase("AB", "ABC"), 0);
}

TEST(ComboList, SortedListKeepsOrderAndSelection) {
    ComboList list(true);
    for (const char* port : {"VXCOM2:", "VXCOM1:", "LPT2:", "LPT1:"}) list.Add(port);
    EXPECT_EQ(list.Entries(), (std::vector<std::string>{"LPT1:", "LPT2:", "VXCOM1:", "VXCOM2:"}));
    ASSERT_TRUE(list.Select(2));
    // An entry sorted in before the selection moves it along.
    EXPECT_EQ(list.Add("USB_M_1"), 2);
    EXPECT_EQ(list.SelectedText(), "VXCOM1:");
    // An entry equal to another goes after it.
    EXPECT_EQ(list.Add("lpt1:"), 1);

    EXPECT_FALSE(list.Select(99));
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_EQ(list.SelectedText(), "");
    list.Select(0);
    list.Clear();
    EXPECT_EQ(list.Selection(), -1);
    EXPECT_FALSE(list.Select(0));
}

TEST(ComboList, Searches) {
    ComboList list;
    for (const char* e : {"KRT", "KRT-P58", "XKRT", "krt-a"}) list.Add(e);
    // From the entry after `after`, wrapping round, without regard to case.
    EXPECT_EQ(list.FindPrefix("KRT", 0), 1);
    EXPECT_EQ(list.FindPrefix("krt-a", 0), 3);
    EXPECT_EQ(list.FindPrefix("KRT-P", 1), 1);  // wraps round to itself last
    EXPECT_EQ(list.FindPrefix("KRT", 3), 0);
    EXPECT_EQ(list.FindPrefix("Q", 0), -1);
    EXPECT_EQ(ComboList().FindPrefix("KRT", 0), -1);
    // Contains is case-sensitive and starts at entry 0.
    EXPECT_EQ(list.FindContaining("KRT"), 0);
    EXPECT_EQ(list.FindContaining("krt"), 3);
    EXPECT_EQ(list.FindContainingBoth("KRT", "P58"), 1);
    EXPECT_EQ(list.FindContainingBoth("KRT", "_9"), -1);
}

TEST(PageView, RadioRangeAndChangeTracking) {
    PageView view;
    view.Declare(10);
    view.Declare(11);
    view.Declare(12);
    view.Declare(20);
    view.TakeChanged();
    view.Check(20, true);
    view.CheckRadio(10, 12, 11);
    EXPECT_TRUE(view.Checked(11));
    EXPECT_FALSE(view.Checked(10));
    EXPECT_TRUE(view.Checked(20));  // outside the range: untouched
    EXPECT_EQ(view.TakeChanged(), (std::set<int>{11, 20}));
    // Unchanged radios are not marked again.
    view.CheckRadio(10, 12, 11);
    EXPECT_TRUE(view.TakeChanged().empty());
    // A user's click read back from the control is not copied back.
    view.TakeUserCheck(10, true);
    EXPECT_TRUE(view.Checked(10));
    EXPECT_TRUE(view.TakeChanged().empty());
}

}  // namespace
