#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "mediascan/tests/tagged_files.h"
#include "platform/base/wtext.h"
#include "tests/e2e/run.h"

using e2e::Machine;

namespace {

namespace fs = std::filesystem;

// A few hundred music files: tagged MP3s over several artists, albums and genres in album
// folders, and untagged WAV files at the top.
void WriteCollection(const fs::path& music)
{
    const char16_t* artists[] = {u"The Lanterns", u"Ada Winter", u"Circuit Choir", u"Jonas Reed"};
    const char16_t* genres[] = {u"Synthpop", u"Folk", u"Rock/Pop"};
    for (int i = 0; i < 240; ++i) {
        std::u16string album = u"Album " + std::u16string(1, char16_t(u'A' + i % 12));
        scan_testing::Tags tags{artists[i % 4], u"Song " + std::u16string(1, char16_t(u'a' + i % 26)) +
                std::u16string(1, char16_t(u'0' + i % 10)),
            album, genres[i % 3]};
        fs::path file = music / yolt::Utf8FromWide(album) / ("track" + std::to_string(i) + ".mp3");
        scan_testing::WriteMp3(file, tags, i % 2 ? scan_testing::TagFormat::Id3v23 : scan_testing::TagFormat::Id3v24);
    }
    for (int i = 0; i < 60; ++i) {
        fs::create_directories(music);
        std::ofstream(music / ("memo" + std::to_string(i) + ".wav")) << "RIFF";
    }
}

std::map<std::string, std::string> Tree(const fs::path& root)
{
    std::map<std::string, std::string> tree;
    for (auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        tree[fs::relative(entry.path(), root).string()] = bytes.str();
    }
    return tree;
}

}  // namespace

// The command-line scan and the utility's middle button build the same playlists from the same
// few hundred files.
TEST(Scan, CommandLineAndMiddleButtonBuildTheSamePlaylists)
{
    Machine byCommand("xp");
    Machine byButton("xp");
    for (const Machine* m : {&byCommand, &byButton}) {
        m->Register();
        m->Run("yolt-machine", "plug RQ210 E");
        WriteCollection(m->Drive('E') / "Music");
    }
    auto scan = byCommand.Run("yolt", "scan");
    ASSERT_EQ(scan.exit, 0) << scan.out;
    EXPECT_EQ(scan.out, "Scan finished.\n");

    fs::path script = byButton.Folder() / "steps.txt";
    std::ofstream(script) << "wait 2000\nclick 250 300\nanswer OK\nexpect-box \"Scan finished.\"\nanswer OK\n";
    auto session = byButton.Run("YoltUtility", "", "YOLT_SCRIPT='" + script.string() + "'");
    ASSERT_EQ(session.exit, 0) << session.out;
    EXPECT_NE(session.out.find("text=\"Scan finished.\""), std::string::npos) << session.out;

    auto expected = Tree(byCommand.Drive('E') / "Playlist");
    EXPECT_GT(expected.size(), 15u);
    EXPECT_EQ(Tree(byButton.Drive('E') / "Playlist"), expected);
}
