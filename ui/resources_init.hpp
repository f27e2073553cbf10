#pragma once

namespace zarvelo {

// Registers the compiled-in layouts and help pages. The resources live in a static
// library, so the linker keeps them only when something calls this; safe to call often.
void ensureResources();

}  // namespace zarvelo
