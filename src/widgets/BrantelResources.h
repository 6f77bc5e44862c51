#pragma once

// Registers the images and the compiled catalogues. They live in a static library, whose
// unreferenced resource objects the linker would otherwise drop; call once before any
// ":/..." path is used.
void initBrantelResources();
