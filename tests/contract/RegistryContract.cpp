#include "contract/RegistryContract.h"

#include <vector>

#include "profiles/TextCase.h"

namespace monitor::contract {
namespace {

std::vector<std::uint8_t> Pattern(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  for (std::size_t i = 0; i < size; ++i) {
    bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
  }
  return bytes;
}

RegistryValue Utf16String(std::u16string_view text) {
  RegistryValue value{RegistryValueType::String, {}};
  for (const char16_t unit : text) {
    value.data.push_back(static_cast<std::uint8_t>(unit));
    value.data.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  value.data.push_back(0);
  value.data.push_back(0);
  return value;
}

}  // namespace

std::u16string RegistryContract::TestKey() const {
  const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::u16string key = GetParam().scratchKey + u"\\";
  for (const char c : test) {
    key += c == '/' ? u'_' : static_cast<char16_t>(c);
  }
  return key;
}

TEST_P(RegistryContract, ValuesOfEveryKindReadBackExactly) {
  struct Case {
    std::u16string_view name;
    RegistryValue value;
  };
  const Case cases[] = {
      {u"profile-sized binary", {RegistryValueType::Binary, Pattern(109816)}},
      {u"empty binary", {RegistryValueType::Binary, {}}},
      {u"dword", DwordValue(0x01020304u)},
      {u"string", Utf16String(u"ZV3Profile1.pfd")},
  };
  const auto key = registry_->OpenKey(RegistryRoot::CurrentUser, TestKey(), KeyOpening::CreateIfMissing);
  ASSERT_NE(key, nullptr);
  for (const Case& c : cases) {
    key->SetValue(c.name, c.value);
  }
  // Read through a second opening: the values are stored, not cached.
  const auto again = registry_->OpenKey(RegistryRoot::CurrentUser, TestKey(), KeyOpening::ExistingOnly);
  ASSERT_NE(again, nullptr);
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.value.type));
    const auto read = again->QueryValue(c.name);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(read->type, c.value.type);
    EXPECT_EQ(read->data, c.value.data);
  }
}

TEST_P(RegistryContract, ReplacingAValueTakesTheNewSizeAndType) {
  const auto key = registry_->OpenKey(RegistryRoot::CurrentUser, TestKey(), KeyOpening::CreateIfMissing);
  ASSERT_NE(key, nullptr);
  key->SetValue(u"Record", {RegistryValueType::Binary, Pattern(892)});
  key->SetValue(u"Record", {RegistryValueType::Binary, Pattern(10)});
  EXPECT_EQ(key->QueryValue(u"Record")->data, Pattern(10));

  key->SetValue(u"Record", DwordValue(3));
  const auto read = key->QueryValue(u"Record");
  EXPECT_EQ(read->type, RegistryValueType::Dword);
  EXPECT_EQ(DwordOf(*read), 3u);
}

TEST_P(RegistryContract, NamesAndPathsIgnoreCase) {
  const auto key = registry_->OpenKey(RegistryRoot::CurrentUser, TestKey(), KeyOpening::CreateIfMissing);
  ASSERT_NE(key, nullptr);
  key->SetValue(u"ProfileID", DwordValue(1));
  key->SetValue(u"PROFILEID", DwordValue(2));  // the same value

  const auto upper =
      registry_->OpenKey(RegistryRoot::CurrentUser, AsciiUppercase(TestKey()), KeyOpening::ExistingOnly);
  ASSERT_NE(upper, nullptr);
  EXPECT_EQ(DwordOf(*upper->QueryValue(u"profileid")), 2u);
}

TEST_P(RegistryContract, MissingKeysAndValuesAreReportedNotCreated) {
  const std::u16string parent = TestKey();
  const std::u16string child = parent + u"\\Level1\\Level2";

  EXPECT_EQ(registry_->OpenKey(RegistryRoot::CurrentUser, child, KeyOpening::ExistingOnly), nullptr);
  // Opening an existing-only key must not have created it.
  EXPECT_EQ(registry_->OpenKey(RegistryRoot::CurrentUser, child, KeyOpening::ExistingOnly), nullptr);

  const auto created = registry_->OpenKey(RegistryRoot::CurrentUser, child, KeyOpening::CreateIfMissing);
  ASSERT_NE(created, nullptr);
  EXPECT_FALSE(created->QueryValue(u"NoSuchValue").has_value());
  // Every missing level was created on the way.
  EXPECT_NE(registry_->OpenKey(RegistryRoot::CurrentUser, parent + u"\\Level1", KeyOpening::ExistingOnly),
            nullptr);
  // The roots are separate trees.
  EXPECT_EQ(registry_->OpenKey(RegistryRoot::LocalMachine, child, KeyOpening::ExistingOnly), nullptr);
}

TEST_P(RegistryContract, UnknownRootOpensNothing) {
  EXPECT_EQ(registry_->OpenKey(static_cast<RegistryRoot>(0), TestKey(), KeyOpening::CreateIfMissing),
            nullptr);
  EXPECT_EQ(
      registry_->OpenKey(static_cast<RegistryRoot>(0x80000003u), TestKey(), KeyOpening::CreateIfMissing),
      nullptr);
}

}  // namespace monitor::contract
