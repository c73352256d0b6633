// The Flash control's class object: it makes controls that tell the engine where the
// player's files are.
#pragma once

#include <string>

#include "com/page_player.h"

namespace flash_module {

// A new class object for a player in folder (a Windows path) with that loader; the caller
// owns its one reference.
IClassFactory* NewFlashClassObject(std::u16string folder, std::u16string loader);

}  // namespace flash_module
