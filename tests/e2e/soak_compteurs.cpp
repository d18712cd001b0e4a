// soak_compteurs TITLE: "handles gdi" of the window's process, counted where Wine keeps them (it
// answers GetProcessHandleCount and GetGuiResources with 0). TITLE REQUEST: posts what its
// buttons (min, restore, sysclose), another program (close) or its menu (exit, about) would.
#include "../../framework/afxres.h"

#include <windows.h>
#include <winternl.h>
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
    std::vector<char> t(16 << 20);
    int handles = 0, gdi = 0;
    struct Entree
    {
        ULONG pid;
        BYTE type, flags;
        USHORT valeur;
        PVOID objet;
        ULONG acces;
    };
    NtQuerySystemInformation(SYSTEM_INFORMATION_CLASS(16), t.data(), t.size(),
                             nullptr);   // every handle
    for (ULONG i = 0; i < *reinterpret_cast<ULONG*>(t.data()); ++i)
        handles += reinterpret_cast<Entree*>(t.data() + 8)[i].pid == pid;
    // The PEB holds the GDI table's address at 0xF8: 65536 entries of 24 bytes, used if byte 14
    // (type) is set.
    PROCESS_BASIC_INFORMATION pbi = {};
    UINT64 table = 0;
    NtQueryInformationProcess(h, ProcessBasicInformation, &pbi, sizeof pbi, nullptr);
    if (ReadProcessMemory(h, static_cast<char*>(static_cast<void*>(pbi.PebBaseAddress)) + 0xF8,
                          &table, 8, nullptr) &&
        ReadProcessMemory(h, reinterpret_cast<void*>(table), t.data(), 65536 * 24, nullptr))
        for (int i = 0; i < 65536; ++i)
            gdi += t[i * 24 + 14] != 0;
    std::printf("%d %d\n", handles, gdi);
}
