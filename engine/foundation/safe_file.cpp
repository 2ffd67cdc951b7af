#include "foundation/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

bool regular_file(const char* path) {
    struct stat st;
    return path && *path && stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool write_file_atomic(const char* path, const char* data, size_t size) {
    if (!path || !*path) return false;
    std::string tmp = std::string(path) + ".tmp" + std::to_string((long)getpid());
    int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
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
        if (n <= 0) ok = false;
        else done += (size_t)n;
    }
    sigaction(SIGXFSZ, &previous, nullptr);
    if (ok && fsync(fd) != 0) ok = false;
    if (close(fd) != 0) ok = false;
    if (ok && rename(tmp.c_str(), path) != 0) ok = false;
    if (!ok) unlink(tmp.c_str());
    return ok;
}
