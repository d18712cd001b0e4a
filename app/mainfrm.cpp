#include "mainfrm.h"

#include "Camera.h"
#include "Detruire.h"
#include "JournalNormales.h"
#include "Liberer.h"
#include "Tourner.h"
#include "Village.h"
#include "echec.h"
#include "resource.h"
#include "verifier.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

IDirect3D9*(WINAPI* CMainFrame::CreerDirect3D)(UINT) = ::Direct3DCreate9;
DWORD(WINAPI* CMainFrame::Horloge)() = ::timeGetTime;

namespace {

const double kRadiansParSeconde = 2.0943952;   // one turn every three seconds
const double kTour = 6.283185307179586;

// The milliseconds from plusTot to plusTard on a clock that wraps every 2^32 ms (49.7 days).
DWORD Depuis(LONG plusTard, LONG plusTot)
{
    return static_cast<DWORD>(plusTard) - static_cast<DWORD>(plusTot);
}

// Draws each top-level object with its own world transform (Afficher, not Tracer).
class Afficheur
{
public:
    explicit Afficheur(IDirect3DDevice9* pDevice) : m_pDevice(pDevice) {}
    void operator()(IDessinable* objet) const
    {
        if (objet)
            objet->Afficher(m_pDevice);
    }

private:
    IDirect3DDevice9* m_pDevice;
};

}   // namespace

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

// Created once by InitInstance. The window, and with it the renderer, comes into being
// inside Create; when it is refused the framework has deleted this object on return.
CMainFrame::CMainFrame()
    : m_Maintenant(0),
      m_ProchaineImage(0),
      m_DerniereImage(0),
      m_Intervalle(0),
      m_SecondesParMs(0.0),
      m_Angle(0),
      m_pD3D(nullptr),
      m_pDevice(nullptr),
      m_pCamera(nullptr),
      m_Objets(),
      m_Parametres(),
      m_Perdu(false),
      m_Refaire(false),
      m_Neuf(false)
{
    Create(nullptr, "Programme test", WS_OVERLAPPEDWINDOW, rectDefault, nullptr,
           MAKEINTRESOURCEA(IDR_MAINFRAME), 0, nullptr);
}

// The scene objects have been deleted by LibererRessources while the window still existed.
CMainFrame::~CMainFrame() = default;

void CMainFrame::AssertValid() const
{
    CFrameWnd::AssertValid();
}

void CMainFrame::Dump(CDumpContext& dc) const
{
    CFrameWnd::Dump(dc);
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    return TRUE;
}

// Runs inside Create: makes the window square, then brings up the renderer. A failure
// value from the renderer is reported here and refuses the window.
int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;

    // The outer rectangle, caption and frame included, keeps its top-left corner. The
    // device is created after this, so its back buffer takes the client size of the square
    // window: not square itself, the caption and menu bar take their share of the height.
    CRect r(0, 0, 0, 0);
    GetWindowRect(&r);
    const int cote = r.Width() < r.Height() ? r.Width() : r.Height();
    r.right = r.left + cote;
    r.bottom = r.top + cote;
    MoveWindow(&r, TRUE);

    try {
        InitialiserD3D();
        if (!InitialiserScene())
            return -1;
        // The log holds the normals of the start-up scene only, not of one built after a reset.
        (*LeJournalNormales()).close();
        if (!InitialiserTemps())
            return -1;
    } catch (HRESULT hr) {
        // Owned by this window, still hidden: the box is all the user sees of the frame. A close
        // request during the box may destroy the window, and with it this object: neither is used
        // after.
        MessageBox(MessageEchec(hr), "Erreur", MB_OK);
        return -1;
    }
    return 0;
}

// The renderer goes while the window still exists.
void CMainFrame::OnDestroy()
{
    LibererRessources();
    CFrameWnd::OnDestroy();
}

// Each of the six keys moves the eye one unit along a world axis, whatever the repeat
// count; every key then goes on to the base class.
void CMainFrame::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    D3DXVECTOR3 v(0, 0, 0);
    bool deplace = true;
    // clang-format off
    switch (nChar) {
    case VK_END:   v = D3DXVECTOR3(0, 0, 1);  break;
    case VK_HOME:  v = D3DXVECTOR3(0, 0, -1); break;
    case VK_LEFT:  v = D3DXVECTOR3(0, 1, 0);  break;
    case VK_UP:    v = D3DXVECTOR3(1, 0, 0);  break;
    case VK_RIGHT: v = D3DXVECTOR3(0, -1, 0); break;
    case VK_DOWN:  v = D3DXVECTOR3(-1, 0, 0); break;
    default:       deplace = false;           break;
    }
    // clang-format on
    // A live window always has its camera (made at start-up, deleted in OnDestroy): a guard.
    if (deplace && m_pCamera)
        m_pCamera->Deplacer(v, m_pDevice);
    CFrameWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

// ---------------------------------------------------------------------------------------
// Direct3D and the scene

// Throws the failing result (0 for no object) to OnCreate; what was made stays in the
// members and LibererRessources gives it back.
void CMainFrame::InitialiserD3D()
{
    D3DDISPLAYMODE d3ddm;
    D3DPRESENT_PARAMETERS d3dpp;

    m_pD3D = CreerDirect3D(31);
    Verifier(m_pD3D);
    Verifier(m_pD3D->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &d3ddm));

    ::ZeroMemory(&d3dpp, sizeof d3dpp);
    d3dpp.Windowed = TRUE;
    d3dpp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    d3dpp.BackBufferFormat = d3ddm.Format;
    d3dpp.EnableAutoDepthStencil = TRUE;
    d3dpp.AutoDepthStencilFormat = D3DFMT_D16;
    m_Parametres = d3dpp;   // CreateDevice may write into d3dpp

    Verifier(m_pD3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, m_hWnd,
                                  D3DCREATE_SOFTWARE_VERTEXPROCESSING, &d3dpp, &m_pDevice));
    m_pDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

bool CMainFrame::InitialiserScene()
{
    return CreerObjets() && InitialiserEclairage() && CreerCamera();
}

// The list owns the village only once it holds it: a push_back that runs out of memory must
// not leak it, and with it the device its buffers hold.
bool CMainFrame::CreerObjets()
{
    std::unique_ptr<IDessinable> village(new Village(m_pDevice));
    m_Objets.push_back(village.get());
    village.release();
    return true;
}

// No light is ever defined: every surface shows its material's ambient colour.
bool CMainFrame::InitialiserEclairage()
{
    m_pDevice->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    return true;
}

// The camera sets the view and projection at once, before the first frame is drawn.
bool CMainFrame::CreerCamera()
{
    m_pCamera = new Camera(m_pDevice);
    return true;
}

// From OnDestroy, whatever start-up managed to build: the scene's buffers go before the
// device, the device before the Direct3D object that made it.
void CMainFrame::LibererRessources()
{
    std::for_each(m_Objets.begin(), m_Objets.end(), Detruire());
    std::vector<IDessinable*>().swap(m_Objets);
    delete m_pCamera;
    m_pCamera = nullptr;
    Liberer(m_pDevice);
    Liberer(m_pD3D);
}

// ---------------------------------------------------------------------------------------
// Timing and drawing

// Starts the clock and draws the first image, which the first acting tick shows.
bool CMainFrame::InitialiserTemps()
{
    m_ProchaineImage = static_cast<LONG>(Horloge());
    m_SecondesParMs = 0.001;
    m_Intervalle = 50;
    m_DerniereImage = m_ProchaineImage;
    DessinerScene();
    return true;
}

// Acts once the clock is past the due time, an interval after the previous acting tick: the
// time elapsed since that tick, on a clock that wraps, is more than the interval, so a stall of
// any length within the clock's period acts at the next tick. Shows the image drawn at the
// previous acting tick, advances by the real time elapsed and draws the next one. The due time
// counts from this tick, so a late tick is not made up for. While the device is lost or made
// again the time of the last image stays: the angle catches up with the real time once it draws.
bool CMainFrame::Animer()
{
    m_Maintenant = static_cast<LONG>(Horloge());
    const LONG precedent = static_cast<LONG>(static_cast<DWORD>(m_ProchaineImage) - m_Intervalle);
    if (Depuis(m_Maintenant, precedent) <= static_cast<DWORD>(m_Intervalle))
        return true;

    bool pret = false;
    try {
        pret = Presenter();
    } catch (HRESULT hr) {
        Abandonner(hr);   // this frame is gone
        return true;
    } catch (const std::bad_alloc&) {
        Abandonner(E_OUTOFMEMORY);   // the program's own memory: not the device's to mend
        return true;
    }
    if (pret) {
        const DWORD ecoule = Depuis(m_Maintenant, m_DerniereImage);
        const float secondes = static_cast<float>(ecoule * m_SecondesParMs);
        MettreAJour(secondes);
        DessinerScene();
        m_DerniereImage = m_Maintenant;
    }
    m_ProchaineImage = static_cast<LONG>(static_cast<DWORD>(m_Maintenant) + m_Intervalle);
    return true;
}

// The angle is kept within one turn: a float that grew without bound would, after weeks,
// round each step to nothing and stop the village.
bool CMainFrame::MettreAJour(float secondes)
{
    m_Angle = static_cast<float>(std::fmod(m_Angle + kRadiansParSeconde * secondes, kTour));
    std::for_each(m_Objets.begin(), m_Objets.end(), Tourner(m_Angle));
    return true;
}

// The view and projection stay as the camera set them; presenting waits for the next tick.
bool CMainFrame::DessinerScene()
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 255),
                     1.0f, 0);
    m_pDevice->BeginScene();
    std::for_each(m_Objets.begin(), m_Objets.end(), Afficheur(m_pDevice));
    m_pDevice->EndScene();
    return true;
}

// Shows the last image; or asks a lost device whether it can be reset; or makes the device
// again. True when there is an image to draw: the last one was shown, or the device was reset
// or made again here and has none yet (the caller draws one). False while the device is lost or
// waits for a client area.
bool CMainFrame::Presenter()
{
    if (m_Refaire)
        return Refaire();
    if (!m_Perdu) {
        const HRESULT hr = m_pDevice->Present(nullptr, nullptr, nullptr, nullptr);
        m_Neuf = m_Neuf && FAILED(hr);
        return Suivre(hr);
    }
    const HRESULT hr = m_pDevice->TestCooperativeLevel();
    return hr == D3DERR_DEVICENOTRESET ? Retablir() : Suivre(hr);
}

// What an answer of the device leaves: an image to draw (a status above zero is no failure), a
// lost device, or one that failed otherwise, which Direct3D says to make again (after a failed
// Reset a device takes nothing but Reset, TestCooperativeLevel and Release). One made again that
// fails so before it has shown an image would do no better: that failure is thrown.
bool CMainFrame::Suivre(HRESULT hr)
{
    m_Perdu = hr == D3DERR_DEVICELOST || hr == D3DERR_DEVICENOTRESET;
    if (SUCCEEDED(hr) || m_Perdu)
        return !m_Perdu;
    if (m_Neuf)
        throw hr;
    m_Refaire = true;
    return Refaire();
}

// Reset and CreateDevice size the back buffer from the client area, which a minimised window
// (or one shrunk to its caption) lacks: the device then waits for the window to have one again.
bool CMainFrame::SansZoneCliente() const
{
    CRect client(0, 0, 0, 0);
    GetClientRect(&client);
    return client.IsRectEmpty();
}

// Reset refuses a device that still holds buffers of the default pool: the scene goes first and
// is built again, with the states and camera the device lost, once Reset succeeds. A change of
// display mode is one cause of a loss: the back buffer takes the display's current format, which
// D3DFMT_UNKNOWN asks for a windowed device.
bool CMainFrame::Retablir()
{
    if (SansZoneCliente())
        return false;
    DetruireObjets();
    // The last buffers drawn are still bound: the device must keep none of them through Reset.
    m_pDevice->SetStreamSource(0, nullptr, 0, 0);
    m_pDevice->SetIndices(nullptr);
    D3DPRESENT_PARAMETERS d3dpp = m_Parametres;
    d3dpp.BackBufferFormat = D3DFMT_UNKNOWN;
    const HRESULT hr = m_pDevice->Reset(&d3dpp);
    if (FAILED(hr))
        return Suivre(hr);
    // Lost with the reset; InitialiserD3D sets it on a device made again.
    m_pDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    Preparer();
    return true;
}

// Everything goes, the Direct3D object too, and is made again as at start-up, the eye where the
// keys left it. A device that comes lost is asked for again at the next tick; any other failure
// is thrown.
bool CMainFrame::Refaire()
{
    if (SansZoneCliente())
        return false;
    DetruireObjets();
    Liberer(m_pDevice);
    Liberer(m_pD3D);
    try {
        InitialiserD3D();
    } catch (HRESULT hr) {
        if (hr != D3DERR_DEVICELOST)
            throw;
        return false;
    }
    Preparer();
    m_Refaire = false;
    m_Neuf = true;
    return true;
}

// What a device that was reset or made again lacks: its light, the camera's transforms, the
// scene's buffers.
void CMainFrame::Preparer()
{
    InitialiserEclairage();
    m_pCamera->Appliquer(m_pDevice);
    CreerObjets();
    m_Perdu = false;
}

void CMainFrame::DetruireObjets()
{
    std::for_each(m_Objets.begin(), m_Objets.end(), Detruire());
    m_Objets.clear();
}

// A device that can be neither reset nor made again is reported as a failed start-up is, then
// the window goes (OnDestroy gives everything back) and the program ends with the code of a
// failure.
void CMainFrame::Abandonner(HRESULT hr)
{
    // Memory may have run out: without room for the text with its code, the box says the
    // failure without it.
    LPCSTR texte = kEchec;
    CString Msg;
    try {
        Msg = MessageEchec(hr);
        texte = Msg;
    } catch (const std::bad_alloc&) {
    }
    // A close request that the box's loop dispatches destroys the window, and this object with
    // it: the request then ends the program as OK does.
    const HWND hWnd = m_hWnd;
    MessageBox(texte, "Erreur", MB_OK);
    if (::IsWindow(hWnd))
        DestroyWindow();
    // Replaces the code of the quit the frame's destruction posted, that of a normal close.
    ::PostQuitMessage(1);
}
