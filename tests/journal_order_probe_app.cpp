// The probe's second static object, in a library linked after the scene library.
#include "JournalNormales.h"

#include <ostream>

int sondeApplicationLiee = 0;

namespace {

struct Application
{
    Application() { *LeJournalNormales() << "construction apres" << std::endl; }
    ~Application() { *LeJournalNormales() << "destruction apres" << std::endl; }
} application;

} // namespace
