// The resources of the built program, read from Kervalen.exe with the Win32 resource API:
// menu, About dialog template, application name, icon group and version block.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

const WORD kFrancais = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);  // 0x040C

std::string CheminProgramme()
{
    std::string chemin = "Z:" KERVALEN_EXE;
    std::replace(chemin.begin(), chemin.end(), '/', '\\');
    return chemin;
}

class Ressources : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_hModule = ::LoadLibraryExA(CheminProgramme().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (s_hModule != nullptr)
            ::FreeLibrary(s_hModule);
        s_hModule = nullptr;
    }
    void SetUp() override { ASSERT_NE(s_hModule, nullptr) << CheminProgramme(); }

    // The French resource's bytes, or an empty vector.
    static std::vector<BYTE> Donnees(LPCSTR type, LPCSTR nom)
    {
        HRSRC h = ::FindResourceExA(s_hModule, type, nom, kFrancais);
        if (h == nullptr)
            return {};
        const BYTE* p = static_cast<const BYTE*>(::LockResource(::LoadResource(s_hModule, h)));
        return std::vector<BYTE>(p, p + ::SizeofResource(s_hModule, h));
    }

    static HMODULE s_hModule;
};
HMODULE Ressources::s_hModule = nullptr;

// Reads a resource template front to back.
class Lecteur
{
public:
    explicit Lecteur(const std::vector<BYTE>& octets) : m_octets(octets) {}
    template <class T>
    T Lire()
    {
        T valeur{};
        if (m_pos + sizeof(T) <= m_octets.size())
            std::memcpy(&valeur, m_octets.data() + m_pos, sizeof(T));
        else
            m_debordement = true;
        m_pos += sizeof(T);
        return valeur;
    }
    std::wstring LireTexte()
    {
        std::wstring texte;
        for (WCHAR c = Lire<WCHAR>(); c != 0 && !m_debordement; c = Lire<WCHAR>())
            texte += c;
        return texte;
    }
    // A name or class field: 0xFFFF then an ordinal, or a text.
    std::wstring LireNom()
    {
        const WORD premier = Lire<WORD>();
        if (premier == 0xFFFF)
            return L"#" + std::to_wstring(Lire<WORD>());
        m_pos -= sizeof(WORD);
        return LireTexte();
    }
    void AlignerSur(size_t n) { m_pos = (m_pos + n - 1) / n * n; }
    bool Deborde() const { return m_debordement || m_pos > m_octets.size(); }
    size_t Position() const { return m_pos; }

private:
    const std::vector<BYTE>& m_octets;
    size_t m_pos = 0;
    bool m_debordement = false;
};

// ---------------------------------------------------------------------------------------
// Menu 128

struct Article
{
    std::wstring texte;  // empty for a separator
    UINT id;
    bool grise;
};

TEST_F(Ressources, MenuHoldsEveryItemInOrderWithItsIdAndFlags)
{
    const std::vector<std::pair<std::wstring, std::vector<Article>>> attendu = {
        {L"&Fichier",
         {{L"&Nouveau\tCtrl+N", 57600, false},
          {L"&Ouvrir...\tCtrl+O", 57601, false},
          {L"&Enregistrer\tCtrl+S", 57603, false},
          {L"Enregistrer &sous...", 57604, false},
          {L"", 0, false},
          {L"Fichier r\u00E9cent", 57616, true},
          {L"", 0, false},
          {L"&quitter", 57665, false}}},
        {L"&Edition",
         {{L"&Annuler\tCtrl+Z", 57643, false},
          {L"", 0, false},
          {L"&Couper\tCtrl+X", 57635, false},
          {L"C&opier\tCtrl+C", 57634, false},
          {L"Co&ller\tCtrl+V", 57637, false}}},
        {L"&Affichage", {{L"&barre d'outils", 59392, false}}},
        {L"&Aide", {{L"&\u00C0 propos de Kervalen...", 57664, false}}},
    };

    ASSERT_FALSE(Donnees(RT_MENU, MAKEINTRESOURCEA(128)).empty())
        << "no French menu 128";
    HMENU hMenu = ::LoadMenuW(s_hModule, MAKEINTRESOURCEW(128));
    ASSERT_NE(hMenu, nullptr);
    auto lire = [](HMENU h, int i, HMENU* pSous) {
        WCHAR texte[128] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = texte;
        info.cch = 128;
        ::GetMenuItemInfoW(h, static_cast<UINT>(i), TRUE, &info);
        if (pSous != nullptr)
            *pSous = info.hSubMenu;
        const bool separateur = (info.fType & MFT_SEPARATOR) != 0;
        // The system reports separators as grayed whatever the resource says.
        return Article{separateur ? L"" : texte, separateur ? 0u : info.wID,
                       !separateur && (info.fState & MFS_GRAYED) != 0};
    };

    ASSERT_EQ(::GetMenuItemCount(hMenu), static_cast<int>(attendu.size()));
    for (size_t p = 0; p < attendu.size(); ++p) {
        HMENU hPopup = nullptr;
        const Article titre = lire(hMenu, static_cast<int>(p), &hPopup);
        EXPECT_TRUE(titre.texte == attendu[p].first) << "popup " << p;
        EXPECT_FALSE(titre.grise) << "popup " << p;
        ASSERT_NE(hPopup, nullptr) << "popup " << p;
        const auto& articles = attendu[p].second;
        ASSERT_EQ(::GetMenuItemCount(hPopup), static_cast<int>(articles.size())) << "popup " << p;
        for (size_t i = 0; i < articles.size(); ++i) {
            const Article a = lire(hPopup, static_cast<int>(i), nullptr);
            EXPECT_TRUE(a.texte == articles[i].texte) << "popup " << p << " item " << i;
            EXPECT_EQ(a.id, articles[i].id) << "popup " << p << " item " << i;
            EXPECT_EQ(a.grise, articles[i].grise) << "popup " << p << " item " << i;
        }
    }
    ::DestroyMenu(hMenu);
}

TEST_F(Ressources, TextsReachThe8BitCallsAsWindows1252)
{
    // What the program's own (8-bit) calls receive: À is 0xC0, é is 0xE9.
    ASSERT_EQ(::GetACP(), 1252u) << "the test needs the Windows-1252 code page";
    HMENU hMenu = ::LoadMenuA(s_hModule, MAKEINTRESOURCEA(128));
    ASSERT_NE(hMenu, nullptr);
    char texte[64] = "";
    ::GetMenuStringA(hMenu, 57664, texte, sizeof texte, MF_BYCOMMAND);
    EXPECT_STREQ(texte, "&\xC0 propos de Kervalen...");
    ::GetMenuStringA(hMenu, 57616, texte, sizeof texte, MF_BYCOMMAND);
    EXPECT_STREQ(texte, "Fichier r\xE9" "cent");
    ::DestroyMenu(hMenu);

    char nom[64] = "";
    EXPECT_EQ(::LoadStringA(s_hModule, 57344, nom, sizeof nom), 8);
    EXPECT_STREQ(nom, "Kervalen");
}

// ---------------------------------------------------------------------------------------
// Dialog 100

struct Controle
{
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring classe;
    std::wstring texte;
};

TEST_F(Ressources, AboutDialogTemplateIsExtendedWithItsStyleFontAndControls)
{
    const std::vector<BYTE> octets = Donnees(RT_DIALOG, MAKEINTRESOURCEA(100));
    ASSERT_FALSE(octets.empty()) << "no French dialog 100";
    Lecteur l(octets);
    EXPECT_EQ(l.Lire<WORD>(), 1);       // dlgVer
    EXPECT_EQ(l.Lire<WORD>(), 0xFFFF);  // signature of an extended template
    EXPECT_EQ(l.Lire<DWORD>(), 0u);     // helpID
    EXPECT_EQ(l.Lire<DWORD>(), 0u);     // exStyle
    EXPECT_EQ(l.Lire<DWORD>(), 0x80C800C8u);
    const WORD nControles = l.Lire<WORD>();
    EXPECT_EQ(l.Lire<short>(), 0);
    EXPECT_EQ(l.Lire<short>(), 0);
    EXPECT_EQ(l.Lire<short>(), 235);
    EXPECT_EQ(l.Lire<short>(), 55);
    EXPECT_TRUE(l.LireNom() == L"") << "a menu";
    EXPECT_TRUE(l.LireNom() == L"") << "a class of its own";
    EXPECT_TRUE(l.LireTexte() == L"\u00C0 propos de Kervalen");
    EXPECT_EQ(l.Lire<WORD>(), 8);  // points
    EXPECT_EQ(l.Lire<WORD>(), 0);  // weight
    EXPECT_EQ(l.Lire<BYTE>(), 0);  // italic
    EXPECT_EQ(l.Lire<BYTE>(), 1);  // character set
    EXPECT_TRUE(l.LireTexte() == L"MS Shell Dlg");

    const Controle attendus[] = {
        {0x50000003, 11, 17, 20, 20, static_cast<DWORD>(-1), L"#130", L"#128"},
        {0x50020080, 40, 10, 119, 8, static_cast<DWORD>(-1), L"#130", L"Kervalen Version 1.0"},
        {0x50020000, 40, 25, 119, 8, static_cast<DWORD>(-1), L"#130", L""},
        {0x50030001, 178, 7, 50, 16, 1, L"#128", L"OK"},
    };
    ASSERT_EQ(nControles, 4);
    for (size_t i = 0; i < 4; ++i) {
        l.AlignerSur(4);
        EXPECT_EQ(l.Lire<DWORD>(), 0u) << "control " << i << " helpID";
        EXPECT_EQ(l.Lire<DWORD>(), 0u) << "control " << i << " exStyle";
        Controle c;
        c.style = l.Lire<DWORD>();
        c.x = l.Lire<short>();
        c.y = l.Lire<short>();
        c.cx = l.Lire<short>();
        c.cy = l.Lire<short>();
        c.id = l.Lire<DWORD>();
        c.classe = l.LireNom();
        c.texte = l.LireNom();
        const WORD extra = l.Lire<WORD>();
        for (WORD k = 0; k < extra; ++k)
            l.Lire<BYTE>();
        const Controle& a = attendus[i];
        EXPECT_EQ(c.style, a.style) << "control " << i;
        EXPECT_EQ(c.x, a.x) << "control " << i;
        EXPECT_EQ(c.y, a.y) << "control " << i;
        EXPECT_EQ(c.cx, a.cx) << "control " << i;
        EXPECT_EQ(c.cy, a.cy) << "control " << i;
        EXPECT_EQ(c.id, a.id) << "control " << i;
        EXPECT_TRUE(c.classe == a.classe) << "control " << i;
        // The notice line's wording is free; it must say something.
        if (a.texte.empty())
            EXPECT_FALSE(c.texte.empty()) << "control " << i;
        else
            EXPECT_TRUE(c.texte == a.texte) << "control " << i;
    }
    EXPECT_FALSE(l.Deborde());
}

// ---------------------------------------------------------------------------------------
// Icon 128

TEST_F(Ressources, IconGroupHoldsNineImagesOfThreeSizesAndThreeDepths)
{
    const std::vector<BYTE> octets =
        Donnees(RT_GROUP_ICON, MAKEINTRESOURCEA(128));
    ASSERT_FALSE(octets.empty()) << "no French icon group 128";
    Lecteur l(octets);
    EXPECT_EQ(l.Lire<WORD>(), 0);
    EXPECT_EQ(l.Lire<WORD>(), 1);  // icons, not cursors
    const WORD n = l.Lire<WORD>();
    ASSERT_EQ(n, 9);

    std::set<std::pair<int, int>> vus;
    for (WORD i = 0; i < n; ++i) {
        const int largeur = l.Lire<BYTE>();
        const int hauteur = l.Lire<BYTE>();
        l.Lire<BYTE>();  // colour count
        l.Lire<BYTE>();
        EXPECT_EQ(l.Lire<WORD>(), 1) << "entry " << i << " planes";
        const int bits = l.Lire<WORD>();
        const DWORD taille = l.Lire<DWORD>();
        const WORD id = l.Lire<WORD>();
        EXPECT_EQ(largeur, hauteur) << "entry " << i;
        vus.insert({largeur, bits});

        // The image itself: a bitmap of that size and depth (height counts the mask too).
        const std::vector<BYTE> image = Donnees(RT_ICON, MAKEINTRESOURCEA(id));
        ASSERT_EQ(image.size(), taille) << "entry " << i;
        BITMAPINFOHEADER bih;
        ASSERT_GE(image.size(), sizeof bih);
        std::memcpy(&bih, image.data(), sizeof bih);
        EXPECT_EQ(bih.biWidth, largeur) << "entry " << i;
        EXPECT_EQ(bih.biHeight, 2 * largeur) << "entry " << i;
        EXPECT_EQ(bih.biBitCount, bits) << "entry " << i;
    }
    const std::set<std::pair<int, int>> attendu = {{48, 4}, {48, 8}, {48, 24}, {32, 4}, {32, 8},
                                                   {32, 24}, {16, 4}, {16, 8}, {16, 24}};
    EXPECT_EQ(vus, attendu);

    // The system can make an icon of it.
    HICON hIcon = static_cast<HICON>(
        ::LoadImageA(s_hModule, MAKEINTRESOURCEA(128), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(hIcon, nullptr);
    if (hIcon != nullptr)
        ::DestroyIcon(hIcon);
}

// ---------------------------------------------------------------------------------------
// Application name and languages

BOOL CALLBACK NoterLangue(HMODULE, LPCSTR, LPCSTR, WORD langue, LONG_PTR l)
{
    reinterpret_cast<std::vector<WORD>*>(l)->push_back(langue);
    return TRUE;
}

TEST_F(Ressources, EveryResourceIsFrenchOnly)
{
    struct Cas
    {
        LPCSTR type;
        LPCSTR nom;
    } const cas[] = {
        {RT_MENU, MAKEINTRESOURCEA(128)},
        {RT_DIALOG, MAKEINTRESOURCEA(100)},
        {RT_GROUP_ICON, MAKEINTRESOURCEA(128)},
        {RT_STRING, MAKEINTRESOURCEA(57344 / 16 + 1)},
        {RT_VERSION, MAKEINTRESOURCEA(1)},
    };
    for (const Cas& c : cas) {
        std::vector<WORD> langues;
        ::EnumResourceLanguagesA(s_hModule, c.type, c.nom, &NoterLangue,
                                 reinterpret_cast<LONG_PTR>(&langues));
        EXPECT_EQ(langues, std::vector<WORD>{kFrancais})
            << "type " << reinterpret_cast<UINT_PTR>(c.type) << " name "
            << reinterpret_cast<UINT_PTR>(c.nom);
    }
}

BOOL CALLBACK NoterType(HMODULE, LPSTR type, LONG_PTR l)
{
    reinterpret_cast<std::vector<UINT_PTR>*>(l)->push_back(reinterpret_cast<UINT_PTR>(type));
    return TRUE;
}

// The shortcut texts of the menu are labels only: the program carries no accelerator table,
// nor any resource beyond its own.
TEST_F(Ressources, NoAcceleratorTableNorOtherResourceType)
{
    std::vector<UINT_PTR> types;
    ::EnumResourceTypesA(s_hModule, &NoterType, reinterpret_cast<LONG_PTR>(&types));
    std::sort(types.begin(), types.end());
    const std::vector<UINT_PTR> attendus = {
        reinterpret_cast<UINT_PTR>(RT_ICON),   reinterpret_cast<UINT_PTR>(RT_MENU),
        reinterpret_cast<UINT_PTR>(RT_DIALOG), reinterpret_cast<UINT_PTR>(RT_STRING),
        reinterpret_cast<UINT_PTR>(RT_GROUP_ICON), reinterpret_cast<UINT_PTR>(RT_VERSION)};
    EXPECT_EQ(types, attendus);
    EXPECT_EQ(::FindResourceA(s_hModule, MAKEINTRESOURCEA(128), RT_ACCELERATOR), nullptr);
}

// ---------------------------------------------------------------------------------------
// Version block

TEST_F(Ressources, VersionBlockGivesNumbersAndFrenchStrings)
{
    const std::string chemin = CheminProgramme();
    const DWORD octets = ::GetFileVersionInfoSizeA(chemin.c_str(), nullptr);
    ASSERT_GT(octets, 0u) << "no version block";
    std::vector<BYTE> bloc(octets);
    ASSERT_TRUE(::GetFileVersionInfoA(chemin.c_str(), 0, octets, bloc.data()));

    VS_FIXEDFILEINFO* fixe = nullptr;
    UINT taille = 0;
    ASSERT_TRUE(::VerQueryValueA(bloc.data(), "\\", reinterpret_cast<void**>(&fixe), &taille));
    EXPECT_EQ(fixe->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixe->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixe->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixe->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixe->dwProductVersionLS, 0x00000001u);
    EXPECT_EQ(fixe->dwFileFlags & fixe->dwFileFlagsMask & VS_FF_DEBUG, static_cast<DWORD>(VS_FF_DEBUG));
    EXPECT_EQ(fixe->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* traduction = nullptr;
    ASSERT_TRUE(::VerQueryValueA(bloc.data(), "\\VarFileInfo\\Translation",
                                 reinterpret_cast<void**>(&traduction), &taille));
    ASSERT_GE(taille, 4u);
    EXPECT_EQ(traduction[0], 0x040C);
    EXPECT_EQ(traduction[1], 1252);

    auto chaine = [&](const char* nom) {
        const std::string chemin = std::string("\\StringFileInfo\\040c04e4\\") + nom;
        char* valeur = nullptr;
        UINT longueur = 0;
        if (!::VerQueryValueA(bloc.data(), chemin.c_str(), reinterpret_cast<void**>(&valeur),
                              &longueur) || valeur == nullptr)
            return std::string("<none>");
        return std::string(valeur);
    };
    EXPECT_EQ(chaine("FileVersion"), "1.0.0.1");
    EXPECT_EQ(chaine("ProductVersion"), "1.0.0.1");
    EXPECT_EQ(chaine("InternalName"), "Kervalen.exe");
    EXPECT_EQ(chaine("OriginalFilename"), "Kervalen.exe");
    for (const char* gabarit : {"CompanyName", "FileDescription", "ProductName"}) {
        const std::string valeur = chaine(gabarit);
        EXPECT_NE(valeur, "<none>") << gabarit;
        EXPECT_FALSE(valeur.empty()) << gabarit;
    }
}

}  // namespace
