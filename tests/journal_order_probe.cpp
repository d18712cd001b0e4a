// A small program whose static objects write to the normals log while they are built and
// while they are destroyed. One of them lives in this file, linked before the scene library,
// the other in journal_order_probe_app.cpp, linked after it: whichever order the runtime
// initialises files in, the log must be there for both. The log goes to this program's own
// path with ".log" appended.
#include "JournalNormales.h"

#include <windows.h>

#include <ostream>
#include <string>

extern int sondeApplicationLiee;

const char* CheminJournalNormales()
{
    static std::string chemin;
    char module[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, module, MAX_PATH);
    chemin = std::string(module) + ".log";
    return chemin.c_str();
}

namespace {

struct Application
{
    Application() { *LeJournalNormales() << "construction avant" << std::endl; }
    ~Application() { *LeJournalNormales() << "destruction avant" << std::endl; }
} application;

} // namespace

int main()
{
    return sondeApplicationLiee;
}
