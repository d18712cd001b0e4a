// Compiled into every test executable that links the support library, ahead of the scene
// library: the tests' normals log goes nowhere until a test points it at a file of its own,
// so no test run touches C:\Dalmore\Normales.txt, nor another test's file.
const char* CheminJournalNormales()
{
    return "NUL";
}
