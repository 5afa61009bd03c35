#include "wingui/ole_site.h"

OleSite* OleSite::create(HWND window) { return new OleSite(window); }

HRESULT OleSite::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
    else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) *out = static_cast<IOleInPlaceFrame*>(this);
    else if (iid == IID_IDocHostUIHandler) *out = static_cast<IDocHostUIHandler*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

ULONG OleSite::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT OleSite::GetContainer(IOleContainer** container)
{
    if (container) *container = nullptr;
    return E_NOINTERFACE;
}

HRESULT OleSite::GetWindow(HWND* window)
{
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

HRESULT OleSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT position,
                                  LPRECT clip, LPOLEINPLACEFRAMEINFO info)
{
    if (!frame || !document || !position || !clip || !info) return E_POINTER;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    RECT client{};
    if (window_) GetClientRect(window_, &client);
    *position = client;
    *clip = client;
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

HRESULT OleSite::GetHostInfo(DOCHOSTUIINFO* info)
{
    if (!info) return E_POINTER;
    info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER | DOCHOSTUIFLAG_NO3DOUTERBORDER;
    info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
    return S_OK;
}

HRESULT OleSite::GetOptionKeyPath(LPOLESTR* key, DWORD)
{
    if (key) *key = nullptr;
    return S_FALSE;
}

HRESULT OleSite::GetExternal(IDispatch** external)
{
    if (external) *external = nullptr;
    return S_FALSE;
}

HRESULT OleSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* out)
{
    if (out) *out = nullptr;
    return S_FALSE;
}

HRESULT OleSite::FilterDataObject(IDataObject*, IDataObject** out)
{
    if (out) *out = nullptr;
    return S_FALSE;
}
