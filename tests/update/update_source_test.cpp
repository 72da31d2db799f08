// What the user may name as the source of an update.
#include <gtest/gtest.h>

#include "tests/update/UpdateFixtures.h"
#include "update/UpdateSource.h"

namespace quillor::update::test {
namespace {

TEST(UpdateSourceTest, AnHttpsAddressIsTheBaseOfEveryFile) {
  std::string why;
  const auto source = ReadUpdateSource("https://127.0.0.1:8443/exports", &why);
  ASSERT_TRUE(source) << why;
  EXPECT_EQ(source->kind, TUpdateSource::TKind::kWeb);
  EXPECT_EQ(source->location, "https://127.0.0.1:8443/exports/");
  EXPECT_EQ(FileLocation(*source, "CIS_bdpm.txt"), "https://127.0.0.1:8443/exports/CIS_bdpm.txt");
  EXPECT_EQ(ReadUpdateSource("HTTPS://exemple.fr/", &why)->location, "https://exemple.fr/");
}

TEST(UpdateSourceTest, TheBuildsAddressIsThePublicDatabasesByDefault) {
  const TUpdateSettings settings = DefaultUpdateSettings();
  EXPECT_EQ(FileLocation(settings.source, "CIS_bdpm.txt"),
            "https://base-donnees-publique.medicaments.gouv.fr/download/file/CIS_bdpm.txt");
  EXPECT_TRUE(settings.caCertificateFile.empty());
  EXPECT_EQ(settings.connectTimeout, kConnectTimeout);
  EXPECT_EQ(settings.readTimeout, kReadTimeout);
}

TEST(UpdateSourceTest, AnythingElseIsAFolder) {
  std::string why;
  for (const char* folder : {"/tmp/exports", "exports", "./exports/", "C:/exports"}) {
    const auto source = ReadUpdateSource(folder, &why);
    ASSERT_TRUE(source) << folder;
    EXPECT_EQ(source->kind, TUpdateSource::TKind::kFolder) << folder;
    EXPECT_EQ(source->location, folder);
  }
  EXPECT_EQ(FileLocation(*ReadUpdateSource("exports", &why), "CIS_bdpm.txt"), "exports/CIS_bdpm.txt");
  const auto file = ReadUpdateSource("file:///tmp/exports", &why);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->kind, TUpdateSource::TKind::kFolder);
  EXPECT_EQ(file->location, "/tmp/exports");
}

TEST(UpdateSourceTest, PlainHttpAndOtherSchemesAreRefusedWithTheirReason) {
  std::string why;
  EXPECT_FALSE(ReadUpdateSource("http://base-donnees-publique.medicaments.gouv.fr/download/file/", &why));
  EXPECT_NE(why.find(Fr("seules les adresses https:// sont acceptées")), std::string::npos) << why;
  EXPECT_FALSE(ReadUpdateSource("ftp://exemple.fr/", &why));
  EXPECT_NE(why.find(Fr("ni une adresse https://, ni un dossier")), std::string::npos) << why;
  EXPECT_FALSE(ReadUpdateSource("https:///chemin", &why));
  EXPECT_EQ(why, Fr("adresse sans serveur : https:///chemin"));
  EXPECT_FALSE(ReadUpdateSource("", &why));
}

}  // namespace
}  // namespace quillor::update::test
