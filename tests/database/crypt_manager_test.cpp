#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "database/CryptManager.h"

namespace quillor {
namespace {

using ::testing::ElementsAre;

TEST(CryptManager, DescramblingWrapsBelowTheKeyAndSubtractsAbove) {
  TStringList lines{std::string(1, static_cast<char>(0x00)) + static_cast<char>(kScrambleKey - 1),
                    std::string(1, static_cast<char>(kScrambleKey)) + static_cast<char>(0xFF), ""};
  TCryptManager().DecryptLines(lines);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(static_cast<uint8_t>(lines[0][0]), 256 - kScrambleKey);
  EXPECT_EQ(static_cast<uint8_t>(lines[0][1]), 0xFF);
  EXPECT_EQ(static_cast<uint8_t>(lines[1][0]), 0x00);
  EXPECT_EQ(static_cast<uint8_t>(lines[1][1]), 0xFF - kScrambleKey);
  EXPECT_EQ(lines[2], "");
}

TEST(CryptManager, EveryStorableByteSurvivesTheRoundTripThroughTheFileFormat) {
  std::string plain;
  for (int b = 0; b < 256; ++b) {
    if (!TCryptManager::UnstorableByte(static_cast<unsigned char>(b)) && b != '\r' && b != '\n' && b != 0) {
      plain += static_cast<char>(b);
    }
  }
  TStringList lines{"CIP;Designation;Prix", plain, "", "cr\xE8me"};
  const TStringList original = lines;
  TCryptManager().EncryptLines(lines);
  std::string file;
  for (const std::string& line : lines) file += line + "\r\n";
  TStringList read = SplitLines(file);
  TCryptManager().DecryptLines(read);
  EXPECT_EQ(read, original);
}

TEST(CryptManager, OnlyRareWindows1252BytesCannotBeStored) {
  std::vector<int> unstorable;
  for (int b = 0; b < 256; ++b) {
    if (TCryptManager::UnstorableByte(static_cast<unsigned char>(b))) unstorable.push_back(b);
  }
  EXPECT_THAT(unstorable, ElementsAre(0x81, 0x8B, 0x8E));
  EXPECT_EQ(TCryptManager::FindUnstorableByte("abc\x8B"
                                              "d"),
            3u);
  EXPECT_EQ(TCryptManager::FindUnstorableByte("\xE9\xE8\xE7\xC9 ;,.'"), std::string::npos);
}

}  // namespace
}  // namespace quillor
