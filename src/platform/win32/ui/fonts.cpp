#include "platform/win32/ui/fonts.h"

#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/layout.h"
#include "platform/win32/ui/wide_text.h"

namespace platform::win32::ui {

namespace {

int CALLBACK foundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

}  // namespace

bool faceExists(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE)
        return false;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, face.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &query, foundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

FontCache::~FontCache() {
    for (auto& [key, font] : fonts_)
        DeleteObject(font);
}

const std::wstring& FontCache::resolve(const std::string& face) {
    auto known = faces_.find(face);
    if (known != faces_.end())
        return known->second;
    std::wstring chosen;
    for (const std::string& candidate : layout::faceCandidates(face)) {
        std::wstring wide = widen(candidate);
        if (faceExists(wide)) {
            chosen = wide;
            break;
        }
    }
    if (chosen.empty())
        chosen = dpi::messageFont(dpi::system()).lfFaceName;
    return faces_.emplace(face, chosen).first->second;
}

HFONT FontCache::get(const forms::Font& font, UINT dpi) {
    const std::wstring& face = resolve(font.face);
    int height = layout::fontPixelHeight(font.points, static_cast<int>(dpi));
    Key key{face, height, font.bold, font.underline};
    auto found = fonts_.find(key);
    if (found != fonts_.end())
        return found->second;
    HFONT made = CreateFontW(-height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                             font.underline ? TRUE : FALSE, FALSE, CHINESEBIG5_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    if (made == nullptr)
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    fonts_.emplace(key, made);
    return made;
}

}  // namespace platform::win32::ui
