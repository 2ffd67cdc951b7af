// Safe file access. Whole-or-nothing file writing: the text goes to a temporary file in the target's folder,
// which is flushed to disk and then renamed over the target. A write that cannot complete
// leaves the previous file untouched.
#pragma once
#include <cstddef>

bool write_file_atomic(const char* path, const char* data, size_t size);

// True when path names a regular file (symbolic links followed). Readers open nothing else:
// a device such as /dev/zero never ends and a pipe may never answer, so a definition file
// naming one would hang the program.
bool regular_file(const char* path);
