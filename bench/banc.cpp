// The benchmark's reference: the village drawn by a raw Win32 + Direct3D 9 program, with no
// framework and no scene classes, doing what Kervalen's loop does so that their costs can be
// compared launch for launch. Same window (square, menu bar of four popups), same device
// parameters, the same fourteen indexed triangle lists in default-pool buffers (vertex
// buffers without D3DUSAGE_WRITEONLY), the same 50 ms acting rule and polling loop.
#include <windows.h>
#include <d3d9.h>
#include <mmsystem.h>

#include <cmath>
#include <cstring>

namespace {

struct Sommet
{
    float x, y, z, nx, ny, nz;
};
const DWORD kFVF = D3DFVF_XYZ | D3DFVF_NORMAL;

struct Objet
{
    IDirect3DVertexBuffer9* vb;
    IDirect3DIndexBuffer9* ib;
    UINT nbSommets, nbTriangles;
    D3DCOLORVALUE ambiante;
};

IDirect3D9* g_d3d = nullptr;
IDirect3DDevice9* g_dev = nullptr;
Objet g_objets[14];
int g_nbObjets = 0;
float g_angle = 0;

D3DMATRIX Identite()
{
    D3DMATRIX m = {};
    m._11 = m._22 = m._33 = m._44 = 1;
    return m;
}

// Row vectors, left-handed, as the fixed-function pipeline takes them.
D3DMATRIX Vue(float ex, float ey, float ez)
{
    float zx = -ex, zy = -ey, zz = -ez;   // towards the origin
    float n = std::sqrt(zx * zx + zy * zy + zz * zz);
    zx /= n;
    zy /= n;
    zz /= n;
    float xx = zz, xy = 0, xz = -zx;   // (0,1,0) x z
    n = std::sqrt(xx * xx + xz * xz);
    xx /= n;
    xz /= n;
    const float yx = zy * xz - zz * xy, yy = zz * xx - zx * xz, yz = zx * xy - zy * xx;
    D3DMATRIX m = Identite();
    m._11 = xx;
    m._12 = yx;
    m._13 = zx;
    m._21 = xy;
    m._22 = yy;
    m._23 = zy;
    m._31 = xz;
    m._32 = yz;
    m._33 = zz;
    m._41 = -(xx * ex + xy * ey + xz * ez);
    m._42 = -(yx * ex + yy * ey + yz * ez);
    m._43 = -(zx * ex + zy * ey + zz * ez);
    return m;
}

D3DMATRIX Projection(float champ, float proche, float lointain)
{
    const float h = 1 / std::tan(champ / 2);
    D3DMATRIX m = {};
    m._11 = h;
    m._22 = h;
    m._33 = lointain / (lointain - proche);
    m._34 = 1;
    m._43 = -proche * lointain / (lointain - proche);
    return m;
}

D3DMATRIX RotationX(float a)
{
    D3DMATRIX m = Identite();
    m._22 = std::cos(a);
    m._23 = std::sin(a);
    m._32 = -std::sin(a);
    m._33 = std::cos(a);
    return m;
}

void Ajouter(const Sommet* s, UINT n, const WORD* idx, UINT m, D3DCOLORVALUE couleur)
{
    Objet& o = g_objets[g_nbObjets++];
    o = Objet{nullptr, nullptr, n, m / 3, couleur};
    void* p = nullptr;
    if (SUCCEEDED(g_dev->CreateVertexBuffer(n * sizeof(Sommet), 0, kFVF, D3DPOOL_DEFAULT, &o.vb,
                                            nullptr)) &&
        SUCCEEDED(o.vb->Lock(0, 0, &p, 0))) {
        std::memcpy(p, s, n * sizeof(Sommet));
        o.vb->Unlock();
    }
    if (SUCCEEDED(g_dev->CreateIndexBuffer(m * sizeof(WORD), D3DUSAGE_WRITEONLY, D3DFMT_INDEX16,
                                           D3DPOOL_DEFAULT, &o.ib, nullptr)) &&
        SUCCEEDED(o.ib->Lock(0, 0, &p, 0))) {
        std::memcpy(p, idx, m * sizeof(WORD));
        o.ib->Unlock();
    }
}

Sommet S(float x, float y, float z)
{
    return Sommet{x, y, z, 0, 0, 1};
}

void Boite(float x1, float y1, float z1)
{
    const float x2 = x1 + 2, y2 = y1 + 2, z2 = z1 + 2;
    const Sommet P[8] = {S(x1, y1, z1), S(x1, y2, z1), S(x2, y2, z1), S(x2, y1, z1),
                         S(x2, y1, z2), S(x2, y2, z2), S(x1, y2, z2), S(x1, y1, z2)};
    static const int coins[24] = {0, 1, 2, 3, 4, 5, 6, 7, 0, 3, 4, 7,
                                  1, 6, 5, 2, 0, 7, 6, 1, 3, 2, 5, 4};
    Sommet v[24];
    for (int i = 0; i < 24; ++i)
        v[i] = P[coins[i]];
    static const WORD idx[36] = {0,  1,  2,  0,  2,  3,  4,  5,  7,  5,  6,  7,
                                 8,  9,  11, 9,  10, 11, 12, 13, 15, 13, 14, 15,
                                 16, 17, 18, 18, 19, 16, 21, 22, 23, 21, 23, 20};
    Ajouter(v, 24, idx, 36, D3DCOLORVALUE{0.5f, 0, 0.5f, 1});
}

void Toit(float cx, float cy, float cz)
{
    const float m = std::sqrt(8.0f) / 2;
    const Sommet P[5] = {S(cx - m, cy - m, cz), S(cx - m, cy + m, cz), S(cx + m, cy + m, cz),
                         S(cx + m, cy - m, cz), S(cx, cy, cz + 2)};
    static const int coins[16] = {0, 1, 2, 3, 4, 0, 3, 2, 4, 3, 1, 4, 2, 0, 4, 1};
    Sommet v[16];
    for (int i = 0; i < 16; ++i)
        v[i] = P[coins[i]];
    static const WORD idx[18] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    Ajouter(v, 16, idx, 18, D3DCOLORVALUE{1, 0, 0, 1});
}

void Dalle(float cx, float cy, float cz)
{
    Sommet v[8] = {S(cx - 2.5f, cy - 2.5f, cz), S(cx - 2.5f, cy + 2.5f, cz),
                   S(cx + 2.5f, cy + 2.5f, cz), S(cx + 2.5f, cy - 2.5f, cz)};
    for (int i = 0; i < 4; ++i) {
        v[i + 4] = v[i];
        v[i + 4].nz = -1;
    }
    static const WORD idx[12] = {0, 1, 2, 0, 2, 3, 6, 5, 4, 7, 6, 4};
    Ajouter(v, 8, idx, 12, D3DCOLORVALUE{0.25f, 0.75f, 0.25f, 1});
}

void Dessiner()
{
    g_dev->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 0, 0, 255), 1,
                 0);
    g_dev->BeginScene();
    const D3DMATRIX monde = RotationX(g_angle);
    g_dev->SetTransform(D3DTS_WORLD, &monde);
    for (int i = 0; i < g_nbObjets; ++i) {
        const Objet& o = g_objets[i];
        if (!o.vb || !o.ib)
            continue;
        D3DMATERIAL9 mat = {};
        mat.Ambient = o.ambiante;
        g_dev->SetMaterial(&mat);
        g_dev->SetStreamSource(0, o.vb, 0, sizeof(Sommet));
        g_dev->SetFVF(kFVF);
        g_dev->SetIndices(o.ib);
        g_dev->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, o.nbSommets, 0, o.nbTriangles);
    }
    g_dev->EndScene();
}

bool Initialiser(HWND hwnd)
{
    g_d3d = Direct3DCreate9(31);   // the SDK version Kervalen asks for;
    D3DDISPLAYMODE mode;
    if (!g_d3d || FAILED(g_d3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        return false;
    D3DPRESENT_PARAMETERS pp = {};
    pp.Windowed = TRUE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.BackBufferFormat = mode.Format;
    pp.EnableAutoDepthStencil = TRUE;
    pp.AutoDepthStencilFormat = D3DFMT_D16;
    if (FAILED(g_d3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, hwnd,
                                   D3DCREATE_SOFTWARE_VERTEXPROCESSING, &pp, &g_dev)))
        return false;
    g_dev->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    const float maisons[3][2] = {{0, 0}, {5, 0}, {0, 5}};
    for (const auto& p : maisons) {
        Boite(p[0], p[1], 0);
        Toit(p[0] + 1, p[1] + 1, 2);
    }
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 4; ++j)
            Dalle(j * 5.0f, i * 5.0f, -0.1f);
    g_dev->SetRenderState(D3DRS_AMBIENT, 0xFFFFFFFF);
    const D3DMATRIX vue = Vue(0, 7.5f, -10), proj = Projection(0.7853982f, 2, 30);
    g_dev->SetTransform(D3DTS_VIEW, &vue);
    g_dev->SetTransform(D3DTS_PROJECTION, &proj);
    return true;
}

void Liberer()
{
    for (int i = 0; i < g_nbObjets; ++i) {
        if (g_objets[i].vb)
            g_objets[i].vb->Release();
        if (g_objets[i].ib)
            g_objets[i].ib->Release();
    }
    g_nbObjets = 0;
    if (g_dev)
        g_dev->Release();
    if (g_d3d)
        g_d3d->Release();
    g_dev = nullptr;
    g_d3d = nullptr;
}

LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY) {
        Liberer();
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HMENU Menu()
{
    HMENU barre = CreateMenu();
    const char* titres[4] = {"&Fichier", "&Edition", "&Affichage", "&Aide"};
    for (const char* t : titres) {
        HMENU p = CreatePopupMenu();
        AppendMenuA(p, MF_STRING, 100, "...");
        AppendMenuA(barre, MF_POPUP, reinterpret_cast<UINT_PTR>(p), t);
    }
    return barre;
}

}   // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = Procedure;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "BancBrut";
    RegisterClassExA(&wc);
    HWND hwnd = CreateWindowExA(0, "BancBrut", "Banc brut", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, Menu(), inst,
                                nullptr);
    if (!hwnd)
        return 1;
    // Square on the shorter side, before the device takes the client size for its back buffer.
    RECT r;
    GetWindowRect(hwnd, &r);
    const LONG cote = (r.right - r.left) < (r.bottom - r.top) ? r.right - r.left : r.bottom - r.top;
    MoveWindow(hwnd, r.left, r.top, cote, cote, TRUE);
    if (!Initialiser(hwnd)) {
        DestroyWindow(hwnd);
        return 1;
    }
    DWORD due = timeGetTime(), derniere = due;
    Dessiner();
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);

    MSG msg = {};
    for (;;) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            continue;
        }
        const DWORD maintenant = timeGetTime();   // compared modulo 2^32, as the clock wraps
        if (static_cast<LONG>(maintenant - due) <= 0 || !g_dev)
            continue;
        g_dev->Present(nullptr, nullptr, nullptr, nullptr);
        g_angle = static_cast<float>(
            std::fmod(g_angle + 2.0943952 * 0.001 * (maintenant - derniere), 6.283185307179586));
        Dessiner();
        derniere = maintenant;
        due = maintenant + 50;
    }
    return static_cast<int>(msg.wParam);
}
