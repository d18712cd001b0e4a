// The main frame: the program's one window, square, with the menu and the renderer.
#pragma once

#include <afxwin.h>
#include <d3d9.h>

#include <vector>

class Camera;
class IDessinable;

class CMainFrame : public CFrameWnd
{
public:
    CMainFrame();
    ~CMainFrame() override;

    void AssertValid() const override;
    void Dump(CDumpContext& dc) const override;

protected:
    DECLARE_MESSAGE_MAP()

public:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Called by the message loop whenever the queue is empty.
    bool Animer();

    // Where the Direct3D object and the time come from; tests put their own in.
    static IDirect3D9*(WINAPI* CreerDirect3D)(UINT SDKVersion);
    static DWORD(WINAPI* Horloge)();

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);

private:
    // Renderer start-up and release, from OnCreate and OnDestroy.
    void InitialiserD3D();
    bool InitialiserScene();
    bool CreerObjets();
    bool InitialiserEclairage();
    bool CreerCamera();
    bool InitialiserTemps();
    void LibererRessources();

    // One acting tick's work: the animation, then the next image into the back buffer.
    bool MettreAJour(float secondes);
    bool DessinerScene();

    // A lost or failing device: waiting for it, resetting it, making it again, or giving up.
    bool Presenter();
    bool Suivre(HRESULT hr);
    bool SansZoneCliente() const;
    bool Retablir();
    bool Refaire();
    void Preparer();
    void DetruireObjets();
    void Abandonner(HRESULT hr);

    LONG m_Maintenant;                    // ms, time read at the current tick
    LONG m_ProchaineImage;                // ms, next frame due once the time is past this
    LONG m_DerniereImage;                 // ms, time of the last frame
    LONG m_Intervalle;                    // ms between frames
    double m_SecondesParMs;               // ms to seconds
    float m_Angle;                        // radians, the scene's rotation, kept within one turn
    IDirect3D9* m_pD3D;                   // one counted reference
    IDirect3DDevice9* m_pDevice;          // one counted reference
    Camera* m_pCamera;                    // owned
    std::vector<IDessinable*> m_Objets;   // owned, in drawing order
    D3DPRESENT_PARAMETERS m_Parametres;   // as the device was created with, for Reset
    bool m_Perdu;                         // the device is lost: nothing is shown until reset
    bool m_Refaire;                       // it failed otherwise: it is made again
    bool m_Neuf;                          // made again, it has shown no image yet
};
