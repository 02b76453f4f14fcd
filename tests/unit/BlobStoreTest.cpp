#include <gtest/gtest.h>

#include <vector>

#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"
#include "platform/PlatformError.h"
#include "profiles/BlobStore.h"

namespace monitor {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Filled(std::size_t size, std::uint8_t value) { return Bytes(size, value); }

class BlobStoreTest : public ::testing::Test {
 protected:
  BlobStoreTest() : store_(registry_, files_) {
    store_.SetRootKey(RegistryRoot::CurrentUser);
    store_.SetKeyPath(u"software\\QuorvaxGM3");
    store_.SetFileName(u"ZV3PROFILE.pfd");
    files_.AddFolder(u"C:\\Docs");
  }

  void StoreValue(const RegistryValue& value) {
    registry_.OpenKey(RegistryRoot::CurrentUser, u"software\\QuorvaxGM3", KeyOpening::CreateIfMissing)
        ->SetValue(u"ZV3PROFILE.pfd", value);
  }
  std::optional<RegistryValue> StoredValue() {
    const auto key =
        registry_.OpenKey(RegistryRoot::CurrentUser, u"software\\QuorvaxGM3", KeyOpening::ExistingOnly);
    return key ? key->QueryValue(u"ZV3PROFILE.pfd") : std::nullopt;
  }
  // Counts the after-events, which fire only when an operation took place.
  void CountAfterEvents() {
    const auto count = [this](const ProfileStream&) { ++afterEvents_; };
    store_.OnAfterLoadFromRegistry = count;
    store_.OnAfterSaveToRegistry = count;
    store_.OnAfterLoadFromFile = count;
    store_.OnAfterSaveToFile = count;
  }

  fakes::FakeRegistry registry_;
  fakes::FakeFileSystem files_;
  TxaProfile store_;
  int afterEvents_ = 0;
};

TEST_F(BlobStoreTest, WriteGrowsButNeverShrinksAndReadCopiesWhatIsThere) {
  store_.Write(Filled(109816, 0x11));
  EXPECT_EQ(store_.Write(Filled(892, 0x22)), 892u);
  ASSERT_EQ(store_.Stream().size(), 109816u);
  EXPECT_EQ(store_.Size(), 109816);
  EXPECT_EQ(store_.Stream()[891], 0x22);
  EXPECT_EQ(store_.Stream()[892], 0x11);  // beyond the write: old bytes stay

  Bytes small(10, 0xEE);
  store_.SetSize(4);
  EXPECT_EQ(store_.Read(small), 4u);
  EXPECT_EQ(small, (Bytes{0x22, 0x22, 0x22, 0x22, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}));
}

TEST_F(BlobStoreTest, RegistryLoadTakesExactlyTheStoredSize) {
  struct Case {
    const char* label;
    std::size_t stored;
  };
  for (const Case& c : {Case{"shorter value shrinks", 100}, Case{"longer value grows", 1000},
                        Case{"empty value empties", 0}}) {
    SCOPED_TRACE(c.label);
    store_.Write(Filled(892, 0x55));
    const std::int64_t sizeBefore = store_.Size();
    StoreValue({RegistryValueType::Binary, Filled(c.stored, 0x77)});
    ASSERT_TRUE(store_.LoadStreamFromRegistry());
    EXPECT_EQ(store_.Stream().size(), c.stored);
    EXPECT_EQ(store_.Size(), sizeBefore);  // a load does not change the recorded size

    Bytes record(892, 0x00);
    EXPECT_EQ(store_.Read(record), std::min<std::size_t>(c.stored, 892));
    EXPECT_EQ(record.front(), c.stored > 0 ? 0x77 : 0x00);
    EXPECT_EQ(record.back(), c.stored >= 892 ? 0x77 : 0x00);  // the rest of the record is untouched
  }
}

TEST_F(BlobStoreTest, NothingToLoadOrNowhereToSaveIsFalseAndChangesNothing) {
  StoreValue({RegistryValueType::Binary, Filled(8, 0x77)});
  struct Case {
    const char* label;
    std::uint32_t root;
    std::u16string keyPath;
    std::u16string name;
  };
  const Case cases[] = {
      {"root left at 0", 0, u"software\\QuorvaxGM3", u"ZV3PROFILE.pfd"},
      {"another root", 0x80000003u, u"software\\QuorvaxGM3", u"ZV3PROFILE.pfd"},
      {"no key path", 0x80000001u, u"", u"ZV3PROFILE.pfd"},
      {"no value name", 0x80000001u, u"software\\QuorvaxGM3", u""},
  };
  CountAfterEvents();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    store_.SetRootKey(c.root);
    store_.SetKeyPath(c.keyPath);
    store_.SetFileName(c.name);
    store_.Write(Filled(4, 0x01));
    EXPECT_FALSE(store_.LoadStreamFromRegistry());
    EXPECT_FALSE(store_.SaveStreamToRegistry());
    EXPECT_EQ(store_.Stream(), Filled(4, 0x01));
  }
  store_.SetRootKey(RegistryRoot::CurrentUser);
  store_.SetKeyPath(u"software\\QuorvaxGM3");
  store_.SetFileName(u"Missing.pfd");
  EXPECT_FALSE(store_.LoadStreamFromRegistry());
  EXPECT_EQ(store_.Stream(), Filled(4, 0x01));
  EXPECT_EQ(afterEvents_, 0);
  EXPECT_EQ(StoredValue()->data, Filled(8, 0x77));
}

TEST_F(BlobStoreTest, TextOrNumberValueIsAnErrorAndOtherTypesAreBytes) {
  store_.Write(Filled(4, 0x01));
  CountAfterEvents();
  for (const RegistryValue& wrong : {RegistryValue{RegistryValueType::String, {u'x', 0, 0, 0}},
                                     RegistryValue{RegistryValueType::ExpandString, {0, 0}}, DwordValue(3)}) {
    StoreValue(wrong);
    EXPECT_THROW(store_.LoadStreamFromRegistry(), PlatformError);
    EXPECT_EQ(store_.Stream(), Filled(4, 0x01));
  }
  EXPECT_EQ(afterEvents_, 0);

  StoreValue({RegistryValueType::None, {9, 8, 7}});
  EXPECT_TRUE(store_.LoadStreamFromRegistry());
  EXPECT_EQ(store_.Stream(), (Bytes{9, 8, 7}));
}

TEST_F(BlobStoreTest, KeyThatCannotBeOpenedLoadsNothingButSavesFail) {
  registry_.DenyAccess(RegistryRoot::CurrentUser, u"software\\QuorvaxGM3");
  store_.Write(Filled(4, 0x01));
  CountAfterEvents();
  EXPECT_TRUE(store_.LoadStreamFromRegistry());
  EXPECT_EQ(store_.Stream(), Filled(4, 0x01));
  EXPECT_FALSE(store_.SaveStreamToRegistry());
  EXPECT_EQ(afterEvents_, 1);  // the load's
}

TEST_F(BlobStoreTest, SaveWritesTheWholeStreamAsBinary) {
  store_.Write(Filled(30954, 0x42));
  CountAfterEvents();
  ASSERT_TRUE(store_.SaveStreamToRegistry());
  EXPECT_EQ(StoredValue(), (RegistryValue{RegistryValueType::Binary, Filled(30954, 0x42)}));
  EXPECT_EQ(afterEvents_, 1);

  registry_.FailWrites(true);
  EXPECT_THROW(store_.SaveStreamToRegistry(), PlatformError);
  EXPECT_EQ(afterEvents_, 1);
}

TEST_F(BlobStoreTest, BeforeEventsVetoTheirOperation) {
  StoreValue({RegistryValueType::Binary, Filled(8, 0x77)});
  files_.AddFile(u"C:\\Docs\\ZV3PROFILE.pfd", Filled(8, 0x66));
  store_.SetFilePath(u"C:\\Docs");
  const auto veto = [](ProfileStream&, bool& bContinue) { bContinue = false; };
  store_.OnBeforeLoadFromRegistry = veto;
  store_.OnBeforeSaveToRegistry = veto;
  store_.OnBeforeLoadFromFile = veto;
  store_.OnBeforeSaveToFile = veto;
  store_.Write(Filled(4, 0x01));
  CountAfterEvents();

  EXPECT_FALSE(store_.LoadStreamFromRegistry());
  EXPECT_FALSE(store_.SaveStreamToRegistry());
  EXPECT_FALSE(store_.LoadStreamFromFile());
  EXPECT_FALSE(store_.LoadStreamFromFile(u"C:\\Docs\\ZV3PROFILE.pfd"));
  EXPECT_FALSE(store_.SaveStreamToFile());
  EXPECT_FALSE(store_.SaveStreamToFile(u"C:\\Docs\\Other.pfd"));
  EXPECT_EQ(store_.Stream(), Filled(4, 0x01));
  EXPECT_EQ(StoredValue()->data, Filled(8, 0x77));
  EXPECT_EQ(files_.WriteCount(), 0);
  EXPECT_EQ(afterEvents_, 0);
}

TEST_F(BlobStoreTest, FilePathTakesOnlyExistingFoldersWithOneTrailingBackslash) {
  store_.SetFilePath(u"C:\\Docs");
  EXPECT_EQ(store_.FilePath(), u"C:\\Docs\\");
  store_.SetFilePath(u"C:\\Missing");
  EXPECT_EQ(store_.FilePath(), u"C:\\Docs\\");
  store_.SetFilePath(u"");
  EXPECT_EQ(store_.FilePath(), u"C:\\Docs\\");
  files_.AddFolder(u"C:\\Other");
  store_.SetFilePath(u"C:\\Other\\");
  EXPECT_EQ(store_.FilePath(), u"C:\\Other\\");
}

TEST_F(BlobStoreTest, FilesLoadAndSaveWhole) {
  store_.SetFileName(u"ZV3Profile1.pfd");
  store_.Write(Filled(892, 0x33));
  EXPECT_FALSE(store_.SaveStreamToFile());  // no folder set
  EXPECT_FALSE(store_.LoadStreamFromFile());

  store_.SetFilePath(u"C:\\Docs");
  ASSERT_TRUE(store_.SaveStreamToFile());
  EXPECT_EQ(files_.Contents(u"C:\\Docs\\ZV3Profile1.pfd"), Filled(892, 0x33));

  files_.AddFile(u"C:\\Docs\\ZV3Profile1.pfd", Filled(5, 0x44));
  ASSERT_TRUE(store_.LoadStreamFromFile());
  EXPECT_EQ(store_.Stream(), Filled(5, 0x44));

  files_.AddFile(u"C:\\Elsewhere\\Import.pfd", Filled(7, 0x45));
  ASSERT_TRUE(store_.LoadStreamFromFile(u"C:\\Elsewhere\\Import.pfd"));
  EXPECT_EQ(store_.Stream(), Filled(7, 0x45));
  EXPECT_EQ(store_.FilePath(), u"C:\\Docs\\");  // loading by path keeps the properties
  EXPECT_FALSE(store_.LoadStreamFromFile(u"C:\\Elsewhere\\Missing.pfd"));

  files_.MakeUnreadable(u"C:\\Docs\\ZV3Profile1.pfd");
  EXPECT_THROW(store_.LoadStreamFromFile(), PlatformError);
  EXPECT_EQ(store_.Stream(), Filled(7, 0x45));
}

TEST_F(BlobStoreTest, SavingByPathCreatesOnlyTheLastFolderLevel) {
  store_.Write(Filled(3, 0x01));
  EXPECT_TRUE(store_.SaveStreamToFile(u"C:\\Docs\\New\\A.pfd"));
  EXPECT_EQ(files_.Contents(u"C:\\Docs\\New\\A.pfd"), Filled(3, 0x01));
  EXPECT_FALSE(store_.SaveStreamToFile(u"C:\\Docs\\Two\\Levels\\A.pfd"));
  EXPECT_FALSE(files_.FolderExists(u"C:\\Docs\\Two"));

  // A failing write of the own-path save propagates and writes nothing.
  store_.SetFilePath(u"C:\\Docs\\New");
  files_.MakeUnwritable(u"C:\\Docs\\New");
  EXPECT_THROW(store_.SaveStreamToFile(), PlatformError);
  EXPECT_EQ(files_.Contents(u"C:\\Docs\\New\\ZV3PROFILE.pfd"), std::nullopt);
}

TEST_F(BlobStoreTest, PreSavePreparesTheFolderAndTakesThePath) {
  EXPECT_TRUE(store_.PreSaveStreamToFile(u"C:\\Docs\\Export\\Mine.pfd"));
  EXPECT_TRUE(files_.FolderExists(u"C:\\Docs\\Export"));
  EXPECT_EQ(store_.FilePath(), u"C:\\Docs\\Export\\");
  EXPECT_EQ(store_.FileName(), u"Mine.pfd");
  EXPECT_EQ(files_.WriteCount(), 0);
  EXPECT_FALSE(store_.PreSaveStreamToFile(u"C:\\No\\Such\\Mine.pfd"));
  EXPECT_EQ(store_.FileName(), u"Mine.pfd");
}

TEST_F(BlobStoreTest, RestoreToDefaultHandsTheStreamToItsHandler) {
  store_.RestoreToDefault();  // no handler: nothing happens
  store_.Write(Filled(2, 0));
  store_.OnRestoreToDefault = [](ProfileStream& stream) { stream.assign({1, 2, 3}); };
  store_.RestoreToDefault();
  EXPECT_EQ(store_.Stream(), (Bytes{1, 2, 3}));
}

}  // namespace
}  // namespace monitor
