// A sink for the events of one dispatch interface (DWebBrowserEvents2, HTMLDocumentEvents2):
// a COM object whose IDispatch::Invoke passes each event to a handler, connected to one
// source's connection point at a time. The owner disconnects it when it goes, and the
// object, which the source may hold a little longer, then calls nothing.
#pragma once

#include <ocidl.h>
#include <oaidl.h>

#include <functional>

#include "wingui/com_ptr.h"

class EventSink {
public:
    // The event's dispatch id, its arguments (last first, as IDispatch passes them) and
    // the place for its result (may be null).
    using Handler = std::function<void(DISPID, DISPPARAMS&, VARIANT* result)>;

    EventSink(const IID& events, Handler handler);
    EventSink(const EventSink&) = delete;
    EventSink& operator=(const EventSink&) = delete;
    ~EventSink();

    // Connects to the source's connection point for the events; false when the source
    // has none, refuses, or this sink is connected already.
    bool connect(IUnknown* source);
    void disconnect();
    bool connected() const { return static_cast<bool>(point_); }

private:
    class Object;

    IID events_;
    ComPtr<Object> object_;
    ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};
