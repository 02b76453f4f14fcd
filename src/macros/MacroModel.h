// The editable view of a profile's macro library: the list of macros with its
// selection (TxaMacroClass) and the action editor of the selected macro
// (TxaActionsClass), which writes every change straight back into the list.
// The same class stores macros as ".macro" files, one 892-byte record each.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "profiles/ProfileRecords.h"

namespace monitor {

class FileSystem;
class TxaMacroClass;

// The actions of one macro. Bound to a model and a position in its list, it
// stores its macro there after every change (write-back). A position that
// no longer lies in the list is left alone, so an editor that outlived a
// delete or a move never writes outside the list.
class TxaActionsClass {
 public:
  static constexpr int kMaxActionsCount = kMacroActionCapacity;

  TxaActionsClass();  // empty and unbound: nothing is written back
  ~TxaActionsClass();
  TxaActionsClass(const TxaActionsClass&) = delete;
  TxaActionsClass& operator=(const TxaActionsClass&) = delete;

  // An editor of the record's actions, bound to position macroIndex of
  // macroClass. A MacroListCount above 128 throws std::out_of_range (the
  // editor built from the first 128 actions is discarded); a negative one
  // counts as none.
  static std::unique_ptr<TxaActionsClass> CtrlCreate(const TMACROKEYINFO& macroKeyInfo,
                                                     TxaMacroClass& macroClass, int macroIndex);

  // The selected action, -1 for none. Writing selects a valid position only.
  [[nodiscard]] int ActionIndex() const { return actionsIndex_; }
  void SetActionIndex(int value);
  [[nodiscard]] int MacroListCount() const { return GetCount(); }
  [[nodiscard]] bool IsFull() const { return GetIsActionsFull(); }
  [[nodiscard]] bool IsEmpty() const { return GetIsActionsEmpty(); }
  // Sum of all delay actions, in milliseconds.
  [[nodiscard]] std::uint32_t TotalDelay() const;

  [[nodiscard]] bool GetIsActionsFull() const;
  [[nodiscard]] bool GetIsActionsEmpty() const;
  [[nodiscard]] int GetCount() const;

  // Inserts before an existing action; refused when full or at any other
  // position (so an empty macro is filled with InsertActionAfter(action, 0)).
  void InsertAction(const TMACROKEY& action, int index);
  // Inserts after an existing action, or appends for index = count.
  void InsertActionAfter(const TMACROKEY& action, int index);
  void DeleteAction(int index);
  void MoveUpAction(int index);
  void MoveDownAction(int index);

  // The clipboard holds one action: a copied one pastes any number of
  // times, a cut one exactly once.
  void CopyAction(int index);
  void CutAction(int index);
  void PasteAction(int index);

  // VALUE1 + 256 * VALUE2 of any action; 0 for an invalid position.
  [[nodiscard]] int GetDelayValue(int index) const;
  // Sets both value bytes whatever the action's type. A delay outside
  // 0..65535 throws std::out_of_range.
  void SetDelayValue(int index, int delay);

  // The editor's macro record holding the edited actions. Entries beyond
  // the count keep what the record held before.
  [[nodiscard]] TMACROKEYINFO GetMacroKeyInfo() const;
  // Replaces record and actions and writes back; a MacroListCount above 128
  // throws std::out_of_range after the first 128 actions were taken and
  // written back.
  void SetMacroKeyInfo(const TMACROKEYINFO& macroKeyInfo);
  void SaveBack();

  // Counts unmatched presses and releases and stores HaveErrors and
  // ErrorCount into the model's list only, not into this editor's record.
  void CheckErrors();

 private:
  friend class TxaMacroClass;

  // CtrlCreate without the count check: the model installs the editor
  // before it reports a damaged count.
  static std::unique_ptr<TxaActionsClass> Bind(const TMACROKEYINFO& macroKeyInfo, TxaMacroClass& macroClass,
                                               int macroIndex);
  [[nodiscard]] bool IsValidActionIndex(int index) const;
  void LoadActions(const TMACROKEYINFO& macroKeyInfo);
  void ExchangeActions(int first, int second);

  TMACROKEYINFO orgMacroKeyInfo_{};
  std::vector<TMACROKEY> actionsList_;
  int actionsIndex_ = -1;
  TxaMacroClass* macroClass_ = nullptr;  // not owned
  int macroIndex_ = -1;
  bool cutOperationFlag_ = false;
  std::optional<TMACROKEY> savedAction_;  // the action clipboard
};

// The macros of one profile, in display order, with the selected macro and
// its action editor. The editor is rebuilt only when a macro is selected,
// saved back, given a loop value or inserted into; after creating, renaming,
// moving or deleting macros the caller selects again before editing actions.
class TxaMacroClass {
 public:
  static constexpr int kMaxMacroListCount = 20;  // full from here on; a 21st is still accepted

  TxaMacroClass();  // empty, nothing selected, no editor
  ~TxaMacroClass();
  TxaMacroClass(const TxaMacroClass&) = delete;
  TxaMacroClass& operator=(const TxaMacroClass&) = delete;

  // A model of the record's macros with the first one selected. An
  // nMacroInfoCount above 21 throws std::out_of_range.
  static std::unique_ptr<TxaMacroClass> CtlCreate(const TMACROKEYINFOLIST& macroKeyInfoList);
  // Appends the record's macros to the list and selects the first macro.
  // An nMacroInfoCount above 21 throws std::out_of_range after the first 21
  // were appended.
  void SetMacroKeyInfoList(const TMACROKEYINFOLIST& macroKeyInfoList);
  // Writes the macros into the record; entries beyond them keep their bytes.
  // More than 21 macros throw std::out_of_range after the first 21 were
  // written.
  void GetMacroKeyInfoList(TMACROKEYINFOLIST& macroKeyInfoList) const;

  // The selected macro, -1 exactly when the list is empty. Writing a valid
  // position selects it and rebuilds the editor; anything else is ignored.
  [[nodiscard]] int MacroListIndex() const { return macroListIndex_; }
  void SetMacroListIndex(int value);
  [[nodiscard]] int MacroListCount() const;
  [[nodiscard]] bool IsFull() const;
  [[nodiscard]] bool IsEmpty() const;
  // A copy of the selected macro; a zero record when the list is empty.
  [[nodiscard]] TMACROKEYINFO CurrentMacroKeyInfo() const;
  // The editor of the selected macro; null until a macro is first selected.
  [[nodiscard]] TxaActionsClass* CurrentMacroAction() const { return currentMacroAction_.get(); }

  // Names are compared case-sensitively as they are stored: cut to 49
  // characters and up to a zero unit.
  void CreateNewMacro(std::u16string_view macroName);
  // Throws std::out_of_range for an invalid index.
  void ReNameMacro(std::u16string_view macroName, int index);
  void MoveUpMacro(int index);
  void MoveDownMacro(int index);
  void DeleteMacro(int index);
  void DeleteMacro(std::u16string_view macroName);
  [[nodiscard]] bool MacroExists(std::u16string_view macroName) const;
  [[nodiscard]] int IndexOfMacroName(std::u16string_view macroName) const;

  // Insert the record's actions into the selected macro through its editor,
  // before (InsertMacro) or after (InsertMacroAfter) position index, as many
  // as fit. Nothing while no macro was selected yet or for a position where
  // the first action cannot go.
  void InsertMacro(const TMACROKEYINFO& macroKeyInfo, int index);
  void InsertMacroAfter(const TMACROKEYINFO& macroKeyInfo, int index);

  // Copies the selected macro into macroKeyInfo; unchanged when empty.
  void GetCurrentMacroKeyItem(TMACROKEYINFO& macroKeyInfo) const;
  // Replaces the selected macro and rebuilds its editor.
  void SaveBackCurrentMacroKeyInfo(const TMACROKEYINFO& macroKeyInfo);
  // Throws std::out_of_range for an invalid index or a loop value outside
  // 0..65535.
  void SetMacroLoopValue(int index, int loopValue);
  void CheckAllErrors();

  // ".macro" files: each the 892 bytes of one record.
  //
  // Writes the record's macros (at most 21) into macroPath as
  // "<name>.macro", creating the folder's last level when missing; a later
  // macro of the same name replaces an earlier one. An empty path throws
  // std::out_of_range. A name no Windows file can carry, or a failed write,
  // fails that macro alone; once the others are written, one PlatformError
  // names every macro that failed.
  static void SaveMacroKeyInfoListToMacroFiles(FileSystem& files, const TMACROKEYINFOLIST& macroKeyInfoList,
                                               std::u16string_view macroPath);
  // Copies the file's bytes over the front of result (a short file fills
  // only its length); a missing file leaves result unchanged. The version is
  // not checked here.
  static void LoadMacroFromFile(FileSystem& files, std::u16string_view macroFile, TMACROKEYINFO& result);
  [[nodiscard]] static bool IsValidMacroVersion(const TMACROKEYINFO& macroKeyInfo);

 private:
  friend class TxaActionsClass;

  [[nodiscard]] bool IsValidMacroIndex(int index) const;
  void RenumberMacros();
  void RebuildCurrentAction();
  void AppendMacroKeyInfoList(const TMACROKEYINFOLIST& macroKeyInfoList);
  void ExchangeMacros(int first, int second);
  [[nodiscard]] TMACROKEYINFO& MacroAt(int index, const char* operation);

  std::vector<TMACROKEYINFO> macroKeyInfoList_;
  int macroListIndex_ = -1;
  std::unique_ptr<TxaActionsClass> currentMacroAction_;
};

}  // namespace monitor
