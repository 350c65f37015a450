#pragma once

// Where OpenGL is Mesa's software rasterizer (llvmpipe, softpipe: machines
// without a graphics driver and most virtual machines), the windows are
// drawn by Qt Quick's own software renderer instead. Through the rasterizer
// the program crashed now and then when several windows drew at once on
// threads of their own, and drawing them all on one thread keeps a few
// megabytes of compiled shaders for every window ever closed. The software
// renderer draws no shader effects: tinted icons show in their own colour.
namespace RendererChoice {

// Picks the renderer for the windows to come: before the first window,
// after the application object. An operator's own QT_QUICK_BACKEND,
// QSG_RHI_BACKEND or QSG_RENDER_LOOP stands.
void Choose();

} // namespace RendererChoice
