// The user folders the engine's process sandbox mounts.
#pragma once

namespace platform::desktop {

// The sandbox refuses to start (and the web process dies) when one of the user's config,
// cache or data folders cannot exist, for instance below a plain file. For each such folder
// the toolkit is given a private folder of its own instead, before anything asks for it;
// the environment itself stays as the user set it, so the program's own folders do not move.
void PrepareSandboxFolders();

}  // namespace platform::desktop
