// The definition-file format: reading, lookups, writing, and writes that cannot complete.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "foundation/config_file.h"
#include "test_support.h"

static config_file load_text(const scratch_dir& dir, const std::string& text) {
    write_text(dir.file("f.ini"), text);
    config_file c;
    c.clear();
    c.load(dir.file("f.ini").c_str());
    return c;
}

TEST(ConfigFile, EntriesAreWhitespaceSeparatedTokensOnAnyLine) {
    scratch_dir d;
    config_file c = load_text(d, "width=800 height=600\n\t fps=30\r\n  name=road\n");
    EXPECT_EQ(c.count(), 4);
    EXPECT_EQ(c.get_int("width"), 800);
    EXPECT_EQ(c.get_int("height"), 600);
    EXPECT_EQ(c.get_int("fps"), 30);
    EXPECT_STREQ(c.get_string("name"), "road");
}

TEST(ConfigFile, AFileWithoutAFinalNewlineKeepsItsLastEntry) {
    scratch_dir d;
    config_file c = load_text(d, "debug=1\nfps=30");
    EXPECT_EQ(c.get_int("fps"), 30);
    EXPECT_EQ(c.count(), 2);
}

TEST(ConfigFile, EmptyAndBlankFilesLoadAsEmptyLists) {
    scratch_dir d;
    for (const char* text : {"", "   \n\n\t \f\v"}) {
        write_text(d.file("e.ini"), text);
        config_file c;
        EXPECT_EQ(c.load(d.file("e.ini").c_str()), 1);
        EXPECT_EQ(c.count(), 0);
        EXPECT_EQ(c.has("fps"), 0);
    }
}

TEST(ConfigFile, AMissingFileReportsBothLinesAndGivesDefaults) {
    scratch_dir d;
    std::string path = d.file("missing.ini");
    log_capture log;
    config_file c;
    EXPECT_EQ(c.load(path.c_str()), 0);
    EXPECT_EQ(log.out, "load config [" + path + "]\nCan't open [" + path + "]\n");
    EXPECT_EQ(c.has("fps"), 0);
    EXPECT_EQ(c.get_int("fps"), 0);
    EXPECT_STREQ(c.get_string("fps"), "");
    EXPECT_EQ(c.get_float("fps"), 0.0f);
}

TEST(ConfigFile, AFolderInPlaceOfTheFileCannotBeOpened) {
    scratch_dir d;
    make_dirs(d.file("game.ini"));
    log_capture log;
    config_file c;
    EXPECT_EQ(c.load(d.file("game.ini").c_str()), 0);
    EXPECT_TRUE(log.has("Can't open ["));
}

TEST(ConfigFile, TokensSplitAtEqualsSignsTheWayTheFormatDefines) {
    scratch_dir d;
    config_file c = load_text(d, "a=b=c =x=y p==q width = 800 debug= novalue === fps=0.5\n");
    EXPECT_STREQ(c.get_string("a"), "b");  // anything after a second "=" is dropped
    EXPECT_STREQ(c.get_string("x"), "y");  // leading "=" skipped
    EXPECT_STREQ(c.get_string("p"), "q");  // consecutive "=" collapse
    EXPECT_EQ(c.has("width"), 0);          // blanks around "=" make invalid tokens
    EXPECT_EQ(c.has("debug"), 0);          // no value: skipped
    EXPECT_EQ(c.has("novalue"), 0);
    EXPECT_FLOAT_EQ(c.get_float("fps"), 0.5f);
    EXPECT_EQ(c.count(), 4);
}

TEST(ConfigFile, LookupsTakeTheFirstOfDuplicateKeysAndAreCaseSensitive) {
    scratch_dir d;
    config_file c = load_text(d, "fps=30\nFPS=99\nfps=50\ncolour=255,0,128\nsize=12px\nname=abc\n");
    EXPECT_EQ(c.get_int("fps"), 30);
    EXPECT_EQ(c.get_int("FPS"), 99);
    EXPECT_STREQ(c.get_string("colour"), "255,0,128");
    EXPECT_EQ(c.get_int("size"), 12);
    EXPECT_EQ(c.get_int("name"), 0);
    ASSERT_TRUE(c.save(d.file("out.ini").c_str()));
    EXPECT_EQ(read_text(d.file("out.ini")), "fps=30\nFPS=99\nfps=50\ncolour=255,0,128\nsize=12px\nname=abc\n");
}

TEST(ConfigFile, ASecondLoadAppendsAndTheFirstFileWins) {
    scratch_dir d;
    write_text(d.file("a.ini"), "fps=30\n");
    write_text(d.file("b.ini"), "fps=50\ndebug=1\n");
    config_file c;
    c.load(d.file("a.ini").c_str());
    c.load(d.file("b.ini").c_str());
    EXPECT_EQ(c.get_int("fps"), 30);
    EXPECT_EQ(c.get_int("debug"), 1);
    EXPECT_EQ(c.count(), 3);
}

TEST(ConfigFile, SetReplacesTheFirstMatchInPlaceOrAppends) {
    config_file c;
    c.add("a", "1");
    c.add("b", "2");
    c.add("a", "3");
    const char* b_text = c.get_string("b");
    c.set("a", "9");
    c.set("z", "26");
    ASSERT_EQ(c.count(), 4);
    EXPECT_STREQ(c.entry(0).value, "9");
    EXPECT_STREQ(c.entry(2).value, "3");
    EXPECT_STREQ(c.entry(3).key, "z");
    EXPECT_STREQ(b_text, "2"); // earlier texts stay valid while entries are added
}

TEST(ConfigFile, OverlongTokensKeysAndValuesAreTruncatedSafely) {
    scratch_dir d;
    std::string longkey(300, 'k'), longval(400, 'v'), huge(100000, 'x');
    config_file c = load_text(d, longkey + "=" + std::string(200, 'v') + "\nv=" + longval + "\n" +
                                     huge + "=1\nfps=30\n");
    EXPECT_EQ(c.get_int("fps"), 30);
    ASSERT_GE(c.count(), 3);
    EXPECT_EQ(strlen(c.entry(0).key), 254u);
    EXPECT_EQ(strlen(c.entry(0).value), 200u);
    EXPECT_EQ(strlen(c.get_string("v")), 255u);
    config_file direct;
    direct.add(longkey.c_str(), huge.c_str());
    EXPECT_EQ(strlen(direct.entry(0).key), 254u);
    EXPECT_EQ(strlen(direct.entry(0).value), 256u);
}

TEST(ConfigFile, SaveAndLoadRoundTripInOrder) {
    scratch_dir d;
    config_file c;
    c.add("player0controlpunch", "120");
    c.add("image0", "rsrc/a.png");
    c.add("rate0", "3");
    c.add("rate0", "7");
    ASSERT_TRUE(c.save(d.file("r.ini").c_str()));
    config_file back;
    back.load(d.file("r.ini").c_str());
    ASSERT_EQ(back.count(), 4);
    for (int i = 0; i < 4; i++) {
        EXPECT_STREQ(back.entry(i).key, c.entry(i).key);
        EXPECT_STREQ(back.entry(i).value, c.entry(i).value);
    }
    config_file empty;
    ASSERT_TRUE(empty.save(d.file("empty.ini").c_str()));
    EXPECT_EQ(read_text(d.file("empty.ini")), "");
}

TEST(ConfigFile, ASaveThatCannotCreateItsFileReportsAndReturnsFalse) {
    scratch_dir d;
    std::string path = d.file("no/such/folder/x.ini");
    config_file c;
    c.add("a", "1");
    log_capture log;
    EXPECT_FALSE(c.save(path.c_str()));
    EXPECT_EQ(log.out, "ERROR: [" + path + "] left as it was: can't create [" + path + ".tmp" +
                           std::to_string(getpid()) + "] beside it (No such file or directory)\n"
                           "Can't open [" + path + "]\n");
}

// A write that runs out of room (the file-size limit, which binds root too) leaves the
// previous file whole and leaves no temporary file behind.
TEST(ConfigFile, AnInterruptedSaveLeavesThePreviousFileWhole) {
    scratch_dir d;
    std::string path = d.file("controls.ini");
    write_text(path, "players=2\n");
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit lim = {4096, 4096};
        setrlimit(RLIMIT_FSIZE, &lim);
        config_file c;
        for (int i = 0; i < 2000; i++) c.add(("key" + std::to_string(i)).c_str(), "a_long_enough_value");
        log_capture log;
        bool ok = c.save(path.c_str());
        _exit(!ok && log.has("Can't open [") ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read_text(path), "players=2\n");
    EXPECT_EQ(system(("test $(ls -A '" + d.path + "' | wc -l) -eq 1").c_str()), 0);
}
