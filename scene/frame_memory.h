// Keeps the memory a frame needs from going back to the system between
// frames. The GL driver (Mesa's llvmpipe above all) allocates its per-frame
// working memory afresh every frame and frees it at the end; when that frees
// enough at the top of the C library's heap, the heap is trimmed and the next
// frame takes every page back with a page fault: hundreds per frame, which
// cost more than the drawing itself in the orrery.
#pragma once

// Raises the heap's trim threshold (and the size from which blocks are mapped
// on their own) so that freed frame memory stays in the process for the next
// frame. Called at set-up; it allocates nothing.
void holdFrameMemory();
