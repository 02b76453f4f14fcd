#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "macros/MacroModel.h"
#include "profiles/CodeTables.h"
#include "profiles/FixedText.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

// ---- Building actions and macros ----

TMACROKEY Action(ActionType type, KeyState state, std::uint8_t value1, std::uint8_t value2 = 0) {
  return {static_cast<std::uint16_t>(type), static_cast<std::uint16_t>(state), value1, value2};
}
TMACROKEY KeyDown(std::uint8_t vk) { return Action(ActionType::Key, KeyState::Down, vk); }
TMACROKEY KeyUp(std::uint8_t vk) { return Action(ActionType::Key, KeyState::Up, vk); }
TMACROKEY Delay(int ms) {
  return Action(ActionType::Delay, KeyState::Up, static_cast<std::uint8_t>(ms & 0xFF),
                static_cast<std::uint8_t>(ms >> 8));
}
// An action told apart from others by its first value byte.
TMACROKEY Marked(int mark) { return KeyDown(static_cast<std::uint8_t>(mark)); }

TMACROKEYINFO Macro(std::u16string_view name, const std::vector<TMACROKEY>& actions) {
  TMACROKEYINFO macro{};
  WriteFixedText(macro.szMacroName, name);
  std::copy(actions.begin(), actions.end(), macro.MacroList);
  macro.MacroListCount = static_cast<std::int32_t>(actions.size());
  return macro;
}

TMACROKEYINFO MarkedMacro(std::u16string_view name, const std::vector<int>& marks) {
  std::vector<TMACROKEY> actions;
  for (int mark : marks) {
    actions.push_back(Marked(mark));
  }
  return Macro(name, actions);
}

// A library of macros with the given names, each holding one action marked
// with its position. Kept on the heap: it is 18736 bytes.
std::unique_ptr<TMACROKEYINFOLIST> Library(const std::vector<std::u16string>& names) {
  auto library = std::make_unique<TMACROKEYINFOLIST>();
  for (std::size_t i = 0; i < names.size() && i < kMacroLibraryCapacity; ++i) {
    library->MacroInfos[i] = MarkedMacro(names[i], {static_cast<int>(i)});
    library->MacroInfos[i].nMacroIndex = static_cast<std::uint16_t>(i);
  }
  library->nMacroInfoCount = static_cast<std::uint16_t>(names.size());
  return library;
}

std::vector<std::u16string> NumberedNames(int count) {
  std::vector<std::u16string> names;
  for (int i = 0; i < count; ++i) {
    const std::string narrow = "M" + std::to_string(i);
    names.emplace_back(narrow.begin(), narrow.end());
  }
  return names;
}

// ---- Reading results ----

std::vector<int> Marks(const TMACROKEYINFO& macro) {
  std::vector<int> marks;
  for (int i = 0; i < std::clamp(macro.MacroListCount, 0, kMacroActionCapacity); ++i) {
    marks.push_back(macro.MacroList[i].VALUE1);
  }
  return marks;
}

std::unique_ptr<TMACROKEYINFOLIST> Snapshot(const TxaMacroClass& model) {
  auto library = std::make_unique<TMACROKEYINFOLIST>();
  model.GetMacroKeyInfoList(*library);
  return library;
}

TMACROKEYINFO MacroAt(const TxaMacroClass& model, int index) { return Snapshot(model)->MacroInfos[index]; }

std::vector<std::u16string> Names(const TxaMacroClass& model) {
  const auto library = Snapshot(model);
  std::vector<std::u16string> names;
  for (int i = 0; i < library->nMacroInfoCount; ++i) {
    names.push_back(ReadFixedText(library->MacroInfos[i].szMacroName));
  }
  return names;
}

void ExpectNumberedInOrder(const TxaMacroClass& model) {
  const auto library = Snapshot(model);
  for (int i = 0; i < library->nMacroInfoCount; ++i) {
    EXPECT_EQ(library->MacroInfos[i].nMacroIndex, i) << "entry " << i;
  }
}

bool SameBytes(const TMACROKEYINFO& a, const TMACROKEYINFO& b) {
  return std::ranges::equal(RecordBytes(a), RecordBytes(b));
}

// ---- The macro list ----

TEST(MacroModel, ModelOfAnEmptyLibraryHasNothingToSelectOrEdit) {
  auto model = TxaMacroClass::CtlCreate(*Library({}));
  EXPECT_EQ(model->MacroListIndex(), -1);
  EXPECT_EQ(model->MacroListCount(), 0);
  EXPECT_TRUE(model->IsEmpty());
  EXPECT_FALSE(model->IsFull());
  EXPECT_EQ(model->CurrentMacroAction(), nullptr);

  TMACROKEYINFO untouched = MarkedMacro(u"Keep", {9, 8});
  const TMACROKEYINFO before = untouched;
  model->GetCurrentMacroKeyItem(untouched);
  EXPECT_TRUE(SameBytes(untouched, before));

  model->SetMacroListIndex(0);
  model->SaveBackCurrentMacroKeyInfo(before);
  model->InsertMacro(before, 0);
  model->InsertMacroAfter(before, 0);
  EXPECT_EQ(model->MacroListIndex(), -1);
  EXPECT_EQ(model->MacroListCount(), 0);
  EXPECT_EQ(model->CurrentMacroAction(), nullptr);
}

TEST(MacroModel, ListTransferKeepsEveryByteAndLeavesUnusedEntriesAlone) {
  auto source = Library({u"A", u"B", u"C"});
  source->MacroInfos[1].Version = 259;
  source->MacroInfos[1].MacroUse = 7;
  source->MacroInfos[1].MacroList[100] = Marked(42);  // beyond the count, still carried
  auto model = TxaMacroClass::CtlCreate(*source);
  EXPECT_EQ(model->MacroListIndex(), 0);
  EXPECT_EQ(model->CurrentMacroAction(), nullptr);  // selected, but no editor yet

  auto target = std::make_unique<TMACROKEYINFOLIST>();
  target->MacroInfos[3] = MarkedMacro(u"Old", {5});
  target->nMacroInfoCount = 9;
  model->GetMacroKeyInfoList(*target);
  EXPECT_EQ(target->nMacroInfoCount, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(SameBytes(target->MacroInfos[i], source->MacroInfos[i])) << "entry " << i;
  }
  EXPECT_EQ(ReadFixedText(target->MacroInfos[3].szMacroName), u"Old");
}

TEST(MacroModel, SetMacroKeyInfoListAppendsAndSelectsTheFirstMacro) {
  auto model = TxaMacroClass::CtlCreate(*Library({u"A", u"B"}));
  model->SetMacroListIndex(1);
  model->SetMacroKeyInfoList(*Library({u"C"}));
  EXPECT_EQ(Names(*model), (std::vector<std::u16string>{u"A", u"B", u"C"}));
  EXPECT_EQ(model->MacroListIndex(), 0);
}

TEST(MacroModel, CreateNewMacroAppendsASelectedEmptyMacroEvenWhenFull) {
  auto model = TxaMacroClass::CtlCreate(*Library(NumberedNames(20)));
  model->SetMacroListIndex(3);
  ASSERT_TRUE(model->IsFull());

  model->CreateNewMacro(u"New");
  EXPECT_EQ(model->MacroListCount(), 21);
  EXPECT_EQ(model->MacroListIndex(), 20);
  // The editor is not rebuilt: it still edits the macro selected before.
  EXPECT_EQ(ReadFixedText(model->CurrentMacroAction()->GetMacroKeyInfo().szMacroName), u"M3");

  TMACROKEYINFO expected{};
  WriteFixedText(expected.szMacroName, u"New");
  expected.nMacroIndex = 20;
  EXPECT_TRUE(SameBytes(model->CurrentMacroKeyInfo(), expected));  // Version 0, nothing else set
}

TEST(MacroModel, NamesAreFoundCaseSensitivelyAndTheFirstOfTwinsIsDeleted) {
  auto model = TxaMacroClass::CtlCreate(*Library({u"Macro1", u"Fire", u"Macro1"}));
  EXPECT_TRUE(model->MacroExists(u"Macro1"));
  EXPECT_FALSE(model->MacroExists(u"macro1"));
  EXPECT_FALSE(model->MacroExists(u"Macro"));
  EXPECT_EQ(model->IndexOfMacroName(u"Fire"), 1);
  EXPECT_EQ(model->IndexOfMacroName(u"fire"), -1);

  model->DeleteMacro(u"Macro1");
  EXPECT_EQ(Names(*model), (std::vector<std::u16string>{u"Fire", u"Macro1"}));
  EXPECT_EQ(Marks(MacroAt(*model, 1)), std::vector<int>{2});  // the second twin stays
  ExpectNumberedInOrder(*model);

  model->DeleteMacro(u"None");
  EXPECT_EQ(model->MacroListCount(), 2);
}

TEST(MacroModel, LongNamesAreCutTo49CharactersAndFoundAsStored) {
  const std::u16string sixty(60, u'x');
  // 48 units and then a surrogate pair: the pair does not fit and is dropped whole.
  const std::u16string pairAtTheEdge = std::u16string(48, u'y') + u"\U0001F5B1";

  auto model = TxaMacroClass::CtlCreate(*Library({}));
  model->CreateNewMacro(sixty);
  model->CreateNewMacro(pairAtTheEdge);
  EXPECT_EQ(Names(*model), (std::vector<std::u16string>{std::u16string(49, u'x'), std::u16string(48, u'y')}));
  EXPECT_TRUE(model->MacroExists(sixty));
  EXPECT_EQ(model->IndexOfMacroName(pairAtTheEdge), 1);

  // Renaming replaces the whole name array: nothing of the longer name remains.
  model->ReNameMacro(u"Short", 0);
  const TMACROKEYINFO renamed = MacroAt(*model, 0);
  EXPECT_EQ(ReadFixedText(renamed.szMacroName), u"Short");
  EXPECT_TRUE(std::all_of(renamed.szMacroName + 5, renamed.szMacroName + kMacroNameLength,
                          [](char16_t unit) { return unit == 0; }));
}

TEST(MacroModel, RenameChangesOnlyTheNameAndRejectsInvalidPositions) {
  auto model = TxaMacroClass::CtlCreate(*Library({u"A", u"B"}));
  TMACROKEYINFO expected = MacroAt(*model, 1);
  model->ReNameMacro(u"Bee", 1);
  std::fill(std::begin(expected.szMacroName), std::end(expected.szMacroName), u'\0');
  WriteFixedText(expected.szMacroName, u"Bee");
  EXPECT_TRUE(SameBytes(MacroAt(*model, 1), expected));

  EXPECT_THROW(model->ReNameMacro(u"X", 2), std::out_of_range);
  EXPECT_THROW(model->ReNameMacro(u"X", -1), std::out_of_range);
  EXPECT_EQ(Names(*model), (std::vector<std::u16string>{u"A", u"Bee"}));
}

TEST(MacroModel, DeleteKeepsTheSelectionInsideTheList) {
  struct Case {
    const char* label;
    int count;
    int selected;
    int deleted;
    int selectedAfter;
    std::vector<std::u16string> namesAfter;
  };
  const Case cases[] = {
      {"the selected last macro hands over to the new last", 3, 2, 2, 1, {u"M0", u"M1"}},
      {"the only macro leaves nothing selected", 1, 0, 0, -1, {}},
      {"a macro before the selection leaves the index as it is", 4, 2, 0, 2, {u"M1", u"M2", u"M3"}},
      {"a macro after the selection", 3, 0, 1, 0, {u"M0", u"M2"}},
      {"a position past the end is ignored", 3, 1, 3, 1, {u"M0", u"M1", u"M2"}},
      {"a negative position is ignored", 3, 1, -1, 1, {u"M0", u"M1", u"M2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto model = TxaMacroClass::CtlCreate(*Library(NumberedNames(c.count)));
    model->SetMacroListIndex(c.selected);
    model->DeleteMacro(c.deleted);
    EXPECT_EQ(model->MacroListIndex(), c.selectedAfter);
    EXPECT_EQ(Names(*model), c.namesAfter);
    EXPECT_EQ(model->IsEmpty(), c.namesAfter.empty());
    ExpectNumberedInOrder(*model);
  }
}

TEST(MacroModel, MovesExchangeNeighboursAndTheSelectionFollowsItsMacro) {
  enum class Move { Up, Down };
  struct Case {
    const char* label;
    int selected;
    Move move;
    int index;
    int selectedAfter;
    std::vector<std::u16string> namesAfter;
  };
  const Case cases[] = {
      {"up from the top changes nothing", 2, Move::Up, 0, 2, {u"M0", u"M1", u"M2", u"M3"}},
      {"down from the bottom changes nothing", 2, Move::Down, 3, 2, {u"M0", u"M1", u"M2", u"M3"}},
      {"up past the end changes nothing", 2, Move::Up, 4, 2, {u"M0", u"M1", u"M2", u"M3"}},
      {"down from a negative position changes nothing", 2, Move::Down, -1, 2, {u"M0", u"M1", u"M2", u"M3"}},
      {"the selected macro moved up", 2, Move::Up, 2, 1, {u"M0", u"M2", u"M1", u"M3"}},
      {"the macro below the selection moved up over it", 2, Move::Up, 3, 3, {u"M0", u"M1", u"M3", u"M2"}},
      {"the selected macro moved down", 2, Move::Down, 2, 3, {u"M0", u"M1", u"M3", u"M2"}},
      {"the macro above the selection moved down over it", 2, Move::Down, 1, 1, {u"M0", u"M2", u"M1", u"M3"}},
      {"an exchange away from the selection", 2, Move::Down, 0, 2, {u"M1", u"M0", u"M2", u"M3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto model = TxaMacroClass::CtlCreate(*Library(NumberedNames(4)));
    model->SetMacroListIndex(c.selected);
    c.move == Move::Up ? model->MoveUpMacro(c.index) : model->MoveDownMacro(c.index);
    EXPECT_EQ(model->MacroListIndex(), c.selectedAfter);
    EXPECT_EQ(Names(*model), c.namesAfter);
    ExpectNumberedInOrder(*model);
  }
}

TEST(MacroModel, SelectingBuildsAFreshEditorOfThatMacro) {
  auto model = TxaMacroClass::CtlCreate(*Library({u"A", u"B"}));
  model->SetMacroListIndex(1);
  TxaActionsClass* editor = model->CurrentMacroAction();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(Marks(editor->GetMacroKeyInfo()), std::vector<int>{1});
  EXPECT_EQ(ReadFixedText(model->CurrentMacroKeyInfo().szMacroName), u"B");

  // An invalid selection is ignored: the editor and its clipboard survive.
  editor->CopyAction(0);
  for (int invalid : {2, -1}) {
    model->SetMacroListIndex(invalid);
    EXPECT_EQ(model->MacroListIndex(), 1);
  }
  model->CurrentMacroAction()->PasteAction(0);
  EXPECT_EQ(MacroAt(*model, 1).MacroListCount, 2);

  // Selecting again starts a new editor, with an empty clipboard.
  model->SetMacroListIndex(1);
  model->CurrentMacroAction()->PasteAction(0);
  EXPECT_EQ(MacroAt(*model, 1).MacroListCount, 2);
}

TEST(MacroModel, DefaultMacroIsBuiltThroughTheModel) {
  // The sequence the factory default profile uses.
  auto profile = std::make_unique<TMouseProfileInfo>();
  auto model = TxaMacroClass::CtlCreate(profile->MacroKeyInfoList);
  model->CreateNewMacro(u"User Recorded");
  model->SetMacroListIndex(0);
  TMACROKEYINFO m{};
  model->GetCurrentMacroKeyItem(m);
  m.MacroList[0] = KeyDown(0x41);
  m.MacroList[1] = Delay(50);
  m.MacroList[2] = KeyUp(0x41);
  m.MacroListCount = 3;
  m.nAutoAddDelay = 1;
  m.nLoopCount = 2;
  model->SaveBackCurrentMacroKeyInfo(m);
  model->GetMacroKeyInfoList(profile->MacroKeyInfoList);

  EXPECT_EQ(profile->MacroKeyInfoList.nMacroInfoCount, 1);
  const TMACROKEYINFO& stored = profile->MacroKeyInfoList.MacroInfos[0];
  EXPECT_TRUE(SameBytes(stored, m));
  EXPECT_EQ(ReadFixedText(stored.szMacroName), u"User Recorded");
  EXPECT_EQ(stored.nMacroIndex, 0);
  ASSERT_NE(model->CurrentMacroAction(), nullptr);
  EXPECT_EQ(model->CurrentMacroAction()->TotalDelay(), 50u);  // the editor was rebuilt from it
}

TEST(MacroModel, LoopValueIsStoredOnlyWhenPositionAndValueAreValid) {
  auto model = TxaMacroClass::CtlCreate(*Library({u"A", u"B"}));
  model->SetMacroListIndex(1);

  model->SetMacroLoopValue(1, 65535);
  EXPECT_EQ(MacroAt(*model, 1).nLoopCount, 65535);
  EXPECT_EQ(model->CurrentMacroAction()->GetMacroKeyInfo().nLoopCount, 65535);  // rebuilt from it

  EXPECT_THROW(model->SetMacroLoopValue(2, 1), std::out_of_range);
  EXPECT_THROW(model->SetMacroLoopValue(-1, 1), std::out_of_range);
  EXPECT_THROW(model->SetMacroLoopValue(0, 65536), std::out_of_range);
  EXPECT_THROW(model->SetMacroLoopValue(0, -1), std::out_of_range);
  EXPECT_EQ(MacroAt(*model, 0).nLoopCount, 0);
  EXPECT_EQ(MacroAt(*model, 1).nLoopCount, 65535);
}

TEST(MacroModel, InsertMacroPutsItsActionsInOrderAtThePosition) {
  struct Case {
    const char* label;
    bool after;
    int index;
    std::vector<int> marksAfter;
  };
  const Case cases[] = {
      {"before the second action", false, 1, {1, 7, 8, 2, 3}},
      {"before the first action", false, 0, {7, 8, 1, 2, 3}},
      {"before a position past the end: refused", false, 3, {1, 2, 3}},
      {"before a negative position: refused", false, -2, {1, 2, 3}},
      {"after the second action", true, 1, {1, 2, 7, 8, 3}},
      {"after the last action", true, 2, {1, 2, 3, 7, 8}},
      {"at the end", true, 3, {1, 2, 3, 7, 8}},
      {"after a position past the end: refused", true, 4, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto library = Library({u"Other", u"Target"});
    library->MacroInfos[1] = MarkedMacro(u"Target", {1, 2, 3});
    auto model = TxaMacroClass::CtlCreate(*library);
    model->SetMacroListIndex(1);
    const TMACROKEYINFO inserted = MarkedMacro(u"Inserted", {7, 8});
    c.after ? model->InsertMacroAfter(inserted, c.index) : model->InsertMacro(inserted, c.index);
    EXPECT_EQ(Marks(MacroAt(*model, 1)), c.marksAfter);
    EXPECT_EQ(Marks(model->CurrentMacroAction()->GetMacroKeyInfo()), c.marksAfter);
    EXPECT_EQ(ReadFixedText(MacroAt(*model, 1).szMacroName), u"Target");
    EXPECT_EQ(Marks(MacroAt(*model, 0)), std::vector<int>{0});
  }
}

TEST(MacroModel, InsertMacroStopsWhenTheMacroIsFull) {
  auto model = TxaMacroClass::CtlCreate(*Library({}));
  model->CreateNewMacro(u"Long");
  TMACROKEYINFO nearlyFull = model->CurrentMacroKeyInfo();
  nearlyFull.MacroListCount = 127;
  model->SaveBackCurrentMacroKeyInfo(nearlyFull);
  model->InsertMacroAfter(MarkedMacro(u"Two", {7, 8}), 0);
  EXPECT_EQ(MacroAt(*model, 0).MacroListCount, 128);
  EXPECT_EQ(MacroAt(*model, 0).MacroList[1].VALUE1, 7);
  EXPECT_TRUE(model->CurrentMacroAction()->IsFull());
}

TEST(MacroModel, CheckAllErrorsMarksEveryMacro) {
  auto library = Library({});
  library->MacroInfos[0] = Macro(u"Clean", {KeyDown(0x41), KeyUp(0x41)});
  library->MacroInfos[0].HaveErrors = 1;
  library->MacroInfos[0].ErrorCount = 4;
  library->MacroInfos[1] = Macro(u"Broken", {KeyDown(0x41), KeyDown(0x42), KeyUp(0x43)});
  library->nMacroInfoCount = 2;
  auto model = TxaMacroClass::CtlCreate(*library);
  model->CheckAllErrors();
  EXPECT_EQ(MacroAt(*model, 0).HaveErrors, 0);
  EXPECT_EQ(MacroAt(*model, 0).ErrorCount, 0);
  EXPECT_EQ(MacroAt(*model, 1).HaveErrors, 1);
  EXPECT_EQ(MacroAt(*model, 1).ErrorCount, 3);
  EXPECT_EQ(model->CurrentMacroAction(), nullptr);  // the check's editors were temporary
}

// ---- Capacity: nothing is read or written past a record ----

TEST(MacroModel, OverlongLibraryCountTakesTheFirst21MacrosThenThrows) {
  auto library = Library(NumberedNames(21));
  library->nMacroInfoCount = 25;
  EXPECT_THROW(TxaMacroClass::CtlCreate(*library), std::out_of_range);

  auto model = TxaMacroClass::CtlCreate(*Library({u"Own"}));
  EXPECT_THROW(model->SetMacroKeyInfoList(*library), std::out_of_range);
  EXPECT_EQ(model->MacroListCount(), 22);
  EXPECT_EQ(model->MacroListIndex(), 0);
  model->SetMacroListIndex(21);
  EXPECT_EQ(ReadFixedText(model->CurrentMacroKeyInfo().szMacroName), u"M20");
}

TEST(MacroModel, ModelWithMoreThan21MacrosWritesTheFirst21ThenThrows) {
  auto model = TxaMacroClass::CtlCreate(*Library(NumberedNames(21)));
  model->CreateNewMacro(u"Extra");
  auto target = std::make_unique<TMACROKEYINFOLIST>();
  target->Pad18734[0] = 0x5A;
  EXPECT_THROW(model->GetMacroKeyInfoList(*target), std::out_of_range);
  EXPECT_EQ(target->nMacroInfoCount, 21);
  EXPECT_EQ(ReadFixedText(target->MacroInfos[20].szMacroName), u"M20");
  EXPECT_EQ(target->Pad18734[0], 0x5A);
}

TEST(MacroModel, ActionCountsAreBoundedByTheRecord) {
  TMACROKEYINFO overlong = MarkedMacro(u"Overlong", {1, 2});
  overlong.MacroListCount = 200;
  TMACROKEYINFO negative = MarkedMacro(u"Negative", {1, 2});
  negative.MacroListCount = -5;

  auto model = TxaMacroClass::CtlCreate(*Library({u"A"}));
  EXPECT_THROW(TxaActionsClass::CtrlCreate(overlong, *model, 0), std::out_of_range);
  EXPECT_EQ(TxaActionsClass::CtrlCreate(negative, *model, 0)->MacroListCount(), 0);
  EXPECT_EQ(MacroAt(*model, 0).MacroListCount, 1);  // creating an editor writes nothing back

  model->SetMacroListIndex(0);
  TxaActionsClass& editor = *model->CurrentMacroAction();
  EXPECT_THROW(editor.SetMacroKeyInfo(overlong), std::out_of_range);
  EXPECT_EQ(editor.MacroListCount(), 128);
  EXPECT_EQ(MacroAt(*model, 0).MacroListCount, 128);
  EXPECT_EQ(ReadFixedText(MacroAt(*model, 0).szMacroName), u"Overlong");

  editor.SetMacroKeyInfo(negative);
  EXPECT_EQ(MacroAt(*model, 0).MacroListCount, 0);
  EXPECT_EQ(editor.ActionIndex(), -1);
}

TEST(MacroModel, SelectingADamagedMacroGivesAnEditorOfItsFirst128Actions) {
  auto library = Library({u"A"});
  library->MacroInfos[0].MacroListCount = 300;
  auto model = TxaMacroClass::CtlCreate(*library);
  EXPECT_THROW(model->SetMacroListIndex(0), std::out_of_range);
  ASSERT_NE(model->CurrentMacroAction(), nullptr);
  EXPECT_EQ(model->CurrentMacroAction()->MacroListCount(), 128);
  EXPECT_THROW(model->CheckAllErrors(), std::out_of_range);
}

// ---- The action editor ----

// A model of two macros with the second selected; it holds actions marked
// 1, 2 and 3 (or none) and has action 1 selected.
class ActionEditor : public ::testing::Test {
 protected:
  void SetUp() override { Load({1, 2, 3}); }

  void Load(const std::vector<int>& marks) {
    auto library = Library({u"Other", u"Edited"});
    library->MacroInfos[1] = MarkedMacro(u"Edited", marks);
    library->MacroInfos[1].nLoopCount = 3;
    model_ = TxaMacroClass::CtlCreate(*library);
    model_->SetMacroListIndex(1);
    editor_ = model_->CurrentMacroAction();
    editor_->SetActionIndex(1);
  }

  // Model and editor agree, and the other macro is untouched.
  void ExpectWrittenBack(const std::vector<int>& marks) {
    const TMACROKEYINFO stored = MacroAt(*model_, 1);
    EXPECT_EQ(Marks(stored), marks);
    EXPECT_TRUE(SameBytes(stored, editor_->GetMacroKeyInfo()));
    EXPECT_EQ(ReadFixedText(stored.szMacroName), u"Edited");
    EXPECT_EQ(stored.nLoopCount, 3);
    EXPECT_EQ(Marks(MacroAt(*model_, 0)), std::vector<int>{0});
  }

  std::unique_ptr<TxaMacroClass> model_;
  TxaActionsClass* editor_ = nullptr;
};

TEST_F(ActionEditor, InsertionsPlaceTheActionAndKeepTheSelectionRules) {
  struct Case {
    const char* label;
    bool after;
    int index;
    std::vector<int> marksAfter;
    int selectedAfter;
  };
  const Case cases[] = {
      {"before the selected action, which moves on with it", false, 1, {1, 9, 2, 3}, 2},
      {"before the first action", false, 0, {9, 1, 2, 3}, 1},
      {"before the last action", false, 2, {1, 2, 9, 3}, 1},
      {"before a position past the end: refused", false, 3, {1, 2, 3}, 1},
      {"before a negative position: refused", false, -1, {1, 2, 3}, 1},
      {"after the first action, the selection stays", true, 0, {1, 9, 2, 3}, 1},
      {"after the last action", true, 2, {1, 2, 3, 9}, 1},
      {"at the end", true, 3, {1, 2, 3, 9}, 1},
      {"after a position past the end: refused", true, 4, {1, 2, 3}, 1},
      {"after a negative position: refused", true, -1, {1, 2, 3}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Load({1, 2, 3});
    c.after ? editor_->InsertActionAfter(Marked(9), c.index) : editor_->InsertAction(Marked(9), c.index);
    ExpectWrittenBack(c.marksAfter);
    EXPECT_EQ(editor_->ActionIndex(), c.selectedAfter);
  }
}

TEST_F(ActionEditor, AnEmptyMacroIsFilledOnlyByInsertingAfterPositionZero) {
  Load({});
  EXPECT_TRUE(editor_->IsEmpty());
  EXPECT_EQ(editor_->ActionIndex(), -1);
  editor_->InsertAction(Marked(9), 0);
  editor_->InsertActionAfter(Marked(9), 1);
  ExpectWrittenBack({});
  editor_->InsertActionAfter(Marked(9), 0);
  ExpectWrittenBack({9});
  EXPECT_EQ(editor_->ActionIndex(), -1);
}

TEST_F(ActionEditor, AFullMacroRefusesEveryInsertion) {
  std::vector<int> marks(kMacroActionCapacity, 5);
  Load(marks);
  EXPECT_TRUE(editor_->IsFull());
  editor_->InsertAction(Marked(9), 0);
  editor_->InsertActionAfter(Marked(9), kMacroActionCapacity);
  editor_->CopyAction(0);
  editor_->PasteAction(0);
  EXPECT_EQ(editor_->MacroListCount(), kMacroActionCapacity);
  editor_->DeleteAction(0);
  EXPECT_FALSE(editor_->IsFull());
}

TEST_F(ActionEditor, DeleteKeepsTheSelectionInsideTheList) {
  struct Case {
    const char* label;
    std::vector<int> marks;
    int selected;
    int deleted;
    std::vector<int> marksAfter;
    int selectedAfter;
  };
  const Case cases[] = {
      {"the selected last action hands over to the new last", {1, 2, 3}, 2, 2, {1, 2}, 1},
      {"an action before the selection leaves the index", {1, 2, 3}, 1, 0, {2, 3}, 1},
      {"the only action leaves nothing selected", {1}, 0, 0, {}, -1},
      {"a position past the end is ignored", {1, 2, 3}, 1, 3, {1, 2, 3}, 1},
      {"a negative position is ignored", {1, 2, 3}, 1, -1, {1, 2, 3}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Load(c.marks);
    editor_->SetActionIndex(c.selected);
    editor_->DeleteAction(c.deleted);
    ExpectWrittenBack(c.marksAfter);
    EXPECT_EQ(editor_->ActionIndex(), c.selectedAfter);
  }
}

TEST_F(ActionEditor, MovesExchangeNeighboursAndTheSelectionFollowsItsAction) {
  enum class Move { Up, Down };
  struct Case {
    const char* label;
    Move move;
    int index;
    std::vector<int> marksAfter;
    int selectedAfter;
  };
  // Action 1 (marked 2) is selected.
  const Case cases[] = {
      {"up from the top changes nothing", Move::Up, 0, {1, 2, 3}, 1},
      {"down from the bottom changes nothing", Move::Down, 2, {1, 2, 3}, 1},
      {"the selected action moved up", Move::Up, 1, {2, 1, 3}, 0},
      {"the action below moved up over the selection", Move::Up, 2, {1, 3, 2}, 2},
      {"the selected action moved down", Move::Down, 1, {1, 3, 2}, 2},
      {"the action above moved down over the selection", Move::Down, 0, {2, 1, 3}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Load({1, 2, 3});
    c.move == Move::Up ? editor_->MoveUpAction(c.index) : editor_->MoveDownAction(c.index);
    ExpectWrittenBack(c.marksAfter);
    EXPECT_EQ(editor_->ActionIndex(), c.selectedAfter);
  }
}

TEST_F(ActionEditor, SelectionAcceptsOnlyExistingActions) {
  for (int invalid : {3, -1}) {
    editor_->SetActionIndex(invalid);
    EXPECT_EQ(editor_->ActionIndex(), 1);
  }
  editor_->SetActionIndex(2);
  EXPECT_EQ(editor_->ActionIndex(), 2);
}

TEST_F(ActionEditor, ACopiedActionPastesAnyNumberOfTimes) {
  editor_->CopyAction(2);
  editor_->PasteAction(0);
  editor_->PasteAction(0);
  editor_->PasteAction(0);
  ExpectWrittenBack({3, 3, 3, 1, 2, 3});
}

TEST_F(ActionEditor, ACutActionPastesOnce) {
  editor_->CutAction(0);
  ExpectWrittenBack({2, 3});
  editor_->PasteAction(1);
  editor_->PasteAction(1);
  ExpectWrittenBack({2, 1, 3});
}

TEST_F(ActionEditor, CuttingTheOnlyActionAndPastingEmptiesTheClipboard) {
  Load({1});
  editor_->CutAction(0);
  editor_->PasteAction(0);  // refused: there is no action 0 to paste before
  ExpectWrittenBack({});
  editor_->InsertActionAfter(Marked(9), 0);
  editor_->PasteAction(0);
  ExpectWrittenBack({9});
}

TEST_F(ActionEditor, CopyOrCutOfAnInvalidPositionKeepsTheClipboard) {
  editor_->CopyAction(0);
  editor_->CopyAction(3);
  editor_->CutAction(-1);
  ExpectWrittenBack({1, 2, 3});
  editor_->PasteAction(2);
  ExpectWrittenBack({1, 2, 1, 3});
}

TEST_F(ActionEditor, DelayValueIsTheTwoValueBytesOfAnyAction) {
  Load({});
  editor_->InsertActionAfter(Action(ActionType::MouseButton, KeyState::Down, 1, 1), 0);
  editor_->SetDelayValue(0, 0x1234);
  const TMACROKEY changed = MacroAt(*model_, 1).MacroList[0];
  EXPECT_EQ(changed.nKeyType, static_cast<std::uint16_t>(ActionType::MouseButton));
  EXPECT_EQ(changed.nKeyState, static_cast<std::uint16_t>(KeyState::Down));
  EXPECT_EQ(changed.VALUE1, 0x34);
  EXPECT_EQ(changed.VALUE2, 0x12);
  EXPECT_EQ(editor_->GetDelayValue(0), 0x1234);
  EXPECT_EQ(editor_->GetDelayValue(1), 0);
  EXPECT_EQ(editor_->GetDelayValue(-1), 0);

  EXPECT_THROW(editor_->SetDelayValue(0, 65536), std::out_of_range);
  EXPECT_THROW(editor_->SetDelayValue(0, -1), std::out_of_range);
  editor_->SetDelayValue(0, 65535);
  EXPECT_EQ(MacroAt(*model_, 1).MacroList[0].VALUE2, 0xFF);
}

TEST_F(ActionEditor, TotalDelaySumsTheDelayActions) {
  Load({});
  for (const TMACROKEY& action :
       {Delay(6), Action(ActionType::MouseButton, KeyState::Down, 1, 1), Delay(15)}) {
    editor_->InsertActionAfter(action, editor_->MacroListCount());
  }
  EXPECT_EQ(editor_->TotalDelay(), 21u);

  editor_->SetMacroKeyInfo(Macro(u"Edited", std::vector<TMACROKEY>(kMacroActionCapacity, Delay(65535))));
  EXPECT_EQ(editor_->TotalDelay(), 128u * 65535u);
}

TEST_F(ActionEditor, DeletedActionsStayBehindTheCountInTheRecord) {
  Load({1, 2, 3, 4});
  editor_->DeleteAction(1);
  const TMACROKEYINFO record = editor_->GetMacroKeyInfo();
  EXPECT_EQ(Marks(record), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(record.MacroList[3].VALUE1, 4);  // the former last action, now beyond the count
  ExpectWrittenBack({1, 3, 4});
}

TEST_F(ActionEditor, SetMacroKeyInfoReplacesRecordAndActions) {
  TMACROKEYINFO replacement = MarkedMacro(u"Edited", {7, 8});
  replacement.nLoopCount = 3;
  replacement.MacroUse = 5;
  editor_->SetMacroKeyInfo(replacement);
  ExpectWrittenBack({7, 8});
  EXPECT_EQ(MacroAt(*model_, 1).MacroUse, 5);
  EXPECT_EQ(editor_->ActionIndex(), 0);
}

TEST_F(ActionEditor, AStaleEditorNeverWritesOutsideTheList) {
  model_->DeleteMacro(1);  // the edited macro is gone; its editor lives on
  const auto before = Snapshot(*model_);
  editor_->InsertActionAfter(Marked(9), 0);
  editor_->DeleteAction(0);
  editor_->SetDelayValue(0, 5);
  editor_->CheckErrors();
  const auto after = Snapshot(*model_);
  EXPECT_TRUE(std::ranges::equal(RecordBytes(*before), RecordBytes(*after)));
  EXPECT_EQ(model_->MacroListCount(), 1);
}

TEST(MacroEditor, AnEditorBoundPastTheListWritesNothing) {
  auto model = TxaMacroClass::CtlCreate(*Library({u"Only"}));  // room for exactly one macro
  const auto before = Snapshot(*model);
  for (int position : {1, -1}) {
    SCOPED_TRACE(position);
    auto editor = TxaActionsClass::CtrlCreate(MarkedMacro(u"Stray", {1}), *model, position);
    editor->InsertActionAfter(Marked(9), 1);
    editor->SetMacroKeyInfo(MarkedMacro(u"Stray", {2}));
    editor->CheckErrors();
    EXPECT_EQ(Marks(editor->GetMacroKeyInfo()), std::vector<int>{2});
  }
  EXPECT_TRUE(std::ranges::equal(RecordBytes(*before), RecordBytes(*Snapshot(*model))));
}

TEST(MacroEditor, AnUnboundEditorEditsWithoutWritingAnywhere) {
  TxaActionsClass editor;
  EXPECT_EQ(editor.ActionIndex(), -1);
  EXPECT_TRUE(editor.IsEmpty());
  editor.InsertActionAfter(KeyDown(0x41), 0);
  editor.SaveBack();
  editor.CheckErrors();
  EXPECT_EQ(editor.MacroListCount(), 1);
  EXPECT_EQ(editor.GetMacroKeyInfo().HaveErrors, 0);
}

TEST(MacroErrorCheck, CountsUnmatchedPressesAndReleases) {
  const TMACROKEY mouseLeftDown = Action(ActionType::MouseButton, KeyState::Down, 1, 1);
  const TMACROKEY mouseLeftUp = Action(ActionType::MouseButton, KeyState::Up, 1, 1);
  const TMACROKEY mediaDown = Action(ActionType::MediaKey, KeyState::Down, 0xCD, 0x00);
  const TMACROKEY mediaUp = Action(ActionType::MediaKey, KeyState::Up, 0xCD, 0x00);
  struct Case {
    const char* label;
    std::vector<TMACROKEY> actions;
    int errors;
  };
  const Case cases[] = {
      {"key pressed and released", {KeyDown(0x41), KeyUp(0x41)}, 0},
      {"key pressed alone", {KeyDown(0x41)}, 1},
      {"key released alone", {KeyUp(0x41)}, 1},
      {"key pressed twice, released once", {KeyDown(0x41), KeyDown(0x41), KeyUp(0x41)}, 1},
      {"mouse button pressed alone", {mouseLeftDown}, 0},
      {"mouse button released alone", {mouseLeftUp}, 1},
      {"media key pressed alone", {mediaDown}, 0},
      {"media key released twice", {mediaDown, mediaUp, mediaUp}, 1},
      {"keys interleaved", {KeyDown(0x41), KeyDown(0x42), KeyUp(0x41), KeyUp(0x42)}, 0},
      {"delays and wheel notches are ignored",
       {Delay(5), Action(ActionType::WheelNotch, KeyState::Up, 1, 6)},
       0},
      // The left mouse button (1, 1) and a key of the same two bytes share one state.
      {"a mouse button and a key of the same code",
       {mouseLeftDown, Action(ActionType::Key, KeyState::Down, 1, 1)},
       2},
      {"every key left pressed counts at the end", {KeyDown(0x41), KeyUp(0x42), KeyDown(0x42)}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    auto library = Library({u"Other"});
    library->MacroInfos[1] = Macro(u"Checked", c.actions);
    library->MacroInfos[1].HaveErrors = 1;  // stale results are replaced
    library->MacroInfos[1].ErrorCount = 9;
    library->nMacroInfoCount = 2;
    auto model = TxaMacroClass::CtlCreate(*library);
    model->SetMacroListIndex(1);
    TxaActionsClass& editor = *model->CurrentMacroAction();
    editor.CheckErrors();

    TMACROKEYINFO expected = library->MacroInfos[1];
    expected.HaveErrors = c.errors > 0 ? 1 : 0;
    expected.ErrorCount = c.errors;
    EXPECT_TRUE(SameBytes(MacroAt(*model, 1), expected));
    EXPECT_TRUE(SameBytes(MacroAt(*model, 0), library->MacroInfos[0]));
    // The editor's own record keeps the old result.
    EXPECT_EQ(editor.GetMacroKeyInfo().HaveErrors, 1);
    EXPECT_EQ(editor.GetMacroKeyInfo().ErrorCount, 9);
  }
}

}  // namespace
}  // namespace monitor
