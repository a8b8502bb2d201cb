#include "StandardBox.h"
#include "HostContext.h"
#include "Texts.h"

int ShowStandardBox(HWND host, const char* text, UINT style) {
    PostMessageA(host, WM_APP_OPENED, 0, 0);
    return MessageBoxA(host, text, BoxCaption, style);
}
