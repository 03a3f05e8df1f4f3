#pragma once
// Fonts of the controls, made once per face, size, style and DPI. A face the system lacks is
// replaced by the nearest one it has (see layout::faceCandidates), and the choice is kept.

#include <windows.h>

#include <map>
#include <string>
#include <tuple>

#include "forms/geometry.h"

namespace platform::win32::ui {

class FontCache {
  public:
    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    ~FontCache();

    HFONT get(const forms::Font& font, UINT dpi);
    // The face actually used for a requested one.
    const std::wstring& resolve(const std::string& face);

  private:
    using Key = std::tuple<std::wstring, int, bool, bool>;  // face, pixel height, bold, underline
    std::map<Key, HFONT> fonts_;
    std::map<std::string, std::wstring> faces_;
};

// Whether a font family of that name is installed (under any character set).
bool faceExists(const std::wstring& face);

}  // namespace platform::win32::ui
