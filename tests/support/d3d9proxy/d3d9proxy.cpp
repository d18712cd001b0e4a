// A d3d9.dll that stands in for the system's one in the tests. It forwards to the real
// runtime, can be told to make one of the three start-up calls fail, and reports at unload
// how many references of what it handed out are still held.
//
// Placed next to an exe and selected with WINEDLLOVERRIDES="d3d9=n,b", which Wine reads from
// the Unix environment a process starts with (setting it from a Windows parent does nothing;
// Windows itself loads a d3d9.dll found beside the exe without being told). Environment:
//   KERVALEN_D3D9_FAUTE  "Direct3DCreate9"            no object from Direct3DCreate9
//                        "GetAdapterDisplayMode=HR"   that call returns HR
//                        "CreateDevice=HR"            that call returns HR, no device
//                        HR in decimal (may be negative) or 0x hexadecimal.
//   KERVALEN_D3D9_BILAN  file that receives the report when the DLL is unloaded:
//                        "objets N"   Direct3D objects handed out
//                        "vivants N"  references still held on them (see Objet::Release)
#include <windows.h>
#include <d3d9.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

enum class Appel { Aucun, Creation, ModeAffichage, Peripherique };

struct Faute
{
    Appel appel = Appel::Aucun;
    HRESULT hr = 0;
};

Faute g_Faute;
LONG g_Objets = 0;                 // IDirect3D9 handed out
LONG g_Vivants = 0;                // references not given back, summed over all objects
char g_Bilan[MAX_PATH] = "";

// Reads the fault to inject; an unreadable value injects nothing rather than guessing.
Faute LireFaute()
{
    Faute f;
    char texte[128];
    DWORD n = ::GetEnvironmentVariableA("KERVALEN_D3D9_FAUTE", texte, sizeof texte);
    if (n == 0 || n >= sizeof texte)
        return f;
    if (std::strcmp(texte, "Direct3DCreate9") == 0) {
        f.appel = Appel::Creation;
        return f;
    }
    const char* egal = std::strchr(texte, '=');
    if (!egal)
        return f;
    char* fin = nullptr;
    long long valeur = std::strtoll(egal + 1, &fin, 0);
    if (fin == egal + 1 || *fin != '\0')
        return f;
    std::string_view nom(texte, static_cast<size_t>(egal - texte));
    if (nom == "GetAdapterDisplayMode")
        f.appel = Appel::ModeAffichage;
    else if (nom == "CreateDevice")
        f.appel = Appel::Peripherique;
    else
        return f;
    // HRESULTs are 32 bits: 0x8876086A and -2005530518 name the same code.
    f.hr = static_cast<HRESULT>(static_cast<unsigned long>(valeur));
    // Success without doing the call would hand back an unfilled display mode or no device:
    // a zero code is no fault, the call goes through.
    if (f.hr == 0)
        f.appel = Appel::Aucun;
    return f;
}

void EcrireBilan()
{
    if (g_Bilan[0] == '\0')
        return;
    char texte[96];
    int n = std::snprintf(texte, sizeof texte, "objets %ld\nvivants %ld\n", g_Objets, g_Vivants);
    HANDLE fichier = ::CreateFileA(g_Bilan, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (fichier == INVALID_HANDLE_VALUE)
        return;
    DWORD ecrits = 0;
    ::WriteFile(fichier, texte, static_cast<DWORD>(n), &ecrits, nullptr);
    ::CloseHandle(fichier);
}

// The real runtime. Loading it by its full system path gives a module distinct from this
// one even though both are called d3d9.dll (measured under Wine; Windows does the same).
HMODULE ChargerReel()
{
    static HMODULE reel = nullptr;
    if (!reel) {
        char chemin[MAX_PATH];
        UINT n = ::GetSystemDirectoryA(chemin, MAX_PATH);
        if (n == 0 || n + sizeof "\\d3d9.dll" > MAX_PATH)
            return nullptr;
        std::strcat(chemin, "\\d3d9.dll");
        reel = ::LoadLibraryA(chemin);
    }
    return reel;
}

// Wraps one real IDirect3D9. Every call is forwarded except the two that can be told to
// fail; the device comes from the real object unwrapped.
class Objet final : public IDirect3D9
{
public:
    explicit Objet(IDirect3D9* reel) : m_pReel(reel)
    {
        ::InterlockedIncrement(&g_Objets);
        ::InterlockedIncrement(&g_Vivants);
    }

    Objet(const Objet&) = delete;
    Objet& operator=(const Objet&) = delete;

    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        // Handing out the real object under another interface would escape the count.
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDirect3D9)) {
            *ppv = static_cast<IDirect3D9*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    STDMETHOD_(ULONG, AddRef)() override
    {
        ::InterlockedIncrement(&g_Vivants);
        return static_cast<ULONG>(::InterlockedIncrement(&m_References));
    }

    // When the last of our references goes, the real object is released too. A device
    // holds a reference on the object that made it, and every buffer on its device, so
    // whatever the real object still counts then is a device or resource not given back:
    // it stays counted as alive. A device released only after its Direct3D object shows
    // the same way, which is right: that order is itself a fault of the caller.
    STDMETHOD_(ULONG, Release)() override
    {
        LONG reste = ::InterlockedDecrement(&m_References);
        ::InterlockedDecrement(&g_Vivants);
        if (reste == 0) {
            ULONG reel = m_pReel->Release();
            ::InterlockedExchangeAdd(&g_Vivants, static_cast<LONG>(reel));
            delete this;
        }
        return static_cast<ULONG>(reste);
    }

    STDMETHOD(RegisterSoftwareDevice)(void* f) override { return m_pReel->RegisterSoftwareDevice(f); }
    STDMETHOD_(UINT, GetAdapterCount)() override { return m_pReel->GetAdapterCount(); }
    STDMETHOD(GetAdapterIdentifier)(UINT a, DWORD f, D3DADAPTER_IDENTIFIER9* p) override
    {
        return m_pReel->GetAdapterIdentifier(a, f, p);
    }
    STDMETHOD_(UINT, GetAdapterModeCount)(UINT a, D3DFORMAT f) override
    {
        return m_pReel->GetAdapterModeCount(a, f);
    }
    STDMETHOD(EnumAdapterModes)(UINT a, D3DFORMAT f, UINT m, D3DDISPLAYMODE* p) override
    {
        return m_pReel->EnumAdapterModes(a, f, m, p);
    }

    STDMETHOD(GetAdapterDisplayMode)(UINT a, D3DDISPLAYMODE* p) override
    {
        if (g_Faute.appel == Appel::ModeAffichage)
            return g_Faute.hr;
        return m_pReel->GetAdapterDisplayMode(a, p);
    }

    STDMETHOD(CheckDeviceType)(UINT a, D3DDEVTYPE t, D3DFORMAT af, D3DFORMAT bf, BOOL w) override
    {
        return m_pReel->CheckDeviceType(a, t, af, bf, w);
    }
    STDMETHOD(CheckDeviceFormat)(UINT a, D3DDEVTYPE t, D3DFORMAT af, DWORD u, D3DRESOURCETYPE r,
                                 D3DFORMAT f) override
    {
        return m_pReel->CheckDeviceFormat(a, t, af, u, r, f);
    }
    STDMETHOD(CheckDeviceMultiSampleType)(UINT a, D3DDEVTYPE t, D3DFORMAT f, BOOL w,
                                          D3DMULTISAMPLE_TYPE m, DWORD* q) override
    {
        return m_pReel->CheckDeviceMultiSampleType(a, t, f, w, m, q);
    }
    STDMETHOD(CheckDepthStencilMatch)(UINT a, D3DDEVTYPE t, D3DFORMAT af, D3DFORMAT rf,
                                      D3DFORMAT df) override
    {
        return m_pReel->CheckDepthStencilMatch(a, t, af, rf, df);
    }
    STDMETHOD(CheckDeviceFormatConversion)(UINT a, D3DDEVTYPE t, D3DFORMAT sf, D3DFORMAT tf) override
    {
        return m_pReel->CheckDeviceFormatConversion(a, t, sf, tf);
    }
    STDMETHOD(GetDeviceCaps)(UINT a, D3DDEVTYPE t, D3DCAPS9* p) override
    {
        return m_pReel->GetDeviceCaps(a, t, p);
    }
    STDMETHOD_(HMONITOR, GetAdapterMonitor)(UINT a) override { return m_pReel->GetAdapterMonitor(a); }

    STDMETHOD(CreateDevice)(UINT a, D3DDEVTYPE t, HWND w, DWORD f, D3DPRESENT_PARAMETERS* pp,
                            IDirect3DDevice9** ppDevice) override
    {
        if (g_Faute.appel == Appel::Peripherique) {
            // Even a success code handed back as a fault comes without a device, so the
            // caller cannot leak one whatever it does with the result.
            if (ppDevice)
                *ppDevice = nullptr;
            return g_Faute.hr;
        }
        return m_pReel->CreateDevice(a, t, w, f, pp, ppDevice);
    }

private:
    ~Objet() = default;

    IDirect3D9* m_pReel;
    LONG m_References = 1;
};

} // namespace

extern "C" __declspec(dllexport) IDirect3D9* WINAPI Direct3DCreate9(UINT version)
{
    if (g_Faute.appel == Appel::Creation)
        return nullptr;
    HMODULE reel = ChargerReel();
    if (!reel)
        return nullptr;
    using Fabrique = IDirect3D9*(WINAPI*)(UINT);
    auto fabrique = reinterpret_cast<Fabrique>(
        reinterpret_cast<void*>(::GetProcAddress(reel, "Direct3DCreate9")));
    if (!fabrique)
        return nullptr;
    IDirect3D9* objet = fabrique(version);
    if (!objet)
        return nullptr;
    return new Objet(objet);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD raison, LPVOID)
{
    if (raison == DLL_PROCESS_ATTACH) {
        g_Faute = LireFaute();
        DWORD n = ::GetEnvironmentVariableA("KERVALEN_D3D9_BILAN", g_Bilan, sizeof g_Bilan);
        if (n >= sizeof g_Bilan)
            g_Bilan[0] = '\0';
    } else if (raison == DLL_PROCESS_DETACH) {
        // Only kernel32 is used here: at process exit the other modules may be gone.
        EcrireBilan();
    }
    return TRUE;
}
