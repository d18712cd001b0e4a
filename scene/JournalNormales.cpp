#include "JournalNormales.h"

#include <new>

namespace {

// Raw storage, so that only the counter constructs and destroys the log; both are
// zero-initialised before any dynamic initialisation runs.
alignas(JournalNormales) unsigned char stockage[sizeof(JournalNormales)];
int compteur;

}   // namespace

JournalNormales& LeJournalNormales()
{
    return *std::launder(reinterpret_cast<JournalNormales*>(stockage));
}

InitJournalNormales::InitJournalNormales()
{
    if (compteur++ == 0)
        new (stockage) JournalNormales();
}

InitJournalNormales::~InitJournalNormales()
{
    if (--compteur == 0)
        LeJournalNormales().~JournalNormales();
}

// The default open mode of an output file stream creates the file or empties it; nothing
// checks that it opened: without the folder every line is dropped and the program goes on.
JournalNormales::JournalNormales() : Flux(new std::ofstream(CheminJournalNormales())) {}

JournalNormales::~JournalNormales()
{
    delete Flux;
}
