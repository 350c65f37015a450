#include "app/renderloop.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QQuickWindow>

namespace {

// What the renderer of a default OpenGL context calls itself; empty where
// there is no OpenGL.
QByteArray OpenGlRenderer()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
        return {};
    const auto* renderer =
        reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    QByteArray name(renderer);
    context.doneCurrent();
    return name;
}

} // namespace

namespace RenderLoop {

void Choose()
{
    if (qEnvironmentVariableIsSet("QSG_RENDER_LOOP") ||
        QQuickWindow::graphicsApi() != QSGRendererInterface::OpenGL)
        return;
    if (IsSoftwareRasterizer(OpenGlRenderer()))
        qputenv("QSG_RENDER_LOOP", "basic");
}

bool IsSoftwareRasterizer(QByteArrayView renderer)
{
    const QByteArray name = renderer.toByteArray().toLower();
    return name.contains("llvmpipe") || name.contains("softpipe") ||
           name.contains("software rasterizer");
}

} // namespace RenderLoop
