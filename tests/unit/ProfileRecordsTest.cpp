#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "profiles/FixedText.h"
#include "profiles/ProfileRecords.h"
#include "profiles/RecordImage.h"

namespace monitor {
namespace {

// Records are large; keep them off the stack.
template <class Record>
std::unique_ptr<Record> Zeroed() {
  return std::make_unique<Record>();
}

std::uint16_t U16At(std::span<const std::uint8_t> bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(bytes[offset] | bytes[offset + 1] << 8);
}

std::vector<std::uint8_t> NoisyImage(std::size_t size) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = 0x9E3779B9u;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

TEST(ProfileRecords, ButtonFieldsLieAtTheirStoredProfileOffsets) {
  auto profile = Zeroed<TMouseProfileInfo>();
  TBUTTONFUNCINFO& button6 = profile->ConfigInfo.ButtonFuncInfo[6];
  button6.FunctionIndex = 0x1F2E;
  button6.MacroKeyInfo.MacroList[0].nKeyType = 0x0A0B;
  profile->ConfigInfo.ButtonFuncInfo[14].DeviceCode = 0x11223344u;

  const auto bytes = RecordBytes(*profile);
  EXPECT_EQ(U16At(bytes, 27258), 0x1F2E);  // 872 + 6 * 3772 + 3754
  EXPECT_EQ(U16At(bytes, 23528), 0x0A0B);  // 872 + 6 * 3772 + 24
  const std::size_t deviceCode14 = 872 + 14 * 3772 + 3760;
  EXPECT_EQ(bytes[deviceCode14], 0x44);
  EXPECT_EQ(bytes[deviceCode14 + 3], 0x11);
}

TEST(ProfileRecords, TimeStampIsAnEightByteDoubleAtOffset64) {
  auto profile = Zeroed<TMouseProfileInfo>();
  profile->ProfileHeader.FProfileUID.SetDataTime(46000.5);  // a date at noon
  const auto bytes = RecordBytes(*profile);
  double stored;
  std::memcpy(&stored, bytes.data() + 64, sizeof stored);
  EXPECT_EQ(stored, 46000.5);
  EXPECT_EQ(profile->ProfileHeader.FProfileUID.DataTime(), 46000.5);
}

// Loading a stored image and writing it back must reproduce every byte,
// padding and reserved areas included, also after the record was copied.
template <class Record>
void ExpectImageSurvivesLoadCopyAndStore() {
  const std::vector<std::uint8_t> stored = NoisyImage(sizeof(Record));
  auto loaded = Zeroed<Record>();
  ASSERT_EQ(CopyImageInto(*loaded, stored), sizeof(Record));
  auto copied = std::make_unique<Record>(*loaded);
  const auto written = RecordBytes(*copied);
  EXPECT_TRUE(std::equal(written.begin(), written.end(), stored.begin(), stored.end()));
}

TEST(ProfileRecords, EveryStoredRecordRoundTripsByteForByte) {
  ExpectImageSurvivesLoadCopyAndStore<TMouseProfileInfo>();
  ExpectImageSurvivesLoadCopyAndStore<TALLGAMESINFO>();
  ExpectImageSurvivesLoadCopyAndStore<TProfileSettingGroup>();
  ExpectImageSurvivesLoadCopyAndStore<TMACROKEYINFO>();
  ExpectImageSurvivesLoadCopyAndStore<TMACROKEY>();
}

TEST(ProfileRecords, ShortImageFillsOnlyItsBytesAndLongImageIsCut) {
  auto macro = Zeroed<TMACROKEYINFO>();
  macro->ErrorCount = 77;
  const std::vector<std::uint8_t> shortImage(10, 0xAB);
  EXPECT_EQ(CopyImageInto(*macro, shortImage), 10u);
  EXPECT_EQ(macro->MacroList[1].nKeyType, 0xABAB);  // bytes 6..7
  EXPECT_EQ(macro->MacroList[1].VALUE1, 0);         // byte 10, untouched
  EXPECT_EQ(macro->ErrorCount, 77);

  const std::vector<std::uint8_t> longImage = NoisyImage(2000);
  EXPECT_EQ(CopyImageInto(*macro, longImage), sizeof(TMACROKEYINFO));
  EXPECT_TRUE(std::equal(longImage.begin(), longImage.begin() + 892, RecordBytes(*macro).begin()));
}

TEST(ProfileRecords, PerTypeValueNamesAreTheTwoValueBytes) {
  TMACROKEY delay{};
  delay.nKeyType = 6;
  delay.DELAY_L() = 0x2C;
  delay.DELAY_H() = 0x01;
  const auto bytes = RecordBytes(delay);
  EXPECT_EQ(bytes[4], 0x2C);
  EXPECT_EQ(bytes[5], 0x01);
  const TMACROKEY& constDelay = delay;
  EXPECT_EQ(constDelay.DELAY_L() + 256 * constDelay.DELAY_H(), 300);
}

TEST(ProfileRecords, FullProfileFileNameIsReadWithoutTerminator) {
  auto group = Zeroed<TProfileSettingGroup>();
  TPROFILESETTINGINFO& entry = group->ProfileSettingList[2];
  const std::u16string name21 = u"ABCDEFGHIJKLMNOPQ.pfd";
  ASSERT_EQ(name21.size(), 21u);
  EXPECT_TRUE(WriteFixedText(entry.ProfileFileName, name21, FixedTextEnd::MayFill));
  entry.ProfileMacroPath[0] = u'X';  // the next field follows without a gap
  EXPECT_EQ(ReadFixedText(entry.ProfileFileName), name21);
}

}  // namespace
}  // namespace monitor
