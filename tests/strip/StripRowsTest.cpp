// Building the strip from "配置.dpk", adding and deleting rows, with the real window.
#include "tests/strip/StripFixture.h"

#include <algorithm>

using namespace strip_testing;

namespace {

struct Box {
    int left, top, width, height;
};

void ExpectPlace(HWND control, Box expected, const char* what) {
    SCOPED_TRACE(what);
    RECT place = StripTest::Place(control);
    EXPECT_EQ(place.left, expected.left);
    EXPECT_EQ(place.top, expected.top);
    EXPECT_EQ(place.right - place.left, expected.width);
    EXPECT_EQ(place.bottom - place.top, expected.height);
}

// The places of row r (r >= 2) in a strip of any height.
void ExpectRowPlaces(const strip::StripState& strip, int row) {
    SCOPED_TRACE("row " + std::to_string(row));
    const size_t index = static_cast<size_t>(row - 2);
    const int frameTop = 26 + 20 * (row - 1);
    ExpectPlace(strip.RowControls.Frames[index], {0, frameTop, 208, 20}, "frame");
    ExpectPlace(strip.RowControls.EditBoxes[index], {6, frameTop + 1, 170, 20}, "edit box");
    ExpectPlace(strip.RowControls.ClockButtons[index], {171, frameTop + 1, 18, 18}, "clock button");
    ExpectPlace(strip.RowControls.DeleteButtons[index], {189, frameTop + 1, 16, 16}, "delete button");
}

std::string StoredNotes(int rows) {
    std::string stored;
    for (int row = 1; row <= rows; ++row) {
        stored += StoredEntry("note" + std::to_string(row));
    }
    return stored;
}

}  // namespace

TEST_F(StripTest, NoConfigFileGivesTheSloganRowAtTheTopLeft) {
    Start();
    ASSERT_EQ(strip->Entries.size(), 1u);
    EXPECT_EQ(strip->Entries[0], memo::DefaultEntry(memo::kWhite));
    EXPECT_EQ(Text(strip->FirstRow.EditBox), std::string(memo::kGbkSloganText));
    EXPECT_EQ(strip->StripTextColor, memo::kWhite);
    RECT place = StripRect();
    EXPECT_EQ(place.left, 0);
    EXPECT_EQ(place.top, 0);
    EXPECT_EQ(place.right - place.left, 207);
    EXPECT_EQ(place.bottom - place.top, 46);
    EXPECT_EQ(strip->RowCount, 1);
    EXPECT_TRUE(IsWindowVisible(hwnd));
    // No taskbar button, not topmost, no caption or border.
    const LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(exStyle & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME | WS_BORDER));
    EXPECT_FALSE(IsWindowVisible(strip->FirstRow.DeleteButton)) << "the first row cannot be deleted";
    EXPECT_EQ(GetFileAttributesA(ConfigPath().c_str()), INVALID_FILE_ATTRIBUTES) << "starting writes nothing";
}

TEST_F(StripTest, ThreeStoredEntriesGiveThreeRowsInStoredOrder) {
    StoreFile("启动X坐标=300\r\n启动Y坐标=200\r\n" +
              EntriesLine("买菜&真&2011-05-03-18:30:00&真&255\\" + StoredEntry("第二") + StoredEntry("three", "假", 0)));
    Start();
    ASSERT_EQ(strip->RowCount, 3);
    ASSERT_EQ(strip->Entries.size(), 3u);
    RECT place = StripRect();
    EXPECT_EQ(place.left, 300);
    EXPECT_EQ(place.top, 200);
    EXPECT_EQ(place.bottom - place.top, 86);
    EXPECT_EQ(place.right - place.left, 207);
    EXPECT_EQ(Text(strip->RowEditBox(1)), "买菜");
    EXPECT_EQ(Text(strip->RowEditBox(2)), "第二");
    EXPECT_EQ(Text(strip->RowEditBox(3)), "three");
    EXPECT_EQ(strip->Entries[0].ReminderTime, "2011-05-03-18:30:00");
    for (int row = 2; row <= 3; ++row) {
        ExpectRowPlaces(*strip, row);
    }
    // Each row gets its own colour; only the row whose reminder is on shows it.
    const std::vector<std::string> expected = {"ShowRowTextColor 1 255", "ShowRowReminder 1 on",
                                               "ShowRowTextColor 2 16777215", "ShowRowTextColor 3 0"};
    std::vector<std::string> shown;
    std::copy_if(skin->Calls.begin(), skin->Calls.end(), std::back_inserter(shown),
                 [](const std::string& call) { return call.rfind("ShowRow", 0) == 0; });
    EXPECT_EQ(shown, expected);
    // Built unseen, the strip takes the background of its final row count only.
    std::vector<std::string> backgrounds;
    std::copy_if(skin->Calls.begin(), skin->Calls.end(), std::back_inserter(backgrounds),
                 [](const std::string& call) { return call.rfind("SetStripBackground", 0) == 0; });
    EXPECT_EQ(backgrounds, std::vector<std::string>{"SetStripBackground 3"});
}

TEST_F(StripTest, StartWatcherHookRunsOnceWhenEveryRowExists) {
    StoreFile(EntriesLine(StoredNotes(4)));
    int calls = 0;
    int rowsSeen = 0;
    strip = std::make_unique<strip::StripState>();
    strip->Config = memo::ConfigFile(folder.GbkPath());
    strip->Skin = MakePlainStripSkin(*strip);
    strip->Hooks.StartWatcher = [&](strip::StripState& state) {
        ++calls;
        rowsSeen = static_cast<int>(state.RowControls.EditBoxes.size()) + 1;
        EXPECT_EQ(Text(state.RowEditBox(4)), "note4");
    };
    hwnd = strip::CreateStripWindow(*strip, GetModuleHandleA(nullptr));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(rowsSeen, 4);
}

TEST_F(StripTest, AddFromOneRowCopiesTheFirstRow) {
    Start();
    Click(strip->FirstRow.AddButton);
    ASSERT_EQ(strip->RowCount, 2);
    RECT place = StripRect();
    EXPECT_EQ(place.right - place.left, 207);
    EXPECT_EQ(place.bottom - place.top, 66);
    ExpectRowPlaces(*strip, 2);
    ASSERT_EQ(strip->Entries.size(), 2u);
    EXPECT_EQ(strip->Entries[1], memo::NewRowEntry(memo::kWhite));
    EXPECT_EQ(Text(strip->RowEditBox(2)), "请在此输入");
    // The copies carry every setting of their sources and raise the same events.
    const std::pair<HWND, HWND> copies[] = {
        {strip->FirstRow.EditBox, strip->RowControls.EditBoxes[0]},
        {strip->FirstRow.Frame, strip->RowControls.Frames[0]},
        {strip->FirstRow.DeleteButton, strip->RowControls.DeleteButtons[0]},
        {strip->FirstRow.ClockButton, strip->RowControls.ClockButtons[0]},
    };
    for (const auto& [source, copy] : copies) {
        SCOPED_TRACE(GetDlgCtrlID(source));
        EXPECT_TRUE(IsWindowVisible(copy));
        EXPECT_EQ(GetParent(copy), hwnd);
        EXPECT_EQ(GetDlgCtrlID(copy), GetDlgCtrlID(source));
        EXPECT_EQ(GetWindowLongA(copy, GWL_STYLE) & ~WS_VISIBLE, GetWindowLongA(source, GWL_STYLE) & ~WS_VISIBLE);
        EXPECT_EQ(GetWindowLongA(copy, GWL_EXSTYLE), GetWindowLongA(source, GWL_EXSTYLE));
        EXPECT_EQ(SendMessageA(copy, WM_GETFONT, 0, 0), SendMessageA(source, WM_GETFONT, 0, 0));
    }
    EXPECT_EQ(SendMessageA(strip->RowEditBox(2), EM_GETLIMITTEXT, 0, 0), 26);
    EXPECT_NE(SendMessageA(strip->RowEditBox(2), WM_GETFONT, 0, 0), 0);
}

TEST_F(StripTest, NewRowTakesTheCurrentStripTextColor) {
    Start();
    strip->StripTextColor = 0x00FF00;
    Click(strip->FirstRow.AddButton);
    ASSERT_EQ(strip->Entries.size(), 2u);
    EXPECT_EQ(strip->Entries[1].TextColor, 0x00FF00);
}

TEST_F(StripTest, DeleteTheMiddleOfThreeMovesTheThirdUp) {
    StoreFile(EntriesLine(StoredNotes(3)));
    Start();
    const HWND thirdEdit = strip->RowEditBox(3);
    const HWND secondEdit = strip->RowEditBox(2);
    ClickDelete(strip->RowControls.DeleteButtons[0]);
    EXPECT_EQ(strip->RowCount, 2);
    EXPECT_EQ(StripRect().bottom - StripRect().top, 66);
    EXPECT_FALSE(IsWindow(secondEdit));
    ASSERT_EQ(strip->RowControls.EditBoxes.size(), 1u);
    EXPECT_EQ(strip->RowEditBox(2), thirdEdit);
    ExpectRowPlaces(*strip, 2);
    ASSERT_EQ(strip->Entries.size(), 2u);
    EXPECT_EQ(strip->Entries[0].Text, "note1");
    EXPECT_EQ(strip->Entries[1].Text, "note3");
    EXPECT_EQ(Text(thirdEdit), "note3");
    EXPECT_NE(std::find(skin->Calls.begin(), skin->Calls.end(), "DropRowSkins 1"), skin->Calls.end());
}

TEST_F(StripTest, DeleteTheLastRowMovesNothing) {
    StoreFile(EntriesLine(StoredNotes(3)));
    Start();
    const RECT secondFrame = Place(strip->RowControls.Frames[0]);
    ClickDelete(strip->RowControls.DeleteButtons[1]);
    EXPECT_EQ(strip->RowCount, 2);
    EXPECT_EQ(StripRect().bottom - StripRect().top, 66);
    EXPECT_EQ(Place(strip->RowControls.Frames[0]).top, secondFrame.top);
    ASSERT_EQ(strip->Entries.size(), 2u);
    EXPECT_EQ(strip->Entries[1].Text, "note2");
}

TEST_F(StripTest, DeleteIsNotSavedUntilTheStripIsLeft) {
    StoreFile(EntriesLine(StoredNotes(2)));
    Start();
    ClickDelete(strip->RowControls.DeleteButtons[0]);
    EXPECT_EQ(Stored(memo::kGbkKeyEntries), StoredNotes(2));
    strip::SaveEntries(*strip);
    EXPECT_EQ(Stored(memo::kGbkKeyEntries), StoredNotes(1));
}

TEST_F(StripTest, PastFortyOneRowsTheStripKeepsGrowing) {
    StoreFile(EntriesLine(StoredNotes(41)));
    Start();
    ASSERT_EQ(strip->RowCount, 41);
    EXPECT_EQ(StripRect().bottom - StripRect().top, 846);
    Click(strip->FirstRow.AddButton);
    EXPECT_EQ(strip->RowCount, 42);
    EXPECT_EQ(StripRect().bottom - StripRect().top, 866);
    Click(strip->FirstRow.AddButton);
    EXPECT_EQ(strip->RowCount, 43);
    skin->Calls.clear();
    ClickDelete(strip->RowControls.DeleteButtons[20]);
    EXPECT_EQ(strip->RowCount, 42);
    EXPECT_EQ(StripRect().bottom - StripRect().top, 866);
    EXPECT_EQ(strip->Entries.size(), 42u);
    EXPECT_EQ(strip->Entries[21].Text, "note23") << "entry 22 went with its row";
    ExpectRowPlaces(*strip, 42);
    EXPECT_NE(std::find(skin->Calls.begin(), skin->Calls.end(), "SetStripBackground 42"), skin->Calls.end());
}

TEST_F(StripTest, DeleteOfAnUnknownWindowChangesNothing) {
    StoreFile(EntriesLine(StoredNotes(2)));
    Start();
    strip::DeleteRow(*strip, strip->FirstRow.DeleteButton);
    strip::DeleteRow(*strip, strip->RowControls.EditBoxes[0]);
    EXPECT_EQ(strip->RowCount, 2);
    EXPECT_EQ(strip->Entries.size(), 2u);
}

TEST_F(StripTest, ClockAndHelpButtonsReachTheirHooks) {
    StoreFile(EntriesLine(StoredNotes(3)));
    std::vector<int> clockRows;
    int helpClicks = 0;
    Start();
    strip->Hooks.ClockClicked = [&](strip::StripState& state, HWND button) {
        clockRows.push_back(state.RowOfClockButton(button));
    };
    strip->Hooks.HelpClicked = [&](strip::StripState&) { ++helpClicks; };
    Click(strip->RowClockButton(3));
    Click(strip->RowClockButton(1));
    Click(strip->FirstRow.HelpButton);
    EXPECT_EQ(clockRows, (std::vector<int>{3, 1}));
    EXPECT_EQ(helpClicks, 1);
}
