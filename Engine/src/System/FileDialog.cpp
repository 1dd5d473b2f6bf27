#include "System/FileDialog.h"

#include "System/TextConversion.h"

#ifdef _WIN32
#include "Core/Core.h"
#include "Input/Window.h"
#include "System/NativeWindow.h"

#include "System/WindowsHeaders.h"

#include <commdlg.h>

#include <array>
#endif

std::optional<std::u16string> dialogFilterText(const std::vector<std::string>& filters)
{
    if (filters.empty())
        return std::u16string();
    std::u16string text;
    for (const std::string& filter : filters) {
        text += utf8ToUtf16(filter);
        text.push_back(u'\0');
    }
    if (text.size() + 1 > kFilterTextUnits) // the final zero must fit as well
        return std::nullopt;
    text.resize(kFilterTextUnits, u'\0');
    return text;
}

#ifdef _WIN32

namespace {

constexpr DWORD kOpenFlags
    = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
// Saving must accept a file that does not exist yet.
constexpr DWORD kSaveFlags = kOpenFlags & ~static_cast<DWORD>(OFN_FILEMUSTEXIST);

enum class DialogKind { open, save };

std::string runFileDialog(const std::vector<std::string>& filters, DialogKind kind)
{
    const std::optional<std::u16string> filter = dialogFilterText(filters);
    if (!filter)
        return {};
    // wchar_t is the UTF-16 unit on Windows; copying the units avoids reading char16_t as wchar_t.
    const std::wstring wideFilter(filter->begin(), filter->end());
    std::array<wchar_t, kDialogPathUnits> path = {};

    OPENFILENAMEW request = {};
    request.lStructSize = sizeof(OPENFILENAMEW);
    Core& core = Core::instance();
    request.hwndOwner = core.hasWindow() ? static_cast<HWND>(nativeWindowHandle(core.window().handle())) : nullptr;
    request.lpstrFilter = wideFilter.empty() ? nullptr : wideFilter.c_str();
    request.nFilterIndex = 1;
    request.lpstrFile = path.data();
    request.nMaxFile = static_cast<DWORD>(path.size());
    request.Flags = kind == DialogKind::save ? kSaveFlags : kOpenFlags;

    const BOOL chosen = kind == DialogKind::save ? GetSaveFileNameW(&request) : GetOpenFileNameW(&request);
    if (chosen == FALSE)
        return {};
    std::u16string chosenPath;
    for (std::size_t i = 0; i < path.size() && path[i] != L'\0'; ++i)
        chosenPath.push_back(static_cast<char16_t>(path[i]));
    return utf16ToUtf8(chosenPath);
}

} // namespace

std::string openFileDialog(const std::vector<std::string>& filters) { return runFileDialog(filters, DialogKind::open); }

std::string saveFileDialog(const std::vector<std::string>& filters) { return runFileDialog(filters, DialogKind::save); }

#else

// Linux has no dialog of its own outside a desktop toolkit; the choice reads as cancelled.
std::string openFileDialog(const std::vector<std::string>& /*filters*/) { return {}; }

std::string saveFileDialog(const std::vector<std::string>& /*filters*/) { return {}; }

#endif
