// The zip writer: its CRC against known vectors, its headers read back field
// by field (tests/support/zip_reader), the archive opened by another reader (python's zipfile) where the
// machine has one, the same bytes for the same entries, and names refused.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/zip_archive.h"
#include "tests/support/zip_reader.h"

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(ZipArchive, Crc32MatchesKnownVectors) {
    const struct {
        std::string_view text;
        std::uint32_t crc;
    } cases[] = {
        {"", 0x00000000u},
        {"a", 0xE8B7BE43u},
        {"123456789", 0xCBF43926u},
        {"The quick brown fox jumps over the lazy dog", 0x414FA339u},
    };
    for (const auto& c : cases) EXPECT_EQ(crc32Of(bytesOf(c.text)), c.crc) << c.text;
}

const std::string Manifest = "<?xml version=\"1.0\"?><manifest/>";
const std::string Page(70000, 'p');  // more than 16 bits of size

std::vector<ZipEntry> someEntries() {
    return {{"imsmanifest.xml", bytesOf(Manifest)}, {"dossier/index.html", bytesOf(Page)}, {"vide.txt", {}}};
}

TEST(ZipArchive, EntriesReadBackInTheirOrderWithTheirBytes) {
    const ZipArchive archive = storedZip(someEntries());
    ASSERT_TRUE(archive.ok()) << archive.error;
    const ReadZip zip = readStoredZip(archive.bytes);
    EXPECT_EQ(zip.problem, "");
    const std::vector<ReadZipEntry>& entries = zip.entries;
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].name, "imsmanifest.xml");
    EXPECT_EQ(entries[0].data, Manifest);
    EXPECT_EQ(entries[1].name, "dossier/index.html");
    EXPECT_EQ(entries[1].data, Page);
    EXPECT_EQ(entries[2].name, "vide.txt");
    EXPECT_EQ(entries[2].data, "");
    EXPECT_EQ(archive.bytes, storedZip(someEntries()).bytes) << "the same entries, the same bytes";
    std::vector<std::uint8_t> damaged = archive.bytes;
    damaged[30 + 15] ^= 1;  // the manifest's first byte
    EXPECT_EQ(readStoredZip(damaged).problem, "a wrong CRC for imsmanifest.xml") << "the reader checks what it reads";
}

// Another reader agrees: python's zipfile checks every CRC and lists the entries.
TEST(ZipArchive, PythonsZipfileReadsIt) {
    if (std::system("python3 -c '' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3 on this machine";
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("zorbel-zip-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const ZipArchive archive = storedZip(someEntries());
    std::ofstream(folder / "a.zip", std::ios::binary)
        .write(reinterpret_cast<const char*>(archive.bytes.data()), static_cast<std::streamsize>(archive.bytes.size()));
    const std::string command = "python3 -c 'import sys, zipfile\n"
                                "z = zipfile.ZipFile(sys.argv[1])\n"
                                "print(z.testzip())\n"
                                "for i in z.infolist(): print(i.filename, i.file_size, i.compress_type, i.date_time)' " +
                                (folder / "a.zip").string() + " >" + (folder / "out.txt").string() + " 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(folder / "out.txt");
    const std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove_all(folder);
    EXPECT_EQ(status, 0) << out;
    EXPECT_EQ(out, "None\n"
                   "imsmanifest.xml 32 0 (1980, 1, 1, 0, 0, 0)\n"
                   "dossier/index.html 70000 0 (1980, 1, 1, 0, 0, 0)\n"
                   "vide.txt 0 0 (1980, 1, 1, 0, 0, 0)\n");
}

TEST(ZipArchive, RefusesWhatTheFormatOrAReaderWouldNotTake) {
    const std::uint8_t byte[] = {1};
    const struct {
        std::vector<ZipEntry> entries;
        std::string message;
    } cases[] = {
        {{}, "the archive has no entry"},
        {{{"", byte}}, "an entry has no name"},
        {{{"caf\xC3\xA9.txt", byte}}, "the entry name caf\xC3\xA9.txt is not plain ASCII"},
        {{{"a\\b.txt", byte}}, "the entry name a\\b.txt is not plain ASCII"},
        {{{"a\nb", byte}}, "the entry name a\nb is not plain ASCII"},
        {{{"/etc/passwd", byte}}, "the entry name /etc/passwd begins with /"},
        {{{"index.html", byte}, {"a", byte}, {"index.html", byte}}, "the entry name index.html comes twice"},
    };
    for (const auto& c : cases) {
        const ZipArchive archive = storedZip(c.entries);
        EXPECT_EQ(archive.error, c.message);
        EXPECT_TRUE(archive.bytes.empty()) << c.message;
    }
    std::vector<std::string> names;
    for (int i = 0; i < 65535; ++i) names.push_back(std::to_string(i));
    std::vector<ZipEntry> many;
    for (const std::string& name : names) many.push_back({name, {}});
    EXPECT_EQ(storedZip(many).error, "the archive has more entries than a zip file holds");
    many.pop_back();
    EXPECT_TRUE(storedZip(many).ok()) << "65,534 entries fit";
}

}  // namespace
