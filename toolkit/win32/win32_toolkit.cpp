#include "toolkit/win32/win32_toolkit.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/number_format.h"
#include "toolkit/twips.h"
#include "toolkit/win32/win32_form.h"
#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

namespace {

int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : standardDpi;
}

}  // namespace

Win32Toolkit::Win32Toolkit(MessageBoxes& messageBoxes, platform::Platform& os, std::string appTitle,
                           LCID locale)
    : ToolkitBase(messageBoxes, os, std::move(appTitle)),
      locale_(locale),
      module_(GetModuleHandleW(nullptr)),
      dpi_(screenDpi()) {
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
}

Win32Toolkit::~Win32Toolkit() {
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

int Win32Toolkit::toPixels(float twips) const {
    return toolkit::toPixels(twips, dpi_);
}

float Win32Toolkit::toTwips(int pixels) const {
    return toolkit::toTwips(pixels, dpi_);
}

std::unique_ptr<Form> Win32Toolkit::createForm(const FormLayout& layout) {
    return std::make_unique<Win32Form>(*this, layout);
}

void Win32Toolkit::dispatch(MSG& message) {
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        if (Win32Form* form = Win32Form::fromWindow(GetAncestor(message.hwnd, GA_ROOT))) {
            if (form->previewKey(message.hwnd, message.wParam)) return;
        }
    }
    if (message.hwnd != nullptr) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (Win32Form::fromWindow(root) != nullptr && IsDialogMessageW(root, &message)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32Toolkit::doEvents() {
    MSG message;
    while (!ended() && !quit_ && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit_ = true;
            break;
        }
        dispatch(message);
    }
}

int Win32Toolkit::run() {
    MSG message;
    while (!ended() && !quit_) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        dispatch(message);
    }
    return 0;
}

void Win32Toolkit::end() {
    if (!markEnded()) return;
    for (Win32Form* form : forms_) ShowWindow(form->window(), SW_HIDE);
    PostQuitMessage(0);
}

void Win32Toolkit::formClosed() {
    const bool anyVisible = std::any_of(forms_.begin(), forms_.end(), [](Win32Form* form) {
        return IsWindowVisible(form->window()) != FALSE;
    });
    if (!anyVisible) {
        quit_ = true;
        PostQuitMessage(0);
    }
}

void Win32Toolkit::addForm(Win32Form& form) {
    forms_.push_back(&form);
}

void Win32Toolkit::removeForm(Win32Form& form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), &form), forms_.end());
}

std::string Win32Toolkit::format(double value, std::string_view pattern) const {
    NumberSymbols symbols;
    symbols.groupSeparator = localeText(LOCALE_STHOUSAND);
    symbols.decimalPoint = localeText(LOCALE_SDECIMAL);
    symbols.minusSign = localeText(LOCALE_SNEGATIVESIGN);
    return formatNumber(value, pattern, symbols);
}

std::string Win32Toolkit::format(const DateTime& date, std::string_view pattern) const {
    DateSymbols symbols;
    // LOCALE_SDAYNAME1 is Monday; the table starts on Sunday.
    for (int day = 0; day < 7; ++day)
        symbols.weekdayNames[static_cast<std::size_t>((day + 1) % 7)] =
            localeText(static_cast<LCTYPE>(LOCALE_SDAYNAME1 + day));
    for (int month = 0; month < 12; ++month)
        symbols.monthNames[static_cast<std::size_t>(month)] =
            localeText(static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + month));
    symbols.timeSeparator = timeSeparator();
    return formatDate(date, pattern, symbols);
}

std::string Win32Toolkit::localeText(LCTYPE type) const {
    wchar_t text[128] = {};
    const int length = GetLocaleInfoW(locale_, type, text, 128);
    return length > 1 ? toUtf8(std::wstring_view(text, static_cast<std::size_t>(length - 1)))
                      : std::string();
}

// LOCALE_STIME alone is deprecated and may disagree with the time format the user set.
std::string Win32Toolkit::timeSeparator() const {
    const std::string format = localeText(LOCALE_STIMEFORMAT);
    const std::size_t hour = format.find_first_of("hH");
    if (hour != std::string::npos) {
        const std::size_t after = format.find_first_not_of("hH", hour);
        const std::size_t minute = format.find('m', hour);
        if (after != std::string::npos && minute != std::string::npos && minute > after)
            return format.substr(after, minute - after);
    }
    const std::string separator = localeText(LOCALE_STIME);
    return separator.empty() ? ":" : separator;
}

HWND nativeWindow(Form& form) {
    auto* win32Form = dynamic_cast<Win32Form*>(&form);
    return win32Form ? win32Form->window() : nullptr;
}

}  // namespace toolkit::win32
