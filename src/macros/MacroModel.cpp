#include "macros/MacroModel.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>

#include "profiles/CodeTables.h"
#include "profiles/FixedText.h"

namespace monitor {
namespace {

constexpr int kMaxNumericValue = std::numeric_limits<std::uint16_t>::max();

std::size_t Slot(int index) { return static_cast<std::size_t>(index); }

// The actions a record really holds: its count, bounded by the array.
int UsableActionCount(const TMACROKEYINFO& macroKeyInfo) {
  return std::clamp(macroKeyInfo.MacroListCount, 0, kMacroActionCapacity);
}

// Raised once the usable actions have been taken, so nothing is read past the record.
void CheckActionCount(const TMACROKEYINFO& macroKeyInfo) {
  if (macroKeyInfo.MacroListCount > kMacroActionCapacity) {
    throw std::out_of_range("macro action count " + std::to_string(macroKeyInfo.MacroListCount) +
                            " exceeds the " + std::to_string(kMacroActionCapacity) + " actions of a macro");
  }
}

void CheckNumericValue(int value, const char* what) {
  if (value < 0 || value > kMaxNumericValue) {
    throw std::out_of_range(std::string(what) + " " + std::to_string(value) + " is outside 0.." +
                            std::to_string(kMaxNumericValue));
  }
}

// The 16-bit value of an action's two value bytes: a delay, or a key's code.
std::uint16_t ValueOf(const TMACROKEY& action) {
  return static_cast<std::uint16_t>(action.VALUE1 + 256 * action.VALUE2);
}

// Where the selection lands when the entries at first and second swap: it
// stays with the entry it was on.
int FollowExchange(int selected, int first, int second) {
  if (selected == first) {
    return second;
  }
  if (selected == second) {
    return first;
  }
  return selected;
}

// The whole name array is replaced, so no units of an older name remain.
void WriteMacroName(TMACROKEYINFO& macroKeyInfo, std::u16string_view macroName) {
  std::fill(std::begin(macroKeyInfo.szMacroName), std::end(macroKeyInfo.szMacroName), u'\0');
  WriteFixedText(macroKeyInfo.szMacroName, macroName, FixedTextEnd::KeepTerminator);
}

std::u16string StoredName(std::u16string_view macroName) {
  TMACROKEYINFO scratch{};
  WriteMacroName(scratch, macroName);
  return ReadFixedText(scratch.szMacroName);
}

}  // namespace

// ---- TxaActionsClass ----

TxaActionsClass::TxaActionsClass() = default;
TxaActionsClass::~TxaActionsClass() = default;

std::unique_ptr<TxaActionsClass> TxaActionsClass::Bind(const TMACROKEYINFO& macroKeyInfo,
                                                       TxaMacroClass& macroClass, int macroIndex) {
  auto editor = std::make_unique<TxaActionsClass>();
  editor->LoadActions(macroKeyInfo);
  editor->orgMacroKeyInfo_ = macroKeyInfo;
  editor->macroClass_ = &macroClass;
  editor->macroIndex_ = macroIndex;
  return editor;
}

std::unique_ptr<TxaActionsClass> TxaActionsClass::CtrlCreate(const TMACROKEYINFO& macroKeyInfo,
                                                             TxaMacroClass& macroClass, int macroIndex) {
  auto editor = Bind(macroKeyInfo, macroClass, macroIndex);
  CheckActionCount(macroKeyInfo);
  return editor;
}

void TxaActionsClass::LoadActions(const TMACROKEYINFO& macroKeyInfo) {
  const int count = UsableActionCount(macroKeyInfo);
  actionsList_.assign(macroKeyInfo.MacroList, macroKeyInfo.MacroList + count);
  // An empty macro has nothing to select (the index must not point past it).
  actionsIndex_ = count > 0 ? 0 : -1;
}

bool TxaActionsClass::IsValidActionIndex(int index) const { return index >= 0 && index < GetCount(); }

void TxaActionsClass::SetActionIndex(int value) {
  if (IsValidActionIndex(value)) {
    actionsIndex_ = value;
  }
}

bool TxaActionsClass::GetIsActionsFull() const { return GetCount() >= kMaxActionsCount; }

bool TxaActionsClass::GetIsActionsEmpty() const { return actionsList_.empty(); }

int TxaActionsClass::GetCount() const { return static_cast<int>(actionsList_.size()); }

std::uint32_t TxaActionsClass::TotalDelay() const {
  std::uint32_t total = 0;
  for (const TMACROKEY& action : actionsList_) {
    if (action.nKeyType == static_cast<std::uint16_t>(ActionType::Delay)) {
      total += ValueOf(action);
    }
  }
  return total;
}

void TxaActionsClass::InsertAction(const TMACROKEY& action, int index) {
  if (GetIsActionsFull() || !IsValidActionIndex(index)) {
    return;
  }
  actionsList_.insert(actionsList_.begin() + index, action);
  if (actionsIndex_ == index) {
    actionsIndex_ = index + 1;  // stays on the action it was on
  }
  SaveBack();
}

void TxaActionsClass::InsertActionAfter(const TMACROKEY& action, int index) {
  if (GetIsActionsFull() || index < 0 || index > GetCount()) {
    return;
  }
  const int position = index == GetCount() ? index : index + 1;
  actionsList_.insert(actionsList_.begin() + position, action);
  SaveBack();
}

void TxaActionsClass::DeleteAction(int index) {
  if (!IsValidActionIndex(index)) {
    return;
  }
  actionsList_.erase(actionsList_.begin() + index);
  if (actionsIndex_ >= GetCount()) {
    actionsIndex_ = GetCount() - 1;
  }
  SaveBack();
}

void TxaActionsClass::ExchangeActions(int first, int second) {
  std::swap(actionsList_[Slot(first)], actionsList_[Slot(second)]);
  actionsIndex_ = FollowExchange(actionsIndex_, first, second);
  SaveBack();
}

void TxaActionsClass::MoveUpAction(int index) {
  if (index >= 1 && index < GetCount()) {
    ExchangeActions(index, index - 1);
  }
}

void TxaActionsClass::MoveDownAction(int index) {
  if (index >= 0 && index < GetCount() - 1) {
    ExchangeActions(index, index + 1);
  }
}

void TxaActionsClass::CopyAction(int index) {
  if (!IsValidActionIndex(index)) {
    return;
  }
  savedAction_ = actionsList_[Slot(index)];
  cutOperationFlag_ = false;
  SaveBack();
}

void TxaActionsClass::CutAction(int index) {
  if (!IsValidActionIndex(index)) {
    return;
  }
  savedAction_ = actionsList_[Slot(index)];
  DeleteAction(index);
  cutOperationFlag_ = true;
}

void TxaActionsClass::PasteAction(int index) {
  if (!savedAction_) {
    return;
  }
  InsertAction(*savedAction_, index);
  if (cutOperationFlag_) {
    // A cut action is pasted once, even when this paste was refused.
    savedAction_.reset();
    cutOperationFlag_ = false;
  }
}

int TxaActionsClass::GetDelayValue(int index) const {
  return IsValidActionIndex(index) ? ValueOf(actionsList_[Slot(index)]) : 0;
}

void TxaActionsClass::SetDelayValue(int index, int delay) {
  CheckNumericValue(delay, "delay");
  if (!IsValidActionIndex(index)) {
    return;
  }
  TMACROKEY& action = actionsList_[Slot(index)];
  action.VALUE1 = static_cast<std::uint8_t>(delay & 0xFF);
  action.VALUE2 = static_cast<std::uint8_t>(delay >> 8);
  SaveBack();
}

TMACROKEYINFO TxaActionsClass::GetMacroKeyInfo() const {
  TMACROKEYINFO macroKeyInfo = orgMacroKeyInfo_;
  macroKeyInfo.MacroListCount = GetCount();
  std::copy(actionsList_.begin(), actionsList_.end(), macroKeyInfo.MacroList);
  return macroKeyInfo;
}

void TxaActionsClass::SetMacroKeyInfo(const TMACROKEYINFO& macroKeyInfo) {
  LoadActions(macroKeyInfo);
  orgMacroKeyInfo_ = macroKeyInfo;
  SaveBack();
  CheckActionCount(macroKeyInfo);
}

void TxaActionsClass::SaveBack() {
  if (macroClass_ == nullptr || !macroClass_->IsValidMacroIndex(macroIndex_)) {
    return;  // unbound, or the macro's position has left the list
  }
  TMACROKEYINFO& stored = macroClass_->macroKeyInfoList_[Slot(macroIndex_)];
  stored = GetMacroKeyInfo();
  orgMacroKeyInfo_ = stored;
}

void TxaActionsClass::CheckErrors() {
  // Every key, media key and mouse button must be pressed and released in
  // turn; they share one table of 16-bit codes.
  std::vector<bool> pressed(std::size_t{kMaxNumericValue} + 1, false);
  std::vector<std::uint16_t> keyCodes;  // keyboard codes, first seen first
  std::int32_t errorCount = 0;
  for (const TMACROKEY& action : actionsList_) {
    const auto type = static_cast<ActionType>(action.nKeyType);
    if (type != ActionType::Key && type != ActionType::MediaKey && type != ActionType::MouseButton) {
      continue;
    }
    const std::uint16_t code = ValueOf(action);
    const bool press = action.nKeyState == static_cast<std::uint16_t>(KeyState::Down);
    if (pressed[code] == press) {
      ++errorCount;  // pressed twice, or released while up
    } else {
      pressed[code] = press;
    }
    if (type == ActionType::Key && std::find(keyCodes.begin(), keyCodes.end(), code) == keyCodes.end()) {
      keyCodes.push_back(code);
    }
  }
  // Only keyboard keys are expected to end released.
  for (const std::uint16_t code : keyCodes) {
    if (pressed[code]) {
      ++errorCount;
    }
  }

  if (macroClass_ == nullptr || !macroClass_->IsValidMacroIndex(macroIndex_)) {
    return;
  }
  TMACROKEYINFO& stored = macroClass_->macroKeyInfoList_[Slot(macroIndex_)];
  stored.HaveErrors = errorCount > 0 ? 1 : 0;
  stored.ErrorCount = errorCount;
}

// ---- TxaMacroClass ----

TxaMacroClass::TxaMacroClass() = default;
TxaMacroClass::~TxaMacroClass() = default;

std::unique_ptr<TxaMacroClass> TxaMacroClass::CtlCreate(const TMACROKEYINFOLIST& macroKeyInfoList) {
  auto model = std::make_unique<TxaMacroClass>();
  model->AppendMacroKeyInfoList(macroKeyInfoList);
  return model;
}

void TxaMacroClass::SetMacroKeyInfoList(const TMACROKEYINFOLIST& macroKeyInfoList) {
  AppendMacroKeyInfoList(macroKeyInfoList);
}

void TxaMacroClass::AppendMacroKeyInfoList(const TMACROKEYINFOLIST& macroKeyInfoList) {
  const int count = std::min<int>(macroKeyInfoList.nMacroInfoCount, kMacroLibraryCapacity);
  macroKeyInfoList_.insert(macroKeyInfoList_.end(), macroKeyInfoList.MacroInfos,
                           macroKeyInfoList.MacroInfos + count);
  if (!macroKeyInfoList_.empty()) {
    macroListIndex_ = 0;
  }
  if (macroKeyInfoList.nMacroInfoCount > kMacroLibraryCapacity) {
    throw std::out_of_range("macro list count " + std::to_string(macroKeyInfoList.nMacroInfoCount) +
                            " exceeds the " + std::to_string(kMacroLibraryCapacity) + " macros of a list");
  }
}

void TxaMacroClass::GetMacroKeyInfoList(TMACROKEYINFOLIST& macroKeyInfoList) const {
  const int count = std::min(MacroListCount(), kMacroLibraryCapacity);
  std::copy_n(macroKeyInfoList_.begin(), count, macroKeyInfoList.MacroInfos);
  macroKeyInfoList.nMacroInfoCount = static_cast<std::uint16_t>(count);
  if (MacroListCount() > kMacroLibraryCapacity) {
    throw std::out_of_range("the model's " + std::to_string(MacroListCount()) + " macros exceed the " +
                            std::to_string(kMacroLibraryCapacity) + " macros of a list");
  }
}

bool TxaMacroClass::IsValidMacroIndex(int index) const { return index >= 0 && index < MacroListCount(); }

TMACROKEYINFO& TxaMacroClass::MacroAt(int index, const char* operation) {
  if (!IsValidMacroIndex(index)) {
    throw std::out_of_range(std::string(operation) + ": macro index " + std::to_string(index) +
                            " is outside the list of " + std::to_string(MacroListCount()) + " macros");
  }
  return macroKeyInfoList_[Slot(index)];
}

void TxaMacroClass::RenumberMacros() {
  for (std::size_t position = 0; position < macroKeyInfoList_.size(); ++position) {
    macroKeyInfoList_[position].nMacroIndex = static_cast<std::uint16_t>(position);
  }
}

void TxaMacroClass::RebuildCurrentAction() {
  if (!IsValidMacroIndex(macroListIndex_)) {
    return;
  }
  const TMACROKEYINFO selected = macroKeyInfoList_[Slot(macroListIndex_)];
  currentMacroAction_.reset();
  // The editor of a damaged macro holds its first 128 actions and stays
  // usable; the damage is still reported.
  currentMacroAction_ = TxaActionsClass::Bind(selected, *this, macroListIndex_);
  CheckActionCount(selected);
}

void TxaMacroClass::SetMacroListIndex(int value) {
  if (!IsValidMacroIndex(value)) {
    return;
  }
  macroListIndex_ = value;
  RebuildCurrentAction();
}

int TxaMacroClass::MacroListCount() const { return static_cast<int>(macroKeyInfoList_.size()); }

bool TxaMacroClass::IsFull() const { return MacroListCount() >= kMaxMacroListCount; }

bool TxaMacroClass::IsEmpty() const { return macroKeyInfoList_.empty(); }

TMACROKEYINFO TxaMacroClass::CurrentMacroKeyInfo() const {
  TMACROKEYINFO macroKeyInfo{};
  GetCurrentMacroKeyItem(macroKeyInfo);
  return macroKeyInfo;
}

void TxaMacroClass::CreateNewMacro(std::u16string_view macroName) {
  macroListIndex_ = MacroListCount();
  TMACROKEYINFO& created = macroKeyInfoList_.emplace_back();
  created.nMacroIndex = static_cast<std::uint16_t>(macroListIndex_);
  created.MacroListCount = 0;
  WriteMacroName(created, macroName);
  RenumberMacros();
}

void TxaMacroClass::ReNameMacro(std::u16string_view macroName, int index) {
  WriteMacroName(MacroAt(index, "ReNameMacro"), macroName);
}

void TxaMacroClass::ExchangeMacros(int first, int second) {
  std::swap(macroKeyInfoList_[Slot(first)], macroKeyInfoList_[Slot(second)]);
  macroListIndex_ = FollowExchange(macroListIndex_, first, second);
  RenumberMacros();
}

void TxaMacroClass::MoveUpMacro(int index) {
  if (index >= 1 && index < MacroListCount()) {
    ExchangeMacros(index, index - 1);
  }
}

void TxaMacroClass::MoveDownMacro(int index) {
  if (index >= 0 && index < MacroListCount() - 1) {
    ExchangeMacros(index, index + 1);
  }
}

void TxaMacroClass::DeleteMacro(int index) {
  if (!IsValidMacroIndex(index)) {
    return;
  }
  macroKeyInfoList_.erase(macroKeyInfoList_.begin() + index);
  RenumberMacros();
  if (macroListIndex_ >= MacroListCount()) {
    macroListIndex_ = MacroListCount() - 1;  // -1 once the list is empty
  }
}

void TxaMacroClass::DeleteMacro(std::u16string_view macroName) { DeleteMacro(IndexOfMacroName(macroName)); }

bool TxaMacroClass::MacroExists(std::u16string_view macroName) const {
  return IndexOfMacroName(macroName) >= 0;
}

int TxaMacroClass::IndexOfMacroName(std::u16string_view macroName) const {
  const std::u16string wanted = StoredName(macroName);
  for (int index = 0; index < MacroListCount(); ++index) {
    if (ReadFixedText(macroKeyInfoList_[Slot(index)].szMacroName) == wanted) {
      return index;
    }
  }
  return -1;
}

void TxaMacroClass::InsertMacro(const TMACROKEYINFO& macroKeyInfo, int index) {
  // Inserting action i before index + i keeps the actions in order; once
  // the first has a valid place, every later one has too.
  if (currentMacroAction_ == nullptr) {
    return;
  }
  if (index >= 0 && index < currentMacroAction_->GetCount()) {
    for (int i = 0; i < UsableActionCount(macroKeyInfo); ++i) {
      currentMacroAction_->InsertAction(macroKeyInfo.MacroList[i], index + i);
    }
  }
  RebuildCurrentAction();
  CheckActionCount(macroKeyInfo);
}

void TxaMacroClass::InsertMacroAfter(const TMACROKEYINFO& macroKeyInfo, int index) {
  if (currentMacroAction_ == nullptr) {
    return;
  }
  if (index >= 0 && index <= currentMacroAction_->GetCount()) {
    for (int i = 0; i < UsableActionCount(macroKeyInfo); ++i) {
      currentMacroAction_->InsertActionAfter(macroKeyInfo.MacroList[i], index + i);
    }
  }
  RebuildCurrentAction();
  CheckActionCount(macroKeyInfo);
}

void TxaMacroClass::GetCurrentMacroKeyItem(TMACROKEYINFO& macroKeyInfo) const {
  if (IsValidMacroIndex(macroListIndex_)) {
    macroKeyInfo = macroKeyInfoList_[Slot(macroListIndex_)];
  }
}

void TxaMacroClass::SaveBackCurrentMacroKeyInfo(const TMACROKEYINFO& macroKeyInfo) {
  if (!IsValidMacroIndex(macroListIndex_)) {
    return;
  }
  macroKeyInfoList_[Slot(macroListIndex_)] = macroKeyInfo;
  RebuildCurrentAction();
}

void TxaMacroClass::SetMacroLoopValue(int index, int loopValue) {
  TMACROKEYINFO& macro = MacroAt(index, "SetMacroLoopValue");
  CheckNumericValue(loopValue, "loop value");
  macro.nLoopCount = static_cast<std::uint16_t>(loopValue);
  RebuildCurrentAction();
}

void TxaMacroClass::CheckAllErrors() {
  // A damaged count is reported after every macro was checked.
  int firstDamaged = -1;
  for (int index = 0; index < MacroListCount(); ++index) {
    const TMACROKEYINFO macro = macroKeyInfoList_[Slot(index)];
    TxaActionsClass::Bind(macro, *this, index)->CheckErrors();
    if (firstDamaged < 0 && macro.MacroListCount > kMacroActionCapacity) {
      firstDamaged = index;
    }
  }
  if (firstDamaged >= 0) {
    CheckActionCount(macroKeyInfoList_[Slot(firstDamaged)]);
  }
}

}  // namespace monitor
