// The player's options on the command line, the player's data directory for
// read-only games, and where records go and come from when it is in use.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/plugin_block.h"
#include "app/user_data.h"
#include "tests/support/scratch_game.h"
#include "wnd/save_record.h"

namespace qf {
namespace {

int parse(std::vector<std::string> args, Options& out) {
    std::string error;
    return parseCommandLine(args, out, error);
}

TEST(PlayerOptions, ParsedWithTheirRanges) {
    Options o;
    ASSERT_EQ(parse({"game"}, o), 0);
    EXPECT_FALSE(o.fullscreen);
    EXPECT_EQ(o.zoom, 0);
    EXPECT_EQ(o.volume, 100);
    EXPECT_FALSE(o.mute);
    EXPECT_TRUE(o.soundFont.empty());

    ASSERT_EQ(parse({"--fullscreen", "--zoom", "300", "--volume", "40", "--mute", "--soundfont", "gm.sf2", "game"}, o), 0);
    EXPECT_TRUE(o.fullscreen);
    EXPECT_EQ(o.zoom, 300);
    EXPECT_EQ(o.volume, 40);
    EXPECT_TRUE(o.mute);
    EXPECT_EQ(o.soundFont, "gm.sf2");
    EXPECT_EQ(o.path, "game");

    ASSERT_EQ(parse({"--zoom", "100", "--volume", "0"}, o), 0);
    EXPECT_EQ(o.zoom, 100);
    EXPECT_EQ(o.volume, 0);
    ASSERT_EQ(parse({"--zoom", "800", "--volume", "100"}, o), 0);
    EXPECT_EQ(o.zoom, 800);

    // Out of range, not a number, or missing: a bad command line.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--zoom", "99"}, {"--zoom", "801"}, {"--zoom", "2x"}, {"--zoom"}, {"--volume", "-1"},
          {"--volume", "101"}, {"--volume", ""}, {"--volume"}, {"--soundfont"}, {"--soundfont", ""}}) {
        std::string error;
        EXPECT_EQ(parseCommandLine(bad, o, error), 2) << bad[0] << " " << (bad.size() > 1 ? bad[1] : "");
        EXPECT_NE(error.find(bad[0]), std::string::npos) << error;
    }
    // They work headless too (the sound options matter there).
    EXPECT_EQ(parse({"--headless", "--mute", "--volume", "10", "--zoom", "200"}, o), 0);
}

// Sets an environment variable for one scope.
class EnvVar {
public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~EnvVar() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserData, HomeFollowsXdgThenHome) {
    {
        EnvVar data("XDG_DATA_HOME", "/srv/data");
        EnvVar home("HOME", "/home/p");
        EXPECT_EQ(userDataHome(), "/srv/data/quillfen/");
    }
    {
        // A relative XDG_DATA_HOME is ignored, as the base directory rules say.
        EnvVar data("XDG_DATA_HOME", "rel/data");
        EnvVar home("HOME", "/home/p");
        EXPECT_EQ(userDataHome(), "/home/p/.local/share/quillfen/");
    }
    {
        EnvVar data("XDG_DATA_HOME", nullptr);
        EnvVar home("HOME", nullptr);
        EXPECT_EQ(userDataHome(), "");
    }
}

TEST(UserData, GameNameIsTheDirectoryName) {
    test::ScratchDir dir;
    std::filesystem::create_directories(dir / "shelf/Lantern");
    EXPECT_EQ(gameDirectoryName(dir / "shelf/Lantern"), "Lantern");
    EXPECT_EQ(gameDirectoryName(dir / "shelf/Lantern/"), "Lantern");
    EXPECT_EQ(gameDirectoryName(dir / "shelf/Lantern/../Lantern/."), "Lantern");
    EXPECT_EQ(gameDirectoryName("/"), "game");
}

struct RecordsElsewhere : test::ScratchGame {
    RecordsElsewhere() : test::ScratchGame({{"main.txt", "a = 1\r\n"}}) {
        userRoot = GameRoot::open(user.path());
    }
    RecordFiles io(bool withUserData) {
        return RecordFiles{engine->files.Root(), engine->errorLog, host, engine->recordKeystream,
                           withUserData ? &*userRoot : nullptr};
    }
    test::ScratchDir user;
    std::optional<GameRoot> userRoot;
    int32_t flags[kRecordFlagCount] = {};
};

TEST(RecordsInUserData, SavedThereWithTheirFoldersAndReadBackFirst) {
    RecordsElsewhere g;
    ASSERT_TRUE(g.userRoot);
    // A record in a folder the user directory does not have yet; a name whose
    // double-byte character has a backslash for its trail byte ("ソ").
    ASSERT_TRUE(saveRecord(g.io(true), "save\\01.sav", "quill", "day 1", g.flags, "a,1,2"));
    const std::string so = "\x83\x5C.sav";
    ASSERT_TRUE(saveRecord(g.io(true), so, "quill", "day 2", g.flags, "a,2,2"));
    EXPECT_TRUE(std::filesystem::is_regular_file(g.user / "save/01.sav"));
    EXPECT_TRUE(std::filesystem::is_regular_file(g.user / so));
    EXPECT_FALSE(std::filesystem::exists(g.user / "\x83"));
    EXPECT_FALSE(std::filesystem::exists(g.dir / "save"));
    EXPECT_FALSE(std::filesystem::exists(g.dir / so));

    std::optional<RecordContents> back = loadRecord(g.io(true), "save\\01.sav", "quill");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->displayText, "day 1");
    // Without the user directory the game directory has no such record.
    EXPECT_FALSE(loadRecord(g.io(false), "save\\01.sav", "quill"));

    // A record shipped in the game directory is still found, and one saved
    // in the user directory under the same name wins over it.
    ASSERT_TRUE(saveRecord(g.io(false), "02.sav", "quill", "shipped", g.flags, "a,3,2"));
    back = loadRecord(g.io(true), "02.sav", "quill");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->displayText, "shipped");
    ASSERT_TRUE(saveRecord(g.io(true), "02.sav", "quill", "mine", g.flags, "a,4,2"));
    back = loadRecord(g.io(true), "02.sav", "quill");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->displayText, "mine");
    EXPECT_EQ(loadRecord(g.io(false), "02.sav", "quill")->displayText, "shipped");
}

TEST(BundledPlugins, LookedForBesideTheProgramFirst) {
    const std::vector<std::string> dirs = bundledPluginDirectories();
    ASSERT_FALSE(dirs.empty());
    EXPECT_EQ(dirs.front(), programDirectory());
    for (const std::string& d : dirs) EXPECT_EQ(d.back(), '/');
    // A program in a build tree has no <prefix>/lib/quillfen beside it.
    struct stat st {};
    const bool installedLayout = ::stat((programDirectory() + "../lib/quillfen").c_str(), &st) == 0;
    EXPECT_EQ(dirs.size(), installedLayout ? 2u : 1u);
    EXPECT_EQ(bundledPluginDirectory().empty(), !installedLayout);
}

}  // namespace
}  // namespace qf
