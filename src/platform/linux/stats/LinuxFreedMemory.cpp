#include "ports/FreedMemory.h"

#include <malloc.h>

namespace vigilo {

void returnFreedMemoryToSystem() {
    // glibc keeps freed blocks in its arenas; trimming returns the free pages at the top of each
    // arena and the whole free pages inside them.
    malloc_trim(0);
}

} // namespace vigilo
