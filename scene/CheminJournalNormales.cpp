#include "JournalNormales.h"

const char* CheminJournalNormales()
{
    return "C:\\Dalmore\\Normales.txt";
}
