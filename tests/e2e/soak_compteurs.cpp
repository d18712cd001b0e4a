// soak_compteurs TITLE: "handles gdi" of the window's process, counted where Wine keeps them (it
// answers GetProcessHandleCount and GetGuiResources with 0). TITLE REQUEST: posts what its
// buttons (min, restore, sysclose), another program (close) or its menu (exit, about) would.
#include "../../framework/afxres.h"

#include <windows.h>
#include <winternl.h>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv)
{
    DWORD pid = 0;
    HWND cadre = argc > 1 ? FindWindowA(nullptr, argv[1]) : nullptr;
    HANDLE h = cadre && GetWindowThreadProcessId(cadre, &pid)
                   ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid)
                   : nullptr;
    if (!h)
        return 1;
    const struct
    {
        const char* nom;
        UINT message;
        WPARAM w;
    } demandes[] = {{"min", WM_SYSCOMMAND, SC_MINIMIZE},   {"restore", WM_SYSCOMMAND, SC_RESTORE},
                    {"sysclose", WM_SYSCOMMAND, SC_CLOSE}, {"close", WM_CLOSE, 0},
                    {"exit", WM_COMMAND, ID_APP_EXIT},     {"about", WM_COMMAND, ID_APP_ABOUT}};
    for (const auto& d : demandes)
        if (argc > 2 && !std::strcmp(argv[2], d.nom))
            return !PostMessageA(cadre, d.message, d.w, 0);
    if (argc > 2)
        return 1;
    // Every handle of the system: a count, then entries of the process id, type, flags, value,
    // object and access; the PEB holds the address of the GDI handle table, whose entries are in
    // use when their type is set. Offsets and sizes follow the word size.
    struct Entree
    {
        ULONG pid;
        BYTE type, flags;
        USHORT valeur;
        PVOID objet;
        ULONG acces;
    };
    struct Liste
    {
        ULONG n;
        Entree entrees[1];
    };
    const bool x64 = sizeof(void*) == 8;
    const std::size_t placeTable = x64 ? 0xF8 : 0x94, pas = x64 ? 24 : 16, type = x64 ? 14 : 10;
    std::vector<char> t(16 << 20);
    const Liste* liste = reinterpret_cast<const Liste*>(t.data());
    PROCESS_BASIC_INFORMATION pbi = {};
    void* table = nullptr;
    int handles = 0, gdi = 0;
    if (NtQuerySystemInformation(SYSTEM_INFORMATION_CLASS(16), t.data(), t.size(), nullptr) < 0)
        return 2;
    for (ULONG i = 0; i < liste->n; ++i)
        handles += liste->entrees[i].pid == pid;
    if (NtQueryInformationProcess(h, ProcessBasicInformation, &pbi, sizeof pbi, nullptr) < 0 ||
        !ReadProcessMemory(h,
                           static_cast<char*>(static_cast<void*>(pbi.PebBaseAddress)) + placeTable,
                           &table, sizeof table, nullptr) ||
        !ReadProcessMemory(h, table, t.data(), 65536 * pas, nullptr))
        return 2;
    for (int i = 0; i < 65536; ++i)
        gdi += t[i * pas + type] != 0;
    std::printf("%d %d\n", handles, gdi);
    return handles > 0 && gdi > 0 ? 0 : 2;   // a live window's process has both
}
