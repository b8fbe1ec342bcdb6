// Plug-in loading, registration and dispatch with the real Tovlet library and
// the tests' second plug-in (Twin), and Tovlet's exported samples.
#include "script/plugin_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_host.h"
#include "platform/sjis.h"
#include "res/game_root.h"
#include "script/variables.h"

using namespace qf;

namespace {

const std::string kPluginDir = std::string(QF_PLUGIN_DIR) + "/";

struct Fixture {
    HeadlessHost host;
    Variables vars{host};
    PluginHost plugins{host};

    Fixture() {
        plugins.places.programDir = kPluginDir;
        plugins.block.m_pVariables = vars.pluginTable();
        plugins.block.m_pVariableCount = vars.valCount();
    }
    std::vector<std::string> log() const { return host.logLines(); }
    // Position of the first log line that contains `text` at or after `from`, or -1.
    int find(const std::string& text, int from = 0) const {
        std::vector<std::string> lines = log();
        for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i)
            if (lines[i].find(text) != std::string::npos) return static_cast<int>(i);
        return -1;
    }
};

TEST(TovletSamples, IntegerSampleAddsFiveUnlessTheDifferenceIsNegative) {
    void* lib = dlopen((kPluginDir + "Tovlet.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    using Func = int(QF_PLUGIN_CALL*)(int32_t, int32_t);
    auto dllFunc = reinterpret_cast<Func>(dlsym(lib, "dllFunc"));
    ASSERT_NE(dllFunc, nullptr);
    EXPECT_EQ(dllFunc(2, 5), -3);
    EXPECT_EQ(dllFunc(5, 2), 12);
    EXPECT_EQ(dllFunc(3, 3), 11);  // a difference of 0 is not negative
    auto dllInit = reinterpret_cast<int(QF_PLUGIN_CALL*)(int32_t)>(dlsym(lib, "dllInit"));
    ASSERT_NE(dllInit, nullptr);
    EXPECT_EQ(dllInit(0), 1);
    dlclose(lib);
}

TEST(TovletSamples, ValueSampleFollowsTheValueOperators) {
    void* lib = dlopen((kPluginDir + "Tovlet.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    using FuncV = qf_variant(QF_PLUGIN_CALL*)(qf_variant, qf_variant);
    auto dllFuncV = reinterpret_cast<FuncV>(dlsym(lib, "dllFuncV"));
    ASSERT_NE(dllFuncV, nullptr);
    auto run = [&](const variant& x, const variant& y) {
        qf_variant r = dllFuncV(x, y);
        if (r.m_nSize <= 0) r.m_pText = r.m_szInline;
        variant out(static_cast<variant&>(r));
        if (r.m_nSize > 0) std::free(r.m_pText);
        return out;
    };
    variant a = run(variant(5), variant(2));
    EXPECT_EQ(a.type(), variant::kInteger);
    EXPECT_EQ(a.num(), 12);
    variant b = run(variant(2), variant(5));
    EXPECT_EQ(b.type(), variant::kInteger);
    EXPECT_EQ(b.num(), -3);
    variant c = run(variant("x"), variant("y"));
    EXPECT_EQ(c.type(), variant::kString);
    EXPECT_STREQ(c.raw(), "xy5");
    // Texts past the inline storage travel in blocks of the one C allocator.
    std::string longText(60, 'a');
    variant d = run(variant(longText), variant("b"));
    EXPECT_EQ(std::string(d.raw()), longText + "b5");
    dlclose(lib);
}

TEST(PluginHost, TovletRegistersItsTwoWordsAndShowsItsInformation) {
    Fixture f;
    f.plugins.load("Tovlet.dll");
    ASSERT_EQ(f.plugins.used(), 1);
    const S_Dll& dll = f.plugins.slot(0);
    ASSERT_NE(dll.m_hModule, nullptr);
    ASSERT_EQ(dll.m_nCommandCount, 2);
    EXPECT_STREQ(dll.m_strWord[0].raw(), "#funcUser1");
    EXPECT_STREQ(dll.m_strWord[1].raw(), "#funcUser2");
    EXPECT_GE(f.find("dialog\tdialog\tdllInitA"), 0);
    f.plugins.info();
    EXPECT_GE(f.find("dialog\tdialog\tプラグイン名：Tovlet.dll\\n2個の命令\\n\\n#funcUser1\\n#funcUser2\\n"), 0);
}

TEST(PluginHost, FuncUser2ReadsTheVariableTableThroughTheBlock) {
    Fixture f;
    f.plugins.load("Tovlet.dll");
    f.vars.valSetInt("other", 1);
    f.plugins.call("#funcUser2");
    EXPECT_GE(f.find("_mouseXがまだ無い"), 0);
    f.vars.valSetInt("_mouseX", 37);
    f.plugins.call("#funcUser2");
    int count = f.find("dialog\tdialog\t2");
    ASSERT_GE(count, 0);
    EXPECT_GE(f.find("【 数値 】\\n37.000000", count), 0);
    // "#funcUser1" shows the first argument: a fresh integer 0.
    f.plugins.call("#funcUser1");
    EXPECT_GE(f.find("【 数値 】\\n0.000000"), 0);
}

TEST(PluginHost, FailedLoadsUseASlotUpToTheLimit) {
    Fixture f;
    f.plugins.load("missing.dll");
    EXPECT_EQ(f.plugins.used(), 1);
    EXPECT_EQ(f.plugins.slot(0).m_hModule, nullptr);
    EXPECT_GE(f.find("dialog\tdialog\tLoadLibrary失敗"), 0);
    f.plugins.info();  // a failed slot still shows its name, with no commands
    EXPECT_GE(f.find("プラグイン名：missing.dll\\n0個の命令"), 0);
    for (int i = 1; i < PluginHost::kSlotCapacity; ++i) f.plugins.load("missing.dll");
    EXPECT_EQ(f.plugins.used(), 32);
    EXPECT_LT(f.find("32個まで"), 0);
    f.plugins.load("Tovlet.dll");
    EXPECT_EQ(f.plugins.used(), 32);
    EXPECT_GE(f.find("プラグインは32個までしか読み込めません：Tovlet.dll"), 0);
    EXPECT_LT(f.find("dllInitA"), 0);
}

TEST(PluginHost, EveryPluginOfAWordIsCalledInLoadOrder) {
    Fixture f;
    f.plugins.load("Twin.so");
    f.plugins.load("Tovlet.dll");
    f.plugins.load("libTwin.so");  // not there: a failed slot between the two
    ASSERT_EQ(f.plugins.used(), 3);
    // Twin's default text has an odd piece at the end: it is not registered.
    ASSERT_EQ(f.plugins.slot(0).m_nCommandCount, 2);
    EXPECT_STREQ(f.plugins.slot(0).m_strWord[1].raw(), "#twinCount");
    int before = static_cast<int>(f.log().size());
    f.plugins.call("#funcUser1");
    int twin = f.find("twin #funcUser1", before);
    int tovlet = f.find("dllFuncUser1", before);
    ASSERT_GE(twin, 0);
    ASSERT_GE(tovlet, 0);
    EXPECT_LT(twin, tovlet);
    f.plugins.call("#twinCount");
    EXPECT_GE(f.find("twinCount 1 kind 2 value 0"), 0);
    before = static_cast<int>(f.log().size());
    f.plugins.call("#twinOdd");
    f.plugins.call("#TwinCount");  // words compare byte for byte
    EXPECT_EQ(static_cast<int>(f.log().size()), before);
    f.plugins.closeAll();
    int twinClose = f.find("twin dllClose", before);
    int tovletClose = f.find("dialog\tdialog\tdllClose", before);
    ASSERT_GE(twinClose, 0);
    EXPECT_GT(tovletClose, twinClose);
    EXPECT_EQ(f.plugins.used(), 0);
}

TEST(PluginHost, RegistrationStopsAtAMissingExportAndAtThirtyTwoCommands) {
    Fixture f;
    f.vars.valSetStr("twinRegistration", "#a,twinUser1,#b,noSuchExport,#c,twinCount,");
    f.plugins.load("Twin.so");
    EXPECT_EQ(f.plugins.slot(0).m_nCommandCount, 1);
    EXPECT_GE(f.find("dialog\tGetProcAddress失敗\tGetProcAddress失敗,1"), 0);
    EXPECT_GE(f.find("dialog\tdialog\t1"), 0);

    std::string many;
    for (int i = 0; i < 33; ++i) many += "#w" + std::to_string(i) + ",twinUser1,";
    f.vars.valSetStr("twinRegistration", many);
    f.plugins.load("Twin.so");
    EXPECT_EQ(f.plugins.slot(1).m_nCommandCount, 32);
    EXPECT_STREQ(f.plugins.slot(1).m_strWord[31].raw(), "#w31");
    EXPECT_GE(f.find("プラグインの命令は32個までしか登録できません：Twin.so"), 0);
}

TEST(PluginHost, TheGameDirectoryComesFirstAndConfinesItsNames) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("qf_plugin_" + std::to_string(::getpid()));
    fs::create_directories(dir / "sub");
    // A game's own "Tovlet.so" (here a copy of Twin) wins over the one beside the program.
    fs::copy_file(kPluginDir + "Twin.so", dir / "sub" / "Tovlet.so", fs::copy_options::overwrite_existing);
    std::optional<GameRoot> root = GameRoot::open((dir / "sub").string());
    ASSERT_TRUE(root);
    Fixture f;
    f.plugins.places.openInGame = [&](const std::string& name) { return root->openRead(name); };
    f.plugins.load("TOVLET.DLL");
    EXPECT_GE(f.find("twin dllInitA"), 0);
    EXPECT_LT(f.find("dialog\tdialog\tdllInitA"), 0);
    // Two libraries of the game directory stay two libraries.
    fs::copy_file(kPluginDir + "Tovlet.so", dir / "sub" / "libOther.so", fs::copy_options::overwrite_existing);
    f.plugins.load("other.dll");
    EXPECT_GE(f.find("dialog\tdialog\tdllInitA"), 0);
    EXPECT_EQ(f.plugins.slot(1).m_nCommandCount, 2);
    EXPECT_NE(f.plugins.slot(1).m_hModule, f.plugins.slot(0).m_hModule);
    // A name that climbs out of the game is neither opened there nor beside the program.
    f.plugins.load("..\\sub\\Tovlet.dll");
    EXPECT_EQ(f.plugins.slot(2).m_hModule, nullptr);
    EXPECT_GE(f.find("LoadLibrary失敗"), 0);
    f.plugins.closeAll();
    fs::remove_all(dir);
}

}  // namespace
