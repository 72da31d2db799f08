// Which folder the program works in: its own working directory when that has
// Data/, else the installed data's folder when that has Data/, else it stays.
#include <gtest/gtest.h>

#include <QString>

#include "tests/support/TempDir.h"
#include "update/DataFolder.h"

namespace quillor {
namespace {

using test::TempDir;

QString Q(const std::filesystem::path& path) {
  return QString::fromStdString(path.string());
}

class DataFolderTest : public ::testing::Test {
 protected:
  // An installed tree laid out as the install rules lay it out (bin/ and the
  // data's folder under one prefix), the data's folder reached from bin/
  // through "..", as the program reaches it.
  void Install() {
    fRoot.Write(std::string(kBinDir) + "/quillor", "");
    fRoot.Write(std::string(kDataDir) + "/Data/Versions.ini", "[EURO]\r\n");
  }
  QString InstalledFromBin() const { return Q(fRoot.Path() / kBinDir / ".." / kDataDir); }
  QString Installed() const { return Q(fRoot.Path() / kDataDir); }

  static constexpr const char* kBinDir = QUILLOR_TEST_INSTALL_BINDIR;
  static constexpr const char* kDataDir = QUILLOR_TEST_INSTALL_DATA_DIR;

  TempDir fRoot;
  TempDir fWorking;
};

TEST_F(DataFolderTest, AWorkingFolderWithDataIsKeptEvenWithTheDataInstalled) {
  Install();
  fWorking.Write("Data/Versions.ini", "");
  EXPECT_EQ(DataFolderToEnter(Q(fWorking.Path()), InstalledFromBin()), QString());
}

TEST_F(DataFolderTest, AFolderWithoutDataGivesTheInstalledFolderWithoutDotDot) {
  Install();
  fWorking.Write("Commandes/ancienne.txt", "");
  EXPECT_EQ(DataFolderToEnter(Q(fWorking.Path()), InstalledFromBin()), Installed());
  // Data inside a subfolder of the working directory does not count.
  EXPECT_EQ(DataFolderToEnter(Q(fWorking.Path() / "Commandes"), InstalledFromBin()), Installed());
}

TEST_F(DataFolderTest, AFileNamedDataIsNoDataFolder) {
  Install();
  fWorking.Write("Data", "not a folder");
  EXPECT_EQ(DataFolderToEnter(Q(fWorking.Path()), InstalledFromBin()), Installed());
}

TEST_F(DataFolderTest, WithNothingInstalledTheProgramStaysWhereItIs) {
  // A build tree's bin/ has no share/ beside it: the window then reports the
  // missing files in the working directory, as it always did.
  EXPECT_EQ(DataFolderToEnter(Q(fWorking.Path()), InstalledFromBin()), QString());
  fRoot.Write(std::string(kDataDir) + "/Versions.ini", "");  // the folder without its Data/
  EXPECT_EQ(DataFolderToEnter(Q(fWorking.Path()), InstalledFromBin()), QString());
}

TEST_F(DataFolderTest, TheInstalledFolderIsFoundFromTheProgramsFolder) {
  Install();
  EXPECT_EQ(DataFolderToEnter(Q(fWorking.Path()), InstalledDataFolder(Q(fRoot.Path() / kBinDir))),
            Installed());
}

}  // namespace
}  // namespace quillor
