#include "push/push_values.hpp"

#include <gtest/gtest.h>

#include "host/bundle.hpp"
#include "support/scratch.hpp"

namespace vx::push {
namespace {

using namespace std::string_literals;

TEST(Hex, WritesTwoLowercaseDigitsPerByte) {
  const std::uint8_t bytes[] = {0x0A, 0xFF};
  EXPECT_EQ(hex(bytes), "0aff");
  const std::uint8_t edges[] = {0x00, 0x10, 0x9F};
  EXPECT_EQ(hex(edges), "00109f");
  EXPECT_EQ(hex({}), "");
}

TEST(Fingerprint, IsTheSha256OfTheTextInLowercaseHex) {
  EXPECT_EQ(fingerprint("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(fingerprint(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(fingerprint("session-token-1").size(), 64u);
  EXPECT_NE(fingerprint("session-token-1"), fingerprint("session-token-2"));
}

TEST(AppID, DropsOneTrailingWidgetsEnding) {
  EXPECT_EQ(appID("com.vantorix.desktop.widgets"s), "com.vantorix.desktop");
  EXPECT_EQ(appID("com.vantorix.desktop"s), "com.vantorix.desktop");
  EXPECT_EQ(appID("a.widgets.widgets"s), "a.widgets");
  EXPECT_EQ(appID("com.vantorix.widgetsx"s), "com.vantorix.widgetsx");
  EXPECT_EQ(appID("com.vantorix.Widgets"s), "com.vantorix.Widgets");
  EXPECT_EQ(appID(std::nullopt), "");
}

// The entitlements inside a signed profile, surrounded by binary bytes as in the real thing.
std::string profileWith(const std::string& entitlements) {
  return "\x30\x82\x0f\x00\xff\xe9"s + '\0' + "<plist><dict>" + entitlements +
         "</dict></plist>\x00\xa0\xff"s;
}

TEST(Environment, DevelopmentEntitlementMeansSandbox) {
  EXPECT_EQ(environmentFromProfile(profileWith(
                "<key>com.apple.developer.aps-environment</key>\n\t<string>development</string>")),
            "sandbox");
}

TEST(Environment, AnythingButTheExactDevelopmentValueMeansProduction) {
  auto with = [](const std::string& value) {
    return environmentFromProfile(profileWith(
        "<key>com.apple.developer.aps-environment</key><string>" + value + "</string>"));
  };
  EXPECT_EQ(with(" development "), "production");
  EXPECT_EQ(with("Development"), "production");
  EXPECT_EQ(with("production"), "production");
  EXPECT_EQ(with(""), "production");
  EXPECT_EQ(environmentFromProfile(std::nullopt), "production");
  EXPECT_EQ(environmentFromProfile(""s), "production");
}

TEST(Environment, TakesTheFirstStringAfterTheKey) {
  // A development value before the key does not count; the first one after it does.
  EXPECT_EQ(environmentFromProfile(profileWith(
                "<key>other</key><string>development</string>"
                "<key>com.apple.developer.aps-environment</key><string>production</string>"
                "<key>more</key><string>development</string>")),
            "production");
  EXPECT_EQ(
      environmentFromProfile(profileWith("<key>com.apple.developer.aps-environment</key><true/>"
                                         "<key>next</key><string>development</string>")),
      "sandbox");
}

TEST(Environment, MissingKeyOrUnclosedValueMeansProduction) {
  EXPECT_EQ(
      environmentFromProfile(profileWith("<key>aps-environment</key><string>development</string>")),
      "production");
  EXPECT_EQ(
      environmentFromProfile("<key>com.apple.developer.aps-environment</key><string>development"s),
      "production");
  EXPECT_EQ(environmentFromProfile("<key>com.apple.developer.aps-environment</key>"s),
            "production");
}

TEST(Environment, IsReadFromTheBundlesProvisioningProfile) {
  testing::ScratchFolder folder;
  host::Bundle bundle(folder.path());
  EXPECT_EQ(environmentOf(bundle), "production");
  testing::writeFile(bundle.contentsFile("embedded.provisionprofile"),
                     profileWith("<key>com.apple.developer.aps-environment</key>"
                                 "<string>development</string>"));
  EXPECT_EQ(environmentOf(bundle), "sandbox");
}

}  // namespace
}  // namespace vx::push
