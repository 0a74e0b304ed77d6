#pragma once

namespace vigilo {

/// Hands memory the program freed back to the system where the allocator keeps it for reuse, so
/// that resident memory falls after a large structure is dropped.
void returnFreedMemoryToSystem();

} // namespace vigilo
