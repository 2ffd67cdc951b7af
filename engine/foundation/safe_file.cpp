#include "foundation/safe_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "foundation/log.h"

bool regular_file(const char* path) {
    struct stat st;
    return path && *path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool read_whole_file(const char* path, std::string& out) {
    out.clear();
    FILE* f = regular_file(path) ? fopen(path, "rb") : nullptr;
    if (!f) return false;
    char buf[4096];
    for (size_t got; (got = fread(buf, 1, sizeof buf, f)) > 0;) out.append(buf, got);
    fclose(f);
    return true;
}

static std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

static std::string name_of(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string save_target(const char* path) {
    std::string p = path ? path : "";
    // A chain longer than the system itself follows is a loop; it is left for the writer to refuse.
    for (int hops = 0; hops < 40; hops++) {
        struct stat st;
        if (lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        char to[PATH_MAX];
        ssize_t n = readlink(p.c_str(), to, sizeof to - 1);
        if (n <= 0) return p;
        to[n] = 0;
        if (to[0] == '/' || p.find('/') == std::string::npos) p = to;
        else p = folder_of(p) + "/" + to;
    }
    return p;
}

// Removes "<file>.tmp<pid>" files beside target whose process is gone: a save that was
// killed before its rename. Those of a running process (a save under way) stay.
static void remove_stale_temporaries(const std::string& target) {
    const std::string folder = folder_of(target);
    const std::string prefix = name_of(target) + ".tmp";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return;
    while (dirent* e = readdir(dir)) {
        const char* name = e->d_name;
        if (strncmp(name, prefix.c_str(), prefix.size()) != 0) continue;
        const char* digits = name + prefix.size();
        if (!*digits || strlen(digits) > 9 || strspn(digits, "0123456789") != strlen(digits)) continue;
        pid_t pid = (pid_t)atol(digits);
        if (pid <= 0 || pid == getpid()) continue;
        if (kill(pid, 0) == 0 || errno != ESRCH) continue;
        std::string stale = folder + "/" + name;
        struct stat st;
        if (lstat(stale.c_str(), &st) == 0 && S_ISREG(st.st_mode)) unlink(stale.c_str());
    }
    closedir(dir);
}

static bool write_all(int fd, const char* data, size_t size) {
    // A write past the file-size limit would raise SIGXFSZ, which ends the program; while
    // writing, it is ignored so the write fails and the caller reports the failed save.
    struct sigaction ignore, previous;
    memset(&ignore, 0, sizeof ignore);
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &previous);
    bool ok = true;
    size_t done = 0;
    while (ok && done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            ok = false;
        } else {
            done += (size_t)n;
        }
    }
    sigaction(SIGXFSZ, &previous, nullptr);
    return ok;
}

static bool refuse(const std::string& target, const char* what, int err) {
    log_out("ERROR: [%s] left as it was: %s (%s)\n", target.c_str(), what, strerror(err));
    return false;
}

bool write_file_atomic(const char* path, const char* data, size_t size) {
    if (!path || !*path) return false;
    const std::string target = save_target(path);
    struct stat old;
    const bool existed = lstat(target.c_str(), &old) == 0;
    if (existed && S_ISLNK(old.st_mode)) return refuse(target, "its links never end", ELOOP);

    std::string tmp = target + ".tmp" + std::to_string((long)getpid());
    // A private file's text is never readable by others, not even for a moment: the
    // temporary file starts private and takes the old file's bits once it is its own.
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    const mode_t first_mode = existed ? 0600 : 0644;
    int fd = open(tmp.c_str(), flags, first_mode);
    if (fd < 0 && errno == EEXIST && unlink(tmp.c_str()) == 0) fd = open(tmp.c_str(), flags, first_mode);
    if (fd < 0) {
        const int err = errno;
        const std::string what = "can't create [" + tmp + "] beside it";
        return refuse(target, what.c_str(), err);
    }
    if (existed) {
        // Owner and group as they were where the system allows (root may give any owner,
        // others only a group they belong to); the bits always, after chown cleared any.
        bool owned = fchown(fd, old.st_uid, old.st_gid) == 0 || fchown(fd, (uid_t)-1, old.st_gid) == 0;
        (void)owned; // a save by someone else than the owner still goes ahead
        fchmod(fd, old.st_mode & 07777);
    }
    bool ok = write_all(fd, data, size);
    const char* what = "can't write the new text";
    int err = errno;
    if (ok && fsync(fd) != 0) ok = false, err = errno, what = "can't flush the new text to disk";
    if (close(fd) != 0 && ok) ok = false, err = errno, what = "can't write the new text";
    if (ok && rename(tmp.c_str(), target.c_str()) != 0) ok = false, err = errno, what = "can't replace it";
    if (!ok) {
        unlink(tmp.c_str());
        return refuse(target, what, err);
    }
    // The rename itself reaches the disk with the folder.
    int dir = open(folder_of(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    remove_stale_temporaries(target);
    return true;
}
