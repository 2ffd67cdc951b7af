// name_list<T>: an insertion-ordered list of (name, object) pairs. Lookup returns the first
// entry whose name matches exactly (case-sensitive); later entries with the same name are
// kept but never found. Names are held in 256-byte fields and longer ones are truncated.
// The list owns its objects: they are deleted with it. It can be moved, not copied.
#pragma once
#include <cstring>
#include <utility>
#include <vector>

#include "foundation/text.h"

template <class T>
class name_list {
public:
    struct entry {
        char name[256];
        T* object;
    };

    name_list() = default;
    name_list(const name_list&) = delete;
    name_list& operator=(const name_list&) = delete;
    name_list(name_list&& o) noexcept : entries(std::move(o.entries)) { o.entries.clear(); }
    name_list& operator=(name_list&& o) noexcept {
        if (this != &o) {
            clear();
            entries = std::move(o.entries);
            o.entries.clear();
        }
        return *this;
    }
    ~name_list() { clear(); }

    // Appends the pair and takes ownership of object.
    void add(const char* name, T* object) {
        entries.emplace_back();
        copy_text(entries.back().name, name);
        entries.back().object = object;
    }

    // The object of the first entry named exactly name, or null.
    T* find(const char* name) const {
        if (!name) return nullptr;
        char key[256];
        copy_text(key, name); // a name stored truncated is found by its full text too
        for (const entry& e : entries)
            if (strcmp(e.name, key) == 0) return e.object;
        return nullptr;
    }

    int count() const { return (int)entries.size(); }
    const entry& at(int i) const { return entries[(size_t)i]; }

    void clear() {
        for (entry& e : entries) delete e.object;
        entries.clear();
    }

private:
    std::vector<entry> entries;
};
