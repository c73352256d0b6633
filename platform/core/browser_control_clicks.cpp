// Clicks in a control's document, handed to the sink the HTML dialog connected.
#include "browser_control.h"
#include "element_snapshot.h"

namespace platform {

void BrowserControl::OnElementClick(const ElementData& element) {
    if (!clickSink_ || closed_) return;
    CComPtr<IHTMLElement> source = CreateElementSnapshot(element);
    // The handler may run a modal loop in which the control is released.
    AddRef();
    clickSink_->OnElementClick(source.get());
    Release();
}

}  // namespace platform
