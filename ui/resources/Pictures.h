#pragma once

// The program's pictures live in a resource file compiled into a static library; the linker keeps
// them only when something asks for them. Every widget that shows a picture calls this first.
namespace Pictures {
void ensureLoaded();
}
