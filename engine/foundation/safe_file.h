// Safe file access. Whole-or-nothing file writing: the text goes to a temporary file
// "<file>.tmp<pid>" beside the file, which is flushed to disk and then renamed over it. A write
// that cannot complete leaves the previous file untouched and says why.
// The save keeps what the user had: through a symbolic link it replaces the file the link
// names (the link stays), and the new file gets the old one's permission bits and, where the
// system allows it, its owner and group. A folder that allows no new files cannot take the
// temporary file: the save is refused and reported, never done in place, so a crash can never
// leave half a file. Temporary files left by a killed save of the same file are removed by the
// next one that succeeds.
#pragma once
#include <cstddef>
#include <string>

bool write_file_atomic(const char* path, const char* data, size_t size);

// The file a save of path writes: path with its symbolic links followed to the end (a link
// to a missing file gives that missing file). path itself when it is no link.
std::string save_target(const char* path);

// True when path names a regular file (symbolic links followed). Readers open nothing else:
// a device such as /dev/zero never ends and a pipe may never answer, so a definition file
// naming one would hang the program.
bool regular_file(const char* path);

// The whole of a regular file (regular_file), byte for byte; false, with out empty, when it
// cannot be read.
bool read_whole_file(const char* path, std::string& out);
