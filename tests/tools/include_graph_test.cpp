// The layout: no module (a .h/.cpp pair) of engine/, game/, editor/ or checker/ includes, directly or
// through others, one that includes it back.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string ROOT = FIGHT_SOURCE_DIR;

// Module name (path from the top, without extension) -> file paths.
void find_sources(const std::string& rel, std::map<std::string, std::vector<std::string>>& out) {
    DIR* d = opendir((ROOT + "/" + rel).c_str());
    if (!d) return;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name[0] == '.') continue;
        const std::string path = rel + "/" + name;
        const size_t dot = name.rfind('.');
        const std::string ext = dot == std::string::npos ? "" : name.substr(dot);
        if (ext == ".h" || ext == ".cpp") out[path.substr(0, path.size() - ext.size())].push_back(path);
        else if (dot == std::string::npos) find_sources(path, out);
    }
    closedir(d);
}

// The module an include names, looked up from the including file's folder, then engine/.
std::string module_of(const std::string& inc, const std::string& from,
                      const std::map<std::string, std::vector<std::string>>& modules) {
    const std::string base = inc.substr(0, inc.rfind('.'));
    const std::string here = from.substr(0, from.rfind('/') + 1);
    for (const std::string& m : {here + base, "engine/" + base})
        if (modules.count(m)) return m;
    return "";
}

TEST(Layout, NoModuleIncludesOneThatIncludesItBack) {
    std::map<std::string, std::vector<std::string>> modules;
    for (const char* top : {"engine", "game", "editor", "checker"}) find_sources(top, modules);
    ASSERT_GT(modules.size(), 50u);
    std::map<std::string, std::set<std::string>> uses;
    for (const auto& m : modules)
        for (const std::string& file : m.second) {
            std::ifstream in(ROOT + "/" + file);
            std::string line;
            while (std::getline(in, line)) {
                const size_t q = line.find("#include \"");
                if (q == std::string::npos) continue;
                const std::string inc = line.substr(q + 10, line.find('"', q + 10) - q - 10);
                const std::string used = module_of(inc, file, modules);
                if (!used.empty() && used != m.first) uses[m.first].insert(used);
            }
        }
    // A module on a circle reaches itself; the path found names the circle.
    for (const auto& m : modules) {
        std::map<std::string, std::string> came_from;
        std::vector<std::string> todo = {m.first};
        while (!todo.empty()) {
            const std::string at = todo.back();
            todo.pop_back();
            for (const std::string& next : uses[at]) {
                if (next == m.first) {
                    std::string circle = m.first;
                    for (std::string s = at; s != m.first; s = came_from[s]) circle = s + " <- " + circle;
                    FAIL() << m.first << " <- " << circle;
                }
                if (came_from.emplace(next, at).second) todo.push_back(next);
            }
        }
    }
}

} // namespace
