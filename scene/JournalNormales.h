// The normals log: one file stream for the whole process, opened during static
// initialisation and closed during static destruction.
//
// It is built and destroyed like the standard streams (a "nifty counter"): every source
// file that includes this header gets one InitJournalNormales object, defined here, ahead of
// anything the file defines itself. The first of them to be constructed builds the log, the
// last to be destroyed destroys it. A source file that includes this header before defining
// a static object (kervalen.cpp and theApp) therefore sees the log built before that object
// and destroyed after it, whatever the link order.
#pragma once

#include <fstream>

class JournalNormales
{
public:
    JournalNormales();   // opens CheminJournalNormales()
    ~JournalNormales();
    JournalNormales(const JournalNormales&) = delete;
    JournalNormales& operator=(const JournalNormales&) = delete;

    std::ofstream& operator*() { return *Flux; }

private:
    std::ofstream* Flux;
};

// "C:\Dalmore\Normales.txt" in the program. Defined in a source file of its own so that a
// test executable can define it first and keep the fixed path out of its runs.
const char* CheminJournalNormales();

// The process's log, usable from the end of the first InitJournalNormales construction on.
JournalNormales& LeJournalNormales();

class InitJournalNormales
{
public:
    InitJournalNormales();
    ~InitJournalNormales();
    InitJournalNormales(const InitJournalNormales&) = delete;
    InitJournalNormales& operator=(const InitJournalNormales&) = delete;
};

static InitJournalNormales initJournalNormales;
