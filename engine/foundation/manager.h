// Shared handles and the named cache.
//  - smart_ptr<T>: a handle to an object whose first field is its reference count. The
//    count is bookkeeping only: reaching 0 frees nothing, the object's registry owns it.
//  - surface_mgr: a shared holder of one SDL surface; the last release frees the surface.
//  - nmanager<T>: the registry of every T, created on first request for a file path and
//    found again by that exact path. It owns its objects until clean or process exit.
#pragma once
#include <SDL.h>
#include <cassert>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/log.h"

// Pointers are printed in "[%x]" fields as their low 32 bits.
inline unsigned ptr_id(const void* p) { return (unsigned)(uintptr_t)p; }

template <class T>
class smart_ptr {
public:
    smart_ptr() : p(nullptr) {}
    smart_ptr(T* t) : p(nullptr) { take(t); }
    smart_ptr(const smart_ptr& o) : p(nullptr) { take(o.p); }
    ~smart_ptr() { release(); }
    smart_ptr& operator=(const smart_ptr& o) { return *this = o.p; }
    smart_ptr& operator=(T* t) {
        if (t == p) return *this;
        release();
        take(t);
        return *this;
    }
    void release() {
        if (p) p->refs--;
        p = nullptr;
    }
    T* operator->() const {
        if (!p) log_out("Tried to -> on a NULL smart pointer");
        return p;
    }
    T& operator*() const {
        if (!p) log_out("Tried to -> on a NULL smart pointer");
        return *p;
    }
    T* get() const { return p; }
    explicit operator bool() const { return p != nullptr; }

private:
    void take(T* t) {
        p = t;
        if (p) p->refs++;
    }
    T* p;
};

// Shared holder of one SDL surface. Holders are counted process-wide for the memory report.
struct surface_mgr {
    SDL_Surface* surface;
    int32_t refs;

    surface_mgr();
    void attach() { refs++; }
    void release();                   // frees the surface when the last holder lets go
    void set_surface(SDL_Surface* s); // warns when replacing, refuses null
    SDL_Surface* get_surface() const { return surface; }
};
extern int surface_mgr_count;

template <class T>
class nmanager {
public:
    nmanager() = default;
    nmanager(const nmanager&) = delete;
    nmanager& operator=(const nmanager&) = delete;
    ~nmanager() {
        for (size_t i = Objects.size(); i-- > 0;) delete Objects[i];
        Objects.clear();
    }

    // The object registered for this exact path, created and loaded on the first request.
    // An object whose file failed to load stays registered and is never retried.
    T* get(const char* name) {
        if (!name) name = "";
        for (const node& n : names) {
            if (n.name == name) {
                log_out("Found in nmanager cache [%s] assigning [%x]\n", name, ptr_id(n.object));
                return n.object;
            }
        }
        T* t = new T();
        smart_ptr<T> hold(t);
        hold->load(name);
        names.push_back(node{name, t});
        Objects.push_back(t);
        return t;
    }

    T* operator[](int i) {
        assert(i >= 0 && i < (int)Objects.size() && "i >=0 && i < Objects.size()");
        return Objects[(size_t)i];
    }
    int count() const { return (int)Objects.size(); }

    // Frees every object, the latest first (a later object may hold on to an earlier one's
    // parts). The name list goes too, so a later get loads afresh.
    void clean() {
        for (size_t i = Objects.size(); i-- > 0;) delete Objects[i];
        Objects.clear();
        names.clear();
    }

    std::vector<T*> Objects;

private:
    struct node {
        std::string name; // the full path: long paths are still found exactly
        T* object;
    };
    T prototype;
    std::vector<node> names;
};
