#include "wingui/event_sink.h"

#include <utility>

#include "wingui/boundary.h"

class EventSink::Object final : public IDispatch {
public:
    Object(const IID& events, Handler handler) : events_(events), handler_(std::move(handler)) {}

    void forget() { handler_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO*, UINT*) override
    {
        if (!parameters) return E_INVALIDARG;
        // The handler may end the owner, and with it this sink's connection.
        if (const Handler handler = handler_)
            return guarded([&] { return (handler(id, *parameters, result), S_OK); }, [] { return E_FAIL; });
        return S_OK;
    }

private:
    IID events_;
    Handler handler_;
    ULONG references_ = 1;
};

EventSink::EventSink(const IID& events, Handler handler) : events_(events)
{
    *object_.put() = new Object(events, std::move(handler));
}

EventSink::~EventSink()
{
    disconnect();
    object_->forget();
}

bool EventSink::connect(IUnknown* source)
{
    if (connected() || !source) return false;
    ComPtr<IConnectionPointContainer> container;
    if (FAILED(source->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(container.put()))))
        return false;
    ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(events_, point.put())) || !point) return false;
    if (FAILED(point->Advise(object_.get(), &cookie_))) return false;
    point_ = std::move(point);
    return true;
}

void EventSink::disconnect()
{
    if (!point_) return;
    point_->Unadvise(cookie_);
    point_ = ComPtr<IConnectionPoint>();
    cookie_ = 0;
}
