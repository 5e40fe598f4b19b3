// A manifest's lines as a table: what is written for names with blanks, non-ASCII and deep
// paths reads back as it was, and a damaged, edited or cut-short manifest is read as far as it
// can be, each line it cannot read named, never trusted.
#include "backup/manifest.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tess::test {
namespace {

const std::string kHash(64, 'a');  // as a manifest's text writes kA
Sha256Digest Filled(std::uint8_t byte, std::uint8_t last) {
  Sha256Digest digest;
  digest.fill(byte);
  digest.back() = last;
  return digest;
}
const Sha256Digest kA = Filled(0xaa, 0xaa);
const Sha256Digest kOther = Filled(0, 0x0f);

std::string Deep() {
  std::string path;
  for (int i = 0; i < 40; ++i) path += "level " + std::to_string(i) + "/";
  return path + "leaf.bin";
}

TEST(ManifestTest, LinesReadBackAsWrittenAndDamageIsNamedByLine) {
  const ManifestOwner owner{"C:\\Users\\Zoë\\My Docs", "DESK-7", "zoë", "2026-12-08T17:30:00Z",
                            true};
  const std::string header = ManifestText(owner, {});  // 7 lines, "# files: 0" last
  const std::string one = "# files: 1\n";
  const std::string top = header.substr(0, header.rfind("# files:"));
  ManifestLines many;  // more than one piece of text when written
  for (int i = 0; i < 3000; ++i)
    many["folder " + std::to_string(i % 7) + "/" + std::to_string(i)] = kA;
  const struct {
    std::string text;  // what the file holds
    ManifestLines read;
    std::vector<int> unreadable;
  } cases[] = {
      // Written here, as sha256sum -c reads them.
      {ManifestText(owner, {{"My file (1).txt", kA}}), {{"My file (1).txt", kA}}, {}},
      {ManifestText(owner, {{"Lettres/März 文件 😀.txt", kA}}),
       {{"Lettres/März 文件 😀.txt", kA}},
       {}},
      {ManifestText(owner, {{Deep(), kA}, {"a", kOther}}), {{Deep(), kA}, {"a", kOther}}, {}},
      {ManifestText(owner, {{"odd\nname", kA}}), {{"odd\nname", kA}}, {}},
      {ManifestText(owner, many), many, {}},
      // Written by hand: upper-case digits, binary mode, CR LF, a remark of someone else's.
      {top + one + std::string(64, 'A') + " *x.txt\r\n# mine\n", {{"x.txt", kA}}, {}},
      // Damaged: a digit short, one blank, a path leaving the folder, a drive, a bad escape.
      {top + one + kHash.substr(1) + "  x\n" + kHash + "  y\n", {{"y", kA}}, {8}},
      {top + one + kHash + " y\n", {}, {8, 0}},
      {top + "# files: 3\n" + kHash + "  ../up\n" + kHash + "  C:/x\n" + kHash + "  a//b\n",
       {},
       {8, 9, 10, 0}},
      {top + one + "\\" + kHash + "  a\\qb\n", {}, {8, 0}},
      // Cut short: in the middle of a line, and at a line's end.
      {top + "# files: 2\n" + kHash + "  a\n" + kHash + "  b", {{"a", kA}}, {9, 0}},
      {top + "# files: 2\n" + kHash + "  a\n", {{"a", kA}}, {0}},
      {top + "# files: lots\n", {}, {7, 0}},
  };
  for (const auto& c : cases) {
    const ManifestReading reading = ReadManifest(c.text);
    EXPECT_TRUE(reading.ours) << c.text;
    EXPECT_EQ(reading.lines, c.read) << c.text;
    EXPECT_EQ(reading.unreadable, c.unreadable) << c.text;
    // The same text in pieces cut anywhere, as a manifest on disk is read.
    ManifestReader reader;
    for (std::size_t at = 0; at < c.text.size(); at += 5) reader.Add(c.text.substr(at, 5));
    const ManifestReading pieces = reader.Finish();
    EXPECT_EQ(pieces.lines, c.read) << c.text;
    EXPECT_EQ(pieces.unreadable, c.unreadable) << c.text;
  }
  const ManifestReading written = ReadManifest(cases[0].text);
  EXPECT_EQ(written.owner.source, owner.source);
  EXPECT_EQ(written.owner.computer, "DESK-7");
  EXPECT_EQ(written.owner.user, "zoë");
  EXPECT_EQ(written.owner.written, "2026-12-08T17:30:00Z");
  EXPECT_TRUE(written.owner.complete);
  EXPECT_NE(cases[0].text.find("\n" + kHash + "  My file (1).txt\n"), std::string::npos);
  EXPECT_NE(cases[0].text.find("\n# complete: yes\n"), std::string::npos);
  EXPECT_FALSE(ReadManifest("just some file\n").ours);
  EXPECT_EQ(ManifestSubject("DocsDate Dec 7 2026.SHA256"), "DocsDate Dec 7 2026");
  EXPECT_EQ(ManifestSubject(".sha256"), std::nullopt);
}

}  // namespace
}  // namespace tess::test
