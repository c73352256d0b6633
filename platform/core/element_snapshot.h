// The element object a host receives for an element the engine reported (the source of a
// click): it answers from what the engine saw at that moment.
#pragma once

#include "backend/engine.h"
#include "com/ptr.h"
#include "mshtml/document.h"

namespace platform {

CComPtr<IHTMLElement> CreateElementSnapshot(ElementData element);

}  // namespace platform
