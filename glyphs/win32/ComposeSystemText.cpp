#include "glyphs/win32/SystemTextFont.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighHalf(wchar_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool IsLowHalf(wchar_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

using NormalizeStringCall = int(WINAPI*)(NORM_FORM, LPCWSTR, int, LPWSTR, int);

// NormalizeString is kernel32's from Windows Vista on; Windows XP has it in
// normaliz.dll when that is installed. Looked up at run time, so the saver
// also starts where neither has it.
NormalizeStringCall FindNormalizeString() {
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll"))
        if (FARPROC call = GetProcAddress(kernel, "NormalizeString"))
            return reinterpret_cast<NormalizeStringCall>(reinterpret_cast<void*>(call));
    if (HMODULE normaliz = LoadLibraryW(L"normaliz.dll"))
        if (FARPROC call = GetProcAddress(normaliz, "NormalizeString"))
            return reinterpret_cast<NormalizeStringCall>(reinterpret_cast<void*>(call));
    return nullptr;
}

}  // namespace

std::wstring WideFromCharacters(const std::u32string& characters) {
    std::wstring text;
    text.reserve(characters.size());
    for (char32_t character : characters) {
        if (character > 0x10FFFF || (character >= 0xD800 && character < 0xE000)) character = kReplacement;
        if (character < 0x10000) {
            text += static_cast<wchar_t>(character);
        } else {
            character -= 0x10000;
            text += static_cast<wchar_t>(0xD800 + (character >> 10));
            text += static_cast<wchar_t>(0xDC00 + (character & 0x3FF));
        }
    }
    return text;
}

std::u32string CharactersFromWide(const std::wstring& text) {
    std::u32string characters;
    characters.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const wchar_t unit = text[i];
        if (IsHighHalf(unit) && i + 1 < text.size() && IsLowHalf(text[i + 1])) {
            characters += 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else {
            characters += IsHighHalf(unit) || IsLowHalf(unit) ? kReplacement : static_cast<char32_t>(unit);
        }
    }
    return characters;
}

std::wstring ComposeSystemText(const std::wstring& text) {
    static const NormalizeStringCall normalize = FindNormalizeString();
    if (!normalize || text.empty() || text.size() > 0x3FFFFFFF) return text;
    const int length = static_cast<int>(text.size());
    // The first answer is an estimate of the size; a composed text is never
    // longer than the text, but the call may ask for more room all the same.
    int room = normalize(NormalizationC, text.c_str(), length, nullptr, 0);
    for (int attempt = 0; attempt < 4 && room > 0; ++attempt) {
        std::wstring composed(static_cast<std::size_t>(room), L'\0');
        const int made = normalize(NormalizationC, text.c_str(), length, composed.data(), room);
        if (made > 0) {
            composed.resize(static_cast<std::size_t>(made));
            return composed;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        room *= 2;
    }
    return text;
}
