#pragma once

#include <QByteArrayView>

// Qt Quick renders each window on a thread of its own where the platform
// allows it. Mesa's software rasterizers (llvmpipe, softpipe), which machines
// without a graphics driver and most virtual machines use, now and then crash
// the program when several windows render on their own threads at once (seen
// as an editor opened while the main window drew). There every window is
// drawn on the GUI thread instead, as Qt's own basic render loop does.
namespace RenderLoop {

// Picks the render loop for the windows to come: before the first window,
// after the application object. An operator's own QSG_RENDER_LOOP stands.
void Choose();

// Whether an OpenGL renderer string names a software rasterizer.
bool IsSoftwareRasterizer(QByteArrayView renderer);

} // namespace RenderLoop
