// Handles, surface holders and the named registry.
#include <gtest/gtest.h>

#include "foundation/manager.h"
#include "test_support.h"

namespace {
struct thing {
    int32_t refs = 0;
    int loads = 0;
    bool loaded = false;
    static int alive;
    thing() { alive++; }
    ~thing() { alive--; }
    void load(const char* name) {
        loads++;
        loaded = strstr(name, "missing") == nullptr;
    }
};
int thing::alive = 0;
} // namespace

TEST(NManager, TwoRequestsForOnePathShareOneObjectAndOneLoad) {
    nmanager<thing> reg;
    int before = thing::alive;
    log_capture log;
    thing* a = reg.get("rsrc/a.png");
    EXPECT_EQ(log.count("Found in nmanager cache"), 0);
    thing* b = reg.get("rsrc/a.png");
    EXPECT_EQ(a, b);
    EXPECT_EQ(a->loads, 1);
    EXPECT_EQ(thing::alive, before + 1);
    char line[300];
    snprintf(line, sizeof line, "Found in nmanager cache [rsrc/a.png] assigning [%x]\n", ptr_id(a));
    EXPECT_EQ(log.out, line);
    EXPECT_NE(reg.get("./rsrc/a.png"), a); // names are exact texts
    EXPECT_EQ(reg.count(), 2);
    EXPECT_EQ(reg[0], a);
}

TEST(NManager, APathThatFailedToLoadIsRegisteredAndNeverRetried) {
    nmanager<thing> reg;
    thing* a = reg.get("missing.png");
    EXPECT_FALSE(a->loaded);
    EXPECT_EQ(reg.get("missing.png"), a);
    EXPECT_EQ(a->loads, 1);
    EXPECT_EQ(reg.count(), 1);
}

TEST(NManager, LongPathsAreFoundByTheirWholeText) {
    nmanager<thing> reg;
    std::string base(300, 'p');
    thing* a = reg.get((base + "a").c_str());
    thing* b = reg.get((base + "b").c_str());
    EXPECT_NE(a, b);
    EXPECT_EQ(reg.get((base + "a").c_str()), a);
}

TEST(NManager, CleanFreesEverythingAndForgetsTheNames) {
    nmanager<thing> reg;
    int before = thing::alive;
    reg.get("a");
    reg.get("b");
    EXPECT_EQ(thing::alive, before + 2);
    reg.clean();
    EXPECT_EQ(thing::alive, before);
    EXPECT_EQ(reg.count(), 0);
    log_capture log;
    thing* again = reg.get("a"); // a fresh object, never a freed one
    EXPECT_EQ(again->loads, 1);
    EXPECT_FALSE(log.has("Found in nmanager cache"));
}

TEST(SmartPtr, CountsHoldersButNeverFrees) {
    nmanager<thing> reg;
    thing* t = reg.get("x");
    int refs_after_get = t->refs;
    EXPECT_EQ(refs_after_get, 0); // the registry's temporary handle has let go
    {
        smart_ptr<thing> a(t);
        smart_ptr<thing> b = a;
        EXPECT_EQ(t->refs, 2);
        smart_ptr<thing> c;
        c = b;
        c = a; // same target: no change
        EXPECT_EQ(t->refs, 3);
        c = nullptr;
        EXPECT_EQ(t->refs, 2);
    }
    EXPECT_EQ(t->refs, 0);
    EXPECT_EQ(reg.get("x"), t); // still usable through the registry
    EXPECT_EQ(t->loads, 1);
}

TEST(SmartPtr, DereferencingAnEmptyHandleIsReported) {
    smart_ptr<thing> empty;
    log_capture log;
    EXPECT_EQ(empty.operator->(), nullptr);
    EXPECT_EQ(log.out, "Tried to -> on a NULL smart pointer");
    EXPECT_FALSE((bool)empty);
}

TEST(SurfaceMgr, TheLastReleaseFreesOnceAndASecondIsReported) {
    int created = surface_mgr_count;
    surface_mgr* holder = new surface_mgr();
    EXPECT_EQ(surface_mgr_count, created + 1);
    holder->attach();
    holder->attach();
    holder->set_surface(SDL_CreateRGBSurface(SDL_SWSURFACE, 4, 4, 32, 0, 0, 0, 0));
    log_capture log;
    holder->release();
    EXPECT_NE(holder->get_surface(), nullptr);
    holder->release();
    EXPECT_EQ(holder->get_surface(), nullptr);
    EXPECT_EQ(log.out, "");
    holder->release();
    EXPECT_EQ(log.out, "____ERROR: Would be deleting surface [0] but its already deleted\n");
    delete holder;
}

TEST(SurfaceMgr, StoringWarnsOnReplaceAndRefusesNull) {
    surface_mgr holder;
    SDL_Surface* a = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 32, 0, 0, 0, 0);
    SDL_Surface* b = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 32, 0, 0, 0, 0);
    log_capture log;
    holder.set_surface(a);
    EXPECT_EQ(log.out, "");
    holder.set_surface(nullptr);
    EXPECT_EQ(log.out, "ERROR, set surface to null\n");
    EXPECT_EQ(holder.get_surface(), a);
    log.reset();
    holder.set_surface(b);
    char line[100];
    snprintf(line, sizeof line, "____WARNING: Setting an alreadys set surface[%x]\n", ptr_id(a));
    EXPECT_EQ(log.out, line);
    EXPECT_EQ(holder.get_surface(), b);
    SDL_FreeSurface(a);
    SDL_FreeSurface(b);
}
