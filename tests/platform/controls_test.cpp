#include "platform/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quendro {
namespace {

TEST(Controls, SettingATextRunsItsChangeHandlerAtOnceAndOnlyOnAChange) {
    TextBox box;
    Label echo;
    int runs = 0;
    box.onChange = [&] {
        ++runs;
        echo.caption = box.text();
    };
    box.setText(u"2010");
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(echo.caption, u"2010");  // the handler ran before setText returned
    box.setText(u"2010");
    EXPECT_EQ(runs, 1);
    box.setText(u"");
    EXPECT_EQ(runs, 2);
}

TEST(Controls, HandlersNestInsideTheProcedureThatSetsAControl) {
    TextBox first;
    TextBox second;
    std::vector<std::string> order;
    first.onChange = [&] {
        order.push_back("first begins");
        second.setText(first.text() + u"!");
        order.push_back("first ends");
    };
    second.onChange = [&] { order.push_back("second"); };
    first.setText(u"x");
    EXPECT_EQ(order, (std::vector<std::string>{"first begins", "second", "first ends"}));
    EXPECT_EQ(second.text(), u"x!");
}

TEST(Controls, ListBoxRowsAndSelection) {
    ListBox list;
    int clicks = 0;
    list.onClick = [&] { ++clicks; };
    EXPECT_TRUE(list.setItem(0, u"a"));  // the row count appends
    EXPECT_TRUE(list.setItem(1, u"b"));
    EXPECT_FALSE(list.setItem(3, u"d"));  // past the end: nothing happens
    EXPECT_TRUE(list.setItem(0, u"A"));
    EXPECT_EQ(list.items(), (std::vector<std::u16string>{u"A", u"b"}));
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_TRUE(list.setListIndex(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(list.setListIndex(1));
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(list.setListIndex(2));
    EXPECT_EQ(list.listIndex(), 1);
    list.clear();
    EXPECT_EQ(list.listCount(), 0);
    EXPECT_EQ(list.listIndex(), -1);
    EXPECT_EQ(clicks, 1);
}

TEST(Controls, OneOptionOfAGroupIsSelected) {
    OptionGroup group(3);
    std::vector<int> clicked;
    group.onClick = [&](int index) { clicked.push_back(index); };
    EXPECT_EQ(group.selected(), -1);
    EXPECT_TRUE(group.select(1));
    EXPECT_TRUE(group.select(1));  // already selected: no click
    EXPECT_TRUE(group.select(2));
    EXPECT_FALSE(group.select(3));
    EXPECT_FALSE(group.select(-1));
    EXPECT_EQ(clicked, (std::vector<int>{1, 2}));
    EXPECT_EQ(group.selected(), 2);
    EXPECT_FALSE(group[1].value());
    EXPECT_TRUE(group[2].value());
    group[2].enabled = false;  // code may still select a disabled option
    EXPECT_TRUE(group.select(0));
    EXPECT_TRUE(group.select(2));
    EXPECT_EQ(group.selected(), 2);
}

TEST(Controls, ButtonsCheckBoxesAndFolderLists) {
    CommandButton button;
    int clicks = 0;
    button.onClick = [&] { ++clicks; };
    button.click();
    button.enabled = false;
    button.click();
    EXPECT_EQ(clicks, 1);

    CheckBox check;
    check.onClick = [&] { ++clicks; };
    check.setValue(1);
    check.setValue(1);
    EXPECT_EQ(check.value(), 1);
    EXPECT_EQ(clicks, 2);

    DirList dir;
    DriveList drive;
    drive.onChange = [&] { dir.setPath(drive.drive() + u"\\"); };
    int dirChanges = 0;
    dir.onChange = [&] { ++dirChanges; };
    drive.setDrive(u"d:");
    EXPECT_EQ(dir.path(), u"d:\\");
    drive.setDrive(u"d:");
    EXPECT_EQ(dirChanges, 1);
}

}  // namespace
}  // namespace quendro
