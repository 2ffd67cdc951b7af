// Readers open only regular files: a definition file may name a device or a pipe (by mistake
// or on purpose), and reading /dev/zero never ends while a pipe may never answer. Saves keep
// what the user had (links, permission bits, owner) and never leave half a file.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "foundation/config_file.h"
#include "foundation/safe_file.h"
#include "foundation/sfx.h"
#include "save_cases.h"
#include "test_support.h"

TEST(SafeFile, OnlyRegularFilesCountAsReadable) {
    scratch_dir d;
    write_text(d.file("a.ini"), "x=1\n");
    ASSERT_EQ(symlink(d.file("a.ini").c_str(), d.file("link.ini").c_str()), 0);
    ASSERT_EQ(mkfifo(d.file("pipe").c_str(), 0644), 0);
    EXPECT_TRUE(regular_file(d.file("a.ini").c_str()));
    EXPECT_TRUE(regular_file(d.file("link.ini").c_str()));
    for (const std::string& p : {d.path, d.file("pipe"), std::string("/dev/zero"),
                                 d.file("missing"), std::string("")})
        EXPECT_FALSE(regular_file(p.c_str())) << p;
    EXPECT_FALSE(regular_file(nullptr));
}

TEST(SafeFile, DefinitionFilesAndSoundsThatAreDevicesOrPipesAreNotRead) {
    scratch_dir d;
    ASSERT_EQ(mkfifo(d.file("pipe").c_str(), 0644), 0);
    for (const std::string& p : {std::string("/dev/zero"), d.file("pipe")}) {
        config_file c;
        log_capture log;
        EXPECT_EQ(c.load(p.c_str()), 0);
        EXPECT_EQ(log.out, "load config [" + p + "]\nCan't open [" + p + "]\n");
        EXPECT_EQ(c.count(), 0);

        sfx s;
        EXPECT_EQ(s.load(p.c_str()), nullptr);
    }
}

namespace {

// The writer of every definition file, the settings included.
save_cases::subject definition_file() {
    return {[](const std::string& path) {
        config_file c;
        c.add("fps", "30");
        c.add("rate0", "7");
        return c.save(path.c_str());
    }};
}

} // namespace

TEST(SafeSave, ThroughASymbolicLinkTheLinkStaysAndItsFileIsRewritten) {
    save_cases::through_links(definition_file());
}

TEST(SafeSave, PermissionBitsAndOwnerStay) { save_cases::keeps_mode_and_owner(definition_file()); }

TEST(SafeSave, AFolderThatAllowsNoNewFilesRefusesTheSaveOutLoud) {
    save_cases::folder_without_new_files(definition_file());
}

TEST(SafeSave, ATargetThatCannotBeReplacedRefusesTheSaveOutLoud) {
    save_cases::target_that_cannot_be_replaced(definition_file());
}

TEST(SafeSave, TemporaryFilesOfAKilledSaveGoWithTheNextSave) {
    save_cases::removes_stale_temporaries(definition_file());
}
