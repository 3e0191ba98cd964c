#include "toolkit/win32/win32_accessibility.h"

#include <initguid.h>
#include <oleacc.h>

#include <cmath>
#include <string>

#include "toolkit/win32/win32_text.h"

namespace toolkit::win32 {

namespace {

// The service, made once for the thread the windows run on; null where the system has none.
IAccPropServices* service() {
    static IAccPropServices* const services = [] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        IAccPropServices* made = nullptr;
        if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IAccPropServices, reinterpret_cast<void**>(&made))))
            return static_cast<IAccPropServices*>(nullptr);
        return made;
    }();
    return services;
}

void annotateText(HWND control, const MSAAPROPID& property, const std::wstring& text) {
    if (IAccPropServices* annotations = service())
        annotations->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                    property, text.c_str());
}

void annotateRole(HWND control, long role) {
    IAccPropServices* annotations = service();
    if (annotations == nullptr) return;
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_I4;
    value.lVal = role;
    annotations->SetHwndProp(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                             PROPID_ACC_ROLE, value);
}

}  // namespace

void annotateName(HWND control, std::string_view name) {
    annotateText(control, PROPID_ACC_NAME, toWide(name));
}

void annotateButton(HWND control) {
    annotateRole(control, ROLE_SYSTEM_PUSHBUTTON);
    annotateText(control, PROPID_ACC_DEFAULTACTION, L"Press");
}

void annotateMeter(HWND control, double percent) {
    annotateRole(control, ROLE_SYSTEM_PROGRESSBAR);
    annotateText(control, PROPID_ACC_VALUE,
                 std::to_wstring(static_cast<long>(std::lround(percent))) + L"%");
}

}  // namespace toolkit::win32
