#include "host/bundle.hpp"

#include <gtest/gtest.h>

#include "support/scratch.hpp"

namespace vx::host {
namespace {

using testing::bundleInfoPlist;
using testing::ScratchFolder;
using testing::writeFile;

TEST(PlistString, ReadsTopLevelStringsOfAPlistWithDeclarationAndDoctype) {
  auto document = bundleInfoPlist("com.vantorix.desktop.widgets", "42");
  EXPECT_EQ(plistStringIn(document, "CFBundleIdentifier"), "com.vantorix.desktop.widgets");
  EXPECT_EQ(plistStringIn(document, "CFBundleVersion"), "42");
  EXPECT_EQ(plistStringIn(document, "CFBundleName"), std::nullopt);
}

TEST(PlistString, DecodesEntitiesAndKeepsWhitespaceOfTheValue) {
  auto document = R"(<plist><dict><key>A&amp;B</key><string> x &lt; y </string></dict></plist>)";
  EXPECT_EQ(plistStringIn(document, "A&B"), " x < y ");
}

TEST(PlistString, IgnoresKeysOfNestedDictionariesAndNonStringValues) {
  auto document = R"(<plist version="1.0"><dict>
    <key>Nested</key><dict><key>CFBundleVersion</key><string>9</string></dict>
    <key>Count</key><integer>3</integer>
    <key>List</key><array><string>a</string></array>
    <key>CFBundleIdentifier</key><string>id</string>
  </dict></plist>)";
  EXPECT_EQ(plistStringIn(document, "CFBundleVersion"), std::nullopt);
  EXPECT_EQ(plistStringIn(document, "Count"), std::nullopt);
  EXPECT_EQ(plistStringIn(document, "List"), std::nullopt);
  // A value after nested content still pairs with its own key.
  EXPECT_EQ(plistStringIn(document, "CFBundleIdentifier"), "id");
}

TEST(PlistString, AKeyInsideTextIsNotAKey) {
  // Searching the text would find the key; the parser sees only a string value.
  auto document =
      R"(<plist><dict><key>Note</key><string>&lt;key&gt;CFBundleVersion&lt;/key&gt;</string>
    <key>Other</key><string>1</string></dict></plist>)";
  EXPECT_EQ(plistStringIn(document, "CFBundleVersion"), std::nullopt);
}

TEST(PlistString, MalformedOrMisshapenDocumentsYieldNothing) {
  EXPECT_EQ(plistStringIn("", "K"), std::nullopt);
  EXPECT_EQ(plistStringIn("<plist><dict><key>K</key><string>v</string></dict>", "K"),
            std::nullopt);  // unclosed root
  EXPECT_EQ(plistStringIn("<plist><dict><key>K</key><string>v</string></dict></plist><x/>", "K"),
            std::nullopt);  // trailing second root
  EXPECT_EQ(plistStringIn("<dict><key>K</key><string>v</string></dict>", "K"), std::nullopt);
  EXPECT_EQ(plistStringIn("<plist><array><key>K</key><string>v</string></array></plist>", "K"),
            std::nullopt);
}

TEST(Bundle, IdentifierIsReadOnceWhileInfoStringsAreReadAfresh) {
  ScratchFolder folder;
  Bundle bundle(folder.path());
  writeFile(bundle.infoPlist(), bundleInfoPlist("first", "1"));
  EXPECT_EQ(bundle.identifier(), "first");
  writeFile(bundle.infoPlist(), bundleInfoPlist("second", "2"));
  EXPECT_EQ(bundle.identifier(), "first");
  EXPECT_EQ(bundle.infoString("CFBundleVersion"), "2");
}

TEST(Bundle, NoInfoPlistMeansNoIdentifier) {
  ScratchFolder folder;
  EXPECT_EQ(Bundle(folder.path()).identifier(), std::nullopt);
}

TEST(MainBundle, LiesBesideTheExecutableUnlessPointedElsewhere) {
  ScratchFolder folder;
  auto executable = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(Bundle::main()->location(), executable.string() + ".bundle");

  writeFile(folder.path() / "Contents" / "Info.plist", bundleInfoPlist("elsewhere", "1"));
  Bundle::useLocation(folder.path());
  auto held = Bundle::main();
  EXPECT_EQ(held->location(), folder.path());
  EXPECT_EQ(held->identifier(), "elsewhere");

  Bundle::useDefaultLocation();
  EXPECT_EQ(Bundle::main()->location(), executable.string() + ".bundle");
  // Whoever still holds the earlier bundle keeps a working object.
  EXPECT_EQ(held->identifier(), "elsewhere");
}

}  // namespace
}  // namespace vx::host
