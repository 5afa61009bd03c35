#include "wingui/browser.h"

#include <exdispid.h>
#include <mshtml.h>
#include <mshtmdid.h>
#include <utility>
#include <vssym32.h>

#include "wingui/handles.h"

namespace {

// Two identifiers of the HTML engine that the import libraries lack.
constexpr GUID html_document_class{0x25336920, 0x03f9, 0x11cf, {0x8f, 0xd0, 0x00, 0xaa, 0x00, 0x68, 0x6f, 0x13}};
constexpr GUID html_document_events{0x3050f613, 0x98b5, 0x11cf, {0xbb, 0x82, 0x00, 0xaa, 0x00, 0xbd, 0xce, 0x0b}};

// A BSTR owned for one call.
class ScopedBstr {
public:
    explicit ScopedBstr(const std::wstring& text) : text_(SysAllocString(text.c_str())) {}
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    ~ScopedBstr() { SysFreeString(text_); }
    BSTR get() const { return text_; }

private:
    BSTR text_;
};

// The edit box's part and state whose border the window draws.
constexpr int edit_part = EP_EDITTEXT;
constexpr int edit_state = ETS_NORMAL;

} // namespace

CBrowser::CBrowser()
    : browser_events_(DIID_DWebBrowserEvents2,
                      [this](DISPID id, DISPPARAMS& parameters, VARIANT*) {
                          if (id == DISPID_DOCUMENTCOMPLETE) OnDocumentComplete();
                          else if (id == DISPID_BEFORENAVIGATE2) OnBeforeNavigate2(parameters);
                      }),
      document_events_(html_document_events, [this](DISPID id, DISPPARAMS& parameters, VARIANT* result) {
          if (id == DISPID_HTMLDOCUMENTEVENTS2_ONCONTEXTMENU) OnContextMenu(parameters, result);
      })
{
    MessageMap& map = message_map();
    map.on_message(WM_NCCREATE, [this](WPARAM wparam, LPARAM lparam) {
        open_theme();
        return DefWindowProcW(hwnd(), WM_NCCREATE, wparam, lparam);
    });
    map.on_message(WM_CREATE, [this](WPARAM, LPARAM lparam) {
        return OnCreate(*reinterpret_cast<const CREATESTRUCTW*>(lparam));
    });
    map.on_message(WM_DESTROY, [this](WPARAM, LPARAM) {
        release_control();
        return LRESULT{0};
    });
    map.on_message(WM_SIZE, [this](WPARAM, LPARAM lparam) {
        if (const auto in_place = control_.query<IOleInPlaceObject>()) {
            const RECT client{0, 0, LOWORD(lparam), HIWORD(lparam)};
            in_place->SetObjectRects(&client, &client);
        }
        return LRESULT{0};
    });
    map.on_message(WM_SETFOCUS, [this](WPARAM, LPARAM) {
        if (const auto document = document_.query<IHTMLDocument4>()) document->focus();
        return LRESULT{0};
    });
    map.on_message(WM_THEMECHANGED, [this](WPARAM, LPARAM) {
        open_theme();
        SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return LRESULT{0};
    });
    map.on_message(WM_NCCALCSIZE, [this](WPARAM wparam, LPARAM lparam) { return calc_size(wparam, lparam); });
    map.on_message(WM_NCPAINT, [this](WPARAM wparam, LPARAM) {
        paint_border(wparam == 1 ? nullptr : reinterpret_cast<HRGN>(wparam));
        return LRESULT{0};
    });
}

CBrowser::~CBrowser()
{
    // The window base destroys the window without passing WM_DESTROY to this object.
    release_control();
}

bool CBrowser::create(HWND parent, UINT id, const RECT& rect, const wchar_t* class_id)
{
    WindowPlacement placement =
        child_placement(parent, id, rect, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_TABSTOP);
    placement.title = class_id;
    WindowClassStyle style;
    style.style = 0;
    style.background = nullptr;  // the control covers the client area
    return Window::create(L"VexmoorBrowser", style, placement);
}

namespace {

bool system_has_html_engine()
{
    ComPtr<IUnknown> document;
    return SUCCEEDED(CoCreateInstance(html_document_class, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                      reinterpret_cast<void**>(document.put())));
}

CBrowser::EngineCheck engine_check = system_has_html_engine;

} // namespace

bool CBrowser::html_engine_available() { return engine_check(); }

CBrowser::EngineCheck CBrowser::set_html_engine_check(EngineCheck check)
{
    return std::exchange(engine_check, check ? check : system_has_html_engine);
}

LRESULT CBrowser::OnCreate(const CREATESTRUCTW& create)
{
    // Without the control the window still exists; browser() tells the caller.
    CLSID class_id{};
    if (!create.lpszName || FAILED(CLSIDFromString(create.lpszName, &class_id))) return 0;
    ComPtr<IOleObject> control;
    if (FAILED(CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                reinterpret_cast<void**>(control.put()))))
        return 0;
    *site_.put() = OleSite::create(hwnd());
    RECT client{};
    GetClientRect(hwnd(), &client);
    if (FAILED(control->SetClientSite(site_.get())) ||
        FAILED(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_.get(), 0, hwnd(), &client))) {
        control->SetClientSite(nullptr);
        site_->forget();
        site_ = ComPtr<OleSite>();
        return 0;
    }
    control_ = std::move(control);
    ComPtr<IWebBrowser2> browser = control_.query<IWebBrowser2>();
    if (!browser || !browser_events_.connect(browser.get())) {
        release_control();
        return 0;
    }
    browser_ = std::move(browser);
    browser_->put_RegisterAsDropTarget(VARIANT_FALSE);
    return 0;
}

void CBrowser::release_control()
{
    document_events_.disconnect();
    browser_events_.disconnect();
    document_ = ComPtr<IDispatch>();
    browser_ = ComPtr<IWebBrowser2>();
    if (control_) {
        control_->Close(OLECLOSE_NOSAVE);
        control_->SetClientSite(nullptr);
        control_ = ComPtr<IOleObject>();
    }
    if (site_) {
        site_->forget();
        site_ = ComPtr<OleSite>();
    }
    if (theme_) CloseThemeData(std::exchange(theme_, nullptr));
}

void CBrowser::navigate(const std::wstring& address)
{
    if (!browser_) return;
    const ScopedBstr url(address);
    VARIANT empty;
    VariantInit(&empty);
    browser_->Navigate(url.get(), &empty, &empty, &empty, &empty);
}

void CBrowser::LoadHtml(const std::string& text)
{
    if (!browser_) return;
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()))) return;
    ULONG written = 0;
    if (FAILED(stream->Write(text.data(), static_cast<ULONG>(text.size()), &written)) || written != text.size())
        return;
    const LARGE_INTEGER start{};
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return;
    ComPtr<IDispatch> document;
    if (FAILED(browser_->get_Document(document.put()))) return;
    const auto persist = document.query<IPersistStreamInit>();
    if (!persist || FAILED(persist->InitNew())) return;
    persist->Load(stream.get());
}

void CBrowser::OnDocumentComplete()
{
    document_events_.disconnect();
    document_ = ComPtr<IDispatch>();
    ComPtr<IDispatch> document;
    if (browser_ && SUCCEEDED(browser_->get_Document(document.put())) && document.query<IHTMLDocument2>()) {
        document_ = std::move(document);
        document_events_.connect(document_.get());
    }
    if (!loaded_) {
        loaded_ = true;
        PostMessageW(GetParent(hwnd()), WM_APP, 0, 0);
    }
}

void CBrowser::OnBeforeNavigate2(DISPPARAMS& parameters)
{
    // Cancel is the last argument, so the first in the array.
    if (!loaded_ || parameters.cArgs < 7) return;
    VARIANT& cancel = parameters.rgvarg[0];
    if (cancel.vt == (VT_BYREF | VT_BOOL) && cancel.pboolVal) *cancel.pboolVal = VARIANT_TRUE;
}

void CBrowser::OnContextMenu(DISPPARAMS& parameters, VARIANT* result)
{
    if (parameters.cArgs < 1 || parameters.rgvarg[0].vt != VT_DISPATCH || !parameters.rgvarg[0].pdispVal) return;
    ComPtr<IHTMLEventObj> event;
    parameters.rgvarg[0].pdispVal->QueryInterface(IID_IHTMLEventObj, reinterpret_cast<void**>(event.put()));
    if (!event) return;
    VARIANT no;
    VariantInit(&no);
    no.vt = VT_BOOL;
    no.boolVal = VARIANT_FALSE;
    event->put_returnValue(no);
    if (result) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
    }
}

void CBrowser::open_theme()
{
    if (theme_) CloseThemeData(std::exchange(theme_, nullptr));
    theme_ = OpenThemeData(hwnd(), L"Edit");
}

LRESULT CBrowser::calc_size(WPARAM wparam, LPARAM lparam)
{
    const LRESULT result = DefWindowProcW(hwnd(), WM_NCCALCSIZE, wparam, lparam);
    RECT& rect = wparam ? reinterpret_cast<NCCALCSIZE_PARAMS*>(lparam)->rgrc[0] : *reinterpret_cast<RECT*>(lparam);
    if (theme_) {
        RECT content = rect;
        if (SUCCEEDED(GetThemeBackgroundContentRect(theme_, nullptr, edit_part, edit_state, &rect, &content)))
            rect = content;
    } else {
        const ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        if (dc) DrawEdge(dc.get(), &rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    }
    return result;
}

void CBrowser::paint_border(HRGN update)
{
    const HDC dc = update ? GetDCEx(hwnd(), update, DCX_WINDOW | DCX_INTERSECTRGN) : GetWindowDC(hwnd());
    if (!dc) return;
    RECT rect{};
    GetWindowRect(hwnd(), &rect);
    OffsetRect(&rect, -rect.left, -rect.top);
    if (theme_) {
        DTBGOPTS options{sizeof options, DTBG_OMITCONTENT, {}};
        DrawThemeBackgroundEx(theme_, dc, edit_part, edit_state, &rect, &options);
    } else {
        DrawEdge(dc, &rect, EDGE_SUNKEN, BF_RECT);
    }
    ReleaseDC(hwnd(), dc);
}
