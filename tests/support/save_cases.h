// What every writer of a file (definition files, the controls file, animation files) must
// keep of what the user had: a symbolic link stays a link and its file is the one rewritten,
// permission bits and owner stay, a folder that allows no new files or a target that cannot
// be replaced refuses the save out loud and leaves the file as it was, and temporary files of
// a killed save go away.
// A writer is given a path whose file holds `before`, saves its text there and returns its
// result (a writer that reads the file first, like the editor, needs a `before` it can read).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "test_support.h"

namespace save_cases {

using writer = std::function<bool(const std::string& path)>;

struct subject {
    writer save;
    std::string before = "before=1\n";
    bool edits_only = false; // writes only a file it could read (no link to a missing file)
};
const uid_t kNobody = 65534;

inline std::vector<std::string> names_in(const std::string& dir) {
    std::vector<std::string> v;
    for (const auto& e : std::filesystem::directory_iterator(dir)) v.push_back(e.path().filename());
    std::sort(v.begin(), v.end());
    return v;
}

inline mode_t mode_of(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// The text the writer puts into a fresh file.
inline std::string plain_text(const subject& s) {
    scratch_dir d;
    write_text(d.file("plain.ini"), s.before);
    EXPECT_TRUE(s.save(d.file("plain.ini")));
    std::string text = read_text(d.file("plain.ini"));
    EXPECT_NE(text, "");
    EXPECT_NE(text, s.before);
    return text;
}

// A link beside its file, one from another folder, a chain of two, and one whose file is
// still missing: each stays the link it was and its file gets the text.
inline void through_links(const subject& s) {
    SCOPED_TRACE("saving through symbolic links");
    const std::string text = plain_text(s);
    scratch_dir d;
    make_dirs(d.file("sub"));
    write_text(d.file("real.ini"), s.before);
    chmod(d.file("real.ini").c_str(), 0640);
    ASSERT_EQ(symlink("real.ini", d.file("link.ini").c_str()), 0);
    ASSERT_EQ(symlink("../real.ini", d.file("sub/far.ini").c_str()), 0);
    ASSERT_EQ(symlink("link.ini", d.file("chain.ini").c_str()), 0);
    ASSERT_EQ(symlink("fresh.ini", d.file("dangling.ini").c_str()), 0);
    const std::pair<const char*, const char*> links[] = {
        {"link.ini", "real.ini"}, {"sub/far.ini", "../real.ini"}, {"chain.ini", "link.ini"}};
    for (const auto& [link, to] : links) {
        write_text(d.file("real.ini"), s.before);
        ASSERT_TRUE(s.save(d.file(link))) << link;
        EXPECT_EQ(read_text(d.file("real.ini")), text) << link;
        EXPECT_EQ(std::filesystem::read_symlink(d.file(link)).string(), to) << link;
        EXPECT_EQ(mode_of(d.file("real.ini")), 0640u) << link;
    }
    if (s.edits_only) write_text(d.file("fresh.ini"), s.before);
    ASSERT_TRUE(s.save(d.file("dangling.ini")));
    EXPECT_EQ(read_text(d.file("fresh.ini")), text);
    EXPECT_TRUE(std::filesystem::is_symlink(d.file("dangling.ini")));
    EXPECT_EQ(names_in(d.path), (std::vector<std::string>{"chain.ini", "dangling.ini", "fresh.ini",
                                                          "link.ini", "real.ini", "sub"}));
    EXPECT_EQ(names_in(d.file("sub")), std::vector<std::string>{"far.ini"});
}

// Private, group-readable, read-only and executable files keep their bits; as root, a file
// of another user keeps its owner and group.
inline void keeps_mode_and_owner(const subject& s) {
    SCOPED_TRACE("keeping permission bits and owner");
    const std::string text = plain_text(s);
    scratch_dir d;
    const std::string path = d.file("f.ini");
    for (mode_t mode : {0600, 0640, 0444, 0755}) {
        write_text(path, s.before);
        ASSERT_EQ(chmod(path.c_str(), mode), 0);
        ASSERT_TRUE(s.save(path)) << std::oct << mode;
        EXPECT_EQ(read_text(path), text);
        EXPECT_EQ(mode_of(path), mode) << std::oct << mode;
    }
    if (geteuid() != 0) return; // only root may give a file away
    ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_TRUE(s.save(path));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, (gid_t)kNobody);
}

// Runs body in a child that the folder's permission bits bind: as root (whom they do not
// bind) the child first becomes nobody. Gives the child's exit code, 99 if it could not.
inline int in_bound_child(const std::function<int()>& body) {
    pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
            _exit(99);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// A writable file in a folder that allows no new files: the save is refused with a line
// saying the file was left as it was, the file is unchanged, nothing new appears.
inline void folder_without_new_files(const subject& s) {
    SCOPED_TRACE("saving into a folder that allows no new files");
    scratch_dir d;
    const std::string folder = d.file("locked"), path = folder + "/f.ini";
    make_dirs(folder);
    write_text(path, s.before);
    chmod(d.path.c_str(), 0755);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_EQ(chmod(folder.c_str(), 0555), 0);
    int code = in_bound_child([&] {
        if (access(path.c_str(), W_OK) != 0) return 3; // the file itself must be writable
        log_capture log;
        if (s.save(path)) return 1;
        if (!log.has("ERROR: [" + path + "] left as it was: can't create [" + path + ".tmp")) return 2;
        return 0;
    });
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(code, 0) << "1: reported success, 2: no clear report, 3: file not writable";
    EXPECT_EQ(read_text(path), s.before);
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"f.ini"});
}

// A target the final rename cannot replace: a folder with a file in it where the file should
// be and, as root, a file of someone else in a shared folder with the sticky bit (where only
// a file's owner may replace it). The save is refused with a line saying the target was left
// as it was, what was there stays, and no temporary file is left behind.
inline void target_that_cannot_be_replaced(const subject& s) {
    SCOPED_TRACE("saving onto a target that cannot be replaced");
    scratch_dir d;
    const std::string report = "] left as it was: can't replace it";
    if (!s.edits_only) { // an editor cannot open a folder in the first place
        const std::string path = d.file("f.ini");
        make_dirs(path);
        write_text(path + "/inner.ini", s.before);
        log_capture log;
        EXPECT_FALSE(s.save(path));
        EXPECT_TRUE(log.has("ERROR: [" + path + report)) << log.out;
        EXPECT_EQ(read_text(path + "/inner.ini"), s.before);
        EXPECT_EQ(names_in(d.path), std::vector<std::string>{"f.ini"});
        EXPECT_EQ(names_in(path), std::vector<std::string>{"inner.ini"});
    }
    if (geteuid() != 0) return; // only root may leave a file to another user
    const std::string folder = d.file("shared"), path = folder + "/f.ini";
    make_dirs(folder);
    write_text(path, s.before);
    chmod(d.path.c_str(), 0755);
    ASSERT_EQ(chmod(folder.c_str(), 01777), 0);
    int code = in_bound_child([&] {
        log_capture log;
        if (s.save(path)) return 1;
        if (!log.has("ERROR: [" + path + report)) return 2;
        return 0;
    });
    EXPECT_EQ(code, 0) << "1: reported success, 2: no clear report";
    EXPECT_EQ(read_text(path), s.before);
    EXPECT_EQ(names_in(folder), std::vector<std::string>{"f.ini"});
}

// Temporary files of saves whose process is gone are removed by the next save of the same
// file; those of a process still running, of another file and of other names stay.
inline void removes_stale_temporaries(const subject& s) {
    SCOPED_TRACE("removing temporary files of killed saves");
    scratch_dir d;
    pid_t dead = fork();
    if (dead == 0) _exit(0);
    waitpid(dead, nullptr, 0);
    const std::string stale = "f.ini.tmp" + std::to_string(dead);
    for (const std::string& name : {stale, std::string("f.ini.tmp1"), std::string("f.ini.tmpx"),
                                    "g.ini.tmp" + std::to_string(dead), std::string("f.ini")})
        write_text(d.file(name), name == "f.ini" ? s.before : "half a sa");
    ASSERT_TRUE(s.save(d.file("f.ini")));
    EXPECT_EQ(names_in(d.path), (std::vector<std::string>{"f.ini", "f.ini.tmp1", "f.ini.tmpx",
                                                          "g.ini.tmp" + std::to_string(dead)}));
}

inline void all(const subject& s) {
    through_links(s);
    keeps_mode_and_owner(s);
    folder_without_new_files(s);
    target_that_cannot_be_replaced(s);
    removes_stale_temporaries(s);
}

} // namespace save_cases
