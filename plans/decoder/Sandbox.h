#pragma once

namespace kirvan::sandbox {

// Locks the calling process in for the rest of its life, once it has its input: no file can be
// opened any more except for reading beneath the fonts' folders (drawing a text of a plan loads
// its font only then), no socket made and no program started. Files open already (the input,
// the output) stay usable. Uses Landlock for the file system and seccomp for the rest; a kernel
// without Landlock leaves the file system to seccomp, which then refuses every opening. False
// when the kernel refused the restriction: the caller must not go on.
bool enter();

} // namespace kirvan::sandbox
